// The image classes: storage and sizes, what every kind reads through GetRGB in every destination layout and
// after every right-angle transform, masking and blending, and the indexed image's compacted table and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvBuffer.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvImgFmtInfo.h"
#include "cvcode2/CvProgImage.h"
#include "cvcode2/CvRealImage.h"
#include "cvcode2/CvTransImage.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/LzwTestData.h"

namespace {
const RgbTriple kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kWhite{255, 255, 255};

// A buffer whose new memory is not zero, as a caller's may be.
struct ScribbledBuffer : CvBuffer {
    uint8_t* DoAllocate(uint32_t size) override { return std::fill_n(CvBuffer::DoAllocate(size), size, 0xAB) - size; }
};

bool AllZero(const CvRealImage& image) {
    CvPixelLock lock(image);
    return std::all_of(lock.Pixels(), lock.Pixels() + image.Buffer()->GetSize(), [](uint8_t b) { return b == 0; });
}

// Mask bytes of a bitmap of up to 24 x 2: whole bytes that pass or block eight pixels and mixed ones.
void Pattern(CvBitmapImage& mask) {
    const uint8_t bits[6] = {0xFF, 0x00, 0xB3, 0x1E, 0xA5, 0x40};
    CvPixelLock lock(mask);
    for (uint32_t y = 0; y < 2; ++y) std::copy_n(bits + 3 * y, 3, lock.Row(y));
}

}  // namespace

// A cleared image reads zero: on a buffer of its own (memory that comes zero-filled, also where an earlier image
// was scribbled and freed) and on a caller's buffer, which is cleared. Sizes no buffer can hold are refused.
TEST(CvRealImage, ClearedImagesReadZeroSizesNoBufferCanHoldAreRefusedAndResizingKeepsPixels) {
    for (int round = 0; round < 2; ++round) {
        auto own = std::make_unique<CvRealImage>(300, 200, 8, 3, nullptr, nullptr, 0, true);
        EXPECT_TRUE(AllZero(*own)) << "round " << round;
        std::fill_n(CvPixelLock(*own).Pixels(), own->Buffer()->GetSize(), uint8_t(0x5A));
    }
    EXPECT_TRUE(AllZero(CvRealImage(300, 200, 8, 3, nullptr, new ScribbledBuffer, 0, true)));
    // A row longer than 32 bits can count, and a block whose rows x height pass 4 GiB.
    EXPECT_EQ(ErrorOf([] { CvRealImage(0x60000000u, 1, 8, 3, nullptr, nullptr, 0, false); }), 21u);
    EXPECT_EQ(ErrorOf([] { CvRealImage(100000, 100000, 8, 1, nullptr, nullptr, 0, false); }), 2u);
    EXPECT_EQ(ErrorOf([] { CvRealImage(0xFFFFFFFFu, 64, 1, 1, nullptr, nullptr, 0, false); }), 2u);
    if (sizeof(void*) == 4) {  // representable in 32 bits but more than a 32-bit process can hold
        EXPECT_EQ(ErrorOf([] { CvRealImage(40000, 30000, 8, 3, nullptr, nullptr, 0, false); }), 2u);
    }
    // Rows are packed without padding.
    for (auto [width, depth, channels, rowBytes] : {std::array<uint32_t, 4>{9, 1, 1, 2}, {5, 8, 3, 15}, {5, 16, 3, 30}})
        EXPECT_EQ(CvRealImage(width, 1, uint16_t(depth), uint16_t(channels), nullptr, nullptr, 0, false).RowBytes(),
                  rowBytes);
    // Resizing keeps the pixels only for the same size, keeps the old ones when refused, and never under a lock.
    CvRealImage image(3, 2, 8, 1, nullptr, nullptr, 0, true);
    CvPixelLock(image).Pixels()[5] = 77;
    image.SetSize(3, 2);
    EXPECT_EQ(CvPixelLock(image).Pixels()[5], 77);
    EXPECT_EQ(ErrorOf([&] { image.SetSize(70000, 70000); }), 2u);
    EXPECT_EQ(image.Buffer()->GetSize(), 6u);
    image.SetSize(4, 2);
    EXPECT_EQ(image.Buffer()->GetSize(), 8u);
    CvPixelLock lock(image);
    EXPECT_THROW(image.SetSize(1, 1), CvErrorCode);
}

TEST(CvRealImage, OneBitCopyRectAndPasteAtOddAlignments) {
    const unsigned failedBefore = CvFailedCheckCount();
    CvRealImage source(21, 3, 1, 1, nullptr, nullptr, 0, true);
    {
        CvPixelLock lock(source);
        for (uint32_t x = 0; x < 21; x += 3) lock.Row(1)[x / 8] |= uint8_t(0x80 >> (x % 8));
        lock.Row(2)[2] |= 0x08;  // (20, 2)
    }
    std::unique_ptr<CvImage> part(source.CopyRect(CvRect{5, 1, 3, 18}));
    auto& cut = static_cast<CvRealImage&>(*part);
    ASSERT_EQ(std::make_pair(cut.GetWidth(), cut.GetHeight()), std::make_pair(13u, 2u));
    CvRealImage target(30, 4, 1, 1, nullptr, nullptr, 0, true);
    std::fill_n(CvPixelLock(target).Pixels(), target.RowBytes() * 4, uint8_t(0xFF));
    const CvPoint at{7, 1};
    target.Paste(&at, &cut);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 30; ++x) {
            const bool inside = x >= 7 && x < 20 && y >= 1 && y < 3;
            const bool set = (CvPixelLock(target).Row(y)[x / 8] & (0x80 >> (x % 8))) != 0;
            EXPECT_EQ(set, inside ? (y == 1 && (x - 7 + 5) % 3 == 0) : true) << x << "," << y;
        }
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
    // Rectangles outside the image are clipped, a paste that does not fit is cut, another format is refused.
    CvRealImage image(4, 4, 8, 1, nullptr, nullptr, 0, true), big(6, 6, 8, 1, nullptr, nullptr, 0, true),
        other(2, 2, 8, 3, nullptr, nullptr, 0, true);
    std::unique_ptr<CvImage> copy(image.CopyRect(CvRect{2, 2, 9, 9}));
    EXPECT_EQ(std::make_pair(copy->GetWidth(), copy->GetHeight()), std::make_pair(2u, 2u));
    image.Paste(&at, &big);
    image.Paste(&at, &other);
#if !defined(NDEBUG)
    EXPECT_EQ(CvFailedCheckCount(), failedBefore + 3);
#endif
}

// Every kind of image, read through GetRGB in every layout and after every right-angle transform. Rows of 8 bytes
// take the word-wise row flip, the others the byte-wise one; the bitmap's rows end in padding bits.
TEST(CvImageKinds, ReadAlikeInEveryLayoutAndAfterEveryTransform) {
    CvRGBImage rgb(5, 3);
    Paint(rgb);
    CvGrayscaleImage grey(8, 3);
    CvBitmapImage bits(21, 2);
    Pattern(bits);
    auto indexed = IndexedImageOf({7, 1, {2, 0, 1, 1, 2, 0, 2}}, PaletteOf({{1, 2, 3}, {40, 50, 60}, {255, 128, 7}}));
    for (uint32_t i = 0; i < 24; ++i) CvPixelLock(grey).Pixels()[i] = uint8_t(i * 11);
    for (const CvImage* image : std::initializer_list<const CvImage*>{&rgb, &grey, &bits, indexed.get()}) {
        SCOPED_TRACE(image->GetWidth());
        ExpectEveryLayoutReadsAlike(image->GetWidth(), image->GetHeight(), ReadRGB(*image), GetRGBOf(*image));
        ExpectPixelsFollowTheTransforms(*image);
    }
    // The packed read itself: position and channel land where they belong, and the bitmap's polarity decides.
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x) ASSERT_EQ(PixelOf(rgb, x, y), Expected(x, y));
    EXPECT_EQ(PixelOf(*indexed, 0, 0), (RgbTriple{255, 128, 7}));
    EXPECT_EQ(PixelOf(bits, 0, 0), (RgbTriple{0, 0, 0}));
    bits.SetPolarity(0);
    EXPECT_EQ(PixelOf(bits, 0, 0), kWhite);
    // A grey image whose black value is 255 reads inverted; black values other than 0 and 255 are refused.
    grey.SetBlackValue(255);
    EXPECT_EQ(PixelOf(grey, 1, 0), (RgbTriple{244, 244, 244}));
    grey.SetBlackValue(7);
    EXPECT_EQ(ErrorOf([&] { PixelOf(grey, 0, 0); }), 38u);
    // Copies carry the format info and fill colour; a locked image is not turned.
    rgb.SetFormatInfo(new CvGIFFrameInfo);
    rgb.SetFillColor(1, 2, 3);
    std::unique_ptr<CvImage> clone(rgb.Clone()), copy(rgb.CopyRect(CvRect{0, 0, 3, 5}));
    EXPECT_NE(copy->GetFormatInfo(), nullptr);
    EXPECT_EQ(static_cast<CvRGBImage&>(*clone).FillColor()[2], 3);
    EXPECT_EQ(ReadRGB(*std::unique_ptr<CvImage>(rgb.Rotate90(0.0f))), ReadRGB(rgb));
    // An arbitrary angle grows the image to the turned rectangle's bounding box (20 x 10 turned: 22.35 x 18.36,
    // rounded up), keeps the fill colour inside and gives the corners no source pixel reaches the colour asked for.
    CvRGBImage flat(20, 10);
    flat.SetFillColor(50, 60, 70);
    flat.Clear();
    std::unique_ptr<CvImage> turned(flat.Rotate(0.5f, 0x070809u));
    EXPECT_EQ(std::make_pair(turned->GetWidth(), turned->GetHeight()), std::make_pair(23u, 19u));
    EXPECT_EQ(PixelOf(*turned, 11, 9), (RgbTriple{50, 60, 70}));
    EXPECT_EQ(PixelOf(*turned, 0, 0), (RgbTriple{9, 8, 7}));
    EXPECT_EQ(std::unique_ptr<CvImage>(CvRGBImage(0, 5).Rotate(0.5f))->GetWidth(), 0u);
    CvPixelLock lock(rgb);
    EXPECT_EQ(ErrorOf([&] { delete rgb.Rotate90(1.5707964f); }), 21u);
}

// A bitmap mask lets through the white pixels in every layout and polarity, the same in tiles of any block size;
// a grey mask and an opacity blend by their weight.
TEST(CvRGBImage, MasksAndOpacityBlendByTheirWeight) {
    CvRGBImage image(24, 2);
    Paint(image);
    CvBitmapImage mask(24, 2);
    Pattern(mask);
    for (uint8_t polarity : {0, 1})
        for (uint32_t block : {3u, 0xFFFFFFFFu}) {
            mask.SetPolarity(polarity);
            image.SetBlockSize(block, block == 3 ? 2 : block);
            std::vector<uint8_t> expected = ReadRGB(image);
            for (uint32_t i = 0; i < 48; ++i)
                if (!mask.IsWhite(i % 24, i / 24)) std::fill_n(&expected[3 * i], 3, uint8_t(0xEE));
            ExpectEveryLayoutReadsAlike(24, 2, expected,
                                        [&](uint32_t l, uint32_t t, uint32_t b, uint32_t r, uint32_t x, uint32_t y,
                                            uint32_t rowBytes, const PixelLayout& p, uint8_t* dst) {
                                            image.GetRGBMasked(&mask, l, t, b, r, x, y, rowBytes, p.bytes, p.r, p.g,
                                                               p.b, dst);
                                        });
        }
    std::vector<uint8_t> out(9, 0);
    EXPECT_EQ(ErrorOf([&] { image.GetRGBMasked(nullptr, 0, 0, 1, 1, 0, 0, 3, 3, 0, 1, 2, out.data()); }), 27u);
    EXPECT_EQ(ErrorOf([&] { image.GetRGBMasked(&image, 0, 0, 1, 1, 0, 0, 9, 3, 0, 1, 2, out.data()); }), 37u);
    CvBitmapImage small(2, 2);
    EXPECT_EQ(ErrorOf([&] { image.GetRGBMasked(&small, 0, 0, 1, 1, 0, 0, 3, 3, 0, 1, 2, out.data()); }), 21u);

    const std::unique_ptr<CvRGBImage> white = RgbRow({kWhite, kWhite, kWhite});
    CvGrayscaleImage soft(3, 1);
    std::memcpy(CvPixelLock(soft).Pixels(), "\x00\x80\xFF", 3);
    white->GetRGBMasked(&soft, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data());
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 128, 128, 128, 255, 255, 255}));
    for (auto [opacity, expected] : {std::pair<float, uint8_t>{0.0f, 0}, {0.5f, 128}, {1.0f, 255}}) {
        std::fill(out.begin(), out.end(), 0);
        white->GetRGBBlended(opacity, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data());
        EXPECT_EQ(out, std::vector<uint8_t>(9, expected)) << opacity;
    }
    // Toward a darker source, through a mask that only lets the middle pixel through.
    CvRGBImage dark(3, 1);
    CvBitmapImage middle(3, 1);
    CvPixelLock(middle).Pixels()[0] = 0xA0;  // pixels 0 and 2 black (polarity 1)
    std::fill(out.begin(), out.end(), 200);
    dark.GetRGBBlended(0.5f, &middle, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data());
    EXPECT_EQ(out, (std::vector<uint8_t>{200, 200, 200, 100, 100, 100, 200, 200, 200}));
    EXPECT_EQ(ErrorOf([&] { white->BlendRGB(1.0f, 0, 0, 1, 1, 0, 0, 3, 3, 0, 1, 2, nullptr, 3, out.data()); }), 27u);
    // A bitmap blending a source through itself keeps the white pixels' source and leaves the black ones.
    std::vector<uint8_t> src(24 * 3), blended(24 * 3, 0);
    for (uint32_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i + 1);
    mask.BlendRGBMasked(1.0f, 0, 0, 1, 24, 0, 0, 72, 3, 0, 1, 2, blended.data(), 72, src.data());
    for (uint32_t x = 0; x < 24; ++x) EXPECT_EQ(blended[x * 3 + 1], mask.IsWhite(x, 0) ? src[x * 3 + 1] : 0) << x;
}

// A compacted table keeps a used duplicate of an unused entry in a slot of its own, similar colours merge only
// below the threshold, a merge pair marks its candidates taken, an index past the table reads black and counts
// nothing, and counting refuses what it cannot do. The rest of the table work (nearest entries, masked counts,
// limits) shows in the whole runs' bytes.
TEST(CvIndexedImage, CompactingMergePairsAndCountingRefusals) {
    uint8_t map[256] = {};
    const uint32_t used[] = {0, 3, 2, 1};
    std::unique_ptr<CvColorTable> compact(
        CvIndexedImage::CompactTable(PaletteOf({kBlue, kRed, kBlue, kGreen}), used, map));
    EXPECT_EQ(TableBytes(*compact), TableBytes(PaletteOf({kBlue, kRed, kGreen})));
    EXPECT_EQ(std::vector<uint8_t>(map + 1, map + 4), (std::vector<uint8_t>{1, 0, 2}));
    // A distance of 1 is not below 1: 254 joins 255 only from a threshold of 2 (the duplicate red went first).
    auto reds = IndexedImageOf({4, 1, {0, 1, 2, 3}}, PaletteOf({kRed, {254, 0, 0}, kRed, kGreen}));
    reds->MergeSimilarColors(1);
    EXPECT_EQ(reds->colorTable.GetCount(), 3u);
    reds->MergeSimilarColors(2);
    EXPECT_EQ(TableBytes(reds->colorTable), TableBytes(PaletteOf({kRed, kGreen})));
    // Candidates 3 (2 x 25), 1 (3 x 25), 4 (3 x 190^2): entry 3 into entry 1, the candidates marked taken.
    auto pairs = IndexedImageOf({1, 1, {0}}, PaletteOf({{0, 0, 0}, {100, 0, 0}, {0, 0, 10}, {105, 0, 0}, {0, 0, 200}}));
    uint32_t costs[5] = {10, 3, 40, 2, 3};
    uint8_t index = 9, into = 9;
    pairs->ChooseMergePair(costs, 3, &index, &into);
    const uint32_t taken = 0x7FFFFFFF;
    EXPECT_EQ((std::vector<uint32_t>{index, into, costs[0], costs[1], costs[2], costs[3], costs[4]}),
              (std::vector<uint32_t>{3, 1, 10, taken, 40, taken, taken}));
    EXPECT_THROW(CvColorTable().FindNearest(0, -1), CvErrorCode);
    auto past = IndexedImageOf({2, 1, {0, 200}}, PaletteOf({kWhite}));
    uint32_t two[2] = {9, 9};  // only two[0] belongs to the table
    past->CountIndexUsage(two);
    EXPECT_EQ(PixelOf(*past, 1, 0), (RgbTriple{0, 0, 0}));
    EXPECT_EQ((std::vector<uint32_t>{two[0], two[1]}), (std::vector<uint32_t>{1, 9}));
    EXPECT_THROW(past->CountIndexUsage(nullptr), CvErrorCode);
    CvPixelLock lock(*past);
    EXPECT_EQ(ErrorOf([&] { past->CountIndexUsage(two); }), 21u);
}

// The transparency view shows the image where the mask lets it through and a checkerboard of 8 x 8 squares
// elsewhere, in tiles that do not line up with the squares, whatever corner a request starts at (the layouts' reads
// from (1, 1) show a pattern that follows the request instead of the image); a grey mask blends the two. In the
// progress view rows above the ready line come from the source, the others are the placeholder colour (white at
// first).
TEST(CvViewImages, TransparencyShowsACheckerboardAndProgressAPlaceholder) {
    const RgbTriple grey{208, 208, 208}, blue{128, 128, 255};
    CvRGBImage image(40, 20);
    Paint(image);
    CvBitmapImage mask(40, 20);  // all black: only the checkerboard shows
    CvTransImage shown;
    shown.Set(&image, &mask);
    shown.SetBlockSize(7, 3);
    std::vector<uint8_t> checker;
    for (uint32_t i = 0; i < 800; ++i) {
        const RgbTriple& c = ((i % 40 % 16) < 8) == ((i / 40 % 16) < 8) ? grey : blue;
        checker.insert(checker.end(), c.begin(), c.end());
    }
    ExpectEveryLayoutReadsAlike(40, 20, checker, GetRGBOf(shown));
    mask.SetFillColor(1);
    mask.Clear();
    EXPECT_EQ(ReadRGB(shown), ReadRGB(image));
    CvGrayscaleImage soft(40, 20, 128);
    soft.Clear();
    shown.SetMask(&soft);
    const RgbTriple p = PixelOf(shown, 30, 2), source = Expected(30, 2);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(p[c], (blue[c] * 127 + 128 * source[c] + 127) / 255);
    EXPECT_THROW(shown.Clone(), CvErrorCode);
    EXPECT_THROW(shown.FlipVertical(), CvErrorCode);
    CvProgImage progress(&image);
    EXPECT_EQ(ReadRGB(progress), std::vector<uint8_t>(2400, 255));
    progress.SetRowsReady(20);
    EXPECT_EQ(ReadRGB(progress), ReadRGB(image));
    progress.SetRowsReady(3);
    progress.SetPlaceholder(1, 2, 3);
    std::vector<uint8_t> expected = ReadRGB(image);
    for (size_t i = 3 * 40 * 3; i < expected.size(); ++i) expected[i] = uint8_t(1 + i % 3);
    ExpectEveryLayoutReadsAlike(40, 20, expected, GetRGBOf(progress));
}
