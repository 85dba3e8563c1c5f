// How an error leaves a window or dialog procedure: it ends the dialog with 16 and leaves its code as the
// thread's last-error value. No exception ever passes through the system's message loop.
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

// Ends the dialog with 16; the code is stored after EndDialog, which may itself change the last-error value.
inline void WnErrorExit(HWND dialog, DWORD code) {
    EndDialog(dialog, kWnErrorExitResult);
    SetLastError(code);
}
