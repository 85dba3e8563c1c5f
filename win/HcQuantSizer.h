// Where the quantization dialog's controls go when it is resized: buttons at the bottom right, the colour settings
// at the right, the palette row and the zoom and size line at the bottom, the two panes sharing the rest.
// The dialog never gets smaller than it opened; the strip and swatch keep their distance from the bottom edge.
#pragma once

#include <functional>

#include "wnatom/WnDialogSizer.h"

class HcQuantSizer : public WnDialogSizer {
public:
    // Told how far below their opening place the pictures drawn at the bottom (strip, swatch) now belong.
    using MoveBottomPictures = std::function<void(int32_t dy)>;

    explicit HcQuantSizer(MoveBottomPictures moveBottomPictures);
    // Records every control at its opening place; the panes and the slider's pane must exist.
    void RegisterControls(HWND dialog);

protected:
    void PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) override;

private:
    void PlacePane(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) const;

    MoveBottomPictures moveBottomPictures;
};
