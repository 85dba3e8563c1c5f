// Pane layout and zoom levels: ratios and labels down to the halving steps below 1 : 8, centring, zoom changes from
// the top-left corner, the fitted levels of large pictures, wheel zoom about the pointer, clamped panning, resizing
// about the view centre, paced auto-scroll and view <-> image coordinates.
#include <gtest/gtest.h>

#include "tests/support/ErrorOf.h"
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

HcPoint CentreInImage(const HcPreviewLayout& layout) {
    HcPoint image;
    layout.ViewToImage({layout.ViewWidth() / 2, layout.ViewHeight() / 2}, image);
    return image;
}

}  // namespace

// Scaled sizes round up, so the last partial block of a zoomed-out picture still shows; levels outside the range
// clamp to its ends.
TEST(HcZoom, LevelsGiveRatiosLabelsAndScaledSizes) {
    const struct {
        int level;
        const char* label;
        int32_t scaled100, scaled60;
    } cases[] = {{-19, "1 : 32768", 1, 1}, {-9, "1 : 32", 4, 2},    {-8, "1 : 16", 7, 4},     {-7, "1 : 8", 13, 8},
                 {-2, "1 : 3", 34, 20},    {0, "1 : 1", 100, 60},   {3, "4 : 1", 400, 240},   {7, "8 : 1", 800, 480},
                 {-40, "1 : 32768", 1, 1}, {40, "8 : 1", 800, 480}, {-20, "1 : 32768", 1, 1}, {8, "8 : 1", 800, 480}};
    for (const auto& c : cases) {
        const HcZoom zoom = HcZoom::ForLevel(c.level);
        EXPECT_EQ(zoom.Label(), c.label) << c.level;
        EXPECT_EQ(zoom.Scale(100), c.scaled100) << c.level;
        EXPECT_EQ(zoom.Scale(60), c.scaled60) << c.level;
        EXPECT_EQ(HcZoom::IsLevel(c.level), zoom.level == c.level) << c.level;
    }
}

TEST(HcPreviewLayout, AFittingImageIsCentredAndZoomShowsTheTopLeftWithPanningClamped) {
    HcPreviewLayout fits = LayoutOf(100, 60, 301, 200);
    EXPECT_TRUE(fits.CentredBothWays());
    EXPECT_FALSE(fits.Pan(-10, 10) || fits.AutoScroll({-40, 500}) || fits.ScrollTo({0, 0}));
    EXPECT_EQ(fits.Origin(), (HcPoint{100, 70}));

    HcPreviewLayout layout = LayoutOf(100, 600, 200, 100);
    EXPECT_TRUE(layout.CentredX());
    EXPECT_FALSE(layout.CentredY());
    EXPECT_TRUE(layout.Pan(-30, -30));
    EXPECT_EQ(layout.Origin(), (HcPoint{50, -30}));  // the centred direction stays
    EXPECT_TRUE(layout.Pan(0, -5000));
    EXPECT_EQ(layout.Origin(), (HcPoint{50, -500}));
    EXPECT_FALSE(layout.Pan(0, -1));

    EXPECT_TRUE(layout.SetZoom(2));  // 3 : 1
    EXPECT_EQ(layout.ScaledWidth(), 300);
    EXPECT_EQ(layout.Origin(), (HcPoint{0, 0}));
    EXPECT_EQ(layout.MinOrigin(), (HcPoint{-100, -1700}));

    EXPECT_FALSE(layout.SetZoom(8));
    EXPECT_TRUE(layout.SetZoom(7));
    EXPECT_TRUE(layout.Pan(-7, -7));
    EXPECT_FALSE(layout.ZoomStep(true));  // already 8 : 1: the view stays where it is
    EXPECT_EQ(layout.Origin(), (HcPoint{-7, -7}));
    EXPECT_TRUE(layout.ZoomStep(false));
    EXPECT_EQ(layout.Zoom().level, 6);
    EXPECT_EQ(layout.Origin(), (HcPoint{0, 0}));
}

TEST(HcPreviewLayout, ResizeKeepsTheImagePointAtTheViewCentre) {
    for (int level : {0, 1, -2}) {
        HcPreviewLayout layout = LayoutOf(3000, 2400, 200, 100, level);
        layout.ScrollTo({-151, -101});
        const HcPoint before = CentreInImage(layout);
        for (const HcPoint view : {HcPoint{300, 151}, HcPoint{120, 61}}) {
            layout.SetViewSize(view.x, view.y);
            EXPECT_EQ(CentreInImage(layout), before) << level << ": " << view.x;
        }
    }
    HcPreviewLayout layout = LayoutOf(1000, 800, 200, 100);
    layout.SetViewSize(2000, 100);
    EXPECT_TRUE(layout.CentredX());
    EXPECT_EQ(layout.Origin().x, 500);
}

TEST(HcPreviewLayout, AutoScrollStepsTowardThePointerFasterTheFurtherOutItIs) {
    HcPreviewLayout layout = LayoutOf(1000, 800, 200, 100);
    layout.ScrollTo({-300, -200});
    EXPECT_EQ(layout.AutoScrollShift({50, 50}), (HcPoint{0, 0}));
    EXPECT_EQ(layout.AutoScrollShift({-5, 100}), (HcPoint{5, -1}));
    EXPECT_TRUE(layout.AutoScroll({-5, 150}));  // 5 left, 51 below: steps of 3 and 14
    EXPECT_EQ(layout.Origin(), (HcPoint{-297, -214}));
    const int32_t steps[][2] = {{0, 0}, {1, 1}, {3, 2}, {8, 4}, {40, 12}, {-40, -12}, {248, 64}, {-5000, -64}};
    for (const auto& c : steps) EXPECT_EQ(HcPreviewLayout::AutoScrollStep(c[0]), c[1]) << c[0];
}

// Columns: width, height, view side, the fitted level and the deepest level offered.
TEST(HcPreviewLayout, LargePicturesZoomOutUntilTheyFitAndOpenThere) {
    const int cases[][5] = {{100, 60, 301, 0, -7},     {400, 300, 300, -1, -7}, {2560, 1600, 163, -8, -8},
                            {7200, 4800, 300, -9, -9}, {1000, 10, 100, -8, -8}, {1 << 20, 1, 40, -19, -19},
                            {3000, 3000, 0, 0, -7}};  // a view not sized yet fits nothing
    for (const auto& c : cases) {
        HcPreviewLayout layout = LayoutOf(uint32_t(c[0]), uint32_t(c[1]), c[2], c[2], c[4]);
        EXPECT_EQ(layout.FittedLevel(), c[3]) << c[0] << " in " << c[2];
        EXPECT_FALSE(layout.ZoomStep(false) || layout.CanZoomOut()) << c[0] << " in " << c[2];
        layout.SetZoom(0);  // "-" steps all the way there, past 1 : 8 where needed
        while (layout.ZoomStep(false)) continue;
        EXPECT_EQ(layout.Zoom().level, c[4]) << c[0] << " in " << c[2];
        layout.SetZoom(c[3]);
        EXPECT_EQ(layout.CentredBothWays(), c[2] > 0) << c[0] << " in " << c[2];
    }
}

TEST(HcPreviewLayout, TheWheelZoomsAboutThePointerAsFarAsClampingAllows) {
    for (bool in : {true, false}) {
        HcPreviewLayout layout = LayoutOf(1000, 800, 200, 100);
        layout.ScrollTo({-300, -200});
        HcPoint under;
        EXPECT_TRUE(layout.ZoomStepAbout(in, {50, 30}));
        EXPECT_EQ(layout.Zoom().level, in ? 1 : -1);
        layout.ViewToImage({50, 30}, under);
        EXPECT_EQ(under, (HcPoint{350, 230})) << in;
    }
    HcPreviewLayout corner = LayoutOf(1000, 800, 200, 100);
    EXPECT_TRUE(corner.ZoomStepAbout(true, {199, 0}));  // the top-left corner cannot move into the view
    EXPECT_EQ(corner.Origin(), (HcPoint{-199, 0}));

    // A turn back drops what was left over of the other direction, so its first notch is not lost.
    HcWheelSteps wheel;
    const int32_t turns[][2] = {{120, 1}, {240, 2}, {60, 0}, {60, 1}, {-30, 0}, {-90, -1}, {90, 0}, {-120, -1}};
    for (const auto& t : turns) EXPECT_EQ(wheel.Add(t[0]), t[1]) << t[0];
}

TEST(HcPreviewLayout, ViewAndImageCoordinates) {
    HcPreviewLayout zoomedIn = LayoutOf(30, 30, 20, 20, 1);  // 2 : 1, scrolled
    HcPoint image;
    EXPECT_FALSE(zoomedIn.ViewToImage({-1, 0}, image));  // half a pixel left of the image is still outside
    EXPECT_EQ(image, (HcPoint{-1, 0}));
    zoomedIn.ScrollTo({-40, -3});
    EXPECT_TRUE(zoomedIn.ViewToImage({19, 0}, image));
    EXPECT_EQ(image, (HcPoint{29, 1}));
    EXPECT_EQ(zoomedIn.ImageToView({29, 1}), (HcPoint{18, -1}));
    EXPECT_FALSE(zoomedIn.ViewToImage({20, 0}, image));

    HcPreviewLayout zoomedOut = LayoutOf(100, 60, 10, 10, -2);  // 1 : 3
    EXPECT_TRUE(zoomedOut.ViewToImage({4, 2}, image));
    EXPECT_EQ(image, (HcPoint{12, 6}));
    EXPECT_EQ(zoomedOut.ImageToView({14, 8}), (HcPoint{4, 2}));
}

TEST(HcPreviewLayout, ImageSizeChangesAreReportedAndBounded) {
    HcPreviewLayout layout = LayoutOf(100, 60, 50, 50, 2);
    layout.Pan(-20, -20);
    EXPECT_FALSE(layout.SetImageSize(100, 60));
    EXPECT_EQ(layout.Origin(), (HcPoint{-20, -20}));
    EXPECT_TRUE(layout.SetImageSize(60, 100));
    EXPECT_EQ(layout.Zoom().level, 2);
    EXPECT_EQ(layout.Origin(), (HcPoint{0, 0}));
    EXPECT_EQ(ErrorOf([&] { layout.SetImageSize(HcPreviewLayout::kMaxImageSide + 1, 1); }), 21);
}
