// Where the quantization dialog's controls go when it is resized: buttons at the bottom right, the colour settings
// at the right, the palette row and the zoom and size line at the bottom, the two panes sharing the rest.
#include "win/HcQuantSizer.h"

#include <utility>

#include "uicore/HcQuantRules.h"
#include "win/resource_ids.h"

namespace {

enum CustomItem : intptr_t { kSourcePane, kResultPane, kBottomPictures };

const HcSizerItem* FindItem(const std::vector<HcSizerItem>& items, int controlId) {
    for (const HcSizerItem& item : items)
        if (item.controlId == controlId) return &item;
    return nullptr;
}

}  // namespace

HcQuantSizer::HcQuantSizer(MoveBottomPictures moveBottomPictures) : moveBottomPictures(std::move(moveBottomPictures)) {}

void HcQuantSizer::RegisterControls(HWND dialog) {
    Attach(dialog);
    for (int id : {IDOK, IDCANCEL}) AddItem(id, kSizerFollowRight | kSizerFollowBottom);
    for (int id :
         {IDC_QUANT_DEPTH_LABEL, IDC_QUANT_DEPTH, IDC_QUANT_COLORS, IDC_QUANT_COLORS_LABEL, IDC_QUANT_DITHER_PANE,
          IDC_QUANT_LOSSY_LABEL, IDC_QUANT_LOSSY_VALUE, IDC_QUANT_LOSSY, IDC_QUANT_BASE_LABEL, IDC_QUANT_BASE})
        AddItem(id, kSizerFollowRight);
    for (int id : {IDC_ZOOM_OUT, IDC_ZOOM_IN, IDC_ZOOM_LABEL, IDC_QUANT_SIZE_INFO, IDC_QUANT_STATUS, IDC_QUANT_PROGRESS,
                   IDC_QUANT_PALETTE_LABEL, IDC_QUANT_PALETTE, IDC_QUANT_LOAD, IDC_QUANT_UNLOAD, IDC_ENTRY_RGB})
        AddItem(id, kSizerFollowBottom);
    AddItem(IDC_QUANT_SOURCE_PANE, kSizerCustom, kSourcePane);
    AddItem(IDC_QUANT_RESULT_PANE, kSizerCustom, kResultPane);
    AddItem(0, kSizerCustom, kBottomPictures);
}

void HcQuantSizer::PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) {
    if (item.value1 == kBottomPictures) {
        if (moveBottomPictures) moveBottomPictures(clientHeight - MinHeight());
        return;
    }
    PlacePane(item, clientWidth, clientHeight);
}

void HcQuantSizer::PlacePane(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) const {
    const HcSizerItem* source = FindItem(Items(), IDC_QUANT_SOURCE_PANE);
    const HcSizerItem* result = FindItem(Items(), IDC_QUANT_RESULT_PANE);
    if (!source || !result) return;
    const HcPanePair placed =
        PlacePanePair({source->rect, result->rect}, clientWidth - MinWidth(), clientHeight - MinHeight());
    const HcPixelRect& rect = item.value1 == kSourcePane ? placed.first : placed.second;
    SetWindowPos(reinterpret_cast<HWND>(item.control), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
