// The preview panes without a window, each walked step by step: layout and zoom (ratios and labels down to the
// halving steps below 1 : 8, centring, zoom changes from the top-left corner, the fitted levels of large pictures,
// wheel zoom about the pointer, clamped panning, resizing about the view centre, paced auto-scroll, view <-> image
// coordinates), the pixels (the 1 : 1 render into B, G, R, 0 and the zoomed-out block averages, whole, by band and
// by rectangle, with spare buffer pixels holding a poison value so reading or writing outside the image shows) and
// the options pane's mask edits (the picker's three modes, pencil strokes both ways under either mask polarity,
// edge-brush strokes that touch only the image's outer ring or grow a region by one pixel). The steps and their
// reviewed outcomes are the lines of tests/data/transcripts/uicore/PreviewLayout.txt and MaskEdit.txt ('#'
// transparent).
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvRGBImage.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/PixelMismatches.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcMaskEdit.h"
#include "uicore/HcPreviewLayout.h"
#include "uicore/HcPreviewRaster.h"

namespace {

// The level, scaled size, origin, least origin and whether the picture is centred across and down.
std::string State(const HcPreviewLayout& layout) {
    return Transcript::Line(layout.Zoom().level, layout.ScaledWidth(), layout.ScaledHeight(), layout.Origin(),
                            layout.MinOrigin(), layout.CentredX(), layout.CentredY());
}

std::string Outcome(bool result, const HcPreviewLayout& layout) {
    return (result ? "yes: " : "no: ") + State(layout);
}

// The image pixel under a view point, and whether it lies in the image.
std::string ImageUnder(const HcPreviewLayout& layout, HcPoint view) {
    HcPoint image;
    const bool inside = layout.ViewToImage(view, image);
    return TextOf(image) + (inside ? " in" : " out");
}

constexpr uint8_t kSpare = 0xAB;

// Buffers of the sizes the panes create: the image plus 7 spare columns and rows, and integer halves plus 1.
struct Buffers {
    uint32_t width, height;
    std::vector<uint8_t> fullMemory, reducedMemory;
    Buffers(uint32_t w, uint32_t h)
        : width(w),
          height(h),
          fullMemory(size_t(w + 7) * (h + 7) * 4, kSpare),
          reducedMemory(size_t(w / 2 + 1) * (h / 2 + 1) * 4, kSpare) {}
    HcPreviewRaster Raster() {
        return HcPreviewRaster({fullMemory.data(), width + 7, height + 7},
                               {reducedMemory.data(), width / 2 + 1, height / 2 + 1}, width, height);
    }
};

// A buffer pixel B, G, R, 0 read as one little-endian word: 0xRRGGBB when its fourth byte is 0.
uint32_t Word(const uint8_t* p) {
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

uint32_t Painted(uint32_t x, uint32_t y) {
    const std::array<uint8_t, 3> rgb = Expected(x, y);
    return uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
}

std::string Mask(const CvGIFFrame& frame) {
    return Transcript::Picture(int(frame.GetWidth()), int(frame.GetHeight()), [&](int x, int y) {
        return frame.GetTransparencyMask()->IsWhite(uint32_t(x), uint32_t(y)) ? '.' : '#';
    });
}

}  // namespace

TEST(HcPreviewLayout, ZoomPanResizeWheelAndAutoScrollWalk) {
    HcPreviewLayout layout;
    HcWheelSteps wheel;
    Transcript::Replay("uicore/PreviewLayout", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const auto at = [&] { return HcPoint{step(1), step(2)}; };
        if (op == "level") {
            const HcZoom zoom = HcZoom::ForLevel(step(1));
            return Transcript::Line(zoom.level, zoom.Label(), zoom.Scale(100), zoom.Scale(60),
                                    HcZoom::IsLevel(step(1)));
        }
        if (op == "layout") {  // image width and height, view width and height, level
            layout = HcPreviewLayout();
            layout.SetViewSize(step(3), step(4));
            layout.SetImageSize(uint32_t(step(1)), uint32_t(step(2)));
            layout.SetZoom(step(5));
            return State(layout);
        }
        if (op == "pan") return Outcome(layout.Pan(step(1), step(2)), layout);
        if (op == "scroll") return Outcome(layout.ScrollTo(at()), layout);
        if (op == "zoom") return Outcome(layout.SetZoom(step(1)), layout);
        if (op == "in" || op == "out") return Outcome(layout.ZoomStep(op == "in"), layout);
        if (op == "image") return Outcome(layout.SetImageSize(uint32_t(step(1)), uint32_t(step(2))), layout);
        if (op == "view") {
            layout.SetViewSize(step(1), step(2));
            return State(layout) + " centre on " + ImageUnder(layout, {step(1) / 2, step(2) / 2});
        }
        if (op == "auto-scroll") return Outcome(layout.AutoScroll(at()), layout);
        if (op == "auto-scroll-shift") return TextOf(layout.AutoScrollShift(at()));
        if (op == "auto-scroll-step") return std::to_string(HcPreviewLayout::AutoScrollStep(step(1)));
        if (op == "fitted") return std::to_string(layout.FittedLevel());
        if (op == "zoom-fitted") return Outcome(layout.SetZoom(layout.FittedLevel()), layout);
        if (op == "out-all") {
            while (layout.ZoomStep(false)) continue;
            return Transcript::Line(layout.Zoom().level, "can zoom out", layout.CanZoomOut());
        }
        if (op == "wheel-in" || op == "wheel-out") {
            const bool result = layout.ZoomStepAbout(op == "wheel-in", at());
            return Outcome(result, layout) + " under the pointer " + ImageUnder(layout, at());
        }
        if (op == "turn") return std::to_string(wheel.Add(step(1)));
        if (op == "under") return ImageUnder(layout, at());
        if (op == "to-view") return TextOf(layout.ImageToView(at()));
        return "";
    });
    EXPECT_EQ(ErrorOf([&] { layout.SetImageSize(HcPreviewLayout::kMaxImageSide + 1, 1); }), 21);
}

// Every block is the average of its pixels, the last column and row of blocks cut by the edges; straight from the
// image, in bands that cut rows of blocks, the blocks are the same and the full buffer is never touched. A rectangle
// recomputes just the blocks under it; no image is white; buffers and images of other sizes are refused.
TEST(HcPreviewRaster, BlocksAverageTheirPixelsFromTheBufferTheImageOrARectangleAndSizesAreChecked) {
    CvRGBImage image(100, 60);
    Paint(image);
    for (uint32_t den : {2u, 3u, 8u, 16u, 32u, 128u}) {
        SCOPED_TRACE(den);
        Buffers viaFull(100, 60), direct(100, 60);
        const HcPreviewRaster raster = viaFull.Raster();
        raster.Render(&image);
        EXPECT_EQ(raster.Full().At(100, 0)[0], kSpare);

        raster.Downsample(den);
        const uint32_t columns = (100 + den - 1) / den, rows = (60 + den - 1) / den;
        for (uint32_t by = 0; by < rows; ++by)
            for (uint32_t bx = 0; bx < columns; ++bx)
                ASSERT_EQ(Word(raster.Reduced().At(bx, by)), BlockAverage(Painted, bx, by, den, 100, 60))
                    << bx << ", " << by;
        EXPECT_EQ(raster.Reduced().At(columns, 0)[0], kSpare);
        EXPECT_EQ(raster.Reduced().At(0, rows)[0], kSpare);

        for (uint32_t top = 0; top < 60; top += 7) direct.Raster().RenderBlocks(image, den, top, top + 7);
        EXPECT_EQ(direct.reducedMemory, viaFull.reducedMemory);
        EXPECT_EQ(direct.fullMemory, std::vector<uint8_t>(direct.fullMemory.size(), kSpare));
    }

    Buffers stale(100, 60), fresh(100, 60);
    const HcPreviewRaster partial = stale.Raster(), whole = fresh.Raster();
    const uint8_t black[3] = {0, 0, 0};
    for (const HcPreviewRaster* raster : {&partial, &whole}) {
        raster->Render(&image);
        raster->Downsample(3);
        for (const HcPoint at : {HcPoint{20, 15}, HcPoint{24, 19}, HcPoint{1, 1}})
            raster->Full().SetRGB(uint32_t(at.x), uint32_t(at.y), black);
    }
    whole.Downsample(3);
    partial.DownsampleRect(3, 21, 16, 19, 14);  // widened to 16..24 x 11..19: blocks 5..8 x 3..6
    EXPECT_NE(Word(partial.Reduced().At(0, 0)), Word(whole.Reduced().At(0, 0)));
    partial.DownsampleRect(3, -3, -3, -1, -1);  // clipped to 0..2 x 0..2: block 0, 0
    EXPECT_EQ(stale.reducedMemory, fresh.reducedMemory);
    partial.DownsampleRect(3, -9, 5, -4, 6);  // wholly left of the image
    EXPECT_EQ(stale.reducedMemory, fresh.reducedMemory);

    whole.Render(nullptr);
    for (size_t i = 0; i < fresh.fullMemory.size(); ++i) ASSERT_EQ(fresh.fullMemory[i], i % 4 == 3 ? 0 : 255);
    CvRGBImage wrongSize(100, 61);
    EXPECT_EQ(ErrorOf([&] { whole.Render(&wrongSize); }), 21);
    EXPECT_EQ(ErrorOf([&] { HcPreviewRaster({fresh.fullMemory.data(), 99, 67}, whole.Reduced(), 100, 60); }), 21);
    EXPECT_EQ(ErrorOf([&] { HcPreviewRaster(whole.Full(), {fresh.reducedMemory.data(), 49, 1}, 100, 60); }), 21);
}

// Frames: "picker", pixel (x, y) of index (x + 2y) % 8, index 2 transparent and flagged in the settings; "opaque"
// of a size and mask polarity (0: set bits opaque), index (x + y) % 8 and background (9, 8, 7), shown at 1 : 1 in a
// 15 x 12 buffer; "block" of a size, index x % 8 and transparent at 10..14 x 10..14. Shift adds the picked index, Ctrl
// removes it, neither keeps only it; Shift wins when both are held; the settings' flags follow every pick as the frame
// does. The pencil paints, Ctrl makes pixels opaque again; a stroke leaves the frame's flag to whoever ends it.
TEST(HcMaskEdit, PickerPencilAndEdgeBrushWalk) {
    std::unique_ptr<CvGIFFrame> frame;
    std::optional<HcMaskStroke> stroke;
    HcMaskChange change;
    uint8_t flags[256] = {};
    std::vector<uint8_t> memory(15 * 12 * 4);
    const HcBgrxBuffer full{memory.data(), 15, 12};
    const char* const modes[] = {"only this", "add", "remove"};
    Transcript::Replay("uicore/MaskEdit", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const HcPoint at{step.words.size() > 2 ? step(1) : 0, step.words.size() > 2 ? step(2) : 0};
        if (op == "picker") {
            frame = MakeFrame(
                6, 4, 8, [](uint32_t x, uint32_t y) { return (x + 2 * y) % 8; },
                [](uint32_t x, uint32_t y) { return uint32_t((x + 2 * y) % 8 == 2); });
            std::fill(std::begin(flags), std::end(flags), uint8_t(0));
            flags[2] = 1;
        }
        if (op == "opaque" || op == "block")  // width, height
            frame = MakeFrame(
                uint32_t(step(1)), uint32_t(step(2)), 8,
                [&](uint32_t x, uint32_t y) { return op == "opaque" ? (x + y) % 8 : x % 8; },
                [&](uint32_t x, uint32_t y) { return uint32_t(op == "block" && x - 10 < 5 && y - 10 < 5); });
        if (op == "opaque" && step(3) == 0) {  // polarity
            auto* mask = new CvBitmapImage(uint32_t(step(1)), uint32_t(step(2)));
            mask->SetPolarity(0);
            delete frame->SetTransparencyMask(mask);
        }
        const uint8_t background[3] = {9, 8, 7};
        if (op == "opaque") frame->SetBackgroundColor(background);
        if (op == "pencil" || op == "edge")
            stroke.emplace(*frame, op == "pencil" ? HcMaskStroke::Brush::Pencil : HcMaskStroke::Brush::EdgeBrush, at);
        if (op == "size") frame->SetSize(uint32_t(step(1)), uint32_t(step(2)));  // the stroke's snapshot no longer fits
        if (op == "picker" || op == "opaque" || op == "block" || op == "mask")
            return Transcript::Line("transparency", frame->HasTransparency()) + Mask(*frame);
        if (op == "pencil" || op == "edge" || op == "size") return "done";
        if (op == "pick") {  // Shift, Ctrl
            const HcPickMode mode = HcPickModeFor(step(3), step(4));
            const int picked = HcPickIndex(*frame, at, mode);
            if (picked >= 0) HcPickFlags(flags, uint8_t(picked), mode);
            std::vector<int> flagged;
            for (int i = 0; i < 256; ++i)
                if (flags[i]) flagged.push_back(i);
            return Transcript::Line(modes[int(mode)], "index", picked, "flags", Transcript::Listed(flagged),
                                    "transparency", frame->HasTransparency()) +
                   Mask(*frame);
        }
        if (op == "line") {  // to, opaque: the pixels it changed and their bounds
            const uint32_t error = ErrorOf([&] { change = stroke->LineTo(at, step(3)); });
            return error ? "error " + std::to_string(error)
                         : Transcript::Line("changes", Transcript::Listed(change.pixels), "within",
                                            HcPoint{change.bounds.left, change.bounds.top},
                                            HcPoint{change.bounds.right, change.bounds.bottom});
        }
        if (op == "shown") {  // the last line's pixels shown in the buffer, then the buffer's pixel there
            HcShowMaskPixels(*frame, change.pixels, full);
            return Transcript::Listed(std::vector<uint8_t>(full.At(at.x, at.y), full.At(at.x, at.y) + 4));
        }
        return "";
    });
}
