// Mask edits of the options dialog's pane, walked as one replay: the picker's three modes, pencil strokes both ways
// under either mask polarity, and edge-brush strokes that touch only the image's outer ring or grow a region by one
// pixel. The steps, the pixels each changes and the mask after it ('#' transparent) are the lines of
// tests/data/transcripts/uicore/MaskEdit.txt.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcMaskEdit.h"

namespace {

std::string Mask(const CvGIFFrame& frame) {
    return Transcript::Picture(int(frame.GetWidth()), int(frame.GetHeight()), [&](int x, int y) {
        return frame.GetTransparencyMask()->IsWhite(uint32_t(x), uint32_t(y)) ? '.' : '#';
    });
}

}  // namespace

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
