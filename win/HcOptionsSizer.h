// How the options dialog follows its size: buttons and the file size at the bottom right, the info row along the
// bottom, the tabs at the right, the pane taking all the extra room and the self-drawn pieces moving down with it.
#pragma once

#include <functional>

#include "wnatom/WnDialogSizer.h"

class HcOptionsSizer : public WnDialogSizer {
public:
    // Told the room the dialog has grown by, which the pane takes.
    using PlacePane = std::function<void(int32_t extraWidth, int32_t extraHeight)>;
    // Told how far below their opening place the pieces drawn at the bottom (strip, swatch, tools) now belong.
    using MoveBottomPictures = std::function<void(int32_t dy)>;

    HcOptionsSizer(PlacePane placePane, MoveBottomPictures moveBottomPictures);
    // Records every control, the pages and the drawn parts at their opening places.
    void RegisterControls(HWND dialog, const int* pageIds, int pageCount);

protected:
    void PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) override;

private:
    PlacePane placePane;
    MoveBottomPictures moveBottomPictures;
};
