// The user interface without a window system: the About box becomes an alert (printed, or given
// to the embedding host), so tests and the command-line tool see the same words.
#include "common/HcUI.h"
#include "common/hcmain.h"
#include "platform/Platform.h"

void ShowAboutBox(intptr_t owner) {
    Platform::ShowAlert(owner, kAboutText, kAboutCaption, Platform::AlertButtons::Ok, Platform::AlertIcon::Information);
}

// Without a window system there is nobody to ask: the run goes on with the settings as they stand.
bool RunDialogs(HcCallRecord& record) {
    ReduceForExport(record);
    return true;
}
