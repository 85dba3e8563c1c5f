// The About box: a modal dialog from the module's resources, owned by the host window.
// Its procedure only fills the text and closes on OK, Cancel or Escape.
#include <windows.h>

#include "common/HcUI.h"
#include "platform/Platform.h"
#include "win/resource_ids.h"

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextA(dialog, kAboutCaption);
            SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, kAboutText);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(intptr_t owner) {
    DialogBoxParamA(static_cast<HINSTANCE>(Platform::ModuleInstance()), MAKEINTRESOURCEA(IDD_ABOUT),
                    reinterpret_cast<HWND>(owner), AboutProc, 0);
}
