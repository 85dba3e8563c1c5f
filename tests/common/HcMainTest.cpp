// The entry point: how calls open and end a run, the alerts a failure gives, the log, and the reduction a run
// without dialogs makes of a grey document.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hcmain.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLog.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"

// Every way a run ends leaves the host's slot empty: a Finish before any plane quietly; About, whose block is not a
// FilterRecord, by a later call; an unknown selector with one alert and result 1, its images freed (the sanitizer
// build sees any left). A cancel is silent, running out of memory has its own text, other errors their number.
TEST(Entry, EveryWayARunEndsEmptiesTheSlotWithOneAlertAtMost) {
    HostSimulator host{InProcessEntry, InProcessEmbed, PrivatePrefs()};
    host.SetImage(HostLayer(plugInModeRGBColor, 3, 2, 1, 0, 1));
    for (int16_t selector :
         {filterSelectorParameters, filterSelectorPrepare, filterSelectorStart, filterSelectorFinish})
        EXPECT_EQ(host.Call(selector), 0) << selector;
    EXPECT_EQ(host.Data(), 0);
    EXPECT_TRUE(host.Alerts().empty());

    EXPECT_EQ(host.About(), 0);
    ASSERT_NE(host.Data(), 0);
#if !defined(_WIN32)  // on Windows the box is the module's dialog; the module tests close it
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0].caption, "About Halcyne");
    host.ClearAlerts();
#endif
    EXPECT_FALSE(RunData(host).hostChecked);
    EXPECT_EQ(host.Call(filterSelectorFinish), 0);
    EXPECT_EQ(host.Data(), 0);

    ASSERT_EQ(host.ReadPlanes(), 0);  // an RGB image and two extra planes
    RunData(host).indexedImage = new CvIndexedImage(2u, 2u);
    RunData(host).bitmapImage = new CvBitmapImage(2u, 2u);
    RunData(host).gifFrame = MakeFrame(
                                 2, 2, 2, [](uint32_t x, uint32_t) { return x; }, [](uint32_t, uint32_t) { return 0u; })
                                 .release();
    EXPECT_EQ(host.Call(6), 1);
    EXPECT_EQ(host.Data(), 0);

    EXPECT_EQ(host.Call(filterSelectorPrepare), 0);
    for (uint32_t code : {uint32_t(kCvErrCancelled), uint32_t(kCvErrNoMemory), 28u})
        ReportError(CallRecord(host), CvErrorCode(code, "t", 1));
    host.Call(filterSelectorFinish);
    std::vector<std::string> texts;
    for (const auto& alert : host.Alerts()) texts.push_back(alert.caption + ": " + alert.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"ALERT: Error executing Halcyne (1)", "ALERT: Out of Memory",
                                               "ALERT: Error executing Halcyne (28)"}));
}

TEST(Logging, MaskPassesWarningsAndErrorsOnlyCutAt511Characters) {
    const std::string longText(600, 'w');
    testing::internal::CaptureStderr();
    Log(kLogTrace, "filterSelectorStart");
    Log(kLogDebug, "*outResult = %d", 0);
    Log(kLogInfo, "info");
    Log(kLogWarning, "%s", longText.c_str());
    Log(kLogError, "bad %d", 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: " + longText.substr(0, 511) + "\n" + LogPrefix(kLogError) + "bad 5\n");
}

// A grey export with room for all its greys writes the ramp as read: 256 entries, unused ones in place and the
// background (the default grey) in the lowest free entry. Fewer colours than greys merge them.
TEST(EntryGreyExport, NothingToMergeKeepsTheWholeRamp) {
    SimImage image = HostLayer(plugInModeGrayScale, 3, 2);
    image.planes = {{0, 7, 200, 200, 7, 0}};
    for (uint16_t colors : {uint16_t(256), uint16_t(3), uint16_t(2)}) {
        SCOPED_TRACE(colors);
        SimOptions options;
        options.savePath = MakeScratchDir("grey-export") + "/out.gif";
        ReadRun run(image, options);
        run.globals().settings.colors = colors;
        ASSERT_EQ(run.host.Call(filterSelectorFinish), 0);

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
