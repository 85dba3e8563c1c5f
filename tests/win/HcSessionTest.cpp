// A whole interactive run as a person makes it: the real module under a stand-in host, the quantization dialog on
// the fine palette with lossy coding, the options dialog, back and forth, a painted mask, a comment, "Save", the
// system's Save As box, and the file.
// Each step leaves a numbered screenshot; the file and what it must hold are left beside them for other readers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "tests/support/GifTestSupport.h"
#include "tests/support/HostLayers.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "tests/win/support/QuantDialogBench.h"
#include "uicore/HcOptionsRules.h"
#include "win/resource_ids.h"
#include "wnatom/WnDialogSizer.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;
constexpr int kHoleLeft = 70, kHoleTop = 50, kHoleSize = 12;     // transparent in the layer
constexpr int kStrokeY = 30, kStrokeFrom = 20, kStrokeTo = 140;  // painted transparent with the pencil
constexpr int kPaneId = 1099;

// The bench's many-coloured picture; the layer has a square hole.
SimImage LayerWithHole() {
    SimImage image = InterleavedHostPicture(kWidth, kHeight);
    image.transparencyPlanes = 1;
    image.planes.assign(1, std::vector<uint8_t>(size_t(kWidth) * kHeight, 255));
    for (int y = kHoleTop; y < kHoleTop + kHoleSize; ++y)
        for (int x = kHoleLeft; x < kHoleLeft + kHoleSize; ++x) image.planes[0][size_t(y) * kWidth + x] = 0;
    return image;
}

bool Expected(int x, int y) {
    const bool hole = x >= kHoleLeft && x < kHoleLeft + kHoleSize && y >= kHoleTop && y < kHoleTop + kHoleSize;
    return hole || (y == kStrokeY && x >= kStrokeFrom && x <= kStrokeTo);
}

// A control on one of the options dialog's pages (children of the dialog, one level down).
HWND OnPage(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND found = GetDlgItem(child, id)) return found;
    return nullptr;
}

// The pane shows the frame centred at 1 : 1; its tool buttons lie below it.
POINT PanePoint(HWND dialog, int x, int y) {
    RECT client{};
    GetClientRect(GetDlgItem(dialog, kPaneId), &client);
    return {(client.right - kWidth) / 2 + x, (client.bottom - kHeight) / 2 + y};
}

// A run whose Save As and Open boxes are the system's, as a person meets them.
struct Session : DialogRun {
    explicit Session(SimImage image = LayerWithHole()) : DialogRun(std::move(image), SystemBoxes()) {}
    // The next step's screenshot, numbered in order.
    void Shot(HWND window, const std::string& name) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", ++step);
        SaveScreenshot(CaptureClient(window), "session-" + std::string(number) + "-" + name);
    }
    int step = 0;
};

}  // namespace

TEST(HcSessionTest, FromTheFilterMenuToTheFileWithAStepBackAndAPaintedMask) {
    Session session;
    const std::string out = session.folder + "\\session.gif";
    std::unique_ptr<BenchAnswerBox> saveAs;
    long readout = -1;
    int lossy = -1;

    // Steps in the order a person meets them; each arms the watcher for the next window.
    auto secondOptions = [&](HWND dialog) {
        PumpUntilIdle();
        session.Shot(dialog, "options-again-mask-kept");
        ShowTab(dialog, IDC_OPT_TABS, 2);
        TypeInto(OnPage(dialog, IDC_OPT_COMMENT), "Made on the bench");
        session.Shot(dialog, "options-comment");
        readout = OptionsReadout(dialog);
        saveAs = std::make_unique<BenchAnswerBox>(L"Save As", session.folder + "\\session");  // ".gif" is added
        PressDialogButton(dialog, IDOK);
    };
    auto secondQuant = [&](HWND dialog) {
        WaitForReduction(dialog);
        session.Shot(dialog, "quantization-again");
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_QUANT_PALETTE, CB_GETCURSEL, 0, 0), 1) << "still on \"Fine\"";
        EXPECT_EQ(LossyShown(dialog), lossy);
        TypeInto(GetDlgItem(dialog, IDC_QUANT_COLORS), "16");
        WaitForReduction(dialog);
        session.Shot(dialog, "quantization-16-colors");
        session.OnOptions(secondOptions);
        PressDialogButton(dialog, IDOK);
    };
    auto firstOptions = [&](HWND dialog) {
        PumpUntilIdle();
        session.Shot(dialog, "options");
        ClickControl(OnPage(dialog, IDC_OPT_ALPHA));
        HcToolBar tools(BenchExpectedDpi());  // its first button is the pencil
        tools.PlaceBelowPane(WnControlRect(dialog, kPaneId).bottom);
        ClickCentre(dialog, tools.Rect(0));
        session.Shot(dialog, "options-alpha-pencil");
        HWND pane = GetDlgItem(dialog, kPaneId);
        Drag(pane, StraightPath(PanePoint(dialog, kStrokeFrom, kStrokeY), PanePoint(dialog, kStrokeTo, kStrokeY), 12));
        PumpUntilIdle();
        session.Shot(dialog, "options-painted");
        session.OnQuantization(secondQuant);
        PressDialogButton(dialog, IDC_OPT_LAST);
    };
    session.OnQuantization([&](HWND dialog) {
        WaitForReduction(dialog);
        session.Shot(dialog, "quantization");
        Choose(dialog, IDC_QUANT_PALETTE, 1);  // "Fine"
        WaitForReduction(dialog);
        session.Shot(dialog, "quantization-fine");
        DragLossy(dialog, 60);
        WaitForReduction(dialog);
        lossy = LossyShown(dialog);
        session.Shot(dialog, "quantization-lossy");
        session.OnOptions(firstOptions);
        PressDialogButton(dialog, IDOK);
    });

    EXPECT_EQ(session.Run(), 0);
    EXPECT_TRUE(session.host->Alerts().empty());
    ASSERT_NE(saveAs, nullptr);
    // A box that never showed has no texts and no owner.
    EXPECT_EQ(saveAs->Texts(), L"GIF files") << "its one file type, and no read-only box";
    EXPECT_EQ(saveAs->Owner(), reinterpret_cast<HWND>(session.host->HostWindow()));

    const std::string bytes = ReadFileBytes(out);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(long(bytes.size()), readout) << "the readout is the size of the file written, lossy coding included";
    EXPECT_NE(bytes.find("Made on the bench"), std::string::npos) << "the comment typed is in the file";

    const std::vector<ReadFrame> frames = ReadAllFrames(out);
    ASSERT_EQ(frames.size(), 1u);
    CvIndexedImage* image = frames[0].image.get();
    const CvGIFFrameInfo* info = frames[0].info();
    ASSERT_EQ(image->GetWidth(), uint32_t(kWidth));
    ASSERT_EQ(image->GetHeight(), uint32_t(kHeight));
    ASSERT_TRUE(info->transparentFlag);
    EXPECT_LE(image->colorTable.GetCount(), 32u) << "16 colours and the transparent one";
    int wrong = 0;
    CvPixelLock lock(*image);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            wrong += (lock.Row(uint32_t(y))[x] == info->transparentIndex) != Expected(x, y);
    EXPECT_EQ(wrong, 0) << "pixels that differ from the painted mask";

    // Kept beside the screenshots for a person to open.
    std::ofstream(ScreenshotDir() + "/session-file.gif", std::ios::binary) << bytes;
}

// Short runs: a cancelled dialog writes nothing, not even the preferences; a cancelled Save As box writes only the
// preferences, stored before the file was asked for; a grey source skips the quantization dialog and opens the
// options dialog, which "<- Last" brings back.
TEST(HcSessionTest, CancelWritesNoPreferencesACancelledSaveAsOnlyThemAndAGreySourceSkipsQuantization) {
    const struct {
        const char* name;
        bool grey;
        const char* saveAs;  // nullptr: Cancel in the options dialog; "": Cancel in the Save As box
        int16_t result;
    } runs[] = {{"cancel", false, nullptr, 1}, {"save-as-cancelled", false, "", 1}, {"grey", true, "out.gif", 0}};
    for (const auto& row : runs) {
        SCOPED_TRACE(row.name);
        Session session(row.grey ? HostLayer(plugInModeGrayScale, 40, 30) : LayerWithHole());
        std::unique_ptr<BenchAnswerBox> saveAs;
        bool quantizationShown = false, cameBack = false;
        const auto save = [&](HWND options) {
            const std::string path = row.saveAs && *row.saveAs ? session.folder + "\\" + row.saveAs : "";
            if (row.saveAs) saveAs = std::make_unique<BenchAnswerBox>(L"Save As", path);
            PressDialogButton(options, row.saveAs ? IDOK : IDCANCEL);
        };
        session.OnQuantization([&](HWND dialog) {
            quantizationShown = true;
            PressDialogButton(dialog, IDOK);
        });
        session.OnOptions([&](HWND dialog) {
            if (!row.grey) return save(dialog);
            EXPECT_EQ(DialogText(dialog, IDC_OPT_SIZE_LABEL), "40 x 30 pixels");
            session.OnOptions([&](HWND again) {
                cameBack = true;
                save(again);
            });
            PressDialogButton(dialog, IDC_OPT_LAST);
        });
        EXPECT_EQ(session.Run(), row.result);
        EXPECT_TRUE(session.host->Alerts().empty());
        EXPECT_EQ(quantizationShown, !row.grey);
        EXPECT_EQ(cameBack, row.grey);
        EXPECT_EQ(saveAs && saveAs->Answered(), row.saveAs != nullptr);
        const std::string prefs = session.folder + "\\Corvane\\Halcyne Prefs";
        EXPECT_EQ(GetFileAttributesA(prefs.c_str()) != INVALID_FILE_ATTRIBUTES, row.saveAs != nullptr) << "prefs";
        EXPECT_EQ(session.Written(), row.grey);
    }
}

// A photograph of 2560 x 1600 as a person opens it: each dialog shows it whole in panes larger than its template
// has, and the wheel zooms in. Screenshots of each at the display's DPI.
TEST(HcSessionTest, APhotographOpensWholeInBothDialogsAndTheWheelZoomsItAtTheDisplaysDpi) {
    SimImage photo;
    if (!BenchPhotograph(2560, 1600, photo))
        GTEST_SKIP() << "no photograph in build/bench-data: scripts/dialog-screenshots.sh fetches it";
    Session session(std::move(photo));
    const std::string dpi = "-" + std::to_string(BenchExpectedDpi()) + "dpi";
    bool optionsShown = false;
    // The zoom label as the dialog opened and after the wheel, the screenshots taken on the way.
    const auto look = [&](HWND dialog, int paneId, const std::string& name, int notches) {
        SaveScreenshot(CaptureClient(dialog), "photo-" + name + "-opening" + dpi);
        const std::string fitted = DialogText(dialog, IDC_ZOOM_LABEL);
        // The wheel with Ctrl held over the middle of the pane, while the keyboard focus is elsewhere.
        RECT pane{};
        GetWindowRect(GetDlgItem(dialog, paneId), &pane);
        TurnWheel(dialog, {(pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2}, MK_CONTROL,
                  notches * WHEEL_DELTA);
        SaveScreenshot(CaptureClient(dialog), "photo-" + name + "-wheel-zoomed" + dpi);
        return fitted + " -> " + DialogText(dialog, IDC_ZOOM_LABEL);
    };
    session.OnQuantization([&](HWND dialog) {
        EXPECT_EQ(look(dialog, IDC_QUANT_SOURCE_PANE, "quantization", 3), "1 : 8 -> 1 : 5");
        Choose(dialog, IDC_QUANT_PALETTE, 1);  // "Fine"
        WaitForReduction(dialog);
        SaveScreenshot(CaptureClient(dialog), "photo-quantization-fine" + dpi);
        DragLossy(dialog, 80);
        WaitForReduction(dialog);
        SaveScreenshot(CaptureClient(dialog), "photo-quantization-fine-lossy" + dpi);
        session.OnOptions([&](HWND second) {
            optionsShown = true;
            PumpUntilIdle();
            // Its pane is as large as the screen's third or more: 1 : 8 or closer, one step closer still.
            EXPECT_TRUE(std::set<std::string>({"1 : 8 -> 1 : 7", "1 : 7 -> 1 : 6", "1 : 6 -> 1 : 5"})
                            .count(look(second, kPaneId, "options", 1)));
            PressDialogButton(second, IDCANCEL);
        });
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(session.Run(), 1);
    EXPECT_TRUE(optionsShown);
}
