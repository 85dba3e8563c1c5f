// Moves a resizable dialog's controls when its size changes, and keeps it from getting smaller than it opened.
// Controls keep their size and z-order; custom items are placed by the subclass.
#include "wnatom/WnDialogSizer.h"

void WnDialogSizer::Attach(HWND newDialog) {
    dialog = newDialog;
    RECT client{};
    GetClientRect(dialog, &client);
    HcSizerLayout::Attach(client.right, client.bottom);
}

void WnDialogSizer::AddItem(int controlId, uint32_t flags, intptr_t value1, intptr_t value2) {
    HWND control = controlId ? GetDlgItem(dialog, controlId) : nullptr;
    const RECT rect = control ? WnControlRect(dialog, controlId) : RECT{};
    HcSizerLayout::AddItem({flags,
                            reinterpret_cast<intptr_t>(control),
                            controlId,
                            {rect.left, rect.top, rect.bottom, rect.right},
                            value1,
                            value2});
}

void WnDialogSizer::OnSize() {
    // A minimised dialog reports an empty client area; growing it then would restore it behind the user's back.
    if (!dialog || IsIconic(dialog)) return;
    RECT client{};
    GetClientRect(dialog, &client);
    const HcSizerOutcome outcome = HcSizerLayout::OnSize(client.right, client.bottom);
    if (outcome.MustGrow()) {
        RECT frame{};
        GetWindowRect(dialog, &frame);
        SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + outcome.growWidth,
                     frame.bottom - frame.top + outcome.growHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    for (const HcSizerPlacement& placement : outcome.placements)
        SetWindowPos(reinterpret_cast<HWND>(placement.item->control), nullptr, placement.rect.left, placement.rect.top,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(dialog, nullptr, FALSE);
}

RECT WnControlRect(HWND parent, int controlId) {
    RECT rect{};
    if (HWND control = GetDlgItem(parent, controlId)) {
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

void WnInvalidateErasing(HWND dialog, const HcPixelRect& rect) {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(dialog, &area, TRUE);
}
