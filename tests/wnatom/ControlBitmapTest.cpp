// The off-screen picture drawn, copied into a real window and read back from the display, pixel for pixel.
// Pictures are asymmetric and use distinct red and blue, so flips, offsets and channel swaps show.
#include <gtest/gtest.h>

#include "tests/support/ErrorOf.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/ControlBitmap.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

// Red steps with x, green with y (odd steps, so no value repeats within 256 pixels), blue falls with both: no
// two pixels of a picture agree, and neighbours differ enough to see in a screenshot.
uint32_t Asymmetric(int x, int y) {
    return BenchRgb(uint8_t(x * 37 + 3), uint8_t(y * 53 + 1), uint8_t(250 - x - y));
}

void DrawAsymmetric(ControlBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const uint32_t rgb = Asymmetric(x, y);
            bitmap.SetPixel(x, y, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
        }
}

class ControlBitmapTest : public ::testing::TestWithParam<bool> {
protected:
    ControlBitmapTest() : host(300, 220), canvas(host.Handle(), {10, 10, 290, 210}) {}

    // The canvas cleared to grey, then `draw` run, then the canvas read back from the display.
    template <class Draw>
    BenchPixels DrawnOnCanvas(Draw&& draw) {
        ControlBitmap background;
        background.Create(canvas.Handle(), 280, 200, true);
        background.Fill(128, 128, 128);
        background.Blit(0, 0, 0, 0, 280, 200);
        draw();
        return CaptureClient(canvas.Handle());
    }

    BenchHostWindow host;
    BenchCanvas canvas;
};

std::string Orientation(bool topDown) {
    return topDown ? "top-down" : "bottom-up";
}

TEST_P(ControlBitmapTest, PixelsAreStoredBlueGreenRedInTheChosenRowOrder) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 3, 2, GetParam());
    bitmap.Fill(0, 0, 0);
    bitmap.SetPixel(1, 0, 10, 20, 30);
    const uint8_t* first = bitmap.Pixels() + (GetParam() ? 0 : 3 * 4) + 4;  // (1, 0) in memory
    EXPECT_EQ(std::vector<uint8_t>(first, first + 4), (std::vector<uint8_t>{30, 20, 10, 0}));
    EXPECT_EQ(bitmap.Row(0), GetParam() ? bitmap.Pixels() : bitmap.Pixels() + 12);
    bitmap.SetPixel(3, 0, 1, 1, 1);  // outside: ignored
    bitmap.SetPixel(-1, 1, 1, 1, 1);
    EXPECT_EQ(bitmap.Pixels()[3 * 4 * 2 - 4], 0);
}

TEST_P(ControlBitmapTest, FillSetPixelAndBlitShowExactlyInTheWindow) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 6, 4, GetParam());
    bitmap.Fill(10, 20, 30);
    bitmap.SetPixel(0, 0, 255, 0, 0);
    bitmap.SetPixel(5, 0, 0, 255, 0);
    bitmap.SetPixel(0, 3, 0, 0, 255);
    bitmap.SetPixel(4, 2, 1, 2, 3);
    const BenchPixels shown = DrawnOnCanvas([&] {
        bitmap.Blit(20, 30, 0, 0, 6, 4);
        bitmap.Blit(40, 30, 3, 1, 3, 3);  // the lower right part only
    });
    const uint32_t fill = BenchRgb(10, 20, 30), grey = BenchRgb(128, 128, 128);
    const std::vector<uint32_t> whole = {0xFF0000, fill, fill, fill, fill,     0x00FF00,  //
                                         fill,     fill, fill, fill, fill,     fill,      //
                                         fill,     fill, fill, fill, 0x010203, fill,      //
                                         0x0000FF, fill, fill, fill, fill,     fill};
    EXPECT_EQ(shown.Crop(20, 30, 26, 34).rgb, whole) << DescribePixels(shown.Crop(19, 29, 27, 35));
    EXPECT_EQ(shown.Crop(40, 30, 43, 33).rgb,
              (std::vector<uint32_t>{fill, fill, fill, fill, 0x010203, fill, fill, fill, fill}));
    EXPECT_EQ(shown.At(19, 30), grey);
    EXPECT_EQ(shown.At(26, 33), grey);
    EXPECT_EQ(shown.At(43, 30), grey);
}

TEST_P(ControlBitmapTest, AsymmetricPictureComesBackTheRightWayRound) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 60, 40, GetParam());
    DrawAsymmetric(bitmap);
    const BenchPixels shown = DrawnOnCanvas([&] { bitmap.Blit(5, 7, 0, 0, 60, 40); });
    const BenchPixels picture = shown.Crop(5, 7, 65, 47);
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) wrong += picture.At(x, y) != Asymmetric(x, y);
    EXPECT_EQ(wrong, 0) << "corner (0, 0) shows " << std::hex << picture.At(0, 0);
    SaveScreenshot(shown, "controlbitmap-asymmetric-" + Orientation(GetParam()));
}

TEST_P(ControlBitmapTest, FrameBandsAndInsideHaveTheirExactWidths) {
    ControlBitmap frame, filled, crossed;
    for (ControlBitmap* bitmap : {&frame, &filled, &crossed}) {
        bitmap->Create(canvas.Handle(), 13, 11, GetParam());
        bitmap->Fill(200, 0, 100);
    }
    frame.DrawFrame();
    filled.FillInside(0, 90, 255);
    crossed.DrawCross();
    const BenchPixels shown = DrawnOnCanvas([&] {
        frame.Blit(0, 0, 0, 0, 13, 11);
        filled.Blit(20, 0, 0, 0, 13, 11);
        crossed.Blit(40, 0, 0, 0, 13, 11);
        frame.StretchBlit(0, 20, 0, 0, 13, 11, 8, true);  // enlarged for the screenshot
        filled.StretchBlit(110, 20, 0, 0, 13, 11, 8, true);
        crossed.StretchBlit(0, 110, 0, 0, 13, 11, 8, true);
    });
    SaveScreenshot(shown, "controlbitmap-frame-inside-cross-" + Orientation(GetParam()));

    const uint32_t original = BenchRgb(200, 0, 100);
    // The inside of a 13 × 11 picture is x 4..8, y 4..6; one diagonal is the line from (4, 4) to (8, 6), the
    // other its mirror image.
    const std::vector<std::pair<int, int>> cross = {{4, 4}, {5, 5}, {6, 5}, {7, 6}, {8, 6},
                                                    {8, 4}, {7, 5}, {6, 5}, {5, 6}, {4, 6}};
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x) {
            const int ring = std::min(std::min(x, y), std::min(12 - x, 10 - y));
            const bool inside = ring >= 4;
            const uint32_t frameColour = ring == 0 || ring == 3 ? kBlack : ring < 3 ? kWhite : original;
            const bool onCross = std::find(cross.begin(), cross.end(), std::make_pair(x, y)) != cross.end();
            EXPECT_EQ(shown.At(x, y), frameColour) << "frame at " << x << ", " << y;
            EXPECT_EQ(shown.At(20 + x, y), inside ? BenchRgb(0, 90, 255) : original) << "inside at " << x << ", " << y;
            EXPECT_EQ(shown.At(40 + x, y), !inside   ? original
                                           : onCross ? kBlack
                                                     : kWhite)
                << "cross at " << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, ControlBitmapTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "TopDown" : "BottomUp";
                         });

class ControlBitmapStretchTest : public ControlBitmapTest {};

TEST_F(ControlBitmapStretchTest, EnlargingRepeatsEachPixelFactorTimesEachWay) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 4, 3, false);
    DrawAsymmetric(bitmap);
    const BenchPixels shown = DrawnOnCanvas([&] { bitmap.StretchBlit(10, 10, 1, 0, 3, 3, 8, true); });
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(shown.At(10 + x, 10 + y), Asymmetric(1 + x / 8, y / 8)) << x << ", " << y;
    EXPECT_EQ(shown.At(34, 10), BenchRgb(128, 128, 128));
    EXPECT_EQ(shown.At(10, 34), BenchRgb(128, 128, 128));
    SaveScreenshot(shown, "controlbitmap-stretch-x8");
}

TEST_F(ControlBitmapStretchTest, ShrinkingKeepsOneColourOfEachBlock) {
    // 8 × 8 blocks: the left four plain, the right two a red and green checkerboard. Shrunk by 8, each plain
    // block is its colour, and each checkered one red or green, never a mixture made by combining the two.
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 48, 16, true);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x) {
            const uint32_t rgb = x < 32 ? Asymmetric(x / 8, y / 8) : (x + y) % 2 ? 0xFF0000 : 0x00FF00;
            bitmap.SetPixel(x, y, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
        }
    const BenchPixels shown = DrawnOnCanvas([&] { bitmap.StretchBlit(10, 10, 0, 0, 48, 16, 8, false); });
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(shown.At(10 + x, 10 + y), Asymmetric(x, y)) << x << ", " << y;
        for (int x = 4; x < 6; ++x) {
            const uint32_t rgb = shown.At(10 + x, 10 + y);
            EXPECT_TRUE(rgb == 0xFF0000 || rgb == 0x00FF00) << std::hex << rgb << " at " << x << ", " << y;
        }
    }
    EXPECT_EQ(shown.At(16, 10), BenchRgb(128, 128, 128));
    EXPECT_EQ(shown.At(10, 12), BenchRgb(128, 128, 128));
}

class ControlBitmapResourceTest : public ControlBitmapTest {};

TEST_F(ControlBitmapResourceTest, ResourceBitmapArrivesWithItsSizeAndColours) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 2, 2, false);
    bitmap.LoadResourceBitmap(GetModuleHandleW(nullptr), 1);
    ASSERT_EQ(bitmap.Width(), 5);
    ASSERT_EQ(bitmap.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint8_t* pixel = bitmap.Row(y) + x * 4;
            EXPECT_EQ(BenchRgb(pixel[2], pixel[1], pixel[0]),
                      BenchRgb(uint8_t(40 * x + 15), uint8_t(90 * y + 7), uint8_t(250 - 30 * x - 60 * y)))
                << x << ", " << y;
        }
    EXPECT_EQ(ErrorOf([&] { bitmap.LoadResourceBitmap(GetModuleHandleW(nullptr), 999); }), kCvErrNoMemory);
}

TEST_F(ControlBitmapResourceTest, OnlyLightGreyTakesTheButtonFace) {
    ControlBitmap bitmap;
    bitmap.Create(canvas.Handle(), 3, 1, true);
    bitmap.SetPixel(0, 0, 192, 192, 192);
    bitmap.SetPixel(1, 0, 192, 192, 191);
    bitmap.SetPixel(2, 0, 192, 192, 192);
    bitmap.ToButtonFace();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint8_t* row = bitmap.Row(0);
    EXPECT_EQ(BenchRgb(row[2], row[1], row[0]), BenchRgb(GetRValue(face), GetGValue(face), GetBValue(face)));
    EXPECT_EQ(BenchRgb(row[6], row[5], row[4]), BenchRgb(192, 192, 191));
    EXPECT_EQ(BenchRgb(row[10], row[9], row[8]), BenchRgb(GetRValue(face), GetGValue(face), GetBValue(face)));
}

TEST_F(ControlBitmapResourceTest, ResizeRecreatesOnlyOnAChangeAndKeepsThePictureOnFailure) {
    ControlBitmap bitmap;
    EXPECT_EQ(ErrorOf([&] { bitmap.Create(canvas.Handle(), 0, 4, true); }), kCvErrNoMemory);
    bitmap.Create(canvas.Handle(), 6, 4, true);
    EXPECT_FALSE(bitmap.Resize(6, -4));
    EXPECT_TRUE(bitmap.Resize(7, -5));
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Height(), 5);
    EXPECT_TRUE(bitmap.TopDown());
    EXPECT_EQ(ErrorOf([&] { bitmap.Resize(-1, 5); }), kCvErrNoMemory);
    EXPECT_EQ(bitmap.Width(), 7);
    ASSERT_NE(bitmap.Pixels(), nullptr);
    bitmap.Fill(1, 2, 3);  // still usable
    EXPECT_EQ(bitmap.Pixels()[0], 3);
}

}  // namespace
