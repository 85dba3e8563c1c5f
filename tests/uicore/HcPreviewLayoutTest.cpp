// Pane layout and zoom levels, walked step by step: ratios and labels down to the halving steps below 1 : 8,
// centring, zoom changes from the top-left corner, the fitted levels of large pictures, wheel zoom about the
// pointer, clamped panning, resizing about the view centre, paced auto-scroll and view <-> image coordinates.
// The steps and their reviewed outcomes are the lines of tests/data/transcripts/uicore/PreviewLayout.txt.
#include <gtest/gtest.h>

#include "tests/support/ErrorOf.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcPreviewLayout.h"

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
