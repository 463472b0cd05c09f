#pragma once

#include "model/Table.h"

#include <string>
#include <string_view>

namespace tavlor {

// The XML datapacket of a table, as the snapshot and registrant files hold it:
// one line of Windows-1252 text, the header and two spaces, DATAPACKET with
// METADATA (FIELDS, PARAMS) and ROWDATA, one ROW per row with one attribute
// per non-null value. Every row is written (whatever the filter), in the
// cursor's order, with every data field.
std::string WriteDataPacket(const TTable& table);
void SaveDataPacket(const TTable& table, const std::string& path);

// Reads a datapacket into a table, which takes the file's fields and its
// current rows (a file carrying a change log is reduced to the rows as they
// stood when it was written). Accepts the Windows-1252 files the writer
// makes and the UTF-8 variant of the header. A file that is not a
// datapacket, is cut short or is malformed throws tavlor::Error naming it,
// and the table is then left as it was.
void LoadDataPacket(const std::string& bytes, const std::string& path, TTable& into);
void LoadDataPacketFile(const std::string& path, TTable& into);

// The index of a field a file read into `table` must have; a file without it
// throws tavlor::Error naming the file (not the table it was read into).
int RequireFileField(const TTable& table, const std::string& path, std::string_view field);

}  // namespace tavlor
