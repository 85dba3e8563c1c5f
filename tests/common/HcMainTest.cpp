#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/hcmain.h"
#include "common/hcprefs.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRGBImage.h"
#include "hostsim/HostSimulator.h"
#include "tests/cvcode2/CvGIFTestSupport.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/TestPaths.h"

namespace {

SimImage SmallRgb() {
    SimImage image;
    image.width = 3;
    image.height = 2;
    image.planes.assign(3, std::vector<uint8_t>(6, 9));
    return image;
}

struct EntryFixture : ::testing::Test {
    HostSimulator host{InProcessEntry, InProcessEmbed, PrivatePrefs()};
    void SetUp() override { host.SetImage(SmallRgb()); }
};

}  // namespace

TEST_F(EntryFixture, FinishBeforeAnyPlaneEndsTheRunQuietly) {
    EXPECT_EQ(host.Call(filterSelectorParameters), 0);
    EXPECT_EQ(host.Call(filterSelectorPrepare), 0);
    EXPECT_EQ(host.Call(filterSelectorStart), 0);
    EXPECT_EQ(host.Call(filterSelectorFinish), 0);
    EXPECT_EQ(host.Data(), 0);
    EXPECT_TRUE(host.Alerts().empty());
}

namespace {
// Images that note their deletion in a shared log, to check what the end of a run frees and in which order.
std::vector<std::string> gDeleted;
template <class Base>
struct Noted : Base {
    template <class... Args>
    explicit Noted(const char* name, Args... args) : Base(args...), tag(name) {}
    ~Noted() override { gDeleted.push_back(tag); }
    std::string tag;
};
}  // namespace

TEST_F(EntryFixture, UnknownSelectorAlertsOnceAndEndsTheRunFreeingItsImages) {
    gDeleted.clear();
    EXPECT_EQ(host.Call(filterSelectorPrepare), 0);
    HcGlobals& globals = RunData(host);
    globals.extraPlanes = new CvList;
    globals.extraPlanes->Append(new Noted<CvGrayscaleImage>("plane 1", 2u, 2u));
    globals.extraPlanes->Append(new Noted<CvGrayscaleImage>("plane 2", 2u, 2u));
    globals.rgbImage = new Noted<CvRGBImage>("rgb", 2u, 2u);
    globals.indexedImage = new Noted<CvIndexedImage>("indexed", 2u, 2u);
    globals.bitmapImage = new Noted<CvBitmapImage>("bitmap", 2u, 2u);
    EXPECT_EQ(host.Call(6), 1);
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0].text, "Error executing Halcyne (1)");
    EXPECT_EQ(host.Alerts()[0].caption, "ALERT");
    EXPECT_EQ(host.Data(), 0);
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"plane 1", "plane 2", "rgb", "indexed", "bitmap"}));
}

TEST_F(EntryFixture, AboutStartsARunThatALaterCallEnds) {
    EXPECT_EQ(host.About(), 0);
    ASSERT_NE(host.Data(), 0);
#if !defined(_WIN32)  // on Windows the box is the module's dialog; the module tests close it
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0].caption, "About Halcyne");
#endif
    EXPECT_FALSE(RunData(host).hostChecked);  // the About block is not a FilterRecord
    EXPECT_EQ(host.Call(filterSelectorFinish), 0);
    EXPECT_EQ(host.Data(), 0);
}

TEST(EntryParameters, PlayInfoDecidesTheDialog) {
    struct Case {
        bool descriptorParameters, descriptor;
        int16_t playInfo;
        bool showDialog;
    } cases[] = {{false, false, 0, true},
                 {true, false, 0, true},
                 {true, true, plugInDialogDontDisplay, false},
                 {true, true, plugInDialogSilent, false},
                 {true, true, plugInDialogDisplay, true}};
    for (const Case& c : cases) {
        HostSimulator host{InProcessEntry, InProcessEmbed, PrivatePrefs()};
        HandleProcs procs = SimHandleProcs();
        Handle descriptor = procs.newProc(4);
        PIDescriptorParameters parameters{};
        parameters.playInfo = c.playInfo;
        parameters.descriptor = c.descriptor ? descriptor : nullptr;
        host.Record().descriptorParameters = c.descriptorParameters ? &parameters : nullptr;
        EXPECT_EQ(host.Call(filterSelectorParameters), 0);
        EXPECT_EQ(RunData(host).showDialog, c.showDialog) << "playInfo " << c.playInfo;
        host.Call(filterSelectorFinish);
        procs.disposeProc(descriptor);
    }
}

TEST_F(EntryFixture, CancelIsSilentOutOfMemoryHasItsOwnText) {
    EXPECT_EQ(host.Call(filterSelectorPrepare), 0);
    for (uint32_t code : {uint32_t(kCvErrCancelled), uint32_t(kCvErrNoMemory), 28u})
        ReportError(CallRecord(host), CvErrorCode(code, "t", 1));
    std::vector<std::string> texts;
    for (const auto& alert : host.Alerts()) texts.push_back(alert.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Out of Memory", "Error executing Halcyne (28)"}));
    host.Call(filterSelectorFinish);
}

TEST(Logging, MaskPassesWarningsAndErrorsOnlyCutAt511Characters) {
    const std::string longText(600, 'w');
    testing::internal::CaptureStdout();
    Log(kLogTrace, "filterSelectorStart");
    Log(kLogDebug, "*outResult = %d", 0);
    Log(kLogInfo, "info");
    Log(kLogWarning, "%s", longText.c_str());
    Log(kLogError, "bad %d", 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "warning: " + longText.substr(0, 511) + "\n" + LogPrefix(kLogError) + "bad 5\n");
}

TEST(EntryPrefs, ARunStartsFromThePreferencesFileOfItsConfigurationFolder) {
    SimOptions options = PrivatePrefs();
    std::filesystem::create_directories(options.configFolder + "/Corvane");
    HcGlobals saved{};
    SetDefaults(saved);
    saved.settings.colors = 42;
    SavePrefsTo(saved, CvFileLocator((options.configFolder + "/Corvane/Halcyne Prefs").c_str()));
    FreePaletteList(saved.paletteList);

    HostSimulator host{InProcessEntry, InProcessEmbed, options};
    EXPECT_EQ(host.Call(filterSelectorParameters), 0);
    EXPECT_EQ(RunData(host).settings.colors, 42);
    EXPECT_EQ(host.Call(filterSelectorFinish), 0);
}

// A grey export with room for all its greys writes the ramp as read: 256 entries, unused ones in place and the
// background in the lowest free entry. Fewer colours than greys merge them.
TEST(EntryGreyExport, NothingToMergeKeepsTheWholeRamp) {
    for (uint16_t colors : {uint16_t(256), uint16_t(3), uint16_t(2)}) {
        SCOPED_TRACE(colors);
        SimOptions options = PrivatePrefs();
        HostSimulator host{InProcessEntry, InProcessEmbed, options};
        SimImage image;
        image.mode = plugInModeGrayScale;
        image.colorPlanes = 1;
        image.width = 3, image.height = 2;
        image.planes = {{0, 7, 200, 200, 7, 0}};
        host.SetImage(image);
        ASSERT_EQ(host.ReadPlanes(), 0);
        RunData(host).settings.colors = colors;
        ASSERT_EQ(host.Call(filterSelectorFinish), 0);

        std::unique_ptr<CvGIFGlobalInfo> global;
        std::vector<ReadFrame> frames = ReadAllFrames(options.savePath, &global);
        ASSERT_EQ(frames.size(), 1u);
        const CvColorTable& table = global->globalColorTable;
        if (colors == 2) {
            EXPECT_EQ(table.GetCount(), 4u);  // two greys and the background, in a table of 4
            continue;
        }
        ASSERT_EQ(table.GetCount(), 256u);
        EXPECT_EQ(IndexBytes(*frames[0].image), (std::vector<uint8_t>{0, 7, 200, 200, 7, 0}));
        EXPECT_EQ(global->backgroundIndex, 1);
        EXPECT_EQ(table.Entry(1)[0], 128);
        for (uint32_t i : {0u, 2u, 7u, 128u, 200u, 255u}) EXPECT_EQ(table.Entry(i)[1], i);
    }
}
