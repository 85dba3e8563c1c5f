// What the plug-in shell asks of the user interface: the About box and the dialogs of an interactive run.
// Implemented by the Win32 layer on Windows and by the headless layer elsewhere.
#pragma once

#include <cstdint>

struct HcCallRecord;

// A modal About box owned by the given host window.
void ShowAboutBox(intptr_t owner);

extern const char kAboutCaption[];  // "About Halcyne"
extern const char kAboutText[];

// The interactive part of the export, from the quantization dialog to "Save": true when the user saved, the run's
// gifFrame then holding the edited frame; false when the user cancelled. Errors travel on as CvErrorCode.
bool RunDialogs(HcCallRecord& record);
