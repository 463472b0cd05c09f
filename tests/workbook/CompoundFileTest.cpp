// The compound-file container around streams of every size, the FAT and the
// DIFAT checked sector by sector, around the sizes where they grow.
#include "workbook/CompoundFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tavlor::workbook::detail {
namespace {

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

void CheckLayout(std::size_t streamSize) {
    SCOPED_TRACE("stream of " + std::to_string(streamSize) + " bytes");
    const TCompoundFileParts parts = LayOutCompoundFile(streamSize, u"Workbook");
    const std::string& head = parts.Head;
    ASSERT_EQ(head.size(), 512u);
    const std::size_t streamSectors = (streamSize + 511) / 512;
    EXPECT_EQ(streamSize + parts.StreamPadding, streamSectors * 512);

    const std::uint32_t fatSectors = U32(head, 0x2C);
    const std::uint32_t dirSector = U32(head, 0x30);
    const std::uint32_t difatStart = U32(head, 0x44);
    const std::uint32_t difatSectors = U32(head, 0x48);
    EXPECT_EQ(dirSector, streamSectors);
    const std::size_t total = streamSectors + 1 + fatSectors + difatSectors;
    ASSERT_EQ(parts.Tail.size(), (total - streamSectors) * 512);
    // Just enough FAT sectors to cover every sector, and DIFAT sectors for those past 109.
    EXPECT_GE(fatSectors * 128u, total);
    EXPECT_LT((fatSectors - 1) * 128u, total);
    EXPECT_EQ(difatSectors, fatSectors > 109 ? (fatSectors - 109 + 126) / 127 : 0);

    const auto sectorAt = [&](std::uint32_t s) -> std::size_t {
        EXPECT_GE(s, dirSector);
        return (s - dirSector) * 512;
    };
    // The FAT sectors, as the header and the DIFAT chain list them.
    std::vector<std::uint32_t> fatIds;
    for (std::size_t i = 0; i < 109 && i < fatSectors; ++i) {
        fatIds.push_back(U32(head, 0x4C + 4 * i));
    }
    for (std::size_t i = fatSectors; i < 109; ++i) {
        EXPECT_EQ(U32(head, 0x4C + 4 * i), kFreeSect);
    }
    std::uint32_t difat = difatSectors > 0 ? difatStart : kEndOfChain;
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        ASSERT_NE(difat, kEndOfChain);
        for (std::size_t k = 0; k < 127; ++k) {
            const std::uint32_t id = U32(parts.Tail, sectorAt(difat) + 4 * k);
            if (fatIds.size() < fatSectors) {
                fatIds.push_back(id);
            } else {
                EXPECT_EQ(id, kFreeSect);
            }
        }
        difat = U32(parts.Tail, sectorAt(difat) + 4 * 127);
    }
    EXPECT_EQ(difat, kEndOfChain);
    ASSERT_EQ(fatIds.size(), fatSectors);

    std::vector<std::uint32_t> fat;
    for (const std::uint32_t id : fatIds) {
        for (std::size_t k = 0; k < 128; ++k) {
            fat.push_back(U32(parts.Tail, sectorAt(id) + 4 * k));
        }
    }
    for (std::size_t s = 0; s < streamSectors; ++s) {
        ASSERT_EQ(fat[s], s + 1 < streamSectors ? s + 1 : kEndOfChain) << s;
    }
    EXPECT_EQ(fat[dirSector], kEndOfChain);
    for (std::size_t s = dirSector + 1; s < total; ++s) {
        const bool isFat = std::find(fatIds.begin(), fatIds.end(), s) != fatIds.end();
        EXPECT_EQ(fat[s], isFat ? kFatSect : kDifSect) << s;
    }
    for (std::size_t s = total; s < fat.size(); ++s) {
        EXPECT_EQ(fat[s], kFreeSect) << s;
    }

    // Directory: the root, then the stream from sector 0.
    EXPECT_EQ(parts.Tail.substr(0, 20), std::string("R\0o\0o\0t\0 \0E\0n\0t\0r\0y\0", 20));
    EXPECT_EQ(U32(parts.Tail, 0x4C), 1u);
    EXPECT_EQ(parts.Tail.substr(128, 16), std::string("W\0o\0r\0k\0b\0o\0o\0k\0", 16));
    EXPECT_EQ(U32(parts.Tail, 128 + 0x74), 0u);
    EXPECT_EQ(U32(parts.Tail, 128 + 0x78), streamSize);
}

TEST(CompoundFile, FatAndDifatCoverEverySectorAtEverySize) {
    const std::size_t sizes[] = {4096, 4097, 4607, 4608, 512 * 125, 512 * 126, 512 * 127, 512 * 128, 512 * 129,
                                 // The FAT reaches the header's 109 entries, then needs a DIFAT sector...
                                 512 * (109 * 128 - 111), 512 * (109 * 128 - 110), 512 * (109 * 128 - 109),
                                 512 * (109 * 128 - 108), 512 * (109 * 128) + 1,
                                 // ... then a second one.
                                 512 * (236 * 128 - 240), 512 * (236 * 128 - 238), 512 * (236 * 128 - 236),
                                 512 * (236 * 128), 40 * 1000 * 1000};
    for (const std::size_t size : sizes) {
        CheckLayout(size);
    }
}

}  // namespace
}  // namespace tavlor::workbook::detail
