// The quantization dialog's progress indicator: a progress bar that follows the task, and a message pump run on
// every report, so the dialog stays responsive while a reduction runs inside one of its own handlers.
// The bar shows only between a task's start and its finish (or its owner's HideBar, when it keeps the bar between
// tasks); a report never returns with a message left pending.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

#include "cvcode2/CvProgressTask.h"

class WnHcProgInd : public CvProgressIndicator {
public:
    // Whether the running task must stop (a new run is pending, the dialog is closing, or a handler asked for it);
    // asked before and after each pump.
    using ShouldStop = std::function<bool()>;
    // The dialog's own work at a task's start (before the bar shows) and at its finish (after the bar hides).
    using TaskHook = std::function<void(CvProgressTask*)>;

    // `bar` is a progress bar control; `dialog` gets keyboard navigation from the pump (may be null).
    WnHcProgInd(HWND dialog, HWND bar, ShouldStop shouldStop, TaskHook onStart = {}, TaskHook onFinish = {});

    void Start(CvProgressTask* task) override;
    void Step(CvProgressTask*) override {}
    void Finish(CvProgressTask* task) override;
    bool Update(CvProgressTask* task) override;
    void Error(CvProgressTask*, CvErrorCode) override {}

    // For an owner that runs tasks one after another on the same bar: the bar stays shown from a task's finish to
    // the next one's start, and goes at HideBar (each show and hide waits for the window system).
    void KeepBarBetweenTasks() { keepBar = true; }
    void HideBar() { ShowWindow(bar, SW_HIDE); }

    // Reports come every few thousand pixels, and each look at the queue can cost a round trip to the window
    // system: after a task's first report, it happens again only once this much time has passed.
    static constexpr std::chrono::milliseconds kPumpInterval{15};
    // A move of the bar repaints it at once, which waits for the window system (milliseconds on a busy machine,
    // more than the looks at the queue cost together): after the first report it moves at most this often.
    static constexpr std::chrono::milliseconds kBarInterval{100};

private:
    // Dispatches every pending message of the thread; false when it met WM_QUIT (left in the queue for the
    // loop that owns it).
    bool DispatchPending();

    HWND dialog;
    HWND bar;
    ShouldStop shouldStop;
    TaskHook onStart;
    TaskHook onFinish;
    int shownPercent = -1;
    bool running = false;  // between a task's Start and its Finish: the bar shows
    bool keepBar = false;
    bool pumpedSinceStart = false;
    ULONGLONG lastPump = 0, lastBarMove = 0;
};
