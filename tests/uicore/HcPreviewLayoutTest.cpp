// Pane layout: centring, zoom changes from the top-left corner, clamped panning, resizing about the view centre,
// auto-scroll and view <-> image coordinates.
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

TEST(HcPreviewLayout, AnImageThatFitsIsCentredAndDoesNotPan) {
    HcPreviewLayout layout = LayoutOf(100, 60, 301, 200);
    EXPECT_TRUE(layout.CentredBothWays());
    EXPECT_EQ(layout.Origin(), (HcPoint{100, 70}));
    EXPECT_FALSE(layout.Pan(-10, 10));
    EXPECT_FALSE(layout.AutoScroll({-40, 500}));
    EXPECT_FALSE(layout.ScrollTo({0, 0}));
    EXPECT_EQ(layout.Origin(), (HcPoint{100, 70}));
}

TEST(HcPreviewLayout, ZoomShowsTheTopLeftAndPanningIsClamped) {
    HcPreviewLayout layout = LayoutOf(100, 600, 200, 100);
    EXPECT_TRUE(layout.CentredX());
    EXPECT_FALSE(layout.CentredY());
    EXPECT_EQ(layout.Origin(), (HcPoint{50, 0}));
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
    EXPECT_TRUE(layout.Pan(-7, -7));
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
        SCOPED_TRACE(level);
        HcPreviewLayout layout = LayoutOf(3000, 2400, 200, 100, level);
        layout.ScrollTo({-151, -101});
        const HcPoint before = CentreInImage(layout);
        layout.SetViewSize(300, 151);
        EXPECT_EQ(CentreInImage(layout), before);
        layout.SetViewSize(120, 61);
        EXPECT_EQ(CentreInImage(layout), before);
    }
    HcPreviewLayout layout = LayoutOf(1000, 800, 200, 100);
    layout.SetViewSize(2000, 100);
    EXPECT_TRUE(layout.CentredX());
    EXPECT_EQ(layout.Origin().x, 500);
}

TEST(HcPreviewLayout, AutoScrollMovesByTheDistanceOutside) {
    HcPreviewLayout layout = LayoutOf(1000, 800, 200, 100);
    layout.ScrollTo({-300, -200});
    EXPECT_EQ(layout.AutoScrollShift({50, 50}), (HcPoint{0, 0}));
    EXPECT_EQ(layout.AutoScrollShift({-5, 100}), (HcPoint{5, -1}));
    EXPECT_TRUE(layout.AutoScroll({-5, 150}));
    EXPECT_EQ(layout.Origin(), (HcPoint{-295, -251}));
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
