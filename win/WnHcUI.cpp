// The interactive run: the quantization dialog, then the options dialog, back and forth until the user saves or
// cancels. The run data carries everything between the passes; each dialog lives for one pass only.
// The other Windows headers need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <utility>

#include "common/HcUI.h"
#include "common/hcmain.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"
#include "platform/Platform.h"
#include "win/HcCursors.h"
#include "win/WnHcOptDlg.h"
#include "win/WnHcQuantDlg.h"
#include "wnatom/WnCommonControls.h"

namespace {

// The panes find their cursors through the process-wide set for exactly as long as the dialogs run.
class CurrentCursors {
public:
    explicit CurrentCursors(HINSTANCE module) : cursors(module) { HcCursors::SetCurrent(&cursors); }
    ~CurrentCursors() { HcCursors::SetCurrent(nullptr); }
    CurrentCursors(const CurrentCursors&) = delete;
    CurrentCursors& operator=(const CurrentCursors&) = delete;

private:
    HcCursors cursors;
};

// The quantization dialog's pass; a grey source has nothing to choose there and goes on as if "Next ->" was pressed.
bool RunQuantization(HWND host, HcGlobals& globals) {
    if (!globals.rgbImage) {
        if (!globals.indexedImage) CV_THROW(kCvErrBadArgument);
        if (!globals.gifFrame) globals.gifFrame = CvAllocated(new (std::nothrow) CvGIFFrame(*globals.indexedImage));
        return true;
    }
    if (!globals.gifFrame)
        globals.gifFrame =
            CvAllocated(new (std::nothrow) CvGIFFrame(globals.rgbImage->GetWidth(), globals.rgbImage->GetHeight()));
    WnHcQuantDlg dialog(host, &globals);
    return dialog.Run();
}

// The options dialog's pass: "Save", "Cancel", or "<- Last" (false with `back` set).
bool RunOptions(HWND host, HcGlobals& globals, bool cameBack, bool& back) {
    WnHcOptDlg dialog(host, &globals, cameBack);
    return dialog.Run(back);
}

}  // namespace

bool RunDialogs(HcCallRecord& record) {
    HcGlobals& globals = record.runData;
    if (globals.gifFrame) CV_THROW(kCvErrBadArgument);
    HWND host = reinterpret_cast<HWND>(OwnerWindow(record));
    const CurrentCursors cursors(static_cast<HINSTANCE>(Platform::ModuleInstance()));
    WnRegisterDialogControls();
    bool back = false, saved = false;
    do {
        const bool cameBack = std::exchange(back, false);
        saved = RunQuantization(host, globals) && RunOptions(host, globals, cameBack, back);
    } while (back);
    return saved;
}
