#pragma once

#include "model/Element.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// The formats the program writes files in. Each is one row of the formats
// list; the commands that write files and their file dialogs take what they
// need from it.
enum class TExportFormatId : std::uint8_t {
    Xls,             // the shown lists, Excel 97-2003 workbook
    Html,            // the shown lists, HTML page
    RegistrantsXml,  // the registrants, XML datapacket
    Pdf,             // the shown lists laid out for paper (registered by the windows)
};

// One file format: its extension, the filter of its file dialogs and how a
// file is written in it.
class IExportFormat {
public:
    virtual ~IExportFormat() = default;
    virtual TExportFormatId Id() const = 0;
    // With its dot: ".xls".
    virtual std::string_view Extension() const = 0;
    // "label|pattern|label|pattern", as the file dialogs take it.
    virtual std::string_view Filter() const = 0;
    // Writes the file whole for the element shown, or throws tavlor::Error
    // naming the file; an older file is replaced only by a complete one.
    // False when the user stopped a long writing: nothing was written.
    virtual bool Write(const TElement& shown, const std::string& path) = 0;
};

// The formats list.
class TExportFormats {
public:
    void Add(std::unique_ptr<IExportFormat> format);
    // Null when the format is not registered (the PDF without windows).
    IExportFormat* Find(TExportFormatId id) const;

private:
    std::vector<std::unique_ptr<IExportFormat>> Formats_;
};

}  // namespace tavlor
