// Where a resizable dialog's controls go: each follows the right or bottom edge, or is placed by the subclass.
// The dialog never gets smaller than its client size at attach time; items keep their size.
#include "uicore/HcSizerLayout.h"

#include <algorithm>

#include "cvcode2/CvLog.h"

void HcSizerLayout::Attach(int32_t clientWidth, int32_t clientHeight) {
    minWidth = clientWidth;
    minHeight = clientHeight;
}

void HcSizerLayout::AddItem(const HcSizerItem& item) {
    if (item.controlId == 0 && !(item.flags & kSizerCustom)) {
        Log(kLogWarning, "sizer item without a control id left out");
        return;
    }
    items.push_back(item);
}

HcSizerOutcome HcSizerLayout::OnSize(int32_t clientWidth, int32_t clientHeight) {
    HcSizerOutcome outcome;
    outcome.growWidth = std::max(0, minWidth - clientWidth);
    outcome.growHeight = std::max(0, minHeight - clientHeight);
    if (outcome.MustGrow()) return outcome;

    int32_t dx = clientWidth - minWidth, dy = clientHeight - minHeight;
    for (const HcSizerItem& item : items) {
        if (item.flags & kSizerCustom) {
            PlaceCustom(item, clientWidth, clientHeight);
            continue;
        }
        HcPixelRect rect = item.rect;
        int32_t moveX = item.flags & kSizerFollowRight ? dx : 0, moveY = item.flags & kSizerFollowBottom ? dy : 0;
        outcome.placements.push_back(
            {&item, {rect.left + moveX, rect.top + moveY, rect.bottom + moveY, rect.right + moveX}});
    }
    return outcome;
}
