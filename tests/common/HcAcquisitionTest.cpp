// Reading the host's planes through the simulated host, cropping to the layer and painting transparent pixels.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/HcLayerTrans.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"

namespace {

constexpr int kWidth = 5, kHeight = 3;

uint8_t Sample(int plane, int x, int y) {
    return HostLayerSample(kWidth, plane, x, y);
}

// What ReadRGB gives of planes [first, first + planes): one plane is read as grey.
std::vector<uint8_t> ExpectedRgb(int first, int planes) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(Sample(first + (planes == 3 ? c : 0), x, y));
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
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs(options));
    const SimImage layer = HostLayer(plugInModeRGBColor, kWidth, kHeight, 1, 2, 1);
    host.SetImage(GetParam().interleaved ? Interleaved(layer) : layer);
    ASSERT_EQ(host.ReadPlanes(), 0);

    std::vector<std::pair<int, int>> expected = {{0, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}};
    // Each plane that came back as the colour planes is asked for again together with them.
    if (GetParam().colorForLonePlanes)
        expected = {{0, 2}, {3, 3}, {0, 3}, {4, 4}, {0, 4}, {5, 5}, {0, 5}, {6, 6}, {0, 6}};
    EXPECT_EQ(host.Deliveries(), expected);
    HcGlobals& globals = RunData(host);
    EXPECT_TRUE(globals.allPlanesRead);
    ASSERT_NE(globals.rgbImage, nullptr);
    EXPECT_EQ(ReadRGB(*globals.rgbImage), ExpectedRgb(0, 3));
    ASSERT_EQ(globals.extraPlanes->Count(), 4u);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(ReadRGB(*static_cast<CvImage*>(globals.extraPlanes->ItemAt(i))), ExpectedRgb(3 + int(i), 1)) << i;
    host.Call(filterSelectorFinish);  // the export's outcome is not this test's business; the run ends either way
    EXPECT_EQ(host.Data(), 0);
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
        HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
        host.SetImage(image);
        ASSERT_EQ(host.ReadPlanes(), 0);
        const CvIndexedImage* indexed = RunData(host).indexedImage;
        ASSERT_NE(indexed, nullptr);
        EXPECT_EQ(RunData(host).rgbImage, nullptr);
        EXPECT_EQ(ReadRGB(*indexed), rgb) << image.mode;
        if (image.mode == plugInModeGrayScale) {
            EXPECT_EQ(indexed->colorTable.GetCount(), 256u);
        }
        host.Call(filterSelectorFinish);
    }
    HostSimulator lab(InProcessEntry, InProcessEmbed, PrivatePrefs());
    lab.SetImage(HostLayer(9, kWidth, kHeight));
    EXPECT_EQ(lab.ReadPlanes(), 1);
    EXPECT_EQ(lab.Alerts().size(), 1u);
    EXPECT_EQ(lab.Data(), 0);
}

namespace {
// A layer with a transparency plane and a channel whose transparency is opaque only inside [x0, x1) × [y0, y1),
// read through the host.
void ReadOpaqueIn(HostSimulator& host, int16_t mode, int x0, int y0, int x1, int y1) {
    SimImage image = HostLayer(mode, kWidth, kHeight, 1, 0, 1);
    SetMask(image, image.colorPlanes, [&](int x, int y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
    host.SetImage(image);
    ASSERT_EQ(host.ReadPlanes(), 0);
    RunData(host).hasTransparencyPlane = true;
}
}  // namespace

// Every plane is cropped to the opaque part, the extra planes keep their order; an all-opaque layer is left alone.
// (All transparent is the export test's one transparent pixel.)
TEST(CropToLayer, CropsEveryPlaneToTheOpaquePart) {
    for (int16_t mode : {plugInModeRGBColor, plugInModeGrayScale}) {
        const int colorPlanes = mode == plugInModeRGBColor ? 3 : 1;
        HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
        ReadOpaqueIn(host, mode, 1, 1, 4, 3);
        CropToLayer(CallRecord(host));
        HcGlobals& globals = RunData(host);
        CvImage* source = mode == plugInModeRGBColor ? static_cast<CvImage*>(globals.rgbImage) : globals.indexedImage;
        ASSERT_EQ(std::make_pair(source->GetWidth(), source->GetHeight()), std::make_pair(3u, 2u));
        const std::vector<uint8_t> rgb = ReadRGB(*source);
        EXPECT_EQ(rgb[0], Sample(0, 1, 1));
        EXPECT_EQ(rgb.back(), Sample(colorPlanes - 1, 3, 2));
        auto* channel = static_cast<CvImage*>(globals.extraPlanes->ItemAt(1));
        EXPECT_EQ(ReadRGB(*channel)[0], Sample(colorPlanes + 1, 1, 1));  // order kept: transparency, then channel
        EXPECT_TRUE(host.Alerts().empty());
        host.Call(filterSelectorFinish);
    }
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    ReadOpaqueIn(host, plugInModeRGBColor, 0, 0, kWidth, kHeight);
    CvRGBImage* before = RunData(host).rgbImage;
    CropToLayer(CallRecord(host));
    EXPECT_EQ(RunData(host).rgbImage, before);
    EXPECT_TRUE(host.Alerts().empty());
    host.Call(filterSelectorFinish);
}

TEST(HcLayerTrans, TransparentPixelsArePaintedWhiteInACopy) {
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    ReadOpaqueIn(host, plugInModeRGBColor, 0, 0, 2, kHeight);
    HcGlobals& globals = RunData(host);
    HcLayerTrans layer(&globals);
    CvImage* painted = layer.GetImage();
    EXPECT_NE(painted, globals.rgbImage);
    std::vector<uint8_t> rgb = ReadRGB(*painted);
    EXPECT_EQ(rgb[0], Sample(0, 0, 0));                             // opaque column kept
    EXPECT_EQ(rgb[3 * 4], 255);                                     // transparent column white
    EXPECT_EQ(ReadRGB(*globals.rgbImage)[3 * 4], Sample(0, 4, 0));  // the source untouched
    host.Call(filterSelectorFinish);
}
