// The saved background colours as the options dialog's combo box shows and edits them: items, matching,
// saving under a name and removing. The list stays in ascending name order and never loses or leaks an entry.
#include "uicore/HcSavedColors.h"

#include <cstring>

#include "common/hcprefs.h"
#include "cvcode2/CvString.h"

const char kSavedColorsTitle[] = "Corvane Halcyne 4";
const char kSaveColorPrompt[] = "Save color as:";
const char kSaveColorDefaultName[] = "untitled";
const char kSavedColorsFullText[] =
    "The saved list holds at most 255 colors. Remove a color before saving another one.";
const char kNoColorToRemoveText[] =
    "The background color is not in the saved list: there is no color to remove. Choose a saved color first.";

namespace {

const char* const kFixedItems[kColorItemFirstSaved] = {"Save Selected Color...", "Remove Color...", "White", "Black"};

bool Matches(const HcColorEntry& entry, HcRgb rgb) {
    return entry.red == rgb.red && entry.green == rgb.green && entry.blue == rgb.blue;
}

uint32_t ListLength(const HcColorEntry* list) {
    uint32_t length = 0;
    for (; list; list = list->next) ++length;
    return length;
}

void InsertByName(HcColorEntry*& list, HcColorEntry* entry) {
    HcColorEntry** link = &list;
    while (*link && CvPStrCompare((*link)->name, entry->name) <= 0) link = &(*link)->next;
    entry->next = *link;
    *link = entry;
}

}  // namespace

std::vector<HcColorComboItem> ColorComboItems(HcColorEntry* list) {
    std::vector<HcColorComboItem> items;
    for (const char* text : kFixedItems) items.push_back({text, nullptr});
    for (HcColorEntry* entry = list; entry; entry = entry->next) items.push_back({CvPStrText(entry->name), entry});
    return items;
}

HcColorItemAction ColorItemAction(int item, bool closing, bool listDropped) {
    if (item >= kColorItemWhite) return closing ? HcColorItemAction::none : HcColorItemAction::applyColor;
    if (item < kColorItemSave) return HcColorItemAction::none;
    if (!closing || !listDropped) return HcColorItemAction::none;
    return item == kColorItemSave ? HcColorItemAction::saveColor : HcColorItemAction::removeColor;
}

int MatchingColorItem(const HcColorEntry* list, HcRgb rgb) {
    if (rgb == HcRgb{255, 255, 255}) return kColorItemWhite;
    if (rgb == HcRgb{0, 0, 0}) return kColorItemBlack;
    int match = kColorItemSave;
    for (int item = kColorItemFirstSaved; list; list = list->next, ++item)
        if (Matches(*list, rgb)) match = item;
    return match;
}

HcColorEntry* SavedColorAtItem(HcColorEntry* list, int item) {
    if (item < kColorItemFirstSaved) return nullptr;
    for (int i = kColorItemFirstSaved; list && i < item; ++i) list = list->next;
    return list;
}

bool IsUsableColorName(const std::string& name) {
    return name.find_first_not_of(" \t") != std::string::npos;
}

HcSaveColorResult SaveColor(HcColorEntry*& list, HcRgb rgb, const HcAskColorName& askName) {
    if (ListLength(list) >= kPrefsMaxListEntries) return HcSaveColorResult::listFull;
    std::string name = kSaveColorDefaultName;
    if (!askName(name)) return HcSaveColorResult::cancelled;
    if (!IsUsableColorName(name)) return HcSaveColorResult::blankName;

    HcColorEntry* entry = NewColorEntry();
    size_t length = name.size() < kColorNameMaxLength ? name.size() : kColorNameMaxLength;
    entry->name[0] = uint8_t(length);
    std::memcpy(entry->name + 1, name.data(), length);
    entry->red = rgb.red;
    entry->green = rgb.green;
    entry->blue = rgb.blue;
    InsertByName(list, entry);
    return HcSaveColorResult::saved;
}

std::string RemoveColorQuestion(const HcColorEntry& entry) {
    return "Are you sure you want to remove the color \"" + CvPStrText(entry.name) + "\" from the saved list?";
}

HcRemoveColorResult RemoveColor(HcColorEntry*& list, HcRgb rgb, const HcConfirm& confirm) {
    HcColorEntry* selected = SavedColorAtItem(list, MatchingColorItem(list, rgb));
    if (!selected) return HcRemoveColorResult::nothingToRemove;
    if (!confirm(RemoveColorQuestion(*selected))) return HcRemoveColorResult::cancelled;
    return RemoveSavedColor(list, selected) ? HcRemoveColorResult::removed : HcRemoveColorResult::nothingToRemove;
}

bool RemoveSavedColor(HcColorEntry*& list, const HcColorEntry* entry) {
    for (HcColorEntry** link = &list; *link; link = &(*link)->next) {
        if (*link != entry) continue;
        HcColorEntry* found = *link;
        *link = found->next;
        delete found;
        return true;
    }
    return false;
}
