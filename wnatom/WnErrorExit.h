// How an error leaves a window procedure: the system's message loop cannot carry exceptions, so the code becomes
// the thread's last-error value and the dialog around the window ends with 16, to be raised again by its caller.
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>

#include "cvcode2/CvErrorCode.h"

constexpr INT_PTR kWnDialogEndedByError = 16;

inline void WnEndDialogWithError(HWND window, uint32_t code) {
    SetLastError(code);
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    wchar_t className[16] = {};
    if (root && GetClassNameW(root, className, 16) && lstrcmpW(className, L"#32770") == 0)
        EndDialog(root, kWnDialogEndedByError);
}

// Runs a message handler so that no exception leaves it: an error ends the surrounding dialog as above.
template <class Handler>
void WnGuarded(HWND window, Handler&& handler) noexcept {
    try {
        handler();
    } catch (const CvErrorCode& error) {
        WnEndDialogWithError(window, error.code);
    } catch (const std::bad_alloc&) {
        WnEndDialogWithError(window, kCvErrNoMemory);
    } catch (...) {
        WnEndDialogWithError(window, kCvErrBadData);
    }
}
