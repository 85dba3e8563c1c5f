// The saved palettes as the quantization dialog's palette and base boxes show them, and what "Load" and "Unload"
// do to the list. Every entry's listIndex stays equal to its position, so box items and entries never disagree.
#include "uicore/HcSavedPalettes.h"

#include <algorithm>
#include <cstring>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvString.h"

namespace {

std::vector<std::string> BoxItems(std::vector<std::string> items, const HcPaletteEntry* list) {
    for (; list; list = list->next) items.push_back(CvPStrText(list->name));
    return items;
}

void SetColors(HcPaletteEntry& entry, const CvColorTable& table) {
    entry.count = std::min<uint32_t>(table.GetCount(), 256);
    std::memset(entry.colors, 0, sizeof entry.colors);
    if (entry.count) std::memcpy(entry.colors, table.Entries(), 3 * size_t(entry.count));
}

void UseSavedPalette(HcGlobals& globals, const HcPaletteEntry& entry) {
    CvPStrCopy(globals.paletteName, entry.name);
    CvPStrFromC(globals.basePaletteName, kPaletteNone);
}

}  // namespace

std::vector<std::string> BaseBoxItems(const HcPaletteEntry* list) {
    return BoxItems({kPaletteNone, kPaletteCustom}, list);
}

std::vector<std::string> PaletteBoxItems(const HcPaletteEntry* list) {
    return BoxItems({kPaletteCustom, kPaletteFine}, list);
}

const char* AdaptivePaletteAt(int item) {
    if (item == kPaletteItemCustom) return kPaletteCustom;
    if (item == kPaletteItemFine) return kPaletteFine;
    return nullptr;
}

int PaletteBoxItemFor(const HcGlobals& globals) {
    if (CvPStrText(globals.paletteName) == kPaletteFine) return kPaletteItemFine;
    const HcPaletteEntry* named = FindPalette(globals, globals.paletteName);
    return named ? kPaletteItemFirstSaved + int(named->listIndex) : kPaletteItemCustom;
}

int BaseBoxItemFor(const HcGlobals& globals) {
    const std::string name = CvPStrText(globals.basePaletteName);
    if (name == kPaletteCustom) return kBaseItemCustom;
    const HcPaletteEntry* named = FindPalette(globals, globals.basePaletteName);
    return named && name != kPaletteNone ? kBaseItemFirstSaved + int(named->listIndex) : kBaseItemNone;
}

void NumberSavedPalettes(HcPaletteEntry* list) {
    for (uint16_t index = 0; list; list = list->next) list->listIndex = index++;
}

HcPaletteEntry* SavedPaletteAt(HcPaletteEntry* list, uint32_t listIndex) {
    for (; list && listIndex; --listIndex) list = list->next;
    return list;
}

std::string SavedPaletteName(const std::string& path) {
    const size_t separator = path.find_last_of("\\/:");
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    return name.substr(0, 255);
}

HcLoadedPalette AddLoadedPalette(HcGlobals& globals, const std::string& name, const CvColorTable& table) {
    HcStr255 pascal;
    CvPStrFromC(pascal, name.c_str());
    UnreservePaletteName(pascal);
    HcPaletteEntry** link = &globals.paletteList;
    uint16_t position = 0;
    for (; *link; link = &(*link)->next, ++position) {
        if (CvPStrCompare((*link)->name, pascal) != 0) continue;
        SetColors(**link, table);
        UseSavedPalette(globals, **link);
        return {*link, false};
    }
    HcPaletteEntry* entry = NewPaletteEntry();
    CvPStrCopy(entry->name, pascal);
    SetColors(*entry, table);
    entry->listIndex = position;
    *link = entry;
    UseSavedPalette(globals, *entry);
    return {entry, true};
}

bool UnloadSavedPalette(HcGlobals& globals, const HcPaletteEntry* entry) {
    for (HcPaletteEntry** link = &globals.paletteList; *link; link = &(*link)->next) {
        if (*link != entry) continue;
        HcPaletteEntry* found = *link;
        *link = found->next;
        delete found;
        NumberSavedPalettes(globals.paletteList);
        CvPStrFromC(globals.paletteName, kPaletteCustom);
        CvPStrFromC(globals.basePaletteName, kPaletteNone);
        return true;
    }
    return false;
}
