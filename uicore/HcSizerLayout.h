// Where a resizable dialog's controls go: each follows the right or bottom edge, or is placed by the subclass.
// The dialog never gets smaller than its client size at attach time; items keep their size.
#pragma once

#include <cstdint>
#include <vector>

#include "uicore/HcUiTypes.h"

enum HcSizerFlags : uint32_t {
    kSizerFollowRight = 1,
    kSizerFollowBottom = 2,
    kSizerCustom = 4,  // placed by PlaceCustom
};

struct HcSizerItem {
    uint32_t flags;
    intptr_t control;   // the control's window; 0 for custom items
    int32_t controlId;  // 0 only for custom items
    HcPixelRect rect;   // in client coordinates at attach time
    intptr_t value1, value2;
};

struct HcSizerPlacement {
    const HcSizerItem* item;
    HcPixelRect rect;
};

// Either grow the window by (growWidth, growHeight) and do nothing else, or move the items as placed.
struct HcSizerOutcome {
    int32_t growWidth = 0, growHeight = 0;
    std::vector<HcSizerPlacement> placements;  // every item but the custom ones, in the order added

    bool MustGrow() const { return growWidth > 0 || growHeight > 0; }
};

class HcSizerLayout {
public:
    virtual ~HcSizerLayout() = default;

    void Attach(int32_t clientWidth, int32_t clientHeight);
    int32_t MinWidth() const { return minWidth; }
    int32_t MinHeight() const { return minHeight; }
    // An item with control id 0 that is not custom cannot be found again: it is logged and left out.
    void AddItem(const HcSizerItem& item);
    const std::vector<HcSizerItem>& Items() const { return items; }
    // Custom items are handed to PlaceCustom here, before the outcome returns.
    HcSizerOutcome OnSize(int32_t clientWidth, int32_t clientHeight);

protected:
    virtual void PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) = 0;

private:
    std::vector<HcSizerItem> items;
    int32_t minWidth = 0, minHeight = 0;
};
