// The quantization dialog in whole interactive runs: the real module loaded as a host loads it, its dialog driven
// by real messages from inside its own loop, the sizes it shows recorded, and the file it leads to read back.
#include <gtest/gtest.h>
// The other Windows headers need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cvcode2/CvLoadPalette.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Transcript.h"
#include "tests/support/WideNames.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchState.h"
#include "tests/win/support/BenchWindow.h"
#include "tests/win/support/QuantDialogBench.h"
#include "win/resource_ids.h"
#include "wnatom/WnDialogSizer.h"
#include "wnatom/WnErrorExit.h"

namespace {

constexpr std::chrono::milliseconds kReductionLimit(60000);
// The width of a picture (three quarters as high) whose reduction lasts long enough (tens of milliseconds) for the
// progress pump to run more than once.
constexpr int kLongWidth = 2400;

int ItemCount(HWND dialog, int id) {
    return int(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A point on the palette strip's frame, at its top-left corner below "Load".
POINT StripCorner(HWND dialog) {
    const int dpi = BenchExpectedDpi();
    return {MulDiv(15, dpi, 96), WnControlRect(dialog, IDC_QUANT_LOAD).bottom + MulDiv(11, dpi, 96)};
}

// Drags the dithering thumb from where it stands to another stop, through the slider's own window.
void DragDither(HWND dialog, int to) {
    Drag(DitherPaneOf(dialog), StraightPath(DitherStop(dialog, DitherShown(dialog)), DitherStop(dialog, to), 4));
}

// Runs `action` once, from inside a running reduction's message pump, once the progress bar has been set back to 0
// for the `showing`-th time since this was made (a reduction's tasks start there: its remapping, the showing of its
// result, then its size count). It finds the dialog by its bar, so it can be armed before the dialog opens. With
// kAtFullBar it runs inside the first report that fills the bar instead, just before that report's pump.
constexpr int kAtFullBar = 0;
class DuringReduction {
public:
    explicit DuringReduction(int showing, std::function<void(HWND dialog)> action)
        : showing(showing), action(std::move(action)) {
        active = this;
        hook = SetWindowsHookExW(WH_CALLWNDPROCRET, Shown, nullptr, GetCurrentThreadId());
        if (showing != kAtFullBar) timer = SetTimer(nullptr, 0, 5, Tick);
    }
    ~DuringReduction() {
        if (timer) KillTimer(nullptr, timer);
        UnhookWindowsHookEx(hook);
        active = nullptr;
    }
    bool Ran() const { return ran; }

private:
    static LRESULT CALLBACK Shown(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        DuringReduction* self = active;
        if (code != HC_ACTION || !self || GetDlgCtrlID(message->hwnd) != IDC_QUANT_PROGRESS ||
            message->message != PBM_SETPOS)
            return CallNextHookEx(nullptr, code, wParam, lParam);
        if (message->wParam == 0) {
            ++self->shows;
            self->bar = message->hwnd;
        }
        if (self->showing == kAtFullBar && !self->ran && message->wParam == 100) {
            self->ran = true;
            self->action(GetParent(message->hwnd));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DuringReduction* self = active;
        if (!self || self->ran || self->shows < self->showing || !IsWindowVisible(self->bar)) return;
        KillTimer(nullptr, self->timer);
        self->timer = 0;
        self->ran = true;
        self->action(GetParent(self->bar));
    }

    int showing;
    std::function<void(HWND)> action;
    HHOOK hook = nullptr;
    UINT_PTR timer = 0;
    int shows = 0;
    HWND bar = nullptr;
    bool ran = false;
    static DuringReduction* active;  // the hook's and the timer's way back; one at a time
};
DuringReduction* DuringReduction::active = nullptr;

// The whole run, `inDialog` acting on the quantization dialog once its first reduction has ended; the options
// dialog that follows "Next ->" is saved as it opens. Returns the run's result.
int16_t RunQuantization(DialogRun& run, const std::function<void(HWND)>& inDialog) {
    bool shown = false;
    run.OnOptions([](HWND options) { PressDialogButton(options, IDOK); });
    run.OnQuantization([&](HWND dialog) {
        shown = true;
        ASSERT_TRUE(WaitForReduction(dialog));
        inDialog(dialog);
    });
    const int16_t result = run.Run();
    EXPECT_TRUE(shown);
    return result;
}

// One walk through the dialog's controls, all of them recorded at each step with the reductions each step
// started (tests/data/transcripts/win/quant-walk.txt): a typed count is clamped and the edit keeps what was typed,
// the depth box changes the count and typing leaves the box alone, a drag of the dithering thumb that loses the mouse
// to another window ends there, a fixed palette greys the base list, a loaded palette joins both lists ("Custom" as
// base gives way to "None") and a click on the strip shows its entry, a file that cannot be loaded is alerted and
// joins nothing, unloading empties both lists again, and the lossy level counts the size again without reducing. The
// Open box offers palette files without a read-only box, is owned by the dialog and gives back a path named outside
// the code page whole.
// "Next" writes what the dialog showed: the file the same settings write without dialogs. The next run opens where
// this one closed, showing what it chose; "Custom" then reduces again.
TEST(WnHcQuantDlgTest, AWalkThroughItsControlsNextWritesWhatItShowedAndTheNextRunOpensOnIt) {
    SimOptions openBox;
    openBox.systemOpenBox = true;
    openBox.configFolder = MakeScratchDir("quantdlg-walk");
    Transcript t("win/quant-walk");
    int starts = 0;
    const auto step = [&](DialogRun& run, HWND dialog, const char* name) {
        WaitForReduction(dialog);
        t(name, "started", run.sizes.Starts() - starts, ControlStates(dialog));
        starts = run.sizes.Starts();
    };
    RECT closed{};
    {
        DialogRun run(InterleavedHostPicture(200, 150), openBox);
        std::string act(768, '\0');
        for (int i = 0; i < 256; ++i) act[size_t(i) * 3] = char(i);  // a ramp of reds
        // In a folder named outside the system's code page: the path the Open box gives back must reach the file whole.
        const std::string files = run.folder + "\\" + kGreekName + " " + kEmojiName;
        std::filesystem::create_directories(std::filesystem::u8path(files));
        const std::string palette = files + "\\Reds.act", broken = files + "\\broken.gif";
        std::ofstream(std::filesystem::u8path(palette), std::ios::binary) << act;
        std::ofstream(std::filesystem::u8path(broken), std::ios::binary) << "not a GIF";
        const int16_t result = RunQuantization(run, [&](HWND dialog) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), reinterpret_cast<HWND>(run.host->HostWindow()));
            // The Open box's file type (and " read-only" when it offers that box) and whether the dialog owns it.
            const auto load = [&](const std::string& file) {
                BenchAnswerBox box(L"Load Palette", file);
                PressDialogButton(dialog, IDC_QUANT_LOAD);
                t("Open box", Ascii(box.Texts()), "| owned by the dialog", box.Owner() == dialog);
            };
            step(run, dialog, "opened");
            TypeInto(GetDlgItem(dialog, IDC_QUANT_COLORS), "999");  // each digit may start a reduction of its own
            WaitForReduction(dialog);
            starts = run.sizes.Starts();
            TypeInto(GetDlgItem(dialog, IDC_QUANT_COLORS), "-5");  // 256 again: nothing to do
            step(run, dialog, "typed -5");
            Choose(dialog, IDC_QUANT_DEPTH, 0);  // the entry that matches the count changes nothing
            step(run, dialog, "depth 256");
            Choose(dialog, IDC_QUANT_DEPTH, 6);
            step(run, dialog, "depth 4");
            TypeInto(GetDlgItem(dialog, IDC_QUANT_COLORS), "1");
            step(run, dialog, "typed 1");
            HWND pane = DitherPaneOf(dialog);
            MouseDown(pane, DitherStop(dialog, 0));
            MouseMove(pane, DitherStop(dialog, 6));
            SetCapture(dialog);  // an alert, or a switch to another program, takes the mouse
            ReleaseCapture();
            MouseMove(pane, DitherStop(dialog, 9), kBenchNoKeys, false);
            step(run, dialog, "dithering dragged to 6, the mouse lost, moved on to 9");
            Choose(dialog, IDC_QUANT_PALETTE, 3);
            step(run, dialog, "Grayscale");
            Choose(dialog, IDC_QUANT_PALETTE, 0);
            Choose(dialog, IDC_QUANT_BASE, 1);
            step(run, dialog, "Custom on Custom");
            load(palette);
            step(run, dialog, "Reds.act loaded");
            // A click on the strip's sixth cell shows that entry of the ramp of reds.
            const RECT unload = WnControlRect(dialog, IDC_QUANT_UNLOAD);
            const int cell = (unload.right - WnControlRect(dialog, IDC_QUANT_PALETTE_LABEL).left) / 32;
            const POINT strip = StripCorner(dialog);
            Click(dialog, {strip.x + 4 + 5 * (cell + 1) + cell / 2, strip.y + 4 + cell / 2});
            step(run, dialog, "strip cell 5 clicked");
            load(broken);
            step(run, dialog, "broken.gif refused");
            while (ItemCount(dialog, IDC_QUANT_PALETTE) > 2) {
                Choose(dialog, IDC_QUANT_PALETTE, 2);
                PressDialogButton(dialog, IDC_QUANT_UNLOAD);
                WaitForReduction(dialog);
            }
            step(run, dialog, "all unloaded");
            load(palette);
            step(run, dialog, "Reds.act loaded again");
            HWND lossy = GetDlgItem(dialog, IDC_QUANT_LOSSY);
            SetFocus(lossy);
            PressKey(lossy, VK_END);
            step(run, dialog, "lossy at its end");
            SetWindowPos(dialog, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            GetWindowRect(dialog, &closed);
            PressDialogButton(dialog, IDOK);
        });
        EXPECT_EQ(result, 0);
        for (const auto& alert : run.host->Alerts()) t("alert", alert.caption, alert.text);
        ASSERT_TRUE(run.Written());
        EXPECT_EQ(ReadFileBytes(run.OutPath()), run.ScriptedBytes(InterleavedHostPicture(200, 150)));
    }
    DialogRun again(InterleavedHostPicture(200, 150), openBox);
    starts = 0;
    const int16_t reopened = RunQuantization(again, [&](HWND dialog) {
        RECT opened{};
        GetWindowRect(dialog, &opened);
        EXPECT_TRUE(EqualRect(&opened, &closed)) << "the stored placement wins";
        step(again, dialog, "the next run opened");
        Choose(dialog, IDC_QUANT_PALETTE, 0);
        step(again, dialog, "Custom");
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(reopened, 0);
    // Two colours: the table takes the smallest size the file's code size allows.
    t("file's table", LoadGIFPalette(again.OutPath())->GetCount());
    EXPECT_EQ(ReadFileBytes(again.OutPath()), again.ScriptedBytes(InterleavedHostPicture(200, 150)));
}

// Work handed to the dialog from inside a running reduction. A change made while the pixels are remapped (the bar's
// first showing), while the result is shown (its second) or while the compressed size is counted (its third) stops
// the work once, and the reduction that follows takes the last value; one handled in the pump of a remapping's last
// report, whose answer no task acts on, is reduced all the same. "Next" waits for the running reduction, "Cancel"
// only for its stop, and ends the run without a file or a word.
TEST(WnHcQuantDlgTest, WorkInsideARunningReductionStopsItOnceAndTheLastValueWins) {
    const struct {
        const char* name;
        int showing;  // kAtFullBar: inside the first report that fills the bar
        int button;   // 0: a change of settings
        int size;     // the picture's width (its height is three quarters of it)
    } rows[] = {
        {"remapping", 1, 0, kLongWidth},    {"showing", 2, 0, kLongWidth},       {"size count", 3, 0, kLongWidth},
        {"last report", kAtFullBar, 0, 40},  // fewer pixels than one report covers: it reports only at its end
        {"Next", 1, IDOK, kLongWidth},      {"Cancel", 1, IDCANCEL, kLongWidth},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DialogRun run(InterleavedHostPicture(row.size, row.size * 3 / 4));
        const int16_t result = RunQuantization(run, [&](HWND dialog) {
            const size_t opened = run.sizes.Texts().size();
            DuringReduction during(row.showing, [&](HWND) {
                if (row.button) {
                    PressDialogButton(dialog, row.button);
                    for (const int id : {IDOK, IDC_QUANT_COLORS, IDC_QUANT_PALETTE}) EXPECT_FALSE(Enabled(dialog, id));
                } else if (row.showing == kAtFullBar) {  // no pumping here: the report's own pump handles it
                    SendDlgItemMessageW(dialog, IDC_QUANT_DEPTH, CB_SETCURSEL, 6, 0);  // 4 colours
                    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_QUANT_DEPTH, CBN_SELCHANGE),
                                 LPARAM(GetDlgItem(dialog, IDC_QUANT_DEPTH)));
                } else {
                    for (const int stop : {2, 7, 9}) DragDither(dialog, stop);
                }
            });
            DragDither(dialog, 4);
            PumpUntil([&] { return during.Ran(); }, kReductionLimit);
            if (row.button) return;
            WaitForReduction(dialog);
            EXPECT_TRUE(during.Ran()) << "the dialog handles messages while it works";
            if (row.showing != kAtFullBar) {
                EXPECT_EQ(DitherShown(dialog), 9);
                // The last reduction used dithering 9: its file differs in size from the undithered opening's.
                EXPECT_NE(run.sizes.Texts().back(), run.sizes.Texts()[opened - 1]);
                // After the first change: a start that was stopped without a size, then one that finished.
                const std::vector<std::string> after(run.sizes.Texts().begin() + opened, run.sizes.Texts().end());
                ASSERT_EQ(after.size(), 3u);
                EXPECT_TRUE(ShowsNoGifSize(after[0]) && ShowsNoGifSize(after[1]));
            }
            PressDialogButton(dialog, IDOK);
        });
        EXPECT_EQ(result, row.button == IDCANCEL ? 1 : 0);
        EXPECT_EQ(ShowsNoGifSize(run.sizes.Texts().back()), row.button == IDCANCEL) << "stopped without a size";
        EXPECT_TRUE(run.host->Alerts().empty()) << "Cancel ends the run quietly";
        EXPECT_EQ(run.host->SaveAsked(), row.button != IDCANCEL);
        if (row.button != IDCANCEL)  // 4 colours for the last report, as the settings say
            EXPECT_EQ(ReadFileBytes(run.OutPath()),
                      run.ScriptedBytes(InterleavedHostPicture(row.size, row.size * 3 / 4)));
        else
            EXPECT_FALSE(run.Written());
    }
}

// A pane's handler that fails, guarded as the panes guard theirs.
constexpr UINT kFailingMessage = WM_APP + 0x51;
LRESULT CALLBACK FailingPane(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message != kFailingMessage) return DefSubclassProc(window, message, wParam, lParam);
    WnGuarded(window, [] { CV_THROW_DETAIL(kCvErrNotSupported, 4242); });
    return 0;
}

// An error inside a handler, of the dialog or of one of its child windows, ends the run with that error's alert.
TEST(WnHcQuantDlgTest, AnErrorInsideAHandlerEndsTheRunWithItsOwnAlert) {
    BenchModule();  // the plug-in's code linked into the bench finds its templates there
    for (const bool inPane : {false, true}) {
        DialogRun run(InterleavedHostPicture(40, 30), {}, true);
        const int16_t ended = RunQuantization(run, [&](HWND dialog) {
            if (inPane) {
                SetWindowSubclass(GetDlgItem(dialog, IDC_QUANT_SOURCE_PANE), FailingPane, 1, 0);
                SendDlgItemMessageW(dialog, IDC_QUANT_SOURCE_PANE, kFailingMessage, 0, 0);
                return;
            }
            // A list entry no saved palette stands behind: choosing it is an error inside the
            // dialog's handler.
            SendDlgItemMessageA(dialog, IDC_QUANT_PALETTE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Nowhere"));
            Choose(dialog, IDC_QUANT_PALETTE, ItemCount(dialog, IDC_QUANT_PALETTE) - 1);
        });
        EXPECT_EQ(ended, 1);
        ASSERT_EQ(run.host->Alerts().size(), 1u);
        EXPECT_EQ(run.host->Alerts()[0].text, inPane ? "Error executing Halcyne (37)" : "Error executing Halcyne (27)");
        ASSERT_EQ(run.host->Errors().size(), 1u);
        EXPECT_EQ(run.host->Errors()[0].detail, inPane ? 4242u : 0u) << "the same error";
        EXPECT_FALSE(run.Written());
    }
}

// Opening without a stored placement on a picture too large for its panes, the dialog is centred on the host window,
// grown until its panes are a third of the screen's height, shows the picture whole and runs its first reduction
// already shown. The pieces it draws itself sit inside it and clear of its controls, and the dithering slider takes
// the pointer, at 96 and 144 DPI alike. A later reduction keeps the last result in view until its own is ready, while
// the strip shows the new palette from the start; closer up a result is the same picture however it got there:
// zoomed in while the next reduction runs, zoomed in after it was shown, or shown at 1 : 1 in the first place.
TEST(WnHcQuantDlgTest, OpensFittedAtTheDisplaysDpiAndAResultNeverBlanksAndIsTheSameCloseUp) {
    DialogRun run(InterleavedHostPicture(2560, 1600));
    HWND host = reinterpret_cast<HWND>(run.host->HostWindow());
    SetWindowPos(host, nullptr, 100, 100, 1080, 800, SWP_NOZORDER | SWP_NOACTIVATE);
    bool shownDuringFirst = false;
    DuringReduction first(1, [&](HWND dialog) { shownDuringFirst = IsWindowVisible(dialog) != FALSE; });
    const int16_t ended = RunQuantization(run, [&](HWND dialog) {
        EXPECT_TRUE(shownDuringFirst) << "the first reduction ran in a hidden dialog";
        // Centred on the host window, its panes a third of the screen's height, 2560 x 1600 seen whole with nothing
        // further out, and its controls clear of each other at this DPI (the screenshot below shows them).
        RECT at{}, around{}, client{};
        GetWindowRect(dialog, &at);
        GetWindowRect(host, &around);
        GetClientRect(dialog, &client);
        Transcript opening("win/quant-opening-" + std::to_string(BenchExpectedDpi()) + "dpi");
        opening("host", RectText(around), "| dialog", RectText(at), ControlStates(dialog, true));
        const BenchPixels shown = CaptureClient(dialog);
        SaveScreenshot(shown, "quant-opening-" + std::to_string(BenchExpectedDpi()) + "dpi");
        // The strip's frame is drawn in black along its left edge, all the way down inside the dialog.
        const POINT strip = StripCorner(dialog);
        EXPECT_EQ(shown.At(strip.x, strip.y), BenchRgb(0, 0, 0));
        EXPECT_NE(shown.At(strip.x, client.bottom - 2), BenchRgb(0, 0, 0)) << "the strip ends above the bottom edge";
        // The dithering slider (its stops are HcDitherTrack's, tested in uicore/) takes the pointer at the
        // display's DPI: a drag ending on another stop reduces once and moves the drawn thumb; a drag ending
        // where it began or missing the thumb does nothing.
        const int starts = run.sizes.Starts();
        HWND slider = DitherPaneOf(dialog);
        DragDither(dialog, 7);
        Drag(slider, {DitherStop(dialog, 7), DitherStop(dialog, 9), DitherStop(dialog, 7)});
        Drag(slider, {DitherStop(dialog, 9), DitherStop(dialog, 1)});  // no thumb under the press
        WaitForReduction(dialog);
        EXPECT_EQ(DitherShown(dialog), 7);
        EXPECT_EQ(run.sizes.Starts(), starts + 1);
        EXPECT_EQ(GetCapture(), nullptr);
        const BenchPixels track = CaptureClient(slider);
        EXPECT_EQ(track.At(DitherStop(dialog, 7).x, DitherStop(dialog, 7).y), 0u) << "the thumb at its new stop";
        EXPECT_NE(track.At(DitherStop(dialog, 0).x, DitherStop(dialog, 0).y), 0u) << "and gone from the old";

        HWND pane = GetDlgItem(dialog, IDC_QUANT_RESULT_PANE);
        const auto closeUp = [&] {
            for (int i = 0; i < 7 && DialogText(dialog, IDC_ZOOM_LABEL) != "1 : 1"; ++i)
                PressDialogButton(dialog, IDC_ZOOM_IN);
            EXPECT_EQ(DialogText(dialog, IDC_ZOOM_LABEL), "1 : 1");
            PumpUntilIdle();
            return CaptureClient(pane);
        };
        const auto seenWhole = [&] {
            for (int i = 0; i < 7 && Enabled(dialog, IDC_ZOOM_OUT); ++i) PressDialogButton(dialog, IDC_ZOOM_OUT);
        };
        // Chooses a depth and runs `action` inside the reduction it starts.
        const auto reduceDuring = [&](int depthItem, const std::function<void()>& action) {
            DuringReduction next(1, [&](HWND) { action(); });
            Choose(dialog, IDC_QUANT_DEPTH, depthItem);
            PumpUntil([&] { return next.Ran(); }, kReductionLimit);
            WaitForReduction(dialog);
        };
        const BenchPixels before = CaptureClient(pane);
        BenchPixels during, whole, zoomedIn;
        // 32 colours: the strip empties until the new palette is known.
        reduceDuring(3, [&] { during = CaptureClient(pane), whole = CaptureClient(dialog); });
        SaveScreenshot(whole, "quant-strip-during-reduction");
        EXPECT_TRUE(during.rgb == before.rgb) << "the result pane changed before the new result was ready";
        // The strip's first cell shows a colour, not the grey of a strip without a palette.
        EXPECT_NE(whole.At(strip.x + 6, strip.y + 6), 0x808080u);
        reduceDuring(4, [&] { zoomedIn = closeUp(); });  // 16 colours
        Choose(dialog, IDC_QUANT_DEPTH, 3);              // 32 colours again, shown at 1 : 1
        WaitForReduction(dialog);
        const BenchPixels oneToOne = CaptureClient(pane);
        EXPECT_TRUE(zoomedIn.rgb == oneToOne.rgb) << "zoomed in while the next reduction ran";
        for (const int depthItem : {4, 3}) {
            seenWhole();
            Choose(dialog, IDC_QUANT_DEPTH, depthItem);
            WaitForReduction(dialog);
        }
        EXPECT_TRUE(closeUp().rgb == oneToOne.rgb) << "zoomed in after it was shown";

        // Grown, the panes share the extra room (the sizer's rule, tested in uicore/) and every control that
        // follows an edge moves with it: the places of all of them again.
        seenWhole();  // for the screenshot
        ResizeClient(dialog, client.right + 100, client.bottom + 40);
        opening("grown by 100 x 40", ControlStates(dialog, true));
        SaveScreenshot(CaptureClient(dialog), "quant-grown-" + std::to_string(BenchExpectedDpi()) + "dpi");
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(ended, 1);
}

}  // namespace
