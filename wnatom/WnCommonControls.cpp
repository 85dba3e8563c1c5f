// Whether the system's common controls are the version the dialogs are laid out for, and their registration.
// The answer comes from the library the process actually uses, read once per call.
#include "wnatom/WnCommonControls.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "cvcode2/CvErrorCode.h"

DWORD WnCommonControlsVersion() {
    HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (!library) return 0;
    DWORD version = 0;
    auto getVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (getVersion && SUCCEEDED(getVersion(&info))) version = WnPackVersion(info.dwMajorVersion, info.dwMinorVersion);
    FreeLibrary(library);
    return version;
}

bool WnCommonControlsAtLeast6() {
    return WnCommonControlsVersion() >= WnPackVersion(6, 0);
}

void WnRegisterDialogControls() {
    if (!WnCommonControlsAtLeast6()) return InitCommonControls();
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&classes)) CV_THROW_DETAIL(kCvErrHost, GetLastError());
}
