// The options dialog's wiring, driven from inside its own loop with real clicks, tab switches and keys: each
// control reaches the settings and the frame. Its rules are tested in uicore/; the painted mask, the step back, a
// typed comment and the readout against the file "Save" writes in the whole session (HcSessionTest).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvList.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/Transcript.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchState.h"
#include "tests/win/support/BenchWindow.h"
#include "tests/win/support/PaneBench.h"
#include "tests/win/support/QuantDialogBench.h"
#include "uicore/HcSavedColors.h"
#include "win/WnHcOptDlg.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"
#include "wnatom/WnDialogSizer.h"
#include "wnatom/WnDpi.h"
#include "wnatom/WnText.h"

namespace {

constexpr uint32_t kWidth = 48, kHeight = 36, kColors = 12;
constexpr uint8_t kTopLeftIndex = 7;

// Runs of one index across and down, so interlacing and transparency change how the rows compress.
uint8_t IndexAt(uint32_t x, uint32_t y) {
    return uint8_t((x / 3 + 5 * (y / 2) + (x > 30 ? y : 0) + kTopLeftIndex) % kColors);
}

// A frame of MakeIndexedPicture's colours, showing IndexAt.
CvGIFFrame* NewFrame(uint32_t width = kWidth, uint32_t height = kHeight) {
    return MakeFrame(width, height, kColors, IndexAt, [](uint32_t, uint32_t) { return 0u; }).release();
}

// A plane black (transparent) on its left quarter.
CvGrayscaleImage* NewPlane(uint32_t transparentColumns) {
    auto* plane = new CvGrayscaleImage(kWidth, kHeight);
    CvPixelLock lock(*plane);
    for (uint32_t y = 0; y < kHeight; ++y) {
        std::memset(lock.Row(y), 255, kWidth);
        std::memset(lock.Row(y), 0, transparentColumns);
    }
    return plane;
}

// The colour picker opened from the swatch on `start`, drawn at the display's DPI: the starting colour in its label
// and swatch, after one step up on red's right arrow the new colour beside it and the red bar, the buttons below the
// lowest thumb; closed with Cancel.
void CheckPickerAndCancel(HWND picker, uint8_t r, uint8_t g, uint8_t b) {
    const WnDpiScale scale{BenchExpectedDpi()};
    EXPECT_EQ(WindowText(GetDlgItem(picker, IDC_PICKER_ORIGINAL)),
              L"ORIGINAL: " + std::to_wstring(r) + L", " + std::to_wstring(g) + L", " + std::to_wstring(b) + L" ");
    Click(picker, {scale(45 + 135), scale(110 + 5)});
    const BenchPixels pixels = CaptureClient(picker);
    SaveScreenshot(pixels, "color-picker-" + std::to_string(BenchExpectedDpi()) + "dpi");
    EXPECT_EQ(pixels.At(scale(15 + 60), scale(38 + 20)), BenchRgb(r, g, b)) << "the original";
    EXPECT_EQ(pixels.At(scale(150 + 60), scale(38 + 20)), BenchRgb(r + 1, g, b)) << "the new colour";
    // Column 64 of the red bar is red 128; stretching may land a column either side.
    const uint32_t bar = pixels.At(scale(45 + 1 + 64), scale(110 + 5));
    EXPECT_NEAR(int(bar >> 16), 128, 2);
    EXPECT_EQ(bar & 0xFFFF, BenchRgb(0, g, b)) << "the red bar";
    EXPECT_GT(WnControlRect(picker, IDOK).top, scale(160 + 11 + 6));
    PressDialogButton(picker, IDCANCEL);
}

}  // namespace

class WnHcOptDlgTest : public ::testing::Test {
protected:
    WnHcOptDlgTest() : bench(900, 700) {
        WnRegisterDialogControls();  // as the dialog flow does before its first dialog
        globals.settings.bgColor[0] = globals.settings.bgColor[2] = 255;  // kFrameBackground: in no palette entry
        globals.settings.transparencyType = TransparencyType::none;
        globals.gifFrame = NewFrame();
        globals.extraPlanes = new CvList;
    }
    ~WnHcOptDlgTest() override {
        delete globals.gifFrame;
        CvImage::DeleteImageList(globals.extraPlanes, true);
        delete globals.extraPlanes;
        FreeColorList(globals.colorList);
    }

    // Opens the dialog and runs `steps` from inside its loop; `steps` returns the button that ends it.
    bool RunDialog(const std::function<int(WnHcOptDlg&, HWND)>& steps) {
        WnHcOptDlg dialog(bench.Host(), &globals, false);
        BenchOnModal watcher(L"Halcyne Filter 4", [&](HWND window) {
            PumpUntilIdle();
            const int button = steps(dialog, window);
            PumpUntilIdle();
            PressDialogButton(window, button);
        });
        bool back = true;
        const bool saved = dialog.Run(back);
        EXPECT_TRUE(watcher.Ran());
        EXPECT_FALSE(back);
        return saved;
    }

    PaneBench bench;  // the host window, with the pane cursors made current
    HcGlobals globals{};
};

// Opening with no stored placement on a frame too large for the pane: centred on the host window (as far as the
// screen allows), a pane of a third of the screen's height or more showing the frame whole, the pieces the dialog
// places itself clear of its controls and the colour picker its swatch opens drawn at 96 and 144 DPI alike. A
// stored alpha without planes opens as "None" with the tools greyed; Cancel keeps the placement and nothing else.
TEST_F(WnHcOptDlgTest, OpensFittedAndWithoutPlanesAsNoneAtTheDisplaysDpi) {
    delete globals.gifFrame;
    globals.gifFrame = NewFrame(2000, 1500);
    globals.settings.transparencyType = TransparencyType::alpha;
    EXPECT_FALSE(RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        // Centred on the host window, the pane a third of the screen's height or more showing the frame whole and
        // centred, the tool buttons, strip and swatch it draws itself clear of its controls, at this DPI (the
        // screenshot below shows them; the tests click buttons by id: the transcript shows the label each carries).
        const HcPixelRect strip = dialog.StripRect(), swatch = dialog.SwatchRect();
        const auto placed = [](const HcPixelRect& r) { return RectText({r.left, r.top, r.right, r.bottom}); };
        const HcPoint view = dialog.Pane()->Layout().Origin();
        RECT at{}, around{}, client{};
        GetWindowRect(window, &at);
        GetWindowRect(bench.Host(), &around);
        GetClientRect(window, &client);
        Transcript("win/options-opening-" + std::to_string(BenchExpectedDpi()) + "dpi")(
            "host", RectText(around), "| dialog", RectText(at), "| tools", placed(dialog.ToolRect(0)), "and",
            placed(dialog.ToolRect(3)), "| strip", placed(strip), "| swatch", placed(swatch), "| view at", view.x,
            view.y, ControlStates(window, true));
        const int toolTop = dialog.ToolRect(0).top;
        ClickCentre(window, dialog.ToolRect(WnHcBrushWindow::kPencil));  // greyed: nothing happens
        EXPECT_EQ(dialog.SelectedTool(), WnHcBrushWindow::kHand);
        SaveScreenshot(CaptureClient(window), "options-opening-" + std::to_string(BenchExpectedDpi()) + "dpi");
        Click(window, {strip.left + 7, strip.top + 7});  // entry 0: inside the strip's frame at both DPIs
        uint8_t r = 0, g = 0, b = 0;
        globals.gifFrame->GetIndexedImage()->colorTable.GetEntry(0, r, g, b);
        {
            BenchOnModal picker(L"Color Picker", [&](HWND box) { CheckPickerAndCancel(box, r, g, b); });
            ClickCentre(window, swatch);
            EXPECT_TRUE(picker.Ran());
        }
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ENTRY_RGB)),
                  std::to_wstring(r) + L", " + std::to_wstring(g) + L", " + std::to_wstring(b))
            << "Cancel keeps the entry";
        // Grown, the pane takes the room and the tool buttons move down with the bottom edge.
        ResizeClient(window, client.right + 100, client.bottom + 60);
        EXPECT_EQ(dialog.ToolRect(0).top, toolTop + 60);
        return IDCANCEL;
    }));
    EXPECT_NE(globals.optionsDialogRect.width, 0) << "the placement is kept for the next opening";
}

// One walk through the controls, the dialog's controls and what they reach recorded at each step
// (tests/data/transcripts/win/options-walk.txt): the planes list picks the plane "Alpha" uses (a stored plane past
// the last opens on the last); "Color" takes the top-left pixel's index and adds a graphic control extension to the
// readout; the picker tool reaches the pane, whose picked index "None" hides and "Color" shows again; the zoom
// buttons reach the pane; "Interlace" reaches the frame, the settings and the readout; the strip and the picker on
// the swatch edit the palette; the background list and the page's colour control set the colour.
TEST_F(WnHcOptDlgTest, AWalkThroughEachControlAndWhatItReaches) {
    globals.hasTransparencyPlane = true;
    globals.extraPlanes->Append(NewPlane(12));
    globals.extraPlanes->Append(NewPlane(30));
    globals.settings.transAlphaIndex = 5;
    Transcript t("win/options-walk");
    const bool saved = RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        const auto step = [&](const char* name) {
            const HcSettings& set = globals.settings;
            std::string indexes;
            for (int i = 0; i < 256; ++i)
                if (set.transIndexes[i]) indexes += " " + std::to_string(i);
            uint8_t r = 0, g = 0, b = 0;
            globals.gifFrame->GetIndexedImage()->colorTable.GetEntry(2, r, g, b);
            t(name, "| transparency", int(set.transparencyType), "plane", set.transAlphaIndex, "indexes" + indexes,
              "| transparent pixels", TransparentPixels(*globals.gifFrame).size(), "| readout", OptionsReadout(window),
              "| interlaced", globals.gifFrame->FrameInfo().interlaced, set.interlaced, "| entry 2", r, g, b,
              "| background", set.bgColor[0], set.bgColor[1], set.bgColor[2], "frame",
              globals.gifFrame->GetBackgroundColor()[0], globals.gifFrame->GetBackgroundColor()[1],
              ControlStates(window));
        };
        HWND page = dialog.Page(WnHcOptDlg::kTransparencyTab);
        step("opened");
        ClickControl(GetDlgItem(page, IDC_OPT_ALPHA));
        step("Alpha");
        HWND planes = GetDlgItem(page, IDC_OPT_PLANES);
        SetFocus(planes);
        PressKey(planes, VK_UP);
        step("the plane above");
        SaveScreenshot(CaptureClient(page), "options-alpha");
        ClickControl(GetDlgItem(page, IDC_OPT_COLOR));
        step("Color");
        ClickCentre(window, dialog.ToolRect(WnHcBrushWindow::kPicker));
        const HcPoint view = dialog.Pane()->Layout().Origin();
        Click(dialog.Pane()->Window(), {view.x + 40, view.y + 30}, kBenchShift);  // another index joins
        step("picker with Shift");
        ClickControl(GetDlgItem(page, IDC_OPT_NONE));
        step("None");
        ClickControl(GetDlgItem(page, IDC_OPT_COLOR));
        step("Color again");
        for (int i = 0; i < 7; ++i) PressDialogButton(window, IDC_ZOOM_IN);
        step("zoomed in 7 times");
        ClickControl(GetDlgItem(window, IDC_OPT_INTERLACE));
        step("Interlace");
        // The strip's cells: 7 x 6 pixels and a separator, inside a 4-pixel frame.
        const HcPixelRect strip = dialog.StripRect();
        Click(window, {strip.left + 4 + 2 * 8 + 3, strip.top + 4 + 3});
        step("strip entry 2");
        {
            // Three steps up on the red row's right arrow, then OK.
            BenchOnModal picker(L"Color Picker", [](HWND box) {
                for (int i = 0; i < 3; ++i) Click(box, {45 + 132 + 4, 110 + 5});
                PressDialogButton(box, IDOK);
            });
            ClickCentre(window, dialog.SwatchRect());
        }
        step("three reds up in the picker");
        ShowTab(window, IDC_OPT_TABS, WnHcOptDlg::kBackgroundTab);
        step("background page");
        HWND combo = GetDlgItem(dialog.Page(WnHcOptDlg::kBackgroundTab), IDC_OPT_SAVED_COLORS);
        SendMessageW(combo, CB_SETCURSEL, kColorItemWhite, 0);
        SetFocus(combo);
        PressKey(combo, VK_DOWN);
        step("White, then down a line");
        Click(dialog.Page(WnHcOptDlg::kBackgroundTab), {40 + 132 + 4, 62 + 5});
        step("one red up on the page");
        SaveScreenshot(CaptureClient(window), "options-background");
        {
            // A key moving through the closed list opens no prompt (the watcher would answer it); closing the open
            // list on "Remove Color..." with no saved colour in use says there is none.
            BenchAnswerBox mistaken(WnWiden(kSavedColorsTitle), IDCANCEL);
            PressKey(combo, VK_DOWN);  // "Remove Color..."
            EXPECT_FALSE(mistaken.Answered());
        }
        BenchAnswerBox told(WnWiden(kSavedColorsTitle), IDOK);
        SendMessageW(combo, CB_SETCURSEL, kColorItemRemove, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        PressKey(combo, VK_RETURN);
        PumpUntil([&] { return told.Answered(); }, std::chrono::milliseconds(3000));
        EXPECT_EQ(told.Texts(), WnWiden(kNoColorToRemoveText));
        return IDOK;
    });
    EXPECT_TRUE(saved);
}
