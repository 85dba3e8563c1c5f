#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "ImageTestSupport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLog.h"
#include "tests/support/ErrorOf.h"

namespace {
using RGB = std::array<uint8_t, 3>;

const RGB kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kWhite{255, 255, 255};

// A one-row image with the given indexes.
std::unique_ptr<CvIndexedImage> Row(const CvColorTable& table, std::initializer_list<uint8_t> indexes) {
    auto image = std::make_unique<CvIndexedImage>(uint32_t(indexes.size()), 1, &table);
    CvPixelLock lock(*image);
    uint32_t x = 0;
    for (uint8_t i : indexes) lock.Pixels()[x++] = i;
    return image;
}
}  // namespace

TEST(CvColorTable, FindNearestExcludesAndBreaksTiesLow) {
    const CvColorTable table = PaletteOf({{10, 10, 10}, {20, 20, 20}, {0, 0, 0}, {20, 20, 20}});
    EXPECT_EQ(table.FindNearest(CvColorTable::Pack(10, 10, 10), -1), 0u);
    EXPECT_EQ(table.FindNearest(CvColorTable::Pack(10, 10, 10), 0), 1u);  // 1 and 3 tie with 2: lowest wins
    EXPECT_EQ(table.FindNearest(CvColorTable::Pack(19, 19, 19), 1), 3u);
    EXPECT_EQ(table.FindNearestOther(1), 3u);
    CvColorTable empty;
    EXPECT_THROW(empty.FindNearest(0, -1), CvErrorCode);
    CvColorTable grown = table;
    grown.SetCount(6);
    grown.SetCount(4);
    EXPECT_TRUE(grown == table);  // growing keeps the entries
    grown.SetEntry(0, 1, 1, 1);
    EXPECT_TRUE(grown != table);
}

// Three- and four-byte pixels and a wider one, channels in any order; the bytes of the pixel that are no channel
// and the pixels outside the rectangle keep what they held.
TEST(CvIndexedImage, EveryDestinationLayoutReadsAlike) {
    const CvColorTable table = PaletteOf({{1, 2, 3}, {40, 50, 60}, {255, 128, 7}});
    auto image = Row(table, {2, 0, 1, 1, 2, 0, 2});
    struct Layout {
        uint16_t bytes, r, g, b;
    };
    for (Layout l : {Layout{3, 0, 1, 2}, Layout{4, 1, 2, 3}, Layout{4, 2, 1, 0}, Layout{5, 4, 2, 0}}) {
        std::vector<uint8_t> out(size_t(l.bytes) * 7, 0xEE);
        image->GetRGB(1, 0, 1, 6, 1, 0, l.bytes * 7u, l.bytes, l.r, l.g, l.b, out.data());
        for (uint32_t x = 0; x < 7; ++x)
            for (uint16_t k = 0; k < l.bytes; ++k) {
                const bool shown = x >= 1 && x < 6;
                const uint8_t* entry = table.Entry(shown ? std::vector<uint8_t>{2, 0, 1, 1, 2, 0, 2}[x] : 0);
                const uint8_t expected = !shown ? 0xEE : k == l.r ? entry[0] : k == l.g ? entry[1] : k == l.b ? entry[2]
                                                                                                            : 0xEE;
                EXPECT_EQ(out[x * l.bytes + k], expected) << "pixel bytes " << l.bytes << ", pixel " << x << ", byte " << k;
            }
    }
}

TEST(CvIndexedImage, ReadsThroughTheTableAndCountsUsage) {
    const unsigned failedBefore = CvFailedCheckCount();
    auto image = Row(PaletteOf({kRed, kBlue, kGreen}), {2, 0, 0, 1, 2, 2});
    EXPECT_EQ(PixelOf(*image, 0, 0), kGreen);
    EXPECT_EQ(PixelOf(*image, 3, 0), kBlue);
    uint32_t counts[3];
    image->CountIndexUsage(counts);
    EXPECT_EQ(std::vector<uint32_t>(counts, counts + 3), (std::vector<uint32_t>{2, 1, 3}));
    CvBitmapImage mask(6, 1);
    mask.LockPixels()[0] = 0x3C;  // pixels 0, 1 white (bit 0), 2..5 black, 6.. padding
    mask.UnlockPixels();
    image->CountIndexUsageMasked(counts, &mask);
    EXPECT_EQ(std::vector<uint32_t>(counts, counts + 3), (std::vector<uint32_t>{1, 0, 1}));
    EXPECT_EQ(CvIndexedImage::CountUsed(counts, 3), 2u);
    bool found = false;
    EXPECT_EQ(CvIndexedImage::FindUnused(counts, 3, &found), 1u);
    EXPECT_TRUE(found);
    EXPECT_THROW(image->CountIndexUsage(nullptr), CvErrorCode);
    CvPixelLock lock(*image);
    EXPECT_EQ(ErrorOf([&] { image->CountIndexUsage(counts); }), 21u);
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
}

TEST(CvIndexedImage, IndexesPastTheTableReadBlackAndCountNothing) {
    auto image = Row(PaletteOf({kWhite}), {0, 200});
    EXPECT_EQ(PixelOf(*image, 1, 0), (RGB{0, 0, 0}));
    uint32_t counts[2] = {9, 9};  // only counts[0] belongs to the table
    image->CountIndexUsage(counts);
    EXPECT_EQ(counts[0], 1u);
    EXPECT_EQ(counts[1], 9u);
}

TEST(CvIndexedImage, CompactTableKeepsAUsedDuplicateOfAnUnusedEntry) {
    // Entry 0 (blue) is unused but entry 2 repeats it and is used: blue must keep a slot of its own.
    uint8_t map[256] = {};
    const uint32_t counts[] = {0, 3, 2, 1};
    std::unique_ptr<CvColorTable> compact(
        CvIndexedImage::CompactTable(PaletteOf({kBlue, kRed, kBlue, kGreen}), counts, map));
    ASSERT_EQ(compact->GetCount(), 3u);
    EXPECT_EQ(std::set<uint8_t>({map[1], map[2], map[3]}), (std::set<uint8_t>{0, 1, 2}));
    // The same through an image: every pixel keeps its colour.
    auto image = Row(PaletteOf({kBlue, kRed, kBlue, kGreen}), {1, 2, 3, 1, 2, 1});
    const std::vector<uint8_t> before = ReadRGB(*image);
    image->RemoveUnusedColors();
    EXPECT_EQ(image->colorTable.GetCount(), 3u);
    EXPECT_EQ(ReadRGB(*image), before);
}

TEST(CvIndexedImage, MergeSimilarColorsByThreshold) {
    const RGB nearRed{254, 0, 0};
    auto image = Row(PaletteOf({kRed, nearRed, kRed, kGreen}), {0, 1, 2, 3});
    image->MergeSimilarColors(0);  // unused and duplicates go, nothing else merges
    EXPECT_EQ(image->colorTable.GetCount(), 3u);
    image->MergeSimilarColors(1);  // distance 1 is not below 1
    EXPECT_EQ(image->colorTable.GetCount(), 3u);
    image->MergeSimilarColors(2);
    EXPECT_TRUE(image->colorTable == PaletteOf({kRed, kGreen}));
    EXPECT_EQ(ReadRGB(*image), (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 0}));
}

TEST(CvIndexedImage, ChooseMergePairPicksTheCheapestOfTheLeastUsed) {
    const CvColorTable table = PaletteOf({{0, 0, 0}, {100, 0, 0}, {0, 0, 10}, {105, 0, 0}, {0, 0, 200}});
    auto image = Row(table, {0});
    uint32_t counts[5] = {10, 3, 40, 2, 3};
    uint8_t index = 9, into = 9;
    image->ChooseMergePair(counts, 3, &index, &into);
    // Candidates 3 (2 x 25), 1 (3 x 25), 4 (3 x 190^2): entry 3 into entry 1.
    EXPECT_EQ(index, 3);
    EXPECT_EQ(into, 1);
    EXPECT_EQ(std::vector<uint32_t>(counts, counts + 5),
              (std::vector<uint32_t>{10, 0x7FFFFFFF, 40, 0x7FFFFFFF, 0x7FFFFFFF}));
}

TEST(CvIndexedImage, LimitColorsMergesTheLeastUsedIntoTheirNearest) {
    const CvColorTable greys = PaletteOf({{0, 0, 0}, {10, 10, 10}, {200, 200, 200}, {250, 250, 250}, {99, 99, 99}});
    auto image = Row(greys, {0, 1, 1, 1, 2, 2, 3, 3, 3, 3, 3});
    image->LimitColors(2);  // entry 4 is unused; 0 (once) joins 10, then 200 (twice) joins 250
    ASSERT_EQ(image->colorTable.GetCount(), 2u);
    const CvColorTable kept = PaletteOf({{10, 10, 10}, {250, 250, 250}});
    EXPECT_EQ(ReadRGB(*image), ReadRGB(*Row(kept, {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1})));
    image->LimitColors(256);
    EXPECT_EQ(image->colorTable.GetCount(), 2u);
}
