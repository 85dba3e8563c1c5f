// The entry point and the end of a run without dialogs: how calls open and end a run, the alerts a failure gives,
// the log; whole recorded runs to the file (the settings onto the frame with their fall-backs, the Save As answer,
// a grey document's reduction); and failures that must end as one alert, result 1 and no file changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/HCWriteSingleFile.h"
#include "common/HcExport.h"
#include "common/HcLayerTrans.h"
#include "common/HcScriptParams.h"
#include "common/hcmain.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLog.h"
#include "hostsim/SimDescriptor.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/RecordingText.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Transcript.h"
#include "uicore/HcOptionsRules.h"

namespace {

constexpr int kW = 5, kH = 3;

// A layer with a transparency plane opaque everywhere except on (1, 1) and (3, 0), and one channel.
SimImage LayerWithHoles(int16_t mode) {
    SimImage image = HostLayer(mode, kW, kH, 1, 0, 1);
    SetMask(image, image.colorPlanes, [](int x, int y) { return !((x == 1 && y == 1) || (x == 3 && y == 0)); });
    return image;
}

// The alerts the host showed, "caption: text" a line.
std::string AlertTexts(const HostSimulator& host) {
    std::string texts;
    for (const SimAlert& alert : host.Alerts()) texts += alert.caption + ": " + alert.text + "\n";
    return texts;
}

SimOptions SavingTo(const std::string& path) {
    SimOptions options = PrivatePrefs();
    options.savePath = path;
    return options;
}

// A whole recorded run of the picture the first cell names ("rgb 64x40 tmc": the mode, the size, and a letter for
// each transparency plane, layer mask and channel of a HostPicture) replaying the other cells as the recording:
// the written file's length and hash, and the transparency and plane the run recorded in turn (its fall-backs); or
// the result of a failed run and its number of alerts.
std::string WholeRunOutcome(const std::vector<std::string>& cells) {
    const std::map<std::string, int16_t> modes = {
        {"rgb", plugInModeRGBColor}, {"grey", plugInModeGrayScale}, {"bitmap", plugInModeBitmap}, {"lab", 9}};
    std::istringstream picture(cells.at(0));
    std::string mode, planes;
    int width = 0, height = 0;
    char by = 0;
    picture >> mode >> width >> by >> height >> planes;
    const auto count = [&](char letter) { return int(std::count(planes.begin(), planes.end(), letter)); };
    const SimOptions options = WithDescriptors(SavingTo(MakeScratchDir("export-run") + "/out.gif"));
    HostSimulator host(InProcessEntry, InProcessEmbed, options);
    host.SetImage(HostPicture(modes.at(mode), width, height, count('t'), count('m'), count('c')));
    host.Descriptors().playInfo = plugInDialogDontDisplay;
    host.Descriptors().descriptor =
        SimMakeDescriptor(RecordingItems(std::vector<std::string>(cells.begin() + 1, cells.end())));
    if (const int16_t result = host.Run(true))
        return "result " + std::to_string(result) + ", alerts " + std::to_string(host.Alerts().size());
    std::string outcome = LengthAndHash(ReadFileBytes(options.savePath));
    for (const SimDescriptorItem& item : SimDescriptorItems(host.Descriptors().descriptor)) {
        if (item.key == keyTransparency) outcome += " tran=" + CodeText(item.enumValue);
        if (item.key == keyTransAlpha) outcome += " A=" + std::to_string(item.number);
    }
    return outcome;
}

}  // namespace

// Every path a run's bytes take, from the host's planes through the reduction to the file: the rows of
// tests/data/transcripts/common/export-runs.txt (the files the plug-in wrote when the rows were filed).
TEST(ExportFrame, WholeRecordedRunsWriteTheFilesOfTheirRows) {
    Transcript::Replay("common/export-runs", [](const std::string&, const Transcript::Step& step) {
        std::string row;
        for (const std::string& word : step.words) row += (row.empty() ? "" : " ") + word;
        return WholeRunOutcome(CellsOf(row));
    });
}

// A frame the dialogs made is settled again: no transparency, or indexes none of which is flagged, clear the mask
// it already had (the other settings and their fall-backs show in the files of the whole runs, which always start
// from a new frame). Then the frame alone holds the image: the sources are freed before the file is written.
TEST(ExportFrame, ADialogsFrameLosesAnEarlierMaskAndAloneHoldsTheImageAtTheWrite) {
    for (const TransparencyType type : {TransparencyType::none, TransparencyType::indexed}) {
        ReadRun run(LayerWithHoles(plugInModeRGBColor), SavingTo(MakeScratchDir("export") + "/out.gif"));
        HcGlobals& globals = run.globals();
        globals.settings.transparencyType = type;
        globals.indexedImage = MakeIndexedPicture(kW, kH, 5).release();
        globals.gifFrame = MakeFrame(
                               kW, kH, 3, [](uint32_t x, uint32_t) { return x % 3; },
                               [](uint32_t x, uint32_t y) { return uint32_t(x == 0 && y == 0); })
                               .release();
        ApplyTransparencySettings(globals);
        EXPECT_FALSE(globals.gifFrame->HasTransparency()) << int(type);
        EXPECT_EQ(ExportFrame(run.record(), true), 0);
        EXPECT_TRUE(!globals.gifFrame && !globals.indexedImage && !globals.rgbImage && !globals.extraPlanes);
        globals.allPlanesRead = false;  // ends the run without another export
    }
}

// A missing folder alerts once; a Save As box nobody answers ends the run silently; a fully transparent layer asks
// once and is written as one transparent pixel. A failure changes no file. (A disk that fills part-way, leaving the
// old file as it was, is the command's row with 'ulimit -f' in tests/data/transcripts/cli/command-runs.txt.)
TEST(ExportFrame, FailuresEndTheRunWithOneAlertAndNoFileChanged) {
    const std::string folder = MakeScratchDir("export-fail"), empty = MakeScratchDir("export-empty") + "/empty.gif";
    const struct {
        std::string path;
        bool transparent;
        int16_t result;
        std::string alerts;
    } cases[] = {{folder + "/missing/out.gif", false, 1, "ALERT: Error executing Halcyne (10)\n"},
                 {"", false, 1, ""},
                 {empty, true, 0,
                  "Empty Selection: There is no pixel data in your selection. Are you sure you want to save a "
                  "completely transparent image?\n"}};
    for (const auto& c : cases) {
        HostSimulator host(InProcessEntry, InProcessEmbed, SavingTo(c.path));
        SimImage image = LayerWithHoles(plugInModeGrayScale);
        if (c.transparent) image.planes[1].assign(kW * kH, 0);
        host.SetImage(image);
        EXPECT_EQ(host.Run(false), c.result);
        EXPECT_EQ(host.Data(), 0);
        EXPECT_EQ(AlertTexts(host), c.alerts);
    }
    EXPECT_EQ(LengthAndHash(ReadFileBytes(empty)), "807 7e79da59");  // one transparent pixel
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// The options dialog's readout (the frame counted as the export settles it, plus the comment's extension) must
// be the length of the file the export then writes, whatever state the dialog left the frame in.
// The rows are in tests/data/export/readout-cases.txt.
TEST(CountExportedFrame, EqualsTheWrittenFileForEveryTransparencyAndComment) {
    const auto index = [](uint32_t x, uint32_t y) { return (x + 3 * y) % 16; };
    const std::map<std::string, PixelRule> transparent = {
        {"none", [](uint32_t, uint32_t) { return 0u; }},
        {"painted", [](uint32_t x, uint32_t y) { return uint32_t(x > 12 && y < 5); }}};
    const std::string folder = MakeScratchDir("export-count");
    for (const std::vector<std::string>& row : DataTable("export/readout-cases.txt")) {
        SCOPED_TRACE(row.at(0));
        const bool flagged = row.at(2) == "1";
        const HcLossyCoding lossy{uint8_t(std::stoi(row.at(5))), uint16_t(std::stoi(row.at(6)))};
        std::unique_ptr<CvGIFFrame> frame = MakeFrame(20, 12, 16, index, transparent.at(row.at(1)));
        frame->FrameInfo().transparentFlag = flagged;
        frame->FrameInfo().hasGraphicControl = flagged;
        frame->FrameInfo().interlaced = row.at(3) == "1";
        const std::string kept(std::min<size_t>(std::stoul(row.at(4)), 255), 'c');
        const uint32_t readout = CountExportedFrame(*frame, lossy) + CommentExtensionSize(kept.size());

        SettleTransparency(*frame);
        CvGIFComment comment(uint32_t(kept.size()), reinterpret_cast<const uint8_t*>(kept.data()));
        const std::string path = folder + "/out.gif";
        EXPECT_EQ(readout, HCWriteSingleFile(CvFileLocator(path.c_str()), *frame, &comment, true, 0, true, lossy));
        EXPECT_EQ(readout, ReadFileBytes(path).size());
    }
}

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
    EXPECT_EQ(AlertTexts(host),
              "ALERT: Error executing Halcyne (1)\nALERT: Out of Memory\n"
              "ALERT: Error executing Halcyne (28)\n");
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
