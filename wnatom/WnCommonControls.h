// Whether the system's common controls are the version the dialogs are laid out for, and their registration.
// The answer comes from the library the process actually uses, read once per call.
#pragma once

#include <windows.h>

// A version packed as the library reports it: major in the high 16 bits, minor in the low ones.
constexpr DWORD WnPackVersion(DWORD major, DWORD minor) {
    return major << 16 | (minor & 0xFFFF);
}

// The packed version "comctl32.dll" reports through DllGetVersion; 0 when it reports none.
DWORD WnCommonControlsVersion();
// At least 6.0.
bool WnCommonControlsAtLeast6();
// Registers the control classes the dialogs use (progress bar, tab control, trackbar): all of them on versions
// before 6.0, which know no choice; a refusal raises the host error with the system's code.
void WnRegisterDialogControls();
