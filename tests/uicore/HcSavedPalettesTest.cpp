// The palette and base boxes over the saved-palette list: their items, the item a run's names open them on, and a
// palette file loaded, loaded again under the same name, or unloaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hcprefs.h"
#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvFile.h"
#include "tests/support/SettingsLists.h"
#include "tests/support/TestPaths.h"
#include "uicore/HcSavedPalettes.h"

namespace {

using Items = std::vector<std::string>;

// Run data with the defaults: palette "Custom", base "None", the three built-in palettes; freed at the end.
struct DefaultRun {
    HcGlobals globals{};
    DefaultRun() {
        SetDefaults(globals);
        NumberSavedPalettes(globals.paletteList);
    }
    ~DefaultRun() {
        FreePaletteList(globals.paletteList);
        FreeColorList(globals.colorList);
    }
};

CvColorTable Ramp(uint32_t count, uint8_t first) {
    CvColorTable table(count);
    for (uint32_t i = 0; i < count; ++i)
        table.SetEntry(i, uint8_t(first + i), uint8_t(first + 2 * i), uint8_t(200 - i));
    return table;
}

std::vector<int> ListIndexes(const HcPaletteEntry* list) {
    std::vector<int> indexes;
    for (; list; list = list->next) indexes.push_back(list->listIndex);
    return indexes;
}

}  // namespace

// Every item of both boxes, its text taken as the run's name, opens the box on that item again; the adaptive items
// name themselves, and a name nothing matches opens on the item that reduces as the name does.
TEST(SavedPalettes, BoxesListTheFixedItemsThenTheSavedOnesAndOpenOnTheRunsNames) {
    DefaultRun run;
    const Items palettes = PaletteBoxItems(run.globals.paletteList), bases = BaseBoxItems(run.globals.paletteList);
    EXPECT_EQ(bases, (Items{"None", "Custom", "Netscape", "Grayscale", "System"}));
    EXPECT_EQ(palettes, (Items{"Custom", "Fine", "Netscape", "Grayscale", "System"}));
    EXPECT_EQ(ListIndexes(run.globals.paletteList), (std::vector<int>{0, 1, 2}));  // the defaults hold 3, 4, 5
    EXPECT_EQ(SavedPaletteAt(run.globals.paletteList, 3), nullptr);
    EXPECT_EQ(BaseBoxItems(nullptr), (Items{"None", "Custom"}));
    for (size_t item = 0; item < palettes.size(); ++item) {
        CvPStrFromC(run.globals.paletteName, palettes[item].c_str());
        CvPStrFromC(run.globals.basePaletteName, bases[item].c_str());
        EXPECT_EQ(PaletteBoxItemFor(run.globals), int(item)) << palettes[item];
        EXPECT_EQ(BaseBoxItemFor(run.globals), int(item)) << bases[item];
        const char* adaptive = AdaptivePaletteAt(int(item));
        EXPECT_EQ(adaptive ? adaptive : "", item < kPaletteItemFirstSaved ? palettes[item] : "");
    }
    const struct {
        const char* name;
        int paletteItem;
    } others[] = {{"", kPaletteItemCustom},
                  {"Nowhere", kPaletteItemCustom},
                  {"fine", kPaletteItemCustom},
                  {"Fine", kPaletteItemFine}};  // the base box has no fine palette
    for (const auto& row : others) {
        CvPStrFromC(run.globals.paletteName, row.name);
        CvPStrFromC(run.globals.basePaletteName, row.name);
        EXPECT_EQ(PaletteBoxItemFor(run.globals), row.paletteItem) << row.name;
        EXPECT_EQ(BaseBoxItemFor(run.globals), kBaseItemNone) << row.name;
    }
}

TEST(SavedPalettes, NameIsTheLastPathComponentCutTo255Bytes) {
    const std::string rows[][2] = {{"C:\\Palettes\\Web Safe.ACT", "Web Safe.ACT"},
                                   {"D:web.gif", "web.gif"},
                                   {"C:\\a:b\\c/d.act", "d.act"},
                                   {"plain.act", "plain.act"},
                                   {"C:\\" + std::string(300, 'n') + ".act", std::string(255, 'n')}};
    for (const auto& row : rows) EXPECT_EQ(SavedPaletteName(row[0]), row[1]);
}

// One run: a palette loaded, a GIF without colours loaded, the first loaded again with other colours, a built-in
// palette unloaded while it is in use, one loaded after that, and at last every palette unloaded.
TEST(SavedPalettes, LoadAppendsOrReplacesByNameAndUnloadRenumbersAndGoesBackToAdaptive) {
    DefaultRun run;
    HcGlobals& globals = run.globals;
    CvPStrFromC(globals.basePaletteName, "Custom");
    const HcLoadedPalette loaded = AddLoadedPalette(globals, "ten.act", Ramp(9, 30));
    ASSERT_TRUE(loaded.appended);
    EXPECT_EQ(PascalText(globals.basePaletteName), "None");
    EXPECT_EQ(PascalText(globals.paletteName), "ten.act");
    EXPECT_EQ(loaded.entry, SavedPaletteAt(globals.paletteList, 3));
    EXPECT_EQ(loaded.entry->listIndex, 3);
    EXPECT_EQ(loaded.entry->count, 9u);
    EXPECT_EQ(std::vector<int>(loaded.entry->colors[8], loaded.entry->colors[8] + 3), (std::vector<int>{38, 46, 192}));
    EXPECT_EQ(loaded.entry->colors[9][0], 0);  // nothing past the count

    const HcLoadedPalette empty = AddLoadedPalette(globals, "bare.gif", CvColorTable());
    EXPECT_TRUE(empty.appended);
    EXPECT_EQ(empty.entry->count, 0u);
    EXPECT_EQ(empty.entry->listIndex, 4);

    const HcLoadedPalette again = AddLoadedPalette(globals, "ten.act", Ramp(3, 60));
    EXPECT_FALSE(again.appended);
    EXPECT_EQ(again.entry, FindPalette(globals, globals.paletteName));  // the one the reduction uses
    EXPECT_EQ(again.entry->count, 3u);
    EXPECT_EQ(again.entry->colors[0][0], 60);
    EXPECT_EQ(again.entry->colors[3][0], 0);  // the fourth old colour is gone
    EXPECT_EQ(PaletteBoxItems(globals.paletteList),
              (Items{"Custom", "Fine", "Netscape", "Grayscale", "System", "ten.act", "bare.gif"}));

    CvPStrFromC(globals.paletteName, "Grayscale");
    CvPStrFromC(globals.basePaletteName, "System");
    ASSERT_TRUE(UnloadSavedPalette(globals, SavedPaletteAt(globals.paletteList, 1)));
    EXPECT_EQ(PaletteBoxItems(globals.paletteList),
              (Items{"Custom", "Fine", "Netscape", "System", "ten.act", "bare.gif"}));
    EXPECT_EQ(ListIndexes(globals.paletteList), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(PascalText(globals.paletteName), "Custom");
    EXPECT_EQ(PascalText(globals.basePaletteName), "None");
    // A palette loaded now takes the next free place, not the removed one's old number.
    EXPECT_EQ(AddLoadedPalette(globals, "new.act", Ramp(2, 1)).entry->listIndex, 4);

    HcPaletteEntry stranger{};
    EXPECT_FALSE(UnloadSavedPalette(globals, &stranger));
    EXPECT_EQ(ListLength(globals.paletteList), 5);
    EXPECT_EQ(PascalText(globals.paletteName), "new.act");  // nothing changed
    // The list as the preferences file keeps it, numbers included, for the next run.
    CvFileLocator location((MakeScratchDir("savedpal") + "/prefs").c_str());
    SavePrefsTo(globals, location);
    DefaultRun next;
    LoadPrefsFrom(next.globals, location);
    EXPECT_EQ(PaletteBoxItems(next.globals.paletteList), PaletteBoxItems(globals.paletteList));
    EXPECT_EQ(ListIndexes(next.globals.paletteList), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(SavedPaletteAt(next.globals.paletteList, 2)->colors[2][2], 198);  // "ten.act" as loaded again

    while (globals.paletteList) ASSERT_TRUE(UnloadSavedPalette(globals, globals.paletteList));
    EXPECT_EQ(PaletteBoxItems(globals.paletteList), (Items{"Custom", "Fine"}));
    EXPECT_EQ(BaseBoxItems(globals.paletteList), (Items{"None", "Custom"}));
}

// A file named as a choice of the boxes would be shadowed by that choice: it is saved under another name, which
// stays the palette of the run and the item the palette box opens on.
TEST(SavedPalettes, LoadingAFileNamedAsAReservedChoiceKeepsItReachable) {
    const char* rows[][2] = {{"Fine", "Fine (saved)"}, {"None", "None (saved)"}, {"fine", "fine"}};
    for (const auto& row : rows) {
        DefaultRun run;
        const HcLoadedPalette loaded = AddLoadedPalette(run.globals, row[0], Ramp(3, 1));
        EXPECT_EQ(PascalText(loaded.entry->name), row[1]);
        EXPECT_EQ(PascalText(run.globals.paletteName), row[1]);
        EXPECT_EQ(PaletteBoxItemFor(run.globals), kPaletteItemFirstSaved + 3) << row[0];
    }
}
