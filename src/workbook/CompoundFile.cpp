#include "workbook/CompoundFile.h"

#include <cassert>
#include <cstring>
#include <vector>

namespace tavlor::workbook::detail {

namespace {

constexpr std::size_t kEntriesPerFatSector = kSectorSize / 4;  // 128
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntriesPerDifatSector = kEntriesPerFatSector - 1;  // the last one chains
constexpr std::size_t kDirEntrySize = 128;

void Put16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

std::size_t CeilDiv(std::size_t a, std::size_t b) {
    return (a + b - 1) / b;
}

void PutDirEntry(std::string& b, std::size_t at, const std::u16string& name, std::uint8_t type, std::uint32_t child,
                 std::uint32_t start, std::uint64_t size) {
    assert(name.size() < 32);
    for (std::size_t i = 0; i < name.size(); ++i) {
        Put16(b, at + 2 * i, static_cast<std::uint16_t>(name[i]));
    }
    Put16(b, at + 0x40, static_cast<std::uint16_t>((name.size() + 1) * 2));
    b[at + 0x42] = static_cast<char>(type);
    b[at + 0x43] = 1;  // black: a tree of one node per level
    Put32(b, at + 0x44, kNoStream);
    Put32(b, at + 0x48, kNoStream);
    Put32(b, at + 0x4C, child);
    Put32(b, at + 0x74, start);
    Put32(b, at + 0x78, static_cast<std::uint32_t>(size & 0xFFFFFFFF));
    Put32(b, at + 0x7C, static_cast<std::uint32_t>(size >> 32));
}

}  // namespace

TCompoundFileParts LayOutCompoundFile(std::size_t streamSize, const std::u16string& streamName) {
    assert(streamSize >= kMiniStreamCutoff);
    const std::size_t streamSectors = CeilDiv(streamSize, kSectorSize);
    const std::size_t dirSector = streamSectors;

    // The FAT covers every sector, its own and the DIFAT's included: grow both
    // until they cover the whole file.
    std::size_t fatSectors = 1;
    std::size_t difatSectors = 0;
    for (;;) {
        const std::size_t total = streamSectors + 1 + fatSectors + difatSectors;
        const std::size_t needFat = CeilDiv(total, kEntriesPerFatSector);
        const std::size_t needDifat =
            needFat > kHeaderDifatEntries ? CeilDiv(needFat - kHeaderDifatEntries, kEntriesPerDifatSector) : 0;
        if (needFat == fatSectors && needDifat == difatSectors) {
            break;
        }
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const std::size_t firstFat = dirSector + 1;
    const std::size_t firstDifat = firstFat + fatSectors;

    std::vector<std::uint32_t> fatSectorIds(fatSectors);
    for (std::size_t i = 0; i < fatSectors; ++i) {
        fatSectorIds[i] = static_cast<std::uint32_t>(firstFat + i);
    }

    TCompoundFileParts parts;
    parts.StreamPadding = streamSectors * kSectorSize - streamSize;

    // Header.
    std::string& head = parts.Head;
    head.assign(kSectorSize, '\0');
    static constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(head.data(), kSignature, sizeof kSignature);
    Put16(head, 0x18, 0x003E);  // minor version
    Put16(head, 0x1A, 0x0003);  // major version
    Put16(head, 0x1C, 0xFFFE);  // little-endian
    Put16(head, 0x1E, 9);       // 512-byte sectors
    Put16(head, 0x20, 6);       // 64-byte mini sectors
    Put32(head, 0x2C, static_cast<std::uint32_t>(fatSectors));
    Put32(head, 0x30, static_cast<std::uint32_t>(dirSector));
    Put32(head, 0x38, static_cast<std::uint32_t>(kMiniStreamCutoff));
    Put32(head, 0x3C, kEndOfChain);  // no mini FAT
    Put32(head, 0x44, difatSectors > 0 ? static_cast<std::uint32_t>(firstDifat) : kEndOfChain);
    Put32(head, 0x48, static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < kHeaderDifatEntries; ++i) {
        Put32(head, 0x4C + 4 * i, i < fatSectors ? fatSectorIds[i] : kFreeSect);
    }

    std::string& tail = parts.Tail;
    tail.assign((1 + fatSectors + difatSectors) * kSectorSize, '\0');

    // Directory: the root, the stream, two unused entries.
    PutDirEntry(tail, 0, u"Root Entry", 5, 1, kEndOfChain, 0);
    PutDirEntry(tail, kDirEntrySize, streamName, 2, kNoStream, 0, streamSize);
    for (std::size_t e = 2; e < 4; ++e) {
        Put32(tail, e * kDirEntrySize + 0x44, kNoStream);
        Put32(tail, e * kDirEntrySize + 0x48, kNoStream);
        Put32(tail, e * kDirEntrySize + 0x4C, kNoStream);
    }

    // FAT.
    const std::size_t fatAt = kSectorSize;
    const auto setFat = [&](std::size_t sector, std::uint32_t value) { Put32(tail, fatAt + 4 * sector, value); };
    for (std::size_t s = 0; s < fatSectors * kEntriesPerFatSector; ++s) {
        setFat(s, kFreeSect);
    }
    for (std::size_t s = 0; s < streamSectors; ++s) {
        setFat(s, s + 1 < streamSectors ? static_cast<std::uint32_t>(s + 1) : kEndOfChain);
    }
    setFat(dirSector, kEndOfChain);
    for (std::size_t i = 0; i < fatSectors; ++i) {
        setFat(firstFat + i, kFatSect);
    }
    for (std::size_t i = 0; i < difatSectors; ++i) {
        setFat(firstDifat + i, kDifSect);
    }

    // DIFAT sectors: the FAT sectors beyond the header's 109, then a link to the next.
    const std::size_t difatAt = (1 + fatSectors) * kSectorSize;
    for (std::size_t d = 0; d < difatSectors; ++d) {
        const std::size_t at = difatAt + d * kSectorSize;
        for (std::size_t k = 0; k < kEntriesPerDifatSector; ++k) {
            const std::size_t i = kHeaderDifatEntries + d * kEntriesPerDifatSector + k;
            Put32(tail, at + 4 * k, i < fatSectors ? fatSectorIds[i] : kFreeSect);
        }
        Put32(tail, at + 4 * kEntriesPerDifatSector,
              d + 1 < difatSectors ? static_cast<std::uint32_t>(firstDifat + d + 1) : kEndOfChain);
    }
    return parts;
}

}  // namespace tavlor::workbook::detail
