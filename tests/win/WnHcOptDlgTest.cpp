// The options dialog's wiring, driven from inside its own loop with real clicks, tab switches and keys: each
// control reaches the settings and the frame. Its rules are tested in uicore/; the painted mask, the step back, a
// typed comment and the readout against the file "Save" writes in the whole session (HcSessionTest).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvList.h"
#include "tests/support/GifTestSupport.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "tests/win/support/PaneBench.h"
#include "tests/win/support/QuantDialogBench.h"
#include "uicore/HcSavedColors.h"
#include "win/HcCursors.h"
#include "win/WnHcOptDlg.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"
#include "wnatom/WnDialogPlacement.h"
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
    WnHcOptDlgTest() : host(900, 700), cursors(BenchModule()) {
        WnRegisterDialogControls();  // as the dialog flow does before its first dialog
        HcCursors::SetCurrent(&cursors);
        globals.settings.bgColor[0] = globals.settings.bgColor[2] = 255;  // kFrameBackground: in no palette entry
        globals.settings.transparencyType = TransparencyType::none;
        globals.gifFrame = NewFrame();
        globals.extraPlanes = new CvList;
    }
    ~WnHcOptDlgTest() override {
        HcCursors::SetCurrent(nullptr);
        delete globals.gifFrame;
        CvImage::DeleteImageList(globals.extraPlanes, true);
        delete globals.extraPlanes;
        FreeColorList(globals.colorList);
    }

    // Opens the dialog and runs `steps` from inside its loop; `steps` returns the button that ends it.
    bool RunDialog(const std::function<int(WnHcOptDlg&, HWND)>& steps) {
        WnHcOptDlg dialog(host.Handle(), &globals, false);
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
    static POINT View(const WnHcOptDlg& dialog, int x, int y) {
        const HcPoint origin = dialog.Pane()->Layout().Origin();
        return {origin.x + x, origin.y + y};
    }

    BenchHostWindow host;
    HcCursors cursors;
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
        HWND page = dialog.Page(WnHcOptDlg::kTransparencyTab);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_ALPHA)));
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_OPT_NONE), UINT(BST_CHECKED));
        // The tests click buttons by id: each id must carry the label a person reads there.
        const std::pair<int, const wchar_t*> labels[] = {
            {IDC_OPT_ALPHA, L"Alpha"}, {IDC_OPT_COLOR, L"Color"}, {IDC_OPT_NONE, L"None"}};
        for (const auto& [id, label] : labels) EXPECT_EQ(WindowText(GetDlgItem(page, id)), label);
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OPT_SIZE_LABEL)), L"2000 x 1500 pixels");
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OPT_COLORS_LABEL)), L"12 colors used, 4 bit");
        ClickCentre(window, dialog.ToolRect(WnHcBrushWindow::kPencil));  // greyed: nothing happens
        EXPECT_EQ(dialog.SelectedTool(), WnHcBrushWindow::kHand);

        const RECT pane = WnControlRect(window, GetDlgCtrlID(dialog.Pane()->Window()));
        const RECT tabs = WnControlRect(window, IDC_OPT_TABS), zoom = WnControlRect(window, IDC_ZOOM_IN);
        const RECT info = WnControlRect(window, IDC_OPT_SIZE_LABEL), last = WnControlRect(window, IDC_OPT_LAST);
        const HcPixelRect tool = dialog.ToolRect(0), strip = dialog.StripRect(), swatch = dialog.SwatchRect();
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_TRUE(pane.right < tabs.left && pane.bottom < zoom.top);
        EXPECT_EQ(tool.Width(), MulDiv(26, BenchExpectedDpi(), 96));
        EXPECT_TRUE(tool.top > pane.bottom && dialog.ToolRect(3).right <= zoom.left && tool.bottom <= info.top);
        EXPECT_TRUE(strip.top >= info.bottom && strip.right < last.left && strip.bottom <= client.bottom);
        EXPECT_TRUE(swatch.top >= info.bottom && swatch.right <= last.left && swatch.bottom <= client.bottom);
        MONITORINFO monitor{sizeof monitor, {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        EXPECT_GE(pane.bottom - pane.top, (work.bottom - work.top) / 3);
        const HcDialogRect at = WnDialogRectOf(window), around = WnDialogRectOf(host.Handle());
        EXPECT_NEAR(at.left, std::max<int>(work.left, around.left + (around.width - at.width) / 2), 1);
        EXPECT_NEAR(at.top, std::max<int>(work.top, around.top + (around.height - at.height) / 2), 1);
        EXPECT_TRUE(dialog.Pane()->Layout().Zoom().level < 0 && dialog.Pane()->Layout().CentredBothWays());
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
        EXPECT_EQ(dialog.ToolRect(0).top, tool.top + 60);
        return IDCANCEL;
    }));
    EXPECT_EQ(globals.settings.transparencyType, TransparencyType::none);
    EXPECT_NE(globals.optionsDialogRect.width, 0) << "the placement is kept for the next opening";
}

// The planes list picks the plane "Alpha" uses. "Color" takes the top-left pixel's index; the tool buttons reach
// the pane, whose picker edits the mask that "None" and "Color" hide and show again; the zoom buttons reach the pane.
// "Interlace" reaches the frame, the settings and the readout; the strip and the picker on the swatch edit the
// palette; the background list and the page's colour control set the colour.
TEST_F(WnHcOptDlgTest, EachControlReachesTheSettingsTheFrameAndTheReadout) {
    globals.hasTransparencyPlane = true;
    globals.extraPlanes->Append(NewPlane(12));
    globals.extraPlanes->Append(NewPlane(30));
    globals.settings.transAlphaIndex = 5;
    const bool saved = RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        const long opaque = OptionsReadout(window);
        HWND page = dialog.Page(WnHcOptDlg::kTransparencyTab);
        // The planes list picks the plane "Alpha" uses; a stored plane past the last opens on the last.
        HWND planes = GetDlgItem(page, IDC_OPT_PLANES);
        EXPECT_EQ(SendMessageW(planes, CB_GETCURSEL, 0, 0), 1);
        ClickControl(GetDlgItem(page, IDC_OPT_ALPHA));
        EXPECT_EQ(int(TransparentPixels(*globals.gifFrame).size()), 30 * 36);
        SetFocus(planes);
        PressKey(planes, VK_UP);  // "Layer Transparency"
        EXPECT_EQ(globals.settings.transAlphaIndex, 0);
        EXPECT_EQ(int(TransparentPixels(*globals.gifFrame).size()), 12 * 36);
        SaveScreenshot(CaptureClient(page), "options-alpha");
        ClickControl(GetDlgItem(page, IDC_OPT_COLOR));
        EXPECT_EQ(globals.settings.transparencyType, TransparencyType::indexed);
        for (int i = 0; i < 256; ++i) EXPECT_EQ(globals.settings.transIndexes[i], i == kTopLeftIndex) << i;
        int ofTopLeft = 0;
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) ofTopLeft += IndexAt(x, y) == kTopLeftIndex;
        EXPECT_EQ(int(TransparentPixels(*globals.gifFrame).size()), ofTopLeft);
        EXPECT_NE(OptionsReadout(window), opaque) << "a graphic control extension joins the file";

        HWND pane = dialog.Pane()->Window();
        ClickCentre(window, dialog.ToolRect(WnHcBrushWindow::kPicker));
        Click(pane, View(dialog, 40, 30), kBenchShift);  // another index joins
        const int ofBoth = int(TransparentPixels(*globals.gifFrame).size());
        EXPECT_GT(ofBoth, ofTopLeft);
        ClickControl(GetDlgItem(page, IDC_OPT_NONE));
        EXPECT_EQ(int(TransparentPixels(*globals.gifFrame).size()), 0);
        ClickControl(GetDlgItem(page, IDC_OPT_COLOR));
        EXPECT_EQ(int(TransparentPixels(*globals.gifFrame).size()), ofBoth)
            << "the picked colour stays one of the mode's";

        for (int i = 0; i < 7; ++i) PressDialogButton(window, IDC_ZOOM_IN);
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ZOOM_LABEL)), L"8 : 1");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_ZOOM_IN)));

        const long progressive = OptionsReadout(window);
        ClickControl(GetDlgItem(window, IDC_OPT_INTERLACE));
        EXPECT_EQ(globals.gifFrame->FrameInfo().interlaced, 1);
        EXPECT_EQ(globals.settings.interlaced, 1);
        EXPECT_NE(OptionsReadout(window), progressive) << "the interlaced rows compress differently";

        // The strip's cells: 7 x 6 pixels and a separator, inside a 4-pixel frame.
        const HcPixelRect strip = dialog.StripRect();
        Click(window, {strip.left + 4 + 2 * 8 + 3, strip.top + 4 + 3});  // entry 2
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ENTRY_RGB)), L"2, 253, 79");
        {
            // Three steps up on the red row's right arrow, then OK.
            BenchOnModal picker(L"Color Picker", [](HWND box) {
                for (int i = 0; i < 3; ++i) Click(box, {45 + 132 + 4, 110 + 5});
                PressDialogButton(box, IDOK);
            });
            ClickCentre(window, dialog.SwatchRect());
            EXPECT_TRUE(picker.Ran());
        }
        uint8_t r = 0, g = 0, b = 0;
        globals.gifFrame->GetIndexedImage()->colorTable.GetEntry(2, r, g, b);
        EXPECT_EQ(BenchRgb(r, g, b), BenchRgb(5, 253, 79));
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ENTRY_RGB)), L"5, 253, 79");

        ShowTab(window, IDC_OPT_TABS, WnHcOptDlg::kBackgroundTab);
        EXPECT_FALSE(IsWindowVisible(dialog.Page(WnHcOptDlg::kTransparencyTab)));
        HWND combo = GetDlgItem(dialog.Page(WnHcOptDlg::kBackgroundTab), IDC_OPT_SAVED_COLORS);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), kColorItemSave) << "magenta is no saved colour";
        SendMessageW(combo, CB_SETCURSEL, kColorItemWhite, 0);
        SetFocus(combo);
        PressKey(combo, VK_DOWN);  // "Black"
        EXPECT_EQ(globals.gifFrame->GetBackgroundColor()[1], 0);
        // The colour control on the page: one step up on the red row's right arrow.
        Click(dialog.Page(WnHcOptDlg::kBackgroundTab), {40 + 132 + 4, 62 + 5});
        EXPECT_EQ(BenchRgb(globals.settings.bgColor[0], globals.settings.bgColor[1], globals.settings.bgColor[2]),
                  BenchRgb(1, 0, 0));
        EXPECT_EQ(globals.gifFrame->GetBackgroundColor()[0], 1);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), kColorItemSave) << "no saved colour matches";
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
