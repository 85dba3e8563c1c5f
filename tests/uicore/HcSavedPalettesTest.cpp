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

TEST(SavedPalettes, BoxesShowTheFixedItemsThenTheListInOrder) {
    DefaultRun run;
    EXPECT_EQ(BaseBoxItems(run.globals.paletteList), (Items{"None", "Custom", "Netscape", "Grayscale", "System"}));
    EXPECT_EQ(PaletteBoxItems(run.globals.paletteList), (Items{"Custom", "Fine", "Netscape", "Grayscale", "System"}));
    EXPECT_EQ(ListIndexes(run.globals.paletteList), (std::vector<int>{0, 1, 2}));  // the defaults hold 3, 4, 5
    EXPECT_EQ(PascalText(SavedPaletteAt(run.globals.paletteList, 2)->name), "System");
    EXPECT_EQ(SavedPaletteAt(run.globals.paletteList, 3), nullptr);
    EXPECT_EQ(BaseBoxItems(nullptr), (Items{"None", "Custom"}));
}

// Every item of both boxes, its text taken as the run's name, opens the box on that item again; the adaptive items
// name themselves, and a name nothing matches opens on the item that reduces as the name does.
TEST(SavedPalettes, EachItemsNameOpensTheBoxOnThatItem) {
    DefaultRun run;
    const Items palettes = PaletteBoxItems(run.globals.paletteList), bases = BaseBoxItems(run.globals.paletteList);
    for (size_t item = 0; item < palettes.size(); ++item) {
        CvPStrFromC(run.globals.paletteName, palettes[item].c_str());
        EXPECT_EQ(PaletteBoxItemFor(run.globals), int(item)) << palettes[item];
        if (item < kPaletteItemFirstSaved)
            EXPECT_STREQ(AdaptivePaletteAt(int(item)), palettes[item].c_str());
        else
            EXPECT_EQ(AdaptivePaletteAt(int(item)), nullptr);
    }
    for (size_t item = 0; item < bases.size(); ++item) {
        CvPStrFromC(run.globals.basePaletteName, bases[item].c_str());
        EXPECT_EQ(BaseBoxItemFor(run.globals), int(item)) << bases[item];
    }
    const struct {
        const char* name;
        int paletteItem, baseItem;
    } others[] = {{"", kPaletteItemCustom, kBaseItemNone},
                  {"Nowhere", kPaletteItemCustom, kBaseItemNone},
                  {"fine", kPaletteItemCustom, kBaseItemNone},
                  {"Fine", kPaletteItemFine, kBaseItemNone}};  // the base box has no fine palette
    for (const auto& row : others) {
        CvPStrFromC(run.globals.paletteName, row.name);
        CvPStrFromC(run.globals.basePaletteName, row.name);
        EXPECT_EQ(PaletteBoxItemFor(run.globals), row.paletteItem) << row.name;
        EXPECT_EQ(BaseBoxItemFor(run.globals), row.baseItem) << row.name;
    }
}

TEST(SavedPalettes, NameIsTheLastPathComponentCutTo255Bytes) {
    EXPECT_EQ(SavedPaletteName("C:\\Palettes\\Web Safe.ACT"), "Web Safe.ACT");
    EXPECT_EQ(SavedPaletteName("D:web.gif"), "web.gif");
    EXPECT_EQ(SavedPaletteName("C:\\a:b\\c/d.act"), "d.act");
    EXPECT_EQ(SavedPaletteName("plain.act"), "plain.act");
    EXPECT_EQ(SavedPaletteName("C:\\" + std::string(300, 'n') + ".act"), std::string(255, 'n'));
}

TEST(SavedPalettes, LoadAppendsTheColoursAndMakesThemThePaletteWithoutBase) {
    DefaultRun run;
    CvPStrFromC(run.globals.basePaletteName, "Custom");
    HcLoadedPalette loaded = AddLoadedPalette(run.globals, "ten.act", Ramp(9, 30));
    ASSERT_TRUE(loaded.appended);
    EXPECT_EQ(PascalText(run.globals.basePaletteName), "None");
    EXPECT_EQ(PascalText(run.globals.paletteName), "ten.act");
    EXPECT_EQ(PaletteBoxItems(run.globals.paletteList),
              (Items{"Custom", "Fine", "Netscape", "Grayscale", "System", "ten.act"}));
    EXPECT_EQ(loaded.entry, SavedPaletteAt(run.globals.paletteList, 3));
    EXPECT_EQ(loaded.entry->listIndex, 3);
    EXPECT_EQ(loaded.entry->count, 9u);
    EXPECT_EQ(loaded.entry->colors[8][0], 38);
    EXPECT_EQ(loaded.entry->colors[8][1], 46);
    EXPECT_EQ(loaded.entry->colors[8][2], 192);
    EXPECT_EQ(loaded.entry->colors[9][0], 0);  // nothing past the count

    // A GIF without any colour table still gives a saved palette, of no colours.
    HcLoadedPalette empty = AddLoadedPalette(run.globals, "bare.gif", CvColorTable());
    EXPECT_TRUE(empty.appended);
    EXPECT_EQ(empty.entry->count, 0u);
    EXPECT_EQ(empty.entry->listIndex, 4);
}

// A file named as a choice of the boxes would be shadowed by that choice: it is saved under another name, which
// stays the palette of the run and the item the palette box opens on.
TEST(SavedPalettes, LoadingAFileNamedAsAReservedChoiceKeepsItReachable) {
    const struct {
        const char* file;
        const char* saved;
    } rows[] = {{"Fine", "Fine (saved)"}, {"None", "None (saved)"}, {"fine", "fine"}};
    for (const auto& row : rows) {
        DefaultRun run;
        const HcLoadedPalette loaded = AddLoadedPalette(run.globals, row.file, Ramp(3, 1));
        EXPECT_EQ(PascalText(loaded.entry->name), row.saved);
        EXPECT_EQ(PascalText(run.globals.paletteName), row.saved);
        EXPECT_EQ(PaletteBoxItemFor(run.globals), kPaletteItemFirstSaved + 3) << row.file;
    }
}

TEST(SavedPalettes, LoadingANameAlreadySavedReplacesThatPalettesColours) {
    DefaultRun run;
    AddLoadedPalette(run.globals, "web.act", Ramp(4, 10));
    AddLoadedPalette(run.globals, "other.gif", Ramp(2, 90));
    HcLoadedPalette again = AddLoadedPalette(run.globals, "web.act", Ramp(3, 60));
    EXPECT_FALSE(again.appended);
    EXPECT_EQ(again.entry, FindPalette(run.globals, run.globals.paletteName));  // the one the reduction uses
    EXPECT_EQ(again.entry->count, 3u);
    EXPECT_EQ(again.entry->colors[0][0], 60);
    EXPECT_EQ(again.entry->colors[3][0], 0);  // the fourth old colour is gone
    EXPECT_EQ(PaletteBoxItems(run.globals.paletteList),
              (Items{"Custom", "Fine", "Netscape", "Grayscale", "System", "web.act", "other.gif"}));
}

TEST(SavedPalettes, UnloadFreesTheEntryRenumbersTheRestAndGoesBackToAdaptive) {
    DefaultRun run;
    CvPStrFromC(run.globals.paletteName, "Grayscale");
    CvPStrFromC(run.globals.basePaletteName, "System");
    ASSERT_TRUE(UnloadSavedPalette(run.globals, SavedPaletteAt(run.globals.paletteList, 1)));
    EXPECT_EQ(PaletteBoxItems(run.globals.paletteList), (Items{"Custom", "Fine", "Netscape", "System"}));
    EXPECT_EQ(ListIndexes(run.globals.paletteList), (std::vector<int>{0, 1}));
    EXPECT_EQ(PascalText(run.globals.paletteName), "Custom");
    EXPECT_EQ(PascalText(run.globals.basePaletteName), "None");

    // A palette loaded now takes the next free place, not the removed one's old number.
    EXPECT_EQ(AddLoadedPalette(run.globals, "new.act", Ramp(2, 1)).entry->listIndex, 2);

    HcPaletteEntry stranger{};
    EXPECT_FALSE(UnloadSavedPalette(run.globals, &stranger));
    EXPECT_EQ(ListLength(run.globals.paletteList), 3);
    EXPECT_EQ(PascalText(run.globals.paletteName), "new.act");  // nothing changed
    while (run.globals.paletteList) ASSERT_TRUE(UnloadSavedPalette(run.globals, run.globals.paletteList));
    EXPECT_EQ(PaletteBoxItems(run.globals.paletteList), (Items{"Custom", "Fine"}));
    EXPECT_EQ(BaseBoxItems(run.globals.paletteList), (Items{"None", "Custom"}));
}

TEST(SavedPalettes, ALoadedPaletteReachesThePreferencesFileWhenTheRunIsSaved) {
    DefaultRun run;
    AddLoadedPalette(run.globals, "ten.act", Ramp(9, 30));
    UnloadSavedPalette(run.globals, SavedPaletteAt(run.globals.paletteList, 0));
    CvFileLocator location((MakeScratchDir("savedpal") + "/prefs").c_str());
    SavePrefsTo(run.globals, location);

    DefaultRun next;
    LoadPrefsFrom(next.globals, location);
    EXPECT_EQ(PaletteBoxItems(next.globals.paletteList), (Items{"Custom", "Fine", "Grayscale", "System", "ten.act"}));
    EXPECT_EQ(ListIndexes(next.globals.paletteList), (std::vector<int>{0, 1, 2}));
    const HcPaletteEntry* loaded = SavedPaletteAt(next.globals.paletteList, 2);
    EXPECT_EQ(loaded->count, 9u);
    EXPECT_EQ(loaded->colors[8][2], 192);
    EXPECT_EQ(PascalText(next.globals.paletteName), "Custom");
}
