// The combo box of saved background colours: its items, the selection matching a colour, saving the colour under
// a name asked for in a dialog, and removing a saved colour after a question. The combo always shows the list.
#pragma once

#include <windows.h>

#include "common/hcsettings.h"
#include "uicore/HcSavedColors.h"

namespace WnHcColorPopup {

// Items "Save Selected Color...", "Remove Color...", "White", "Black", then one per saved colour in list order
// (its entry as the item's data); then the item matching `rgb` is selected.
void Rebuild(HcColorEntry* list, HWND combo, HcRgb rgb);
// "White" for white, "Black" for black, else the last saved colour equal to `rgb`, else item 0.
void SelectMatching(HcColorEntry* list, HWND combo, HcRgb rgb);
// Asks for a name (dialog 101, preset "untitled", at most 255 characters) and saves `rgb` under it in name
// order. Returns whether a colour was saved; the combo is rebuilt either way, so it never stays on item 0.
bool SaveColor(HINSTANCE module, HWND owner, HWND combo, HcColorEntry*& list, HcRgb rgb);
// Asks once whether to remove the saved colour the combo shows for `rgb`; OK removes exactly that entry. With no
// saved colour to remove, says so. Returns whether an entry was removed; the combo is rebuilt either way.
bool RemoveColor(HWND owner, HWND combo, HcColorEntry*& list, HcRgb rgb);

}  // namespace WnHcColorPopup
