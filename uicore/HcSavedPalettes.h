// The saved palettes as the quantization dialog's palette and base boxes show them, and what "Load" and "Unload"
// do to the list. Saved palette i of the list has listIndex i and is base item i + 2 and palette item i + 2.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/HcGlobals.h"

class CvColorTable;

enum HcBaseBoxItem : int { kBaseItemNone = 0, kBaseItemCustom = 1, kBaseItemFirstSaved = 2 };
enum HcPaletteBoxItem : int { kPaletteItemCustom = 0, kPaletteItemFine = 1, kPaletteItemFirstSaved = 2 };

// "None", "Custom", then every saved palette's name in list order.
std::vector<std::string> BaseBoxItems(const HcPaletteEntry* list);
// "Custom", "Fine", then every saved palette's name in list order.
std::vector<std::string> PaletteBoxItems(const HcPaletteEntry* list);
// The adaptive palette a palette-box item stands for ("Custom" or "Fine"), or null for a saved palette's item.
const char* AdaptivePaletteAt(int item);
// The items the boxes open on for the run's names, the saved palettes numbered: the palette box shows "Fine", the
// named saved palette, or else "Custom" (a name nothing matches reduces adaptively); the base box shows "Custom",
// the named saved palette, or else "None".
int PaletteBoxItemFor(const HcGlobals& globals);
int BaseBoxItemFor(const HcGlobals& globals);
// Numbers the saved palettes 0, 1, 2, ... in list order.
void NumberSavedPalettes(HcPaletteEntry* list);
// The saved palette at that position of the list, or null past its end.
HcPaletteEntry* SavedPaletteAt(HcPaletteEntry* list, uint32_t listIndex);

// The name a palette loaded from `path` is saved under: the last component of the path (extension included),
// cut to what a saved name holds.
std::string SavedPaletteName(const std::string& path);

struct HcLoadedPalette {
    HcPaletteEntry* entry;  // the saved palette that now holds the colours
    bool appended;          // false: a saved palette of that name took the colours instead
};
// Saves `table` under `name` and makes it the palette of the run, with no base palette. The palette is appended
// at the end of the list; when a saved palette already has the name, that one takes the new colours instead,
// because palettes are found by name and a second one of the same name could never be used. A name the boxes
// reserve ("None", "Custom", "Fine") is saved as "<name> (saved)", as the preferences file's palettes are.
HcLoadedPalette AddLoadedPalette(HcGlobals& globals, const std::string& name, const CvColorTable& table);
// Removes and frees `entry` and goes back to the adaptive palette with no base palette; the palettes after it
// move up one place. False, and nothing changed, when `entry` is not in the list.
bool UnloadSavedPalette(HcGlobals& globals, const HcPaletteEntry* entry);
