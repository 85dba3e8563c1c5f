// The off-screen picture drawn, copied into a real window and read back from the display, pixel for pixel.
// Pictures are asymmetric and use distinct red and blue, so flips, offsets and channel swaps show.
#include <gtest/gtest.h>

#include <map>

#include "tests/support/ErrorOf.h"
#include "tests/support/PixelMismatches.h"
#include "tests/support/Transcript.h"
#include "tests/win/support/ControlCanvas.h"
#include "tests/win/support/PaneBench.h"
#include "wnatom/ControlBitmap.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

void SetRgb(ControlBitmap& bitmap, int x, int y, uint32_t rgb) {
    bitmap.SetPixel(x, y, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
}

// The picture as kept in memory, read as the display's pixels are.
struct Stored {
    const ControlBitmap& bitmap;
    uint32_t At(int x, int y) const {
        const uint8_t* pixel = bitmap.Row(y) + 4 * x;
        return BenchRgb(pixel[2], pixel[1], pixel[0]);
    }
};

class ControlBitmapTest : public ::testing::TestWithParam<bool> {
protected:
    // The canvas cleared to the face, then `draw` run, then read back from the display.
    BenchPixels DrawnOnCanvas(std::function<void()> draw) {
        canvas.draw = std::move(draw);
        return canvas.Shown();
    }

    ControlCanvas canvas{280, 200};
};

// The last column keeps the fill; pixels lie in memory as B, G, R, 0 in the chosen row order; points outside the
// picture are ignored (written, they would land on a pixel of the next or previous row).
TEST_P(ControlBitmapTest, PicturesComeBackTheRightWayRoundWholeOrInPart) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 61, 40, GetParam());
    bitmap.Fill(10, 20, 30);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) SetRgb(bitmap, x, y, AsymmetricPixel(x, y));
    bitmap.SetPixel(61, 0, 1, 1, 1);
    bitmap.SetPixel(-1, 1, 1, 1, 1);
    const uint8_t* rowZero = bitmap.Pixels() + (GetParam() ? 0 : 39 * 61 * 4);
    EXPECT_EQ(bitmap.Row(0), rowZero);
    EXPECT_EQ(std::vector<uint8_t>(rowZero + 4, rowZero + 8), (std::vector<uint8_t>{200, 101, 10, 0}));  // (1, 0)

    const auto expected = [](int x, int y) { return x < 60 ? AsymmetricPixel(x, y) : BenchRgb(10, 20, 30); };
    const BenchPixels shown = DrawnOnCanvas([&] {
        bitmap.Blit(5, 7, 0, 0, 61, 40);
        bitmap.Blit(100, 7, 57, 35, 4, 5);  // the lower right corner only
    });
    EXPECT_EQ(PixelMismatches(shown, 5, 7, 61, 40, expected), 0)
        << "corner (0, 0) shows " << std::hex << shown.At(5, 7);
    EXPECT_EQ(PixelMismatches(shown, 100, 7, 4, 5, [&](int x, int y) { return expected(57 + x, 35 + y); }), 0);
    EXPECT_EQ(PixelsAt(shown, {POINT{4, 7}, {66, 46}, {104, 7}, {100, 12}}), std::vector<uint32_t>(4, ButtonFaceRgb()));
}

// The inside of a 13 x 11 picture is x 4..8, y 4..6, inside a frame of black, two white and black rings; one
// diagonal of the cross is the line from (4, 4) to (8, 6), the other its mirror image. Both row orders draw the
// pictures of tests/data/transcripts/wnatom/FrameInsideCross.txt.
TEST_P(ControlBitmapTest, FrameBandsAndInsideHaveTheirExactWidths) {
    ControlBitmap pictures[3];
    for (ControlBitmap& bitmap : pictures) {
        bitmap.Create(canvas.Handle(), 13, 11, GetParam());
        bitmap.Fill(200, 0, 100);
    }
    pictures[0].DrawFrame();
    pictures[1].FillInside(0, 90, 255);
    pictures[2].DrawCross();
    const BenchPixels shown = DrawnOnCanvas([&] {
        for (int i = 0; i < 3; ++i) pictures[i].Blit(20 * i, 0, 0, 0, 13, 11);
    });
    const std::map<uint32_t, char> legend = {{kBlack, '#'},
                                             {kWhite, '.'},
                                             {ButtonFaceRgb(), ' '},
                                             {BenchRgb(200, 0, 100), 'o'},
                                             {BenchRgb(0, 90, 255), 'b'}};
    Transcript("wnatom/FrameInsideCross").Picture("# black, . white, o the fill, b blue", 53, 11, [&](int x, int y) {
        return legend.count(shown.At(x, y)) ? legend.at(shown.At(x, y)) : '?';
    });
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, ControlBitmapTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "TopDown" : "BottomUp";
                         });

class ControlBitmapStretchTest : public ControlBitmapTest {};

// Shrunk by 8, 8 x 8 blocks: the left four plain ones show their colour, the right two (a red and green
// checkerboard) red or green, never a mixture made by combining the two.
TEST_F(ControlBitmapStretchTest, EnlargingRepeatsEachPixelAndShrinkingKeepsOneColourOfEachBlock) {
    ControlBitmap small, large;
    small.Create(canvas.Handle(), 4, 3, false);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) SetRgb(small, x, y, AsymmetricPixel(x, y));
    large.Create(canvas.Handle(), 48, 16, true);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x)
            SetRgb(large, x, y, x < 32 ? AsymmetricPixel(x / 8, y / 8) : (x + y) % 2 ? 0xFF0000 : 0x00FF00);
    const BenchPixels shown = DrawnOnCanvas([&] {
        small.StretchBlit(10, 10, 1, 0, 3, 3, 8, true);
        large.StretchBlit(100, 10, 0, 0, 48, 16, 8, false);
    });
    EXPECT_EQ(PixelMismatches(shown, 10, 10, 24, 24, [](int x, int y) { return AsymmetricPixel(1 + x / 8, y / 8); }),
              0);
    EXPECT_EQ(PixelMismatches(shown, 100, 10, 4, 2, AsymmetricPixel), 0);
    for (const uint32_t rgb : PixelsAt(shown, {POINT{104, 10}, {105, 10}, {104, 11}, {105, 11}}))
        EXPECT_TRUE(rgb == 0xFF0000 || rgb == 0x00FF00) << std::hex << rgb;
    EXPECT_EQ(PixelsAt(shown, {POINT{34, 10}, {10, 34}, {106, 10}, {100, 12}}),
              std::vector<uint32_t>(4, ButtonFaceRgb()));
}

// Only exact light grey takes the button face; a failed resize keeps the old picture usable.
TEST_F(ControlBitmapStretchTest, ResourceBitmapsArriveWholeLightGreyTakesTheFaceAndResizeIsSafe) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 2, 2, false);
    bitmap.LoadResourceBitmap(GetModuleHandleW(nullptr), 1);
    ASSERT_EQ(std::make_pair(bitmap.Width(), bitmap.Height()), std::make_pair(5, 3));
    EXPECT_EQ(PixelMismatches(Stored{bitmap}, 0, 0, 5, 3,
                              [](int x, int y) {
                                  return BenchRgb(uint8_t(40 * x + 15), uint8_t(90 * y + 7),
                                                  uint8_t(250 - 30 * x - 60 * y));
                              }),
              0);
    EXPECT_EQ(ErrorOf([&] { bitmap.LoadResourceBitmap(GetModuleHandleW(nullptr), 999); }), kCvErrNoMemory);

    for (const int x : {0, 2}) bitmap.SetPixel(x, 0, 192, 192, 192);
    bitmap.SetPixel(1, 0, 192, 192, 191);
    bitmap.ToButtonFace();
    EXPECT_EQ(PixelsAt(Stored{bitmap}, {POINT{0, 0}, {1, 0}, {2, 0}}),
              (std::vector<uint32_t>{ButtonFaceRgb(), BenchRgb(192, 192, 191), ButtonFaceRgb()}));

    ControlBitmap resized;
    EXPECT_EQ(ErrorOf([&] { resized.Create(canvas.Handle(), 0, 4, true); }), kCvErrNoMemory);
    resized.Create(canvas.Handle(), 6, 4, true);
    EXPECT_FALSE(resized.Resize(6, -4));
    EXPECT_TRUE(resized.Resize(7, -5));
    EXPECT_EQ(std::make_pair(resized.Width(), resized.Height()), std::make_pair(7, 5));
    EXPECT_TRUE(resized.TopDown());
    EXPECT_EQ(ErrorOf([&] { resized.Resize(-1, 5); }), kCvErrNoMemory);
    EXPECT_EQ(resized.Width(), 7);
    ASSERT_NE(resized.Pixels(), nullptr);
    resized.Fill(1, 2, 3);  // still usable
    EXPECT_EQ(resized.Pixels()[0], 3);
}

}  // namespace
