// The sprites on a real window: resource bitmaps blended into the button face, the two-state atom switching
// pictures, and text printed line by line 14 pixels apart.
#include <gtest/gtest.h>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnAtoms.h"

namespace {

uint32_t Face() {
    const HcRgb face = WnButtonFace();
    return BenchRgb(face.red, face.green, face.blue);
}

// Whether any pixel in rows [top, bottom) of the picture is dark (text may be smoothed into greys).
bool InkInRows(const BenchPixels& pixels, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if ((pixels.At(x, y) & 0x808080) == 0) return true;
    return false;
}

TEST(WnAtomsTest, BitmapAtomsBlendIntoTheButtonFaceAndSwitchPictures) {
    BenchHostWindow host(100, 60);
    BenchCanvas canvas(host.Handle(), {0, 0, 100, 60});
    WnSBRBAtom eraser(BenchModule(), canvas.Handle(), IDB_SLIDER_THUMB_ERASER, 5, 5);
    WnDBRBAtom arrows(BenchModule(), canvas.Handle(), IDB_SLIDER_LEFT_ARROW, IDB_SLIDER_RIGHT_ARROW, 30, 5);
    EXPECT_EQ(eraser.Rect(), HcPixelRect::At(5, 5, 10, 6));
    eraser.Draw();
    arrows.Draw();
    BenchPixels pixels = CaptureClient(canvas.Handle());
    EXPECT_EQ(pixels.At(5, 5), Face());
    EXPECT_EQ(pixels.At(14, 10), Face());
    // The left arrow's tip is on the left, the right arrow's on the right.
    EXPECT_EQ(pixels.At(30 + 1, 5 + 5), 0u);
    EXPECT_EQ(pixels.At(30 + 6, 5 + 5), 0u);
    EXPECT_EQ(pixels.At(30 + 6, 5 + 1), 0u);
    arrows.SetState(true);
    arrows.Draw();
    pixels = CaptureClient(canvas.Handle());
    EXPECT_EQ(pixels.At(30 + 1, 5 + 1), 0u);
    EXPECT_EQ(pixels.At(30 + 6, 5 + 1), Face());
}

TEST(WnAtomsTest, TextAtomPrintsOneLinePerLineFeedOnItsGround) {
    BenchHostWindow host(100, 60);
    BenchCanvas canvas(host.Handle(), {0, 0, 100, 60});
    WnSTBAtom text(canvas.Handle(), 2, 3, 40, 44, {255, 255, 200}, "Ab\r\n\nCd");
    text.Draw();
    const BenchPixels pixels = CaptureClient(canvas.Handle()).Crop(2, 3, 42, 47);
    EXPECT_EQ(pixels.At(39, 0), BenchRgb(255, 255, 200));
    EXPECT_TRUE(InkInRows(pixels, 0, 14));
    EXPECT_FALSE(InkInRows(pixels, 14, 28)) << "the empty second line";
    EXPECT_TRUE(InkInRows(pixels, 28, 42));
    text.SetText("");
    text.Draw();
    EXPECT_FALSE(InkInRows(CaptureClient(canvas.Handle()).Crop(2, 3, 42, 47), 0, 44));
}

}  // namespace
