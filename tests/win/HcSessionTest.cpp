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

#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvIndexedImage.h"
#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
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
constexpr std::chrono::milliseconds kLimit(60000);
constexpr int kPaneId = 1099;

// The bench's gradient; the layer has a square hole.
SimImage LayerWithHole() {
    SimImage image = GradientPicture(kWidth, kHeight);
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

void SelectPencil(HWND dialog) {
    HcToolBar tools(BenchExpectedDpi());
    tools.PlaceBelowPane(WnControlRect(dialog, kPaneId).bottom);
    const HcPixelRect pencil = tools.Rect(0);
    Click(dialog, {(pencil.left + pencil.right) / 2, (pencil.top + pencil.bottom) / 2});
    PumpUntilIdle();
}

// Chooses "Fine" in the palette box, and waits for its reduction.
void ChooseFine(HWND dialog) {
    Choose(dialog, IDC_QUANT_PALETTE, 1);
    WaitForReduction(dialog);
}

class Session {
public:
    Session() : module(BenchModulePath()), folder(MakeScratchDir("session")) {
        SimOptions options;
        options.configFolder = folder;
        options.showDialogs = true;
        options.systemSaveBox = options.systemOpenBox = true;
        host = std::make_unique<HostSimulator>(module.Entry(), module.SetEmbedHost(), options);
        host->SetImage(LayerWithHole());
    }

    // The next step's screenshot, numbered in order.
    void Shot(HWND window, const std::string& name) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", ++step);
        SaveScreenshot(CaptureClient(window), "session-" + std::string(number) + "-" + name);
    }

    // Acts on the next quantization or options dialog (told apart by their controls) once it shows.
    static void OnQuantization(std::unique_ptr<BenchOnModal>& slot, std::function<void(HWND)> action) {
        slot = OnQuantDialog(std::move(action), kLimit);
    }
    static void OnOptions(std::unique_ptr<BenchOnModal>& slot, std::function<void(HWND)> action) {
        slot = std::make_unique<BenchOnModal>(L"Halcyne Filter 4", IDC_OPT_TABS, std::move(action), kLimit);
    }

    ModuleLoader module;
    std::string folder;
    std::unique_ptr<HostSimulator> host;
    int step = 0;
};

}  // namespace

TEST(HcSessionTest, FromTheFilterMenuToTheFileWithAStepBackAndAPaintedMask) {
    Session session;
    const std::string out = session.folder + "\\session.gif";
    std::unique_ptr<BenchOnModal> quant, options;
    std::unique_ptr<BenchAnswerFileBox> saveAs;
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
        saveAs = std::make_unique<BenchAnswerFileBox>(L"Save As", out);
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
        Session::OnOptions(options, secondOptions);
        PressDialogButton(dialog, IDOK);
    };
    auto firstOptions = [&](HWND dialog) {
        PumpUntilIdle();
        session.Shot(dialog, "options");
        ClickControl(OnPage(dialog, IDC_OPT_ALPHA));
        SelectPencil(dialog);
        session.Shot(dialog, "options-alpha-pencil");
        HWND pane = GetDlgItem(dialog, kPaneId);
        Drag(pane, StraightPath(PanePoint(dialog, kStrokeFrom, kStrokeY), PanePoint(dialog, kStrokeTo, kStrokeY), 12));
        PumpUntilIdle();
        session.Shot(dialog, "options-painted");
        Session::OnQuantization(quant, secondQuant);
        PressDialogButton(dialog, IDC_OPT_LAST);
    };
    Session::OnQuantization(quant, [&](HWND dialog) {
        WaitForReduction(dialog);
        session.Shot(dialog, "quantization");
        ChooseFine(dialog);
        session.Shot(dialog, "quantization-fine");
        DragLossy(dialog, 60);
        WaitForReduction(dialog);
        lossy = LossyShown(dialog);
        session.Shot(dialog, "quantization-lossy");
        Session::OnOptions(options, firstOptions);
        PressDialogButton(dialog, IDOK);
    });

    EXPECT_EQ(session.host->Run(true), 0);
    EXPECT_TRUE(session.host->Alerts().empty());
    ASSERT_NE(saveAs, nullptr);
    EXPECT_TRUE(saveAs->Answered());

    const std::string bytes = ReadFileBytes(out);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(long(bytes.size()), readout) << "the readout is the size of the file written, lossy coding included";
    EXPECT_NE(bytes.find("Made on the bench"), std::string::npos) << "the comment typed is in the file";

    CvGIFFile file;
    file.SetPath(out.c_str());
    file.Open(kCvFileRead);
    file.SeekFrame(0);
    std::unique_ptr<CvGIFFrameInfo> info(static_cast<CvGIFFrameInfo*>(file.ReadFrameInfo()));
    std::unique_ptr<CvIndexedImage> image(file.ReadFrameImage());
    ASSERT_EQ(image->GetWidth(), uint32_t(kWidth));
    ASSERT_EQ(image->GetHeight(), uint32_t(kHeight));
    ASSERT_TRUE(info->transparentFlag);
    EXPECT_LE(image->colorTable.GetCount(), 32u) << "16 colours and the transparent one";
    std::set<std::pair<int, int>> wrong;
    CvPixelLock lock(*image);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if ((lock.Row(uint32_t(y))[x] == info->transparentIndex) != Expected(x, y)) wrong.insert({x, y});
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " pixels differ from the painted mask, first at ("
                               << wrong.begin()->first << ", " << wrong.begin()->second << ")";

    // Kept beside the screenshots for a person to open.
    std::ofstream(ScreenshotDir() + "/session-file.gif", std::ios::binary) << bytes;
}

namespace {

bool PrefsWritten(const Session& session) {
    return GetFileAttributesA((session.folder + "\\Corvane\\Halcyne Prefs").c_str()) != INVALID_FILE_ATTRIBUTES;
}

SimImage GreyLayer() {
    SimImage image;
    image.mode = plugInModeGrayScale;
    image.colorPlanes = 1;
    image.width = 40;
    image.height = 30;
    image.planes.assign(1, std::vector<uint8_t>(size_t(40) * 30));
    for (size_t i = 0; i < image.planes[0].size(); ++i) image.planes[0][i] = uint8_t(i * 7);
    return image;
}

}  // namespace

TEST(HcSessionTest, CancelInADialogWritesNoPreferencesAndCancelInSaveAsWritesOnlyThem) {
    {
        Session session;
        std::unique_ptr<BenchOnModal> quant, options;
        Session::OnQuantization(quant, [&](HWND dialog) {
            Session::OnOptions(options, [](HWND second) { PressDialogButton(second, IDCANCEL); });
            PressDialogButton(dialog, IDOK);
        });
        EXPECT_EQ(session.host->Run(true), 1);
        EXPECT_TRUE(session.host->Alerts().empty());
        EXPECT_FALSE(PrefsWritten(session)) << "a cancelled dialog changes no preferences";
    }
    Session session;
    std::unique_ptr<BenchOnModal> quant, options;
    std::unique_ptr<BenchAnswerFileBox> saveAs;
    Session::OnQuantization(quant, [&](HWND dialog) {
        Session::OnOptions(options, [&](HWND second) {
            saveAs = std::make_unique<BenchAnswerFileBox>(L"Save As", "");
            PressDialogButton(second, IDOK);
        });
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(session.host->Run(true), 1);
    EXPECT_TRUE(session.host->Alerts().empty());
    ASSERT_NE(saveAs, nullptr);
    EXPECT_TRUE(saveAs->Answered());
    EXPECT_TRUE(PrefsWritten(session)) << "the settings were saved before the file was asked for";
}

TEST(HcSessionTest, AGreySourceOpensTheOptionsDialogAndComesBackToIt) {
    Session session;
    session.host->SetImage(GreyLayer());
    std::unique_ptr<BenchOnModal> first, second;
    std::unique_ptr<BenchAnswerFileBox> saveAs;
    bool quantizationShown = false;
    BenchOnModal never(L"Halcyne Filter 4", IDC_QUANT_SIZE_INFO, [&](HWND dialog) {
        quantizationShown = true;
        PressDialogButton(dialog, IDCANCEL);
    });
    Session::OnOptions(first, [&](HWND dialog) {
        EXPECT_EQ(DialogText(dialog, IDC_OPT_SIZE_LABEL), "40 x 30 pixels");
        Session::OnOptions(second, [&](HWND again) {
            saveAs = std::make_unique<BenchAnswerFileBox>(L"Save As", session.folder + "\\grey.gif");
            PressDialogButton(again, IDOK);
        });
        PressDialogButton(dialog, IDC_OPT_LAST);
    });
    EXPECT_EQ(session.host->Run(true), 0);
    EXPECT_FALSE(quantizationShown);
    EXPECT_TRUE(second && second->Ran());
    EXPECT_FALSE(ReadFileBytes(session.folder + "\\grey.gif").empty());
}

// Turns the wheel with Ctrl held over the middle of a dialog's pane, while the keyboard focus is elsewhere.
void ZoomWithTheWheel(HWND dialog, int paneId, int notches) {
    RECT pane{};
    GetWindowRect(GetDlgItem(dialog, paneId), &pane);
    const LPARAM at = MAKELPARAM((pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2);
    PostMessageW(dialog, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(notches * WHEEL_DELTA)), at);
    PumpUntilIdle();
}

// A photograph of 2560 x 1600 as a person opens it: each dialog shows it whole in panes larger than its template
// has, and the wheel zooms in. Screenshots of each at the display's DPI.
TEST(HcSessionTest, APhotographOpensWholeInBothDialogsAndTheWheelZoomsItAtTheDisplaysDpi) {
    SimImage photo;
    if (!BenchPhotograph(2560, 1600, photo))
        GTEST_SKIP() << "no photograph in build/bench-data: scripts/dialog-screenshots.sh fetches it";
    Session session;
    session.host->SetImage(std::move(photo));
    const std::string dpi = "-" + std::to_string(BenchExpectedDpi()) + "dpi";
    std::unique_ptr<BenchOnModal> quant, options;
    // The zoom label as the dialog opened and after the wheel, the screenshots taken on the way.
    const auto look = [&](HWND dialog, int paneId, const std::string& name, int notches) {
        SaveScreenshot(CaptureClient(dialog), "photo-" + name + "-opening" + dpi);
        const std::string fitted = DialogText(dialog, IDC_ZOOM_LABEL);
        ZoomWithTheWheel(dialog, paneId, notches);
        SaveScreenshot(CaptureClient(dialog), "photo-" + name + "-wheel-zoomed" + dpi);
        return fitted + " -> " + DialogText(dialog, IDC_ZOOM_LABEL);
    };
    Session::OnQuantization(quant, [&](HWND dialog) {
        EXPECT_EQ(look(dialog, IDC_QUANT_SOURCE_PANE, "quantization", 3), "1 : 8 -> 1 : 5");
        ChooseFine(dialog);
        SaveScreenshot(CaptureClient(dialog), "photo-quantization-fine" + dpi);
        DragLossy(dialog, 80);
        WaitForReduction(dialog);
        SaveScreenshot(CaptureClient(dialog), "photo-quantization-fine-lossy" + dpi);
        Session::OnOptions(options, [&](HWND second) {
            PumpUntilIdle();
            // Its pane is as large as the screen's third or more: 1 : 8 or closer, one step closer still.
            EXPECT_TRUE(std::set<std::string>({"1 : 8 -> 1 : 7", "1 : 7 -> 1 : 6", "1 : 6 -> 1 : 5"})
                            .count(look(second, kPaneId, "options", 1)));
            PressDialogButton(second, IDCANCEL);
        });
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(session.host->Run(true), 1);
    EXPECT_TRUE(options && options->Ran());
}
