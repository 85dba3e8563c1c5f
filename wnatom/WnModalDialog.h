// A modal dialog from a module template driven by virtual handlers instead of one large switch procedure.
// The object lives in the dialog's DWLP_USER slot for the dialog's whole life; no exception leaves the procedure.
#pragma once

#include <windows.h>

#include <exception>

class WnModalDialog {
public:
    virtual ~WnModalDialog() = default;
    WnModalDialog() = default;
    WnModalDialog(const WnModalDialog&) = delete;
    WnModalDialog& operator=(const WnModalDialog&) = delete;

    // Shows the dialog and returns the result it ended with. An error raised by a handler of the dialog or of one
    // of its child windows ends the dialog (with kWnErrorExitResult, its code as the thread's last-error value) and
    // is raised again here, unchanged; kWnErrorExitResult is never returned. A dialog that cannot be shown (its
    // template missing, say) raises kCvErrNoMemory instead of passing for a cancel.
    INT_PTR Run(HINSTANCE module, int templateId, HWND owner) {
        return Run(module, MAKEINTRESOURCEW(templateId), owner);
    }
    // The same for a template known by name ("DISSOLVEPARAM", say).
    INT_PTR Run(HINSTANCE module, const wchar_t* templateName, HWND owner);
    HWND Window() const { return window; }

protected:
    virtual void OnInit() {}
    // Returns whether the command was handled; the base ends the dialog on OK and Cancel.
    virtual bool OnCommand(int id, int notification);
    // Returns whether the painting was done here; the base leaves it to the dialog manager.
    virtual bool OnPaint() { return false; }
    virtual void OnMouseDown(POINT) {}
    virtual void OnMouseMove(POINT) {}
    virtual void OnMouseUp(POINT) {}
    virtual void OnTimer(UINT_PTR) {}
    virtual void OnSize() {}
    // The mouse capture went to `newOwner` (null: to no window).
    virtual void OnCaptureChanged(HWND) {}
    // Any other message (notifications, destruction); returns whether it was handled.
    virtual bool OnMessage(UINT, WPARAM, LPARAM) { return false; }
    void End(INT_PTR result) { EndDialog(window, result); }

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchMouse(UINT message, LPARAM lParam);

    HWND window = nullptr;
    std::exception_ptr error;
};
