// The preferences file: where it lives, how it is read (validated, silently falling back to the defaults)
// and how it is written (field by field, little-endian, replacing the old file only once the new one is complete).
#pragma once

#include <cstdint>

#include "common/HcGlobals.h"

class CvFileLocator;

// File layout: a u32 offset of the lists, the settings record, the optional fields, then the two lists.
constexpr uint32_t kPrefsSettingsEnd = 540;   // header word and settings record: every file has them
constexpr uint32_t kPrefsListsOffset = 1088;  // where this version's lists start
constexpr uint32_t kPrefsColorRecordSize = 268;
constexpr uint32_t kPrefsPaletteRecordSize = 1036;
constexpr uint32_t kPrefsMaxListEntries = 255;  // what a list's count byte can say

// The preferences file in the user's configuration folder, under "Corvane"; missing folders on the way are made.
// Leaves `location` without a path when the system names no such folder.
void GetPrefsLocation(CvFileLocator& location);

// Settings, names, flags, dialog rectangles and both lists from the file; the defaults when anything fails.
// Raises only what SetDefaults raises (out of memory).
void LoadPrefs(HcCallRecord& record);
void LoadPrefsFrom(HcGlobals& globals, const CvFileLocator& location);

// Writes the file; raises the file layer's error on failure, leaving any old file as it was. A value the loader
// would refuse (a replayed dither above 10) is stored in range, so what one run saves always loads at the next.
// Lists longer than the count byte can say are saved up to their first 255 entries.
void SavePrefs(HcCallRecord& record);
void SavePrefsTo(const HcGlobals& globals, const CvFileLocator& location);
