// Loading a palette file the user picks in an Open box: ACT or GIF by the name's ending, an alert when it fails.
// No error leaves this function: a file that cannot be loaded is the user's to hear about, and nothing changes.
#include "win/WnHcLoadColorTable.h"

#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLoadPalette.h"
#include "platform/Platform.h"
#include "uicore/HcSavedPalettes.h"

namespace {

Platform::FileBoxRequest PaletteOpenBox(HWND owner) {
    Platform::FileBoxRequest request;
    request.owner = reinterpret_cast<intptr_t>(owner);
    request.title = "Load Palette";
    request.filter = "Palette files|*.ACT;*.GIF";
    request.suggestedName = "*.ACT;*.GIF";  // shown as the initial file name, which lists only palette files
    request.defaultExtension = "ACT";
    return request;
}

}  // namespace

std::unique_ptr<CvColorTable> WnHcLoadColorTable(HWND owner, std::string* nameOut) {
    std::string path;
    if (!Platform::AskOpenPath(PaletteOpenBox(owner), path)) return nullptr;
    // The name is kept as stored names are: in the system's code page.
    if (nameOut) *nameOut = SavedPaletteName(Platform::StoredText(path));
    try {
        return LoadPaletteFile(path);
    } catch (const CvErrorCode&) {
    } catch (const std::bad_alloc&) {
    }
    Platform::ShowAlert(reinterpret_cast<intptr_t>(owner), "Could Not Load Palette", "ALERT",
                        Platform::AlertButtons::Ok, Platform::AlertIcon::None);
    return nullptr;
}
