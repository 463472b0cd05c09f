#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The compound-file container (version 3, 512-byte sectors) around one stream.
namespace tavlor::workbook::detail {

inline constexpr std::size_t kSectorSize = 512;
// Streams below this size belong in the mini stream, which we never write.
inline constexpr std::size_t kMiniStreamCutoff = 4096;

inline constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// The file is Head, the stream, StreamPadding zero bytes, then Tail: the stream
// fills sectors 0 to n-1, followed by the directory sector, the FAT sectors and,
// when the FAT needs more than the header's 109 entries, the DIFAT sectors.
struct TCompoundFileParts {
    std::string Head;
    std::size_t StreamPadding = 0;
    std::string Tail;
};

// streamSize must be at least kMiniStreamCutoff (pad the stream first).
TCompoundFileParts LayOutCompoundFile(std::size_t streamSize, const std::u16string& streamName);

}  // namespace tavlor::workbook::detail
