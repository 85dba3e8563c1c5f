// The saved background colours as the options dialog's combo box shows and edits them: items, matching,
// saving under a name and removing. The list stays in ascending name order and never loses or leaks an entry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/hcsettings.h"
#include "uicore/HcUiTypes.h"

enum HcColorComboItemNumber : int {
    kColorItemSave = 0,
    kColorItemRemove = 1,
    kColorItemWhite = 2,
    kColorItemBlack = 3,
    kColorItemFirstSaved = 4,  // then one item per saved colour, in list order
};

extern const char kSavedColorsTitle[];      // "Corvane Halcyne 4"
extern const char kSaveColorPrompt[];       // "Save color as:"
extern const char kSaveColorDefaultName[];  // "untitled"
extern const char kSavedColorsFullText[];
constexpr size_t kColorNameMaxLength = 255;  // what a saved name (Str255) holds

struct HcColorComboItem {
    std::string text;
    HcColorEntry* entry;  // null for the four fixed items
};

std::vector<HcColorComboItem> ColorComboItems(HcColorEntry* list);

enum class HcColorItemAction { none, applyColor, saveColor, removeColor };
// What a selection in the list does. A colour applies as soon as it is selected. "Save Selected Color..." and
// "Remove Color..." act only when the dropped list closes on them (a click, or Enter in the open list), never while
// the keys or the wheel move through the closed list (which may pass over them on the way to a colour).
// `closing`: the list tells that the selection is final (CBN_SELENDOK); otherwise that it changed.
HcColorItemAction ColorItemAction(int item, bool closing, bool listDropped);
// 2 for white, 3 for black, else the item of the last saved colour equal to `rgb`, else 0.
int MatchingColorItem(const HcColorEntry* list, HcRgb rgb);
// The saved colour shown as `item`, or null for a fixed item or a number past the list.
HcColorEntry* SavedColorAtItem(HcColorEntry* list, int item);

// A name that would show as a blank item is refused; a name dialog keeps its OK button disabled for it.
bool IsUsableColorName(const std::string& name);

enum class HcSaveColorResult { saved, cancelled, blankName, listFull };
// Shows the name box preset to `name`; returns false on Cancel.
using HcAskColorName = std::function<bool(std::string& name)>;
// Asks for a name and inserts a new entry with `rgb` in name order: names compare as bytes (case matters, a
// prefix sorts first), and a name already saved gets a second entry after the ones it equals, so a colour found
// by name before is still the one found. Names are cut to 255 bytes. A full list (what the preferences file
// holds) asks nothing and saves nothing.
HcSaveColorResult SaveColor(HcColorEntry*& list, HcRgb rgb, const HcAskColorName& askName);

std::string RemoveColorQuestion(const HcColorEntry& entry);
extern const char kNoColorToRemoveText[];
// Shows the question; returns true on OK.
using HcConfirm = std::function<bool(const std::string& question)>;
enum class HcRemoveColorResult { removed, cancelled, nothingToRemove };
// Removes the saved colour the combo shows as selected for `rgb` after asking. White, black and a colour not in
// the list have nothing to remove: nothing is asked.
HcRemoveColorResult RemoveColor(HcColorEntry*& list, HcRgb rgb, const HcConfirm& confirm);
// Unlinks and frees exactly `entry`; false when it is not in the list.
bool RemoveSavedColor(HcColorEntry*& list, const HcColorEntry* entry);
