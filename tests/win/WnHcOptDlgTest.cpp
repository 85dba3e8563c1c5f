// The options dialog driven from inside its own loop with real clicks, tab switches, typing and painting: the
// transparency modes on an asymmetric frame, every tool on the pane, the palette edited through the picker, the
// background list, the comment's share, and a readout that always ends at the size of the file "Save" writes.
#include <gtest/gtest.h>
#include <windows.h>
// The tab control's messages, which need the window types above.
#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>

#include "common/HCWriteSingleFile.h"
#include "common/HcExport.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "uicore/HcSavedColors.h"
#include "win/HcCursors.h"
#include "win/WnHcOptDlg.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"
#include "wnatom/WnDialogPlacement.h"
#include "wnatom/WnDialogSizer.h"
#include "wnatom/WnText.h"

namespace {

constexpr uint32_t kWidth = 48, kHeight = 36, kColors = 12;
constexpr uint8_t kTopLeftIndex = 7;
const uint8_t kBackground[3] = {255, 0, 255};  // in no palette entry: transparent pixels show in it

// Runs of one index across and down, so interlacing and transparency change how the rows compress.
uint8_t IndexAt(uint32_t x, uint32_t y) {
    return uint8_t((x / 3 + 5 * (y / 2) + (x > 30 ? y : 0) + kTopLeftIndex) % kColors);
}

uint32_t PaletteColor(uint32_t index) {
    return BenchRgb(uint8_t(20 * index), uint8_t(240 - 15 * index), uint8_t(index % 2 ? 200 : 40));
}

CvGIFFrame* NewFrame(uint32_t width = kWidth, uint32_t height = kHeight) {
    CvColorTable table(kColors);
    for (uint32_t i = 0; i < kColors; ++i) {
        const uint32_t rgb = PaletteColor(i);
        table.SetEntry(i, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    }
    CvIndexedImage image(width, height, &table);
    {
        CvPixelLock lock(image);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) lock.Row(y)[x] = IndexAt(x, y);
    }
    return new CvGIFFrame(image);
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

bool Transparent(const CvGIFFrame& frame, uint32_t x, uint32_t y) {
    uint8_t rgb[3];
    frame.GetRGB(x, y, y + 1, x + 1, 0, 0, 3, 3, 0, 1, 2, rgb);
    return std::memcmp(rgb, kBackground, 3) == 0;
}

int CountTransparent(const CvGIFFrame& frame) {
    int count = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) count += Transparent(frame, x, y);
    return count;
}

POINT Centre(const HcPixelRect& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ClickControl(HWND control) {
    RECT rect{};
    GetClientRect(control, &rect);
    Click(control, {5, rect.bottom / 2});
}

}  // namespace

class WnHcOptDlgTest : public ::testing::Test {
protected:
    WnHcOptDlgTest() : host(900, 700), cursors(BenchModule()) {
        WnRegisterDialogControls();  // as the dialog flow does before its first dialog
        HcCursors::SetCurrent(&cursors);
        std::memcpy(globals.settings.bgColor, kBackground, 3);
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
    bool RunDialog(bool cameBack, const std::function<int(WnHcOptDlg&, HWND)>& steps, bool& back) {
        WnHcOptDlg dialog(host.Handle(), &globals, cameBack);
        BenchOnModal watcher(L"Halcyne Filter 4", [&](HWND window) {
            PumpUntilIdle();
            const int button = steps(dialog, window);
            PumpUntilIdle();
            readoutAtEnd = Readout(window);
            PressDialogButton(window, button);
        });
        const bool saved = dialog.Run(back);
        EXPECT_TRUE(watcher.Ran());
        if (dialog.Comment()) commentAtEnd = dialog.Comment()->Length();
        return saved;
    }
    bool RunDialog(const std::function<int(WnHcOptDlg&, HWND)>& steps) {
        bool back = true;
        const bool saved = RunDialog(false, steps, back);
        EXPECT_FALSE(back);
        return saved;
    }

    static long Readout(HWND window) {
        PumpUntilIdle();
        long bytes = -1;
        const std::wstring text = WindowText(GetDlgItem(window, IDC_OPT_FILE_SIZE));
        return swscanf(text.c_str(), L"File Size: %ld Bytes", &bytes) == 1 ? bytes : -1;
    }
    // What the export does after "Save": the transparency settled, the file written with the settings' comment.
    long WrittenSize() {
        SettleTransparency(*globals.gifFrame);
        const HcStr255& text = globals.settings.comment;
        CvGIFComment comment(text[0], text + 1);
        CvFileLocator file;
        file.SetPath((MakeScratchDir("options") + "/out.gif").c_str());
        return long(HCWriteSingleFile(file, *globals.gifFrame, &comment, true, 0, true, LossyCodingFor(globals)));
    }
    static POINT View(const WnHcOptDlg& dialog, int x, int y) {
        const HcPoint origin = dialog.Pane()->Layout().Origin();
        return {origin.x + x, origin.y + y};
    }
    static void ShowTab(HWND window, int tab) {
        HWND tabs = GetDlgItem(window, IDC_OPT_TABS);
        RECT item{};
        SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(tab), reinterpret_cast<LPARAM>(&item));
        Click(tabs, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    }
    static void SelectTool(const WnHcOptDlg& dialog, HWND window, int tool) {
        Click(window, Centre(dialog.ToolRect(tool)));
    }

    BenchHostWindow host;
    HcCursors cursors;
    HcGlobals globals{};
    long readoutAtEnd = -1;
    uint32_t commentAtEnd = 0;
};

TEST_F(WnHcOptDlgTest, WithoutExtraPlanesAlphaIsOffAndAStoredAlphaOpensAsNoneWithTheToolsGreyed) {
    globals.settings.transparencyType = TransparencyType::alpha;
    const bool saved = RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        HWND page = dialog.Page(WnHcOptDlg::kTransparencyTab);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_ALPHA)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_PLANES)));
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_OPT_NONE), UINT(BST_CHECKED));
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OPT_SIZE_LABEL)), L"48 x 36 pixels");
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OPT_COLORS_LABEL)), L"12 colors used, 4 bit");
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ZOOM_LABEL)), L"1 : 1");
        SelectTool(dialog, window, WnHcBrushWindow::kPencil);  // greyed: nothing happens
        EXPECT_EQ(dialog.SelectedTool(), WnHcBrushWindow::kHand);
        SaveScreenshot(CaptureClient(window), "options-transparency-none");
        return IDCANCEL;
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(globals.settings.transparencyType, TransparencyType::none);
    EXPECT_EQ(CountTransparent(*globals.gifFrame), 0);
    EXPECT_NE(globals.optionsDialogRect.width, 0) << "the placement is kept for the next opening";
    EXPECT_EQ(readoutAtEnd, WrittenSize());
}

// The wiring only: the readout counts the file at the settings' lossy level (entries two apart lie within level
// 100's tolerance, so the lossy file differs from the exact one).
TEST_F(WnHcOptDlgTest, TheReadoutCountsTheLossyFile) {
    globals.settings.lossy = 100;
    EXPECT_TRUE(RunDialog([&](WnHcOptDlg&, HWND window) {
        SaveScreenshot(CaptureClient(window), "options-lossy");
        return IDOK;
    }));
    EXPECT_EQ(readoutAtEnd, WrittenSize());
    globals.settings.lossy = 0;
    EXPECT_NE(WrittenSize(), readoutAtEnd);
}

TEST_F(WnHcOptDlgTest, ColorTakesTheTopLeftIndexAndEveryToolEditsTheMaskTheReadoutFollows) {
    const bool saved = RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        const long opaque = Readout(window);
        ClickControl(GetDlgItem(dialog.Page(WnHcOptDlg::kTransparencyTab), IDC_OPT_COLOR));
        EXPECT_EQ(globals.settings.transparencyType, TransparencyType::indexed);
        for (int i = 0; i < 256; ++i) EXPECT_EQ(globals.settings.transIndexes[i], i == kTopLeftIndex) << i;
        int ofTopLeft = 0;
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                EXPECT_EQ(Transparent(*globals.gifFrame, x, y), IndexAt(x, y) == kTopLeftIndex) << x << "," << y;
                ofTopLeft += IndexAt(x, y) == kTopLeftIndex;
            }
        const long indexed = Readout(window);
        EXPECT_NE(indexed, opaque) << "a graphic control extension joins the file";

        HWND pane = dialog.Pane()->Window();
        SelectTool(dialog, window, WnHcBrushWindow::kPicker);
        Click(pane, View(dialog, 40, 30), kBenchShift);  // another index joins
        const int ofBoth = CountTransparent(*globals.gifFrame);
        EXPECT_GT(ofBoth, ofTopLeft);
        // The picked colour is one of the mode's colours now: leaving "Color" and coming back keeps it.
        EXPECT_EQ(globals.settings.transIndexes[IndexAt(40, 30)], 1);
        HWND page = dialog.Page(WnHcOptDlg::kTransparencyTab);
        ClickControl(GetDlgItem(page, IDC_OPT_NONE));
        EXPECT_EQ(CountTransparent(*globals.gifFrame), 0);
        ClickControl(GetDlgItem(page, IDC_OPT_COLOR));
        EXPECT_EQ(CountTransparent(*globals.gifFrame), ofBoth);
        SelectTool(dialog, window, WnHcBrushWindow::kPicker);  // "None" took the tools away
        Click(pane, View(dialog, 0, 0), kBenchControl);        // the top-left colour leaves
        EXPECT_EQ(globals.settings.transIndexes[kTopLeftIndex], 0);
        EXPECT_EQ(CountTransparent(*globals.gifFrame), ofBoth - ofTopLeft);

        SelectTool(dialog, window, WnHcBrushWindow::kPencil);
        EXPECT_EQ(dialog.SelectedTool(), WnHcBrushWindow::kPencil);
        Drag(pane, StraightPath(View(dialog, 2, 20), View(dialog, 26, 20), 6));
        for (uint32_t x = 2; x <= 26; ++x) EXPECT_TRUE(Transparent(*globals.gifFrame, x, 20)) << x;

        SelectTool(dialog, window, WnHcBrushWindow::kEdgeBrush);
        Drag(pane, StraightPath(View(dialog, 1, 30), View(dialog, 1, 34), 2));
        EXPECT_TRUE(Transparent(*globals.gifFrame, 0, 33)) << "the edge brush reaches the image's outer ring";
        const BenchPixels painted = CaptureClient(window);
        SaveScreenshot(painted, "options-painted");
        const POINT at = View(dialog, 10, 20);
        POINT inDialog = at;
        MapWindowPoints(pane, window, &inDialog, 1);
        EXPECT_EQ(painted.At(inDialog.x, inDialog.y), BenchRgb(255, 0, 255)) << "painted pixels show the background";

        // Zoomed in, the hand pans the picture.
        SelectTool(dialog, window, WnHcBrushWindow::kHand);
        for (int i = 0; i < 7; ++i) PressDialogButton(window, IDC_ZOOM_IN);
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ZOOM_LABEL)), L"8 : 1");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_ZOOM_IN)));
        const HcPoint before = dialog.Pane()->Layout().Origin();
        Drag(pane, StraightPath({150, 150}, {110, 150}, 3));
        EXPECT_EQ(dialog.Pane()->Layout().Origin().x, before.x - 40) << "384 pixels wide: wider than the pane";
        SaveScreenshot(CaptureClient(window), "options-zoomed");
        return IDOK;
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(readoutAtEnd, WrittenSize());
}

TEST_F(WnHcOptDlgTest, CommentsAddTheirExtensionUpTo255CharactersAndInterlaceRecounts) {
    const bool saved = RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        const long empty = Readout(window);
        ShowTab(window, WnHcOptDlg::kCommentsTab);
        EXPECT_TRUE(IsWindowVisible(dialog.Page(WnHcOptDlg::kCommentsTab)));
        EXPECT_FALSE(IsWindowVisible(dialog.Page(WnHcOptDlg::kTransparencyTab)));
        HWND edit = GetDlgItem(dialog.Page(WnHcOptDlg::kCommentsTab), IDC_OPT_COMMENT);
        SetFocus(edit);
        PressKey(edit, 'A');
        EXPECT_EQ(Readout(window), empty + 3 + 1 + 1);
        const std::wstring more(254, L'b');
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(more.c_str()));  // as typed
        EXPECT_EQ(Readout(window), empty + 3 + 255 + 1);
        SaveScreenshot(CaptureClient(window), "options-comments");
        const std::wstring beyond(45, L'c');
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(beyond.c_str()));
        EXPECT_EQ(Readout(window), empty + 3 + 255 + 1) << "only 255 characters are kept";

        ClickControl(GetDlgItem(window, IDC_OPT_INTERLACE));
        EXPECT_EQ(globals.gifFrame->FrameInfo().interlaced, 1);
        EXPECT_EQ(globals.settings.interlaced, 1);
        EXPECT_NE(Readout(window), empty + 3 + 255 + 1) << "the interlaced rows compress differently";
        return IDOK;
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(commentAtEnd, 300u);
    EXPECT_EQ(globals.settings.comment[0], 255);
    EXPECT_EQ(readoutAtEnd, WrittenSize());
}

TEST_F(WnHcOptDlgTest, AlphaTakesThePlaneAndComingBackKeepsThePaintedMask) {
    globals.hasTransparencyPlane = true;
    globals.extraPlanes->Append(NewPlane(12));
    globals.extraPlanes->Append(NewPlane(30));
    globals.settings.transparencyType = TransparencyType::alpha;
    globals.settings.transAlphaIndex = 5;  // past the last plane: the last one
    bool back = false;
    EXPECT_FALSE(RunDialog(
        false,
        [&](WnHcOptDlg& dialog, HWND window) {
            HWND list = GetDlgItem(dialog.Page(WnHcOptDlg::kTransparencyTab), IDC_OPT_PLANES);
            EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1) << "the list shows the plane in use";
            EXPECT_TRUE(Transparent(*globals.gifFrame, 29, 0));
            EXPECT_FALSE(Transparent(*globals.gifFrame, 30, 0));
            SetFocus(list);
            PressKey(list, VK_UP);  // "Layer Transparency"
            EXPECT_EQ(globals.settings.transAlphaIndex, 0);
            EXPECT_FALSE(Transparent(*globals.gifFrame, 12, 0));
            SelectTool(dialog, window, WnHcBrushWindow::kPencil);
            Drag(dialog.Pane()->Window(), StraightPath(View(dialog, 40, 5), View(dialog, 40, 25), 4));
            SaveScreenshot(CaptureClient(window), "options-alpha");
            return IDC_OPT_LAST;
        },
        back));
    EXPECT_TRUE(back);
    EXPECT_EQ(CountTransparent(*globals.gifFrame), 12 * 36 + 21);

    const HcDialogRect stored = globals.optionsDialogRect;
    EXPECT_TRUE(RunDialog(
        true,
        [&](WnHcOptDlg& dialog, HWND window) {
            const HcDialogRect opened = WnDialogRectOf(window);
            EXPECT_EQ(std::make_pair(opened.left, opened.top), std::make_pair(stored.left, stored.top));
            EXPECT_EQ(std::make_pair(opened.width, opened.height), std::make_pair(stored.width, stored.height));
            EXPECT_EQ(IsDlgButtonChecked(dialog.Page(WnHcOptDlg::kTransparencyTab), IDC_OPT_ALPHA), UINT(BST_CHECKED));
            EXPECT_EQ(CountTransparent(*globals.gifFrame), 12 * 36 + 21) << "the painted mask survives";
            return IDOK;
        },
        back));
    EXPECT_FALSE(back);
    EXPECT_EQ(readoutAtEnd, WrittenSize());
}

TEST_F(WnHcOptDlgTest, ThePickerOnTheSwatchEditsThePaletteAndTheBackgroundListSetsTheColour) {
    const bool saved = RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        // The strip's cells: 7 x 6 pixels and a separator, inside a 4-pixel frame.
        const HcPixelRect strip = dialog.StripRect();
        Click(window, {strip.left + 4 + 2 * 8 + 3, strip.top + 4 + 3});  // entry 2
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ENTRY_RGB)), L"40, 210, 40");
        {
            // Three steps up on the red row's right arrow, then OK.
            BenchOnModal picker(L"Color Picker", [](HWND box) {
                for (int i = 0; i < 3; ++i) Click(box, {45 + 132 + 4, 110 + 5});
                PressDialogButton(box, IDOK);
            });
            Click(window, Centre(dialog.SwatchRect()));
            EXPECT_TRUE(picker.Ran());
        }
        uint8_t r = 0, g = 0, b = 0;
        globals.gifFrame->GetIndexedImage()->colorTable.GetEntry(2, r, g, b);
        EXPECT_EQ(BenchRgb(r, g, b), BenchRgb(43, 210, 40));
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_ENTRY_RGB)), L"43, 210, 40");

        ShowTab(window, WnHcOptDlg::kBackgroundTab);
        HWND combo = GetDlgItem(dialog.Page(WnHcOptDlg::kBackgroundTab), IDC_OPT_SAVED_COLORS);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), kColorItemSave) << "magenta is no saved colour";
        SendMessageW(combo, CB_SETCURSEL, kColorItemWhite, 0);
        SetFocus(combo);
        PressKey(combo, VK_DOWN);  // "Black"
        EXPECT_EQ(BenchRgb(globals.settings.bgColor[0], globals.settings.bgColor[1], globals.settings.bgColor[2]),
                  BenchRgb(0, 0, 0));
        EXPECT_EQ(globals.gifFrame->GetBackgroundColor()[1], 0);
        // The colour control on the page: one step up on the red row's right arrow.
        Click(dialog.Page(WnHcOptDlg::kBackgroundTab), {40 + 132 + 4, 62 + 5});
        EXPECT_EQ(globals.settings.bgColor[0], 1);
        EXPECT_EQ(globals.gifFrame->GetBackgroundColor()[0], 1);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), kColorItemSave) << "no saved colour matches";
        SaveScreenshot(CaptureClient(window), "options-background");
        {
            // Keys and the wheel move through the closed list without opening the prompts of its commands (each
            // watcher answers one, so that a prompt opened by mistake fails the test instead of waiting).
            BenchAnswerBox prompt(WnWiden(kSavedColorsTitle), IDCANCEL), again(WnWiden(kSavedColorsTitle), IDCANCEL),
                more(WnWiden(kSavedColorsTitle), IDCANCEL);
            SetFocus(combo);
            PressKey(combo, VK_DOWN);  // "Remove Color..."
            PressKey(combo, VK_UP);    // "Save Selected Color..."
            RECT box{};
            GetWindowRect(combo, &box);
            PostMessageW(combo, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)),
                         MAKELPARAM(box.left + 5, box.top + 5));
            PumpUntilIdle();
            EXPECT_FALSE(prompt.Answered() || again.Answered() || more.Answered());
            EXPECT_EQ(globals.settings.bgColor[0], 1);
        }
        {
            // Closing the open list on "Remove Color..." with no saved colour in use says there is none.
            BenchAnswerBox told(WnWiden(kSavedColorsTitle), IDOK);
            SendMessageW(combo, CB_SETCURSEL, kColorItemRemove, 0);
            SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
            PressKey(combo, VK_RETURN);
            PumpUntil([&] { return told.Answered(); }, std::chrono::milliseconds(3000));
            EXPECT_EQ(told.Texts(), WnWiden(kNoColorToRemoveText));
        }

        // A bigger dialog gives the pane the room; the tool buttons move down with the bottom edge.
        const HcPixelRect toolBefore = dialog.ToolRect(0);
        RECT client{};
        GetClientRect(window, &client);
        ResizeClient(window, client.right + 100, client.bottom + 60);
        EXPECT_EQ(dialog.ToolRect(0).top, toolBefore.top + 60);
        SaveScreenshot(CaptureClient(window), "options-resized");
        return IDOK;
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(readoutAtEnd, WrittenSize());
}

// At 96 and 144 DPI the pieces the dialog places itself keep clear of its controls and inside it. Opening without a
// stored placement, it is centred on the host window (as far as the screen allows) with a pane of at least a third
// of the screen's height, and a frame too large for the pane shows whole.
TEST_F(WnHcOptDlgTest, PiecesDrawnByTheDialogFitItsLayoutAtTheDisplaysDpi) {
    delete globals.gifFrame;
    globals.gifFrame = NewFrame(2000, 1500);
    RunDialog([&](WnHcOptDlg& dialog, HWND window) {
        const RECT pane = WnControlRect(window, GetDlgCtrlID(dialog.Pane()->Window()));
        const RECT tabs = WnControlRect(window, IDC_OPT_TABS), zoom = WnControlRect(window, IDC_ZOOM_IN);
        const RECT info = WnControlRect(window, IDC_OPT_SIZE_LABEL), last = WnControlRect(window, IDC_OPT_LAST);
        const HcPixelRect tool = dialog.ToolRect(0),
                          tools = HcPixelRect{tool.left, tool.top, tool.bottom, dialog.ToolRect(3).right};
        const HcPixelRect strip = dialog.StripRect(), swatch = dialog.SwatchRect();
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_TRUE(pane.right < tabs.left && pane.bottom < zoom.top);
        EXPECT_EQ(tool.Width(), MulDiv(26, BenchExpectedDpi(), 96));
        EXPECT_TRUE(tools.top > pane.bottom && tools.right <= zoom.left && tools.bottom <= info.top);
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
        return IDCANCEL;
    });
}
