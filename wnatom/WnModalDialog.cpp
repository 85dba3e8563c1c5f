// A modal dialog from a module template driven by virtual handlers instead of one large switch procedure.
// The object lives in the dialog's DWLP_USER slot for the dialog's whole life; no exception leaves the procedure.
#include "wnatom/WnModalDialog.h"

#include <windowsx.h>

#include <utility>

#include "wnatom/WnErrorExit.h"

INT_PTR WnModalDialog::Run(HINSTANCE module, const wchar_t* templateName, HWND owner) {
    error = nullptr;
    const INT_PTR result = DialogBoxParamW(module, templateName, owner, Procedure, reinterpret_cast<LPARAM>(this));
    const DWORD lastError = GetLastError();
    HWND ended = std::exchange(window, nullptr);
    if (result == -1) CV_THROW_DETAIL(kCvErrNoMemory, lastError);
    // The error itself is kept here: the last-error value may be overwritten before the loop returns.
    if (error) std::rethrow_exception(std::exchange(error, nullptr));
    if (result != kWnErrorExitResult) return result;
    WnChildError& pending = WnPendingChildError();
    if (pending.error && pending.dialog == ended) {
        pending.dialog = nullptr;
        std::rethrow_exception(std::exchange(pending.error, nullptr));
    }
    CV_THROW(lastError ? uint32_t(lastError) : uint32_t(kCvErrBadData));
}

bool WnModalDialog::OnCommand(int id, int) {
    if (id != IDOK && id != IDCANCEL) return false;
    End(id);
    return true;
}

INT_PTR CALLBACK WnModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<WnModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    // A dialog ending with an error (its own or a child window's) handles nothing more.
    const WnChildError& pending = WnPendingChildError();
    if (!self || self->error || (pending.error && pending.dialog == dialog)) return FALSE;
    try {
        if (message == WM_INITDIALOG) {
            self->window = dialog;
            self->OnInit();
            return TRUE;
        }
        return self->Dispatch(message, wParam, lParam) || self->DispatchMouse(message, lParam) ||
               self->OnMessage(message, wParam, lParam);
    } catch (...) {
        self->error = std::current_exception();
        WnErrorExit(dialog, WnErrorNumberOf(self->error));
        return TRUE;
    }
}

bool WnModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_PAINT: return OnPaint();
        case WM_TIMER: OnTimer(wParam); return true;
        case WM_SIZE: OnSize(); return true;
        case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return true;
        default: return false;
    }
}

bool WnModalDialog::DispatchMouse(UINT message, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_LBUTTONDOWN: OnMouseDown(point); return true;
        case WM_MOUSEMOVE: OnMouseMove(point); return true;
        case WM_LBUTTONUP: OnMouseUp(point); return true;
        default: return false;
    }
}
