// The progress indicator with a real progress bar and a real dialog: the bar's positions, messages handled while a
// task reports, the dialog's keys, and a stop asked by a handler ending the task with error 3.
#include <gtest/gtest.h>

// The other Windows headers need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "common/NoStartProgressProxy.h"
#include "tests/support/ErrorOf.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcProgInd.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"

namespace {

constexpr UINT kNoteMessage = WM_APP + 1;  // a handler that only counts
constexpr UINT kStopMessage = WM_APP + 2;  // a handler that asks the running task to stop

// What the test's dialog handled; one test at a time runs.
struct DialogRecord {
    int notes = 0;
    int okCommands = 0;
    bool stopRequested = false;
} record;

// Waits until the tick count the indicator reads has moved past `interval`: a fixed sleep is not enough under load,
// when the tick count can lag the sleep.
void WaitTicks(std::chrono::milliseconds interval) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start <= ULONGLONG(interval.count())) Sleep(1);
}

INT_PTR CALLBACK RecordingDialog(HWND, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case kNoteMessage: ++record.notes; return TRUE;
        case kStopMessage: record.stopRequested = true; return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) ++record.okCommands;
            return TRUE;
    }
    return message == WM_INITDIALOG;
}

int BarPosition(HWND bar) {
    return int(SendMessageW(bar, PBM_GETPOS, 0, 0));
}

class WnHcProgIndTest : public ::testing::Test {
protected:
    WnHcProgIndTest() : host(360, 240) {
        WnRegisterDialogControls();
        bar = host.AddControl(PROGRESS_CLASSW, 1068, {20, 12, 320, 30}, 0);
        record = {};
        dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_ABOUT), host.Handle(), RecordingDialog, 0);
        ShowWindow(dialog, SW_SHOW);
        const auto note = [this](CvProgressTask* task) { hookCalls.push_back({task, IsWindowVisible(bar) != FALSE}); };
        indicator = std::make_unique<WnHcProgInd>(
            dialog, bar, [this] { return std::exchange(record.stopRequested, false); }, note, note);
        PumpUntilIdle();
    }
    ~WnHcProgIndTest() override { DestroyWindow(dialog); }

    BenchHostWindow host;
    HWND bar = nullptr;
    HWND dialog = nullptr;
    std::unique_ptr<WnHcProgInd> indicator;
    std::vector<std::pair<CvProgressTask*, bool>> hookCalls;  // the task, and whether the bar showed
};

// The engine's other tasks, not started here, keep the dialog handling its messages but show no bar.
TEST_F(WnHcProgIndTest, BarShowsFromStartToFinishAtTheRoundedPercentageOrStaysWhenKept) {
    NoStartProgressProxy proxy(indicator.get());
    CvProgressTask reducing(&proxy);
    reducing.Start(0, 4, "Reducing");
    PostMessageW(dialog, kNoteMessage, 0, 0);
    EXPECT_FALSE(reducing.SetProgress(2));
    reducing.Finish();
    EXPECT_EQ(record.notes, 1);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(BarPosition(bar), 0);
    CvProgressTask task(indicator.get());
    task.Start(0, 3, "Remapping");
    EXPECT_TRUE(IsWindowVisible(bar));
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(BarPosition(bar), 0);

    EXPECT_FALSE(task.SetProgress(1));
    EXPECT_EQ(BarPosition(bar), 33);
    // Between looks at the queue the bar stays; after a look it moves at most once an interval of its own.
    WaitTicks(WnHcProgInd::kPumpInterval);
    EXPECT_FALSE(task.SetProgress(2));
    EXPECT_EQ(BarPosition(bar), 33);
    WaitTicks(WnHcProgInd::kBarInterval);
    EXPECT_FALSE(task.SetProgress(2));
    EXPECT_EQ(BarPosition(bar), 67);

    task.Finish();
    EXPECT_FALSE(IsWindowVisible(bar));
    // The dialog's own work comes before the bar shows and after it hides.
    EXPECT_EQ(hookCalls, (std::vector<std::pair<CvProgressTask*, bool>>{{&task, false}, {&task, false}}));
    // Kept between tasks, the bar stays from one task's finish to the next one's start, which brings it back to 0.
    indicator->KeepBarBetweenTasks();
    CvProgressTask first(indicator.get()), second(indicator.get());
    first.Start(0, 4, "Remapping");
    EXPECT_FALSE(first.SetProgress(3));
    first.Finish();
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(BarPosition(bar), 75);
    second.Start(0, 4, "Writing");
    EXPECT_EQ(BarPosition(bar), 0);
    second.Finish();
    EXPECT_TRUE(IsWindowVisible(bar));
    indicator->HideBar();
    EXPECT_FALSE(IsWindowVisible(bar));
}

// Reports handle every pending message at most once an interval; a stop asked by a handler ends the task with error
// 3, one already asked is answered without pumping; keys typed during a report reach the dialog as in its own loop;
// a quit message stops the task and stays for the outer loop.
TEST_F(WnHcProgIndTest, ReportsPumpTheQueueAtMostEachIntervalAsTheDialogsOwnLoopAndStop) {
    const auto afterPumpInterval = [] { WaitTicks(WnHcProgInd::kPumpInterval); };
    CvProgressTask task(indicator.get());
    task.Start(0, 10, "Remapping");
    for (int i = 0; i < 3; ++i) PostMessageW(dialog, kNoteMessage, 0, 0);
    EXPECT_FALSE(task.SetProgress(1));
    EXPECT_EQ(record.notes, 3);
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, nullptr, kNoteMessage, kStopMessage, PM_NOREMOVE));

    PostMessageW(dialog, kStopMessage, 0, 0);
    afterPumpInterval();
    EXPECT_EQ(ErrorOf([&] { CV_PROGRESS(task, 2); }), 3u);
    EXPECT_FALSE(record.stopRequested) << "the request is used up by the stop";
    EXPECT_EQ(BarPosition(bar), 10) << "the bar waits for an interval of its own";

    PostMessageW(dialog, kNoteMessage, 0, 0);
    record.stopRequested = true;
    WaitTicks(WnHcProgInd::kBarInterval);
    EXPECT_TRUE(task.SetProgress(4));
    EXPECT_EQ(record.notes, 3) << "a stop already asked is answered without pumping";
    EXPECT_EQ(BarPosition(bar), 10);

    // Enter is the dialog's default command only when the dialog sees the key before the button does.
    PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_RETURN, 1);
    afterPumpInterval();
    EXPECT_FALSE(task.SetProgress(5));
    EXPECT_EQ(record.notes, 4);
    EXPECT_EQ(record.okCommands, 1);

    PostQuitMessage(5);
    afterPumpInterval();
    EXPECT_TRUE(task.SetProgress(6));
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 5u);
}

}  // namespace
