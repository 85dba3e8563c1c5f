// The mouse cursors of the preview panes: the system arrow and five drawn for the plug-in's tools.
// An index outside the set, or a cursor its resource could not give, shows as the arrow.
#pragma once

#include <windows.h>

enum HcCursorIndex : int {
    kHcCursorArrow = 0,
    kHcCursorEdgeBrush = 1,
    kHcCursorPicker = 2,
    kHcCursorClosedHand = 3,
    kHcCursorOpenHand = 4,
    kHcCursorPencil = 5,
    kHcCursorCount = 6,
};

class HcCursors {
public:
    // Loads the tool cursors from the module's resources. Shared cursors: nothing to free.
    explicit HcCursors(HINSTANCE module);

    HCURSOR Get(int index) const;
    // Makes the cursor the current one.
    void Show(int index) const { SetCursor(Get(index)); }

private:
    HCURSOR cursors[kHcCursorCount] = {};
};
