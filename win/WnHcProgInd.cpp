// The quantization dialog's progress indicator: the bar at 0..100, the pump on every report, and the owner's
// stop request turned into the task's stop. Nothing here touches the reduction's data.
#include "win/WnHcProgInd.h"

#include <commctrl.h>

#include <utility>

WnHcProgInd::WnHcProgInd(HWND dialog, HWND bar, ShouldStop shouldStop, TaskHook onStart, TaskHook onFinish)
    : dialog(dialog),
      bar(bar),
      shouldStop(std::move(shouldStop)),
      onStart(std::move(onStart)),
      onFinish(std::move(onFinish)) {
    // Every task runs over 0..100: the range is set once, and a start only brings the bar back to 0.
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
}

void WnHcProgInd::Start(CvProgressTask* task) {
    if (onStart) onStart(task);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    shownPercent = 0;
    pumpedSinceStart = false;
    running = true;
    if (!IsWindowVisible(bar)) ShowWindow(bar, SW_SHOW);
}

void WnHcProgInd::Finish(CvProgressTask* task) {
    running = false;
    if (!keepBar) HideBar();
    if (onFinish) onFinish(task);
}

bool WnHcProgInd::Update(CvProgressTask* task) {
    if (shouldStop()) return true;
    // The tick count is read from memory the system keeps current; a finer clock costs a system call per report.
    const ULONGLONG now = GetTickCount64();
    // A task's first report looks at once; later ones, and the reports of a task that was not started here (and
    // shows no bar), once the interval has passed.
    const bool first = running && !pumpedSinceStart;
    if (!first && now - lastPump < ULONGLONG(kPumpInterval.count())) return false;
    // The bar moves with a look at the queue, and only when its whole percentage does.
    if (first || (running && now - lastBarMove >= ULONGLONG(kBarInterval.count()))) {
        const int percent = ProgressPercent(task->Current(), task->Maximum());
        if (percent != shownPercent) SendMessageW(bar, PBM_SETPOS, WPARAM(shownPercent = percent), 0);
        lastBarMove = now;
    }
    pumpedSinceStart = true;
    lastPump = now;
    if (!DispatchPending()) return true;
    return shouldStop();
}

bool WnHcProgInd::DispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The application is ending: stop the work and let the outer loop see the quit too.
            PostQuitMessage(int(message.wParam));
            return false;
        }
        if (dialog && IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}
