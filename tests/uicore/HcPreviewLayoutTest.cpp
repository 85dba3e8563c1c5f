// Pane layout and zoom levels, walked step by step: ratios and labels down to the halving steps below 1 : 8,
// centring, zoom changes from the top-left corner, the fitted levels of large pictures, wheel zoom about the
// pointer, clamped panning, resizing about the view centre, paced auto-scroll and view <-> image coordinates.
// Each step's outcome is a line of tests/data/transcripts/uicore/PreviewLayout.txt.
#include <gtest/gtest.h>

#include "tests/support/ErrorOf.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcPreviewLayout.h"

namespace {

HcPreviewLayout LayoutOf(uint32_t imageWidth, uint32_t imageHeight, int32_t viewWidth, int32_t viewHeight,
                         int level = 0) {
    HcPreviewLayout layout;
    layout.SetViewSize(viewWidth, viewHeight);
    layout.SetImageSize(imageWidth, imageHeight);
    layout.SetZoom(level);
    return layout;
}

// A step's result, then the level, scaled size, origin, least origin and whether it is centred across and down.
void Log(Transcript& t, const std::string& step, const HcPreviewLayout& layout, bool result) {
    t(step, result ? "yes:" : "no:", layout.Zoom().level, layout.ScaledWidth(), layout.ScaledHeight(), layout.Origin(),
      layout.MinOrigin(), layout.CentredX(), layout.CentredY());
}

// The image pixel under a view point, and whether it lies in the image.
std::string ImageUnder(const HcPreviewLayout& layout, HcPoint view) {
    HcPoint image;
    const bool inside = layout.ViewToImage(view, image);
    std::ostringstream text;
    text << image << (inside ? " in" : " out");
    return text.str();
}

}  // namespace

TEST(HcPreviewLayout, ZoomPanResizeWheelAndAutoScrollWalk) {
    Transcript t("uicore/PreviewLayout");
    // Scaled sizes round up, so the last partial block of a zoomed-out picture still shows; levels outside the
    // range clamp to its ends.
    for (int level : {-40, -20, -19, -9, -8, -7, -2, 0, 3, 7, 8, 40}) {
        const HcZoom zoom = HcZoom::ForLevel(level);
        t("level", level, zoom.level, zoom.Label(), zoom.Scale(100), zoom.Scale(60), HcZoom::IsLevel(level));
    }
    HcPreviewLayout fits = LayoutOf(100, 60, 301, 200);
    Log(t, "fitting: pan, auto-scroll, scroll", fits,
        fits.Pan(-10, 10) || fits.AutoScroll({-40, 500}) || fits.ScrollTo({0, 0}));

    HcPreviewLayout layout = LayoutOf(100, 600, 200, 100);  // centred across only: that direction stays
    const auto step = [&](const std::string& what, bool result) { Log(t, what, layout, result); };
    step("tall: pan -30 -30", layout.Pan(-30, -30));
    step("pan 0 -5000", layout.Pan(0, -5000));
    step("pan 0 -1", layout.Pan(0, -1));
    step("pan 0 5000", layout.Pan(0, 5000));
    step("pan 0 -500", layout.Pan(0, -500));
    step("zoom 2", layout.SetZoom(2));
    step("zoom 8", layout.SetZoom(8));
    step("zoom 7", layout.SetZoom(7));
    step("pan -7 -7", layout.Pan(-7, -7));
    step("step in", layout.ZoomStep(true));  // already 8 : 1: the view stays where it is
    step("step out", layout.ZoomStep(false));
    layout = LayoutOf(100, 60, 50, 50, 2);
    step("100x60 at 3 : 1, pan -20 -20", layout.Pan(-20, -20));
    step("same image size", layout.SetImageSize(100, 60));
    step("image 60x100", layout.SetImageSize(60, 100));
    EXPECT_EQ(ErrorOf([&] { layout.SetImageSize(HcPreviewLayout::kMaxImageSide + 1, 1); }), 21);

    // Resizing keeps the image point at the view centre.
    for (int level : {0, 1, -2}) {
        layout = LayoutOf(3000, 2400, 200, 100, level);
        layout.ScrollTo({-151, -101});
        for (const HcPoint view : {HcPoint{200, 100}, HcPoint{300, 151}, HcPoint{120, 61}}) {
            layout.SetViewSize(view.x, view.y);
            t("3000x2400 at", level, "in", view, "centre on", ImageUnder(layout, {view.x / 2, view.y / 2}));
        }
    }
    layout = LayoutOf(1000, 800, 200, 100);
    layout.SetViewSize(2000, 100);
    step("1000x800 in a view 2000 wide", true);

    // Auto-scroll steps toward the pointer, faster the further out it is.
    layout = LayoutOf(1000, 800, 200, 100);
    layout.ScrollTo({-300, -200});
    for (const HcPoint pointer : {HcPoint{50, 50}, HcPoint{-5, 100}})
        t("auto-scroll shift at", pointer, layout.AutoScrollShift(pointer));
    step("auto-scroll at (-5,150)", layout.AutoScroll({-5, 150}));
    for (int32_t distance : {0, 1, 3, 8, 40, -40, 248, -5000})
        t("auto-scroll step at", distance, HcPreviewLayout::AutoScrollStep(distance));

    // Large pictures zoom out until they fit and open there; "-" steps all the way there, past 1 : 8 where
    // needed. Columns: width, height, view side.
    const int large[][3] = {{100, 60, 301},  {400, 300, 300},  {2560, 1600, 163}, {7200, 4800, 300},
                            {1000, 10, 100}, {1 << 20, 1, 40}, {3000, 3000, 0}};  // a view not sized yet fits nothing
    for (const auto& c : large) {
        layout = LayoutOf(uint32_t(c[0]), uint32_t(c[1]), c[2], c[2]);
        const int fitted = layout.FittedLevel();
        while (layout.ZoomStep(false)) continue;
        t(c[0], "x", c[1], "in", c[2], "fits at", fitted, "deepest", layout.Zoom().level, layout.CanZoomOut());
        step("at the fitted level", layout.SetZoom(fitted));
    }

    // The wheel zooms about the pointer as far as clamping allows.
    for (bool in : {true, false}) {
        layout = LayoutOf(1000, 800, 200, 100);
        layout.ScrollTo({-300, -200});
        step(in ? "wheel in at (50,30)" : "wheel out at (50,30)", layout.ZoomStepAbout(in, {50, 30}));
        t("  under the pointer", ImageUnder(layout, {50, 30}));
    }
    layout = LayoutOf(1000, 800, 200, 100);
    step("wheel in at (199,0)", layout.ZoomStepAbout(true, {199, 0}));  // the corner cannot move into the view
    // A turn back drops what was left over of the other direction, so its first notch is not lost.
    HcWheelSteps wheel;
    for (int32_t delta : {120, 240, 60, 60, -30, -90, 90, -120}) t("wheel turn", delta, "steps", wheel.Add(delta));

    // View <-> image: 2 : 1 scrolled, then 1 : 3; half a pixel left of the image is still outside.
    layout = LayoutOf(30, 30, 20, 20, 1);
    t("2 : 1 view (-1,0)", ImageUnder(layout, {-1, 0}));
    layout.ScrollTo({-40, -3});
    t("scrolled view (19,0)", ImageUnder(layout, {19, 0}), "(20,0)", ImageUnder(layout, {20, 0}), "image (29,1)",
      layout.ImageToView({29, 1}));
    layout = LayoutOf(100, 60, 10, 10, -2);
    t("1 : 3 view (4,2)", ImageUnder(layout, {4, 2}), "image (14,8)", layout.ImageToView({14, 8}));
}
