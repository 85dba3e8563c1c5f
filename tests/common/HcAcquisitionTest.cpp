// Reading the host's planes through the simulated host, and painting transparent pixels for the reduction. (What
// Grayscale and Bitmap layers read, the crop to the layer's opaque part and the refusal of other modes show in the
// whole runs, ExportFrame.WholeRecordedRuns...)
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/HcLayerTrans.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"
#include "tests/support/HostLayers.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/InProcessHost.h"

namespace {

constexpr int kWidth = 5, kHeight = 3;

// What ReadRGB gives of planes [first, first + planes) of a HostLayer: one plane is read as grey.
std::vector<uint8_t> ExpectedRgb(int first, int planes) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(HostLayerSample(kWidth, first + (planes == 3 ? c : 0), x, y));
    return rgb;
}

struct AcquisitionCase {
    bool absolute;
    int extraRowBytes;
    bool interleaved;                 // the host keeps its colour samples interleaved and hands them over in place
    bool colorForLonePlanes = false;  // the host hands the colour planes back when asked for one plane after them
};

// The same layer with its colour planes interleaved into `color`.
SimImage Interleaved(SimImage image) {
    for (size_t i = 0; i < size_t(image.width) * size_t(image.height); ++i)
        for (int p = 0; p < image.colorPlanes; ++p) image.color.push_back(image.planes[size_t(p)][i]);
    image.planes.erase(image.planes.begin(), image.planes.begin() + image.colorPlanes);
    return image;
}

class Acquisition : public ::testing::TestWithParam<AcquisitionCase> {};

}  // namespace

TEST_P(Acquisition, RgbLayerWithTransparencyMasksAndChannels) {
    SimOptions options;
    options.supportsAbsolute = GetParam().absolute;
    options.extraRowBytes = GetParam().extraRowBytes;
    options.loneExtraPlaneGivesColor = GetParam().colorForLonePlanes;
    const SimImage layer = HostLayer(plugInModeRGBColor, kWidth, kHeight, 1, 2, 1);
    ReadRun run(GetParam().interleaved ? Interleaved(layer) : layer, options);

    std::vector<std::pair<int, int>> expected = {{0, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}};
    // Each plane that came back as the colour planes is asked for again together with them.
    if (GetParam().colorForLonePlanes)
        expected = {{0, 2}, {3, 3}, {0, 3}, {4, 4}, {0, 4}, {5, 5}, {0, 5}, {6, 6}, {0, 6}};
    EXPECT_EQ(run.host.Deliveries(), expected);
    EXPECT_TRUE(run.globals().allPlanesRead);
    ASSERT_NE(run.globals().rgbImage, nullptr);
    EXPECT_EQ(ReadRGB(*run.globals().rgbImage), ExpectedRgb(0, 3));
    ASSERT_EQ(run.globals().extraPlanes->Count(), 4u);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(ReadRGB(*static_cast<CvImage*>(run.globals().extraPlanes->ItemAt(i))), ExpectedRgb(3 + int(i), 1));
}

INSTANTIATE_TEST_SUITE_P(HostKinds, Acquisition,
                         ::testing::Values(AcquisitionCase{true, 0, false}, AcquisitionCase{false, 0, false},
                                           AcquisitionCase{true, 7, false}, AcquisitionCase{false, 3, false},
                                           AcquisitionCase{true, 0, true}, AcquisitionCase{false, 5, true},
                                           AcquisitionCase{true, 0, true, true},
                                           AcquisitionCase{false, 4, false, true}));

// The reduction sees transparent pixels painted in a copy: the source stays as read for the dialogs. (The white they
// are painted shows in the files of the whole runs with a transparency plane.)
TEST(HcLayerTrans, TransparentPixelsArePaintedInACopy) {
    SimImage image = HostLayer(plugInModeRGBColor, kWidth, kHeight, 1);
    SetMask(image, image.colorPlanes, [](int x, int) { return x < 2; });
    ReadRun left(image);
    left.globals().hasTransparencyPlane = true;
    HcLayerTrans layer(&left.globals());
    EXPECT_NE(ReadRGB(*layer.GetImage()), ReadRGB(*left.globals().rgbImage));
    EXPECT_EQ(ReadRGB(*left.globals().rgbImage), ExpectedRgb(0, 3));
}
