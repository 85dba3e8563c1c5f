// The cursor set: index 0 the system arrow, 1..5 the tool cursors from the module's resources.
// Every slot holds a usable cursor, so a pane can always show one.
#include "win/HcCursors.h"

#include "win/resource_ids.h"

namespace {
constexpr int kToolCursorIds[kHcCursorCount] = {
    0, IDCUR_EDGE_BRUSH, IDCUR_PICKER, IDCUR_CLOSED_HAND, IDCUR_OPEN_HAND, IDCUR_PENCIL};
}  // namespace

HcCursors::HcCursors(HINSTANCE module) {
    const HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    cursors[kHcCursorArrow] = arrow;
    for (int index = 1; index < kHcCursorCount; ++index) {
        const HCURSOR loaded = LoadCursorW(module, MAKEINTRESOURCEW(kToolCursorIds[index]));
        cursors[index] = loaded ? loaded : arrow;
    }
}

HCURSOR HcCursors::Get(int index) const {
    return index >= 0 && index < kHcCursorCount ? cursors[index] : cursors[kHcCursorArrow];
}
