// How the options dialog follows its size: buttons and the file size at the bottom right, the info row along the
// bottom, the tabs at the right, the pane taking all the extra room and the self-drawn pieces moving down with it.
#pragma once

#include "wnatom/WnDialogSizer.h"

class WnHcOptDlg;

class HcOptionsSizer : public WnDialogSizer {
public:
    enum CustomPart : intptr_t { kPanePart = 1, kBottomPart = 2 };

    explicit HcOptionsSizer(WnHcOptDlg& owner) : owner(owner) {}
    // Attaches to the dialog at its opening size and registers every control, the pages and the custom parts.
    void Register(HWND dialog, const int* pageIds, int pageCount);

protected:
    void PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) override;

private:
    WnHcOptDlg& owner;
};
