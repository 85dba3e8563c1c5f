// Reading the host's planes through the simulated host, cropping to the layer and painting transparent pixels.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/HcLayerTrans.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"
#include "tests/support/HostLayers.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/InProcessHost.h"

namespace {

constexpr int kWidth = 5, kHeight = 3;

// What ReadRGB gives of planes [first, first + planes) of a HostLayer inside [x0, x1) × [y0, y1): one plane is read
// as grey.
std::vector<uint8_t> ExpectedRgb(int first, int planes, int x0 = 0, int y0 = 0, int x1 = kWidth, int y1 = kHeight) {
    std::vector<uint8_t> rgb;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(HostLayerSample(kWidth, first + (planes == 3 ? c : 0), x, y));
    return rgb;
}

std::vector<uint8_t> ExtraPlane(const HcGlobals& globals, uint32_t index) {
    return ReadRGB(*static_cast<CvImage*>(globals.extraPlanes->ItemAt(index)));
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
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(ExtraPlane(run.globals(), i), ExpectedRgb(3 + int(i), 1)) << i;
}

INSTANTIATE_TEST_SUITE_P(HostKinds, Acquisition,
                         ::testing::Values(AcquisitionCase{true, 0, false}, AcquisitionCase{false, 0, false},
                                           AcquisitionCase{true, 7, false}, AcquisitionCase{false, 3, false},
                                           AcquisitionCase{true, 0, true}, AcquisitionCase{false, 5, true},
                                           AcquisitionCase{true, 0, true, true},
                                           AcquisitionCase{false, 4, false, true}));

// A grey plane becomes an indexed image over a grey ramp; bitmap rows arrive packed, one bit a pixel at the start
// of each row, a set bit black; another mode is refused with one alert.
TEST(AcquisitionModes, GreyAndBitmapBecomeIndexedImagesAndOtherModesAreRefused) {
    SimImage bitmap = HostLayer(plugInModeBitmap, kWidth, kHeight);
    const uint8_t packed[kHeight] = {0xB0, 0x48, 0xF8};  // 10110, 01001, 11111
    std::vector<uint8_t> blackAndWhite;
    for (int y = 0; y < kHeight; ++y) {
        bitmap.planes[0][size_t(y * kWidth)] = packed[y];
        for (int x = 0; x < kWidth; ++x)
            blackAndWhite.insert(blackAndWhite.end(), 3, (packed[y] << x & 0x80) ? 0 : 255);
    }
    const std::pair<SimImage, std::vector<uint8_t>> cases[] = {
        {HostLayer(plugInModeGrayScale, kWidth, kHeight), ExpectedRgb(0, 1)}, {bitmap, blackAndWhite}};
    for (const auto& [image, rgb] : cases) {
        ReadRun run(image);
        const CvIndexedImage* indexed = run.globals().indexedImage;
        ASSERT_NE(indexed, nullptr);
        EXPECT_EQ(run.globals().rgbImage, nullptr);
        EXPECT_EQ(ReadRGB(*indexed), rgb) << image.mode;
        EXPECT_EQ(indexed->colorTable.GetCount(), image.mode == plugInModeGrayScale ? 256u : 2u);
    }
    HostSimulator lab(InProcessEntry, InProcessEmbed, PrivatePrefs());
    lab.SetImage(HostLayer(9, kWidth, kHeight));
    EXPECT_EQ(lab.ReadPlanes(), 1);
    EXPECT_EQ(lab.Alerts().size(), 1u);
    EXPECT_EQ(lab.Data(), 0);
}

namespace {
// A layer with a transparency plane and a channel whose transparency is opaque only inside [x0, x1) × [y0, y1).
SimImage OpaqueIn(int16_t mode, int x0, int y0, int x1, int y1) {
    SimImage image = HostLayer(mode, kWidth, kHeight, 1, 0, 1);
    SetMask(image, image.colorPlanes, [&](int x, int y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
    return image;
}
}  // namespace

// Every plane is cropped to the opaque part, the extra planes keep their order; an all-opaque layer is left alone.
// (All transparent is the export test's one transparent pixel.) Transparent pixels are painted white in a copy.
// Each run ends before the next begins: the plug-in answers to the host that called it last.
TEST(CropToLayer, CropsEveryPlaneToTheOpaquePartAndPaintsTransparentPixelsWhiteInACopy) {
    for (int16_t mode : {plugInModeRGBColor, plugInModeGrayScale}) {
        const int colorPlanes = mode == plugInModeRGBColor ? 3 : 1;
        ReadRun run(OpaqueIn(mode, 1, 1, 4, 3));
        HcGlobals& globals = run.globals();
        globals.hasTransparencyPlane = true;
        CropToLayer(run.record());
        CvImage* source = mode == plugInModeRGBColor ? static_cast<CvImage*>(globals.rgbImage) : globals.indexedImage;
        EXPECT_EQ(ReadRGB(*source), ExpectedRgb(0, colorPlanes, 1, 1, 4, 3)) << mode;
        EXPECT_EQ(ExtraPlane(globals, 1), ExpectedRgb(colorPlanes + 1, 1, 1, 1, 4, 3));  // transparency, then channel
        EXPECT_TRUE(run.host.Alerts().empty());
    }
    {
        ReadRun opaque(OpaqueIn(plugInModeRGBColor, 0, 0, kWidth, kHeight));
        opaque.globals().hasTransparencyPlane = true;
        CvRGBImage* before = opaque.globals().rgbImage;
        CropToLayer(opaque.record());
        EXPECT_EQ(opaque.globals().rgbImage, before);
    }
    ReadRun left(OpaqueIn(plugInModeRGBColor, 0, 0, 2, kHeight));
    left.globals().hasTransparencyPlane = true;
    HcLayerTrans layer(&left.globals());
    EXPECT_NE(layer.GetImage(), left.globals().rgbImage);
    const std::vector<uint8_t> painted = ReadRGB(*layer.GetImage()), source = ReadRGB(*left.globals().rgbImage);
    EXPECT_EQ(painted[0], HostLayerSample(kWidth, 0, 0, 0));  // opaque column kept
    EXPECT_EQ(painted[3 * 4], 255);                           // transparent column white
    EXPECT_EQ(source, ExpectedRgb(0, 3));                     // the source untouched
}
