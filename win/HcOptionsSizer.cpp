// How the options dialog follows its size: buttons and the file size at the bottom right, the info row along the
// bottom, the tabs at the right, the pane taking all the extra room and the self-drawn pieces moving down with it.
#include "win/HcOptionsSizer.h"

#include <utility>

#include "win/resource_ids.h"

namespace {
enum CustomItem : intptr_t { kPane, kBottomPictures };
}  // namespace

HcOptionsSizer::HcOptionsSizer(PlacePane placePane, MoveBottomPictures moveBottomPictures)
    : placePane(std::move(placePane)), moveBottomPictures(std::move(moveBottomPictures)) {}

void HcOptionsSizer::RegisterControls(HWND dialog, const int* pageIds, int pageCount) {
    Attach(dialog);
    for (int id : {IDC_OPT_SAVE, IDC_OPT_CANCEL, IDC_OPT_LAST, IDC_OPT_FILE_SIZE})
        AddItem(id, kSizerFollowRight | kSizerFollowBottom);
    for (int id : {IDC_OPT_SIZE_LABEL, IDC_OPT_COLORS_LABEL, IDC_OPT_INTERLACE, IDC_ZOOM_IN, IDC_ZOOM_OUT,
                   IDC_ZOOM_LABEL, IDC_ENTRY_RGB})
        AddItem(id, kSizerFollowBottom);
    AddItem(IDC_OPT_TABS, kSizerFollowRight);
    for (int page = 0; page < pageCount; ++page) AddItem(pageIds[page], kSizerFollowRight);
    AddItem(0, kSizerCustom, kPane);
    AddItem(0, kSizerCustom, kBottomPictures);
}

void HcOptionsSizer::PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) {
    const int32_t extraWidth = clientWidth - MinWidth(), extraHeight = clientHeight - MinHeight();
    if (item.value1 == kPane) {
        if (placePane) placePane(extraWidth, extraHeight);
    } else if (moveBottomPictures) {
        moveBottomPictures(extraHeight);
    }
}
