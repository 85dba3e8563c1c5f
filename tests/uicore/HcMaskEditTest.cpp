// Mask edits of the options dialog's pane, walked as one session: the picker's three modes, pencil strokes both
// ways under either mask polarity, and edge-brush strokes that touch only the image's outer ring or grow a region
// by one pixel. Each step's pixels and the mask after it ('#' transparent) are in
// tests/data/transcripts/uicore/MaskEdit.txt.
#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcMaskEdit.h"

namespace {

void LogMask(Transcript& t, const std::string& title, const CvGIFFrame& frame) {
    t.Picture(title, int(frame.GetWidth()), int(frame.GetHeight()),
              [&](int x, int y) { return frame.GetTransparencyMask()->IsWhite(uint32_t(x), uint32_t(y)) ? '.' : '#'; });
}

void LogChange(Transcript& t, const std::string& step, const HcMaskChange& change) {
    const HcPixelBounds& b = change.bounds;
    t(step, "changes", Transcript::Listed(change.pixels), "within", HcPoint{b.left, b.top}, HcPoint{b.right, b.bottom});
}

std::unique_ptr<CvGIFFrame> OpaqueFrame(uint32_t width, uint32_t height) {
    return MakeFrame(
        width, height, 8, [](uint32_t x, uint32_t y) { return (x + y) % 8; }, [](uint32_t, uint32_t) { return 0u; });
}

}  // namespace

// Shift adds the picked index, Ctrl removes it, neither keeps only it; Shift wins when both are held. The settings'
// flags follow every pick as the frame does. Pixel (x, y) has index (x + 2y) % 8; index 2 starts transparent.
TEST(HcMaskEdit, PickerPencilAndEdgeBrushWalk) {
    Transcript t("uicore/MaskEdit");
    auto index = [](uint32_t x, uint32_t y) { return (x + 2 * y) % 8; };
    auto frame = MakeFrame(6, 4, 8, index, [&](uint32_t x, uint32_t y) { return uint32_t(index(x, y) == 2); });
    uint8_t flags[256] = {};
    flags[2] = 1;
    const char* const modes[] = {"only this", "add", "remove"};
    // Columns: the pixel, Shift, Ctrl; the last pixel lies outside: nothing happens.
    const std::tuple<HcPoint, bool, bool> picks[] = {{{3, 1}, true, false},
                                                     {{5, 0}, false, true},
                                                     {{1, 2}, false, false},
                                                     {{4, 1}, true, true},
                                                     {{6, 0}, false, false}};
    for (const auto& [pixel, shift, ctrl] : picks) {
        const HcPickMode mode = HcPickModeFor(shift, ctrl);
        const int picked = HcPickIndex(*frame, pixel, mode);
        if (picked >= 0) HcPickFlags(flags, uint8_t(picked), mode);
        std::vector<int> flagged;
        for (int i = 0; i < 256; ++i)
            if (flags[i]) flagged.push_back(i);
        LogMask(t,
                "pick " + TextOf(pixel) + " " + modes[int(mode)] + ": index " + std::to_string(picked) + ", flags " +
                    Transcript::Listed(flagged) + ", transparency " + std::to_string(frame->HasTransparency()),
                *frame);
    }

    // The pencil paints the line, Ctrl makes it opaque again; the stroke leaves the frame's flag to whoever ends it.
    for (uint8_t polarity : {1, 0}) {
        frame = OpaqueFrame(8, 5);
        if (polarity == 0) {  // set bits: opaque
            auto* mask = new CvBitmapImage(8, 5);
            mask->SetPolarity(0);
            delete frame->SetTransparencyMask(mask);
        }
        const uint8_t background[3] = {9, 8, 7};
        frame->SetBackgroundColor(background);
        std::vector<uint8_t> memory(15 * 12 * 4);
        const HcBgrxBuffer full{memory.data(), 15, 12};
        const auto shown = [&] { return Transcript::Listed(std::vector<uint8_t>(full.At(2, 1), full.At(2, 1) + 4)); };
        HcMaskStroke stroke(*frame, HcMaskStroke::Brush::Pencil, {0, 0});
        t("pencil, polarity", polarity);
        LogChange(t, "  down at (0,0)", stroke.LineTo({0, 0}, false));
        const HcMaskChange line = stroke.LineTo({3, 1}, false);
        HcShowMaskPixels(*frame, line.pixels, full);
        LogChange(t, "  to (3,1), (2,1) shows " + shown(), line);
        const HcMaskChange back = stroke.LineTo({-3, 1}, true);
        HcShowMaskPixels(*frame, back.pixels, full);  // index 2 + 1 = 3: entry (3, 252, 116)
        LogChange(t, "  opaque to (-3,1), (2,1) shows " + shown(), back);
        LogChange(t, "  opaque to (0,0)", stroke.LineTo({0, 0}, true));
        LogMask(t, "  transparency " + std::to_string(frame->HasTransparency()), *frame);
    }

    // Far from transparency the edge brush touches only the outer ring: the 5 x 5 squares cover columns -1..12 and
    // rows -1..3.
    frame = OpaqueFrame(20, 20);
    HcMaskStroke ring(*frame, HcMaskStroke::Brush::EdgeBrush, {1, 1});
    ring.LineTo({1, 1}, false);
    ring.LineTo({10, 1}, false);
    LogMask(t, "edge brush (1,1) to (10,1)", *frame);
    frame->SetSize(21, 20);  // the snapshot no longer fits the mask
    EXPECT_EQ(ErrorOf([&] { ring.LineTo({12, 1}, false); }), 21);

    // Near a transparent block (10..14 x 10..14) it grows the region of the stroke's start by one pixel; pixels
    // made transparent by the stroke itself do not spread it further.
    auto inBlock = [](uint32_t x, uint32_t y) { return x >= 10 && x <= 14 && y >= 10 && y <= 14; };
    frame = MakeFrame(
        20, 20, 8, [](uint32_t x, uint32_t) { return x % 8; },
        [&](uint32_t x, uint32_t y) { return uint32_t(inBlock(x, y)); });
    HcMaskStroke grow(*frame, HcMaskStroke::Brush::EdgeBrush, {8, 12});
    LogChange(t, "edge brush down at (8,12)", grow.LineTo({8, 12}, false));
    LogChange(t, "to (6,12)", grow.LineTo({6, 12}, false));
    for (HcPoint corner : {HcPoint{8, 8}, HcPoint{16, 8}, HcPoint{16, 16}, HcPoint{8, 16}, HcPoint{8, 8}})
        grow.LineTo(corner, false);  // around the block, two pixels off
    LogMask(t, "around the block", *frame);
}
