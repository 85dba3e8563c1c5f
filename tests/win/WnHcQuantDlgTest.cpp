// The quantization dialog in whole interactive runs: the real module loaded as a host loads it, its dialog driven
// by real messages from inside its own loop, the sizes it shows recorded, and the file it leads to read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cvcode2/CvLoadPalette.h"
#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "tests/win/support/QuantDialogBench.h"
#include "win/resource_ids.h"
#include "wnatom/WnDialogSizer.h"

namespace {

constexpr std::chrono::milliseconds kReductionLimit(60000);
// A picture whose reduction lasts long enough (tens of milliseconds) for the progress pump to run more than once.
constexpr int kLongWidth = 2400, kLongHeight = 1800;

// An RGB picture with no symmetry: red grows to the right, green downward, blue in a corner block.
SimImage Picture(int width, int height) {
    SimImage image;
    image.width = width;
    image.height = height;
    image.color.resize(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = &image.color[(size_t(y) * width + x) * 3];
            pixel[0] = uint8_t(x * 255 / std::max(width - 1, 1));
            pixel[1] = uint8_t(y * 255 / std::max(height - 1, 1));
            pixel[2] = (x < width / 3 && y < height / 2) ? 200 : uint8_t((x * y) % 97);
        }
    return image;
}

void WaitForReduction(HWND dialog) {
    ASSERT_TRUE(PumpUntil([&] { return !QuantReducing(dialog); }, kReductionLimit))
        << DialogText(dialog, IDC_QUANT_SIZE_INFO);
    PumpUntilIdle();
}

// Types into the edit as a person does after selecting its text.
void Type(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (char c : text) PostMessageW(edit, WM_CHAR, WPARAM(c), 1);
    PumpUntilIdle();
}

// Picks an entry of a drop-down list as a person does: the list tells its dialog that the selection changed.
void Choose(HWND dialog, int id, int item) {
    HWND box = GetDlgItem(dialog, id);
    SendMessageW(box, CB_SETCURSEL, WPARAM(item), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpUntilIdle();
}

std::vector<std::string> Items(HWND dialog, int id) {
    std::vector<std::string> items;
    const int count = int(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[300] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int Selected(HWND dialog, int id) {
    return int(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Drags the dithering thumb from where it stands to another stop, through the slider's own window.
void DragDither(HWND dialog, int to) {
    Drag(DitherPaneOf(dialog), StraightPath(DitherStop(dialog, DitherShown(dialog)), DitherStop(dialog, to), 4));
}

// Runs `action` once, the first time the progress bar shows: from inside a running reduction's message pump.
class DuringReduction {
public:
    DuringReduction(HWND dialog, std::function<void()> action) : dialog(dialog), action(std::move(action)) {
        Active() = this;
        timer = SetTimer(nullptr, 0, 5, Tick);
    }
    ~DuringReduction() {
        if (timer) KillTimer(nullptr, timer);
        Active() = nullptr;
    }
    bool Ran() const { return ran; }

private:
    static DuringReduction*& Active() {
        static DuringReduction* active = nullptr;
        return active;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DuringReduction* self = Active();
        if (!self || self->ran || !IsWindowVisible(GetDlgItem(self->dialog, IDC_QUANT_PROGRESS))) return;
        KillTimer(nullptr, self->timer);
        self->timer = 0;
        self->ran = true;
        self->action();
    }

    HWND dialog;
    std::function<void()> action;
    UINT_PTR timer = 0;
    bool ran = false;
};

// One interactive run of the real module with the dialogs shown; the preferences live in a fresh folder.
class QuantRun {
public:
    explicit QuantRun(SimImage image, SimOptions extra = {})
        : module(BenchModulePath()), folder(MakeScratchDir("quantdlg")), options(extra) {
        options.configFolder = folder;
        options.savePath = folder + "\\out.gif";
        options.showDialogs = true;
        host = std::make_unique<HostSimulator>(module.Entry(), module.SetEmbedHost(), options);
        host->SetImage(std::move(image));
    }

    // The whole run, `inDialog` acting on the quantization dialog once it shows; returns the run's result.
    int16_t Run(const std::function<void(HWND)>& inDialog) {
        bool shown = false;
        // The options dialog that follows "Next ->" is saved as it opens.
        BenchOnModal save(
            L"Halcyne Filter 4", IDC_OPT_TABS, [](HWND options) { PressDialogButton(options, IDOK); }, kReductionLimit);
        BenchOnModal watcher(
            L"Halcyne Filter 4", IDC_QUANT_SIZE_INFO,
            [&](HWND dialog) {
                shown = true;
                WaitForReduction(dialog);
                inDialog(dialog);
            },
            kReductionLimit);
        const int16_t result = host->Run(true);
        EXPECT_TRUE(shown);
        return result;
    }

    std::string OutPath() const { return options.savePath; }
    bool Written() const { return GetFileAttributesA(options.savePath.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // The same picture exported without dialogs with the settings the interactive run saved.
    std::string ScriptedBytes(SimImage image) {
        SimOptions scripted = options;
        scripted.showDialogs = false;
        scripted.savePath = folder + "\\scripted.gif";
        HostSimulator again(module.Entry(), module.SetEmbedHost(), scripted);
        again.SetImage(std::move(image));
        EXPECT_EQ(again.Run(false), 0);
        return ReadFileBytes(scripted.savePath);
    }

    ModuleLoader module;
    std::string folder;
    SimOptions options;
    std::unique_ptr<HostSimulator> host;
    SizeLineLog sizes;
};

TEST(WnHcQuantDlgTest, TypedCountsAreClampedAndNextWritesWhatTheDialogShowed) {
    QuantRun run(Picture(4, 3));
    const int16_t result = run.Run([&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), reinterpret_cast<HWND>(run.host->HostWindow()));
        SaveScreenshot(CaptureClient(dialog), "quant-opening-tiny");
        EXPECT_EQ(run.sizes.Texts().front(), "RGB 1K / GIF 0K");
        EXPECT_EQ(DialogText(dialog, IDC_QUANT_SIZE_INFO), "RGB 1K / GIF 1K");
        Type(dialog, IDC_QUANT_COLORS, "999");
        WaitForReduction(dialog);
        const int startsAt256 = run.sizes.Starts();
        Type(dialog, IDC_QUANT_COLORS, "-5");                   // 256 again: nothing to do
        EXPECT_EQ(DialogText(dialog, IDC_QUANT_COLORS), "-5");  // the edit keeps what was typed
        EXPECT_EQ(Items(dialog, IDC_QUANT_DEPTH).size(), 8u);
        Choose(dialog, IDC_QUANT_DEPTH, 0);  // the entry that matches the count changes nothing
        EXPECT_EQ(run.sizes.Starts(), startsAt256);
        Choose(dialog, IDC_QUANT_DEPTH, 6);
        EXPECT_EQ(DialogText(dialog, IDC_QUANT_COLORS), "4");
        WaitForReduction(dialog);
        Type(dialog, IDC_QUANT_COLORS, "1");
        WaitForReduction(dialog);
        EXPECT_EQ(DialogText(dialog, IDC_QUANT_COLORS), "1");
        EXPECT_EQ(Selected(dialog, IDC_QUANT_DEPTH), 6);  // typing leaves the depth box alone
        EXPECT_EQ(run.sizes.Starts(), startsAt256 + 2);
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(run.host->Alerts().empty());
    ASSERT_TRUE(run.Written());
    // Two colours where the picture has twelve: the table takes the smallest size the file's code size allows.
    EXPECT_EQ(LoadGIFPalette(run.OutPath())->GetCount(), 4u);
    EXPECT_EQ(ReadFileBytes(run.OutPath()), run.ScriptedBytes(Picture(4, 3)));
}

TEST(WnHcQuantDlgTest, CancelEndsTheRunQuietlyWithoutAFileAfterTheDialogGrew) {
    QuantRun run(Picture(40, 30));
    EXPECT_EQ(run.Run([](HWND dialog) {
        const RECT source = WnControlRect(dialog, IDC_QUANT_SOURCE_PANE),
                   result = WnControlRect(dialog, IDC_QUANT_RESULT_PANE);
        const RECT next = WnControlRect(dialog, IDOK), palette = WnControlRect(dialog, IDC_QUANT_PALETTE);
        RECT client{};
        GetClientRect(dialog, &client);
        ResizeClient(dialog, client.right + 101, client.bottom + 40);
        SaveScreenshot(CaptureClient(dialog), "quant-grown");
        // The panes share the extra width (50 each, the odd pixel unused) and take all the extra height.
        const RECT grownSource = WnControlRect(dialog, IDC_QUANT_SOURCE_PANE);
        const RECT grownResult = WnControlRect(dialog, IDC_QUANT_RESULT_PANE);
        EXPECT_EQ(grownSource.right - grownSource.left, source.right - source.left + 50);
        EXPECT_EQ(grownSource.bottom - grownSource.top, source.bottom - source.top + 40);
        EXPECT_EQ(grownResult.left, result.left + 50);
        EXPECT_EQ(grownResult.right, result.right + 100);
        EXPECT_EQ(WnControlRect(dialog, IDOK).left, next.left + 101);
        EXPECT_EQ(WnControlRect(dialog, IDOK).top, next.top + 40);
        EXPECT_EQ(WnControlRect(dialog, IDC_QUANT_PALETTE).left, palette.left);
        EXPECT_EQ(WnControlRect(dialog, IDC_QUANT_PALETTE).top, palette.top + 40);
        PressDialogButton(dialog, IDCANCEL);
    }),
              1);
    EXPECT_TRUE(run.host->Alerts().empty());
    EXPECT_FALSE(run.host->SaveAsked());
    EXPECT_FALSE(run.Written());
}

TEST(WnHcQuantDlgTest, ChangesDuringAReductionAbortItOnceAndTheLastValueWins) {
    QuantRun run(Picture(kLongWidth, kLongHeight));
    const int16_t result = run.Run([&](HWND dialog) {
        SaveScreenshot(CaptureClient(dialog), "quant-opening");
        const size_t opened = run.sizes.Texts().size();
        DuringReduction during(dialog, [&] {
            SaveScreenshot(CaptureClient(dialog), "quant-reducing");
            DragDither(dialog, 2);
            DragDither(dialog, 7);
            DragDither(dialog, 9);
        });
        DragDither(dialog, 4);
        PumpUntil([&] { return during.Ran(); }, kReductionLimit);
        WaitForReduction(dialog);
        EXPECT_TRUE(during.Ran());
        EXPECT_EQ(DitherShown(dialog), 9);
        // The last reduction used dithering 9: its file differs in size from the undithered opening's.
        EXPECT_NE(run.sizes.Texts().back(), run.sizes.Texts()[opened - 1]);
        // After the first change: a start that was stopped without a size, then one that finished.
        const std::vector<std::string> after(run.sizes.Texts().begin() + opened, run.sizes.Texts().end());
        ASSERT_EQ(after.size(), 3u);
        EXPECT_EQ(after[0].substr(after[0].size() - 6), "GIF 0K");
        EXPECT_EQ(after[1].substr(after[1].size() - 6), "GIF 0K");
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFileBytes(run.OutPath()), run.ScriptedBytes(Picture(kLongWidth, kLongHeight)));
}

TEST(WnHcQuantDlgTest, NextWaitsForTheRunningReductionAndCancelOnlyForItsStop) {
    for (const int button : {IDOK, IDCANCEL}) {
        QuantRun run(Picture(kLongWidth, kLongHeight));
        const int16_t result = run.Run([&](HWND dialog) {
            DuringReduction during(dialog, [&] {
                PressDialogButton(dialog, button);
                EXPECT_FALSE(Enabled(dialog, IDOK));
                EXPECT_FALSE(Enabled(dialog, IDC_QUANT_COLORS));
                EXPECT_FALSE(Enabled(dialog, IDC_QUANT_PALETTE));
            });
            DragDither(dialog, 6);
            PumpUntil([&] { return during.Ran(); }, kReductionLimit);
        });
        const std::string last = run.sizes.Texts().back();
        if (button == IDOK) {
            EXPECT_EQ(result, 0);
            EXPECT_NE(last.substr(last.size() - 6), "GIF 0K") << "the reduction finished before the dialog ended";
            EXPECT_TRUE(run.Written());
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(last.substr(last.size() - 6), "GIF 0K") << "the reduction stopped without a size";
            EXPECT_FALSE(run.Written());
        }
    }
}

TEST(WnHcQuantDlgTest, LoadedPalettesJoinBothListsAndUnloadingEmptiesThem) {
    SimOptions boxes;
    boxes.systemSaveBox = boxes.systemOpenBox = true;
    QuantRun run(Picture(200, 150), boxes);
    std::string act(768, '\0');
    for (int i = 0; i < 256; ++i) act[size_t(i) * 3] = char(i);  // a ramp of reds
    const std::string palette = run.folder + "\\Reds.act", broken = run.folder + "\\broken.gif";
    WriteBytes(palette, act);
    WriteBytes(broken, "not a GIF");
    const int16_t result = run.Run([&](HWND dialog) {
        Choose(dialog, IDC_QUANT_PALETTE, 2);  // "Grayscale": a fixed palette
        WaitForReduction(dialog);
        EXPECT_FALSE(Enabled(dialog, IDC_QUANT_BASE));
        EXPECT_TRUE(Enabled(dialog, IDC_QUANT_UNLOAD));
        SaveScreenshot(CaptureClient(dialog), "quant-fixed-palette");
        PressDialogButton(dialog, IDC_ZOOM_IN);
        PressDialogButton(dialog, IDC_ZOOM_IN);
        EXPECT_EQ(DialogText(dialog, IDC_ZOOM_LABEL), "3 : 1");
        SaveScreenshot(CaptureClient(dialog), "quant-zoomed");

        Choose(dialog, IDC_QUANT_PALETTE, 0);  // back to "Custom", base "Custom"
        Choose(dialog, IDC_QUANT_BASE, 1);
        {
            BenchAnswerFileBox box(L"Load Palette", palette);
            PressDialogButton(dialog, IDC_QUANT_LOAD);
            EXPECT_TRUE(box.Answered());
        }
        WaitForReduction(dialog);
        EXPECT_EQ(Items(dialog, IDC_QUANT_PALETTE).back(), "Reds.act");
        EXPECT_EQ(Items(dialog, IDC_QUANT_BASE).back(), "Reds.act");
        EXPECT_EQ(Selected(dialog, IDC_QUANT_BASE), 0);  // "Custom" gave way to "None"
        EXPECT_EQ(Selected(dialog, IDC_QUANT_PALETTE), int(Items(dialog, IDC_QUANT_PALETTE).size()) - 1);
        // A click on the strip's sixth cell shows that entry of the ramp of reds.
        const RECT load = WnControlRect(dialog, IDC_QUANT_LOAD), unload = WnControlRect(dialog, IDC_QUANT_UNLOAD);
        const RECT label = WnControlRect(dialog, IDC_QUANT_PALETTE_LABEL);
        const int cell = (unload.right - label.left) / 32, stripLeft = MulDiv(15, BenchExpectedDpi(), 96);
        const int stripTop = load.bottom + MulDiv(11, BenchExpectedDpi(), 96);
        Click(dialog, {stripLeft + 4 + 5 * (cell + 1) + cell / 2, stripTop + 4 + cell / 2});
        PumpUntilIdle();
        EXPECT_EQ(DialogText(dialog, IDC_ENTRY_RGB), "5, 0, 0");
        SaveScreenshot(CaptureClient(dialog), "quant-after-load");
        {
            BenchAnswerFileBox box(L"Load Palette", broken);
            PressDialogButton(dialog, IDC_QUANT_LOAD);
            EXPECT_TRUE(box.Answered());
        }
        EXPECT_EQ(Items(dialog, IDC_QUANT_PALETTE).size(), 5u);

        while (Items(dialog, IDC_QUANT_PALETTE).size() > 1) {
            Choose(dialog, IDC_QUANT_PALETTE, 1);
            PressDialogButton(dialog, IDC_QUANT_UNLOAD);
            WaitForReduction(dialog);
        }
        EXPECT_EQ(Items(dialog, IDC_QUANT_BASE), (std::vector<std::string>{"None", "Custom"}));
        EXPECT_FALSE(Enabled(dialog, IDC_QUANT_UNLOAD));
        EXPECT_TRUE(Enabled(dialog, IDC_QUANT_BASE));
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(run.host->Alerts().size(), 1u);
    EXPECT_EQ(run.host->Alerts()[0].text, "Could Not Load Palette");
    EXPECT_EQ(run.host->Alerts()[0].caption, "ALERT");
}

TEST(WnHcQuantDlgTest, AnErrorInsideAHandlerEndsTheRunWithOneAlert) {
    QuantRun run(Picture(40, 30));
    const int16_t result = run.Run([](HWND dialog) {
        // A list entry no saved palette stands behind: choosing it is an error inside the dialog's handler.
        SendDlgItemMessageA(dialog, IDC_QUANT_PALETTE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Nowhere"));
        Choose(dialog, IDC_QUANT_PALETTE, int(Items(dialog, IDC_QUANT_PALETTE).size()) - 1);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(run.host->Alerts().size(), 1u);
    EXPECT_EQ(run.host->Alerts()[0].text.rfind("Error executing Halcyne (", 0), 0u) << run.host->Alerts()[0].text;
    EXPECT_FALSE(run.Written());
}

}  // namespace

namespace {

// The pieces the dialog draws itself sit inside it and clear of its controls, at 96 and 144 DPI alike.
TEST(WnHcQuantDlgTest, PiecesDrawnByTheDialogFitItsLayoutAtTheDisplaysDpi) {
    QuantRun run(Picture(64, 48));
    EXPECT_EQ(run.Run([](HWND dialog) {
        const RECT result = WnControlRect(dialog, IDC_QUANT_RESULT_PANE),
                   depth = WnControlRect(dialog, IDC_QUANT_DEPTH);
        const RECT zoom = WnControlRect(dialog, IDC_ZOOM_IN), dither = WnControlRect(dialog, IDC_QUANT_DITHER_PANE);
        const RECT base = WnControlRect(dialog, IDC_QUANT_BASE);
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_LT(result.right, depth.left);
        EXPECT_LT(result.bottom, zoom.top);
        EXPECT_LT(dither.bottom, base.top);
        EXPECT_LE(dither.right, client.right);
        const BenchPixels shown = CaptureClient(dialog);
        SaveScreenshot(shown, "quant-opening-" + std::to_string(BenchExpectedDpi()) + "dpi");
        // The strip's frame is drawn in black along its left edge, all the way down inside the dialog.
        const RECT load = WnControlRect(dialog, IDC_QUANT_LOAD);
        const int left = MulDiv(15, BenchExpectedDpi(), 96);
        EXPECT_EQ(shown.At(left, load.bottom + MulDiv(11, BenchExpectedDpi(), 96)), BenchRgb(0, 0, 0));
        EXPECT_NE(shown.At(left, client.bottom - 2), BenchRgb(0, 0, 0)) << "the strip ends above the bottom edge";
        PressDialogButton(dialog, IDCANCEL);
    }),
              1);
}

}  // namespace
