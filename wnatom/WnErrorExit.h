// How an error leaves a window or dialog procedure: it ends the dialog with kWnErrorExitResult and leaves its code as
// the thread's last-error value. No exception ever passes through the system's message loop.
#pragma once

#include <windows.h>

#include <exception>
#include <new>

#include "cvcode2/CvErrorCode.h"

constexpr INT_PTR kWnErrorExitResult = 16;

// The error number an exception stands for: its own code, 2 for an allocation failure, 28 for anything else.
inline DWORD WnErrorNumberOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const CvErrorCode& code) {
        return code.code;
    } catch (const std::bad_alloc&) {
        return kCvErrNoMemory;
    } catch (...) {
        return kCvErrBadData;
    }
}

// Ends the dialog with kWnErrorExitResult; the code is stored after EndDialog, which may itself change the last-error
// value.
inline void WnErrorExit(HWND dialog, DWORD code) {
    EndDialog(dialog, kWnErrorExitResult);
    SetLastError(code);
}

// The error a child window's handler ended its dialog with: the dialog's Run raises it again, whole (the
// last-error value alone would lose its file and line, or be overwritten before the dialog loop returns).
struct WnChildError {
    HWND dialog = nullptr;
    std::exception_ptr error;
};
inline WnChildError& WnPendingChildError() {
    static thread_local WnChildError pending;
    return pending;
}

// Runs a message handler of a child window (a pane inside a dialog) so that no exception leaves it: an error ends
// the dialog around the window as above and is kept for its Run; outside a dialog only the last-error value tells
// of it.
template <class Handler>
void WnGuarded(HWND window, Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        const DWORD code = WnErrorNumberOf(std::current_exception());
        HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
        wchar_t className[16] = {};
        if (root && GetClassNameW(root, className, 16) && lstrcmpW(className, L"#32770") == 0) {
            // The first error ends the dialog; later ones (handlers running while it closes) add nothing.
            WnChildError& pending = WnPendingChildError();
            if (!pending.error || pending.dialog != root) pending = {root, std::current_exception()};
            WnErrorExit(root, code);
        } else {
            SetLastError(code);
        }
    }
}
