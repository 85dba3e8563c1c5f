// The palette and base boxes over the saved-palette list: their items, the item a run's names open them on, and a
// palette file loaded, loaded again under the same name, or unloaded, walked as one run whose states are the lines
// of tests/data/transcripts/uicore/SavedPalettes.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hcprefs.h"
#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvFile.h"
#include "tests/support/SettingsLists.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Transcript.h"
#include "uicore/HcSavedPalettes.h"

namespace {

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

// The palette box's items; per saved palette "number:count first red/last blue, red past the count" (0: nothing
// left there; "-" for a full palette); the run's palette and base names and the items the boxes open on for them.
void Log(Transcript& t, const std::string& step, const HcGlobals& globals) {
    std::vector<std::string> saved;
    for (const HcPaletteEntry* entry = globals.paletteList; entry; entry = entry->next) {
        const uint32_t last = entry->count ? entry->count - 1 : 0;
        saved.push_back(std::to_string(entry->listIndex) + ":" + std::to_string(entry->count) + " " +
                        std::to_string(entry->colors[0][0]) + "/" + std::to_string(entry->colors[last][2]) + " " +
                        (entry->count < 256 ? std::to_string(entry->colors[entry->count][0]) : "-"));
    }
    t(step, "|", Transcript::Listed(PaletteBoxItems(globals.paletteList)), "|", Transcript::Listed(saved), "|",
      PascalText(globals.paletteName), PaletteBoxItemFor(globals), "|", PascalText(globals.basePaletteName),
      BaseBoxItemFor(globals));
}

}  // namespace

// Every item of both boxes, its text taken as the run's name, opens the box on that item again; the adaptive items
// name themselves, and a name nothing matches opens on the item that reduces as the name does (the base box has
// no "Fine").
TEST(SavedPalettes, BoxesOpenOnTheRunsNamesAndLoadUnloadAndTheNextRunKeepTheList) {
    Transcript t("uicore/SavedPalettes");
    DefaultRun run;
    HcGlobals& globals = run.globals;
    const std::vector<std::string> palettes = PaletteBoxItems(globals.paletteList);
    t("base box", Transcript::Listed(BaseBoxItems(globals.paletteList)), "| no list",
      Transcript::Listed(BaseBoxItems(nullptr)), "| past the end", SavedPaletteAt(globals.paletteList, 3) != nullptr);
    for (const char* name : {"", "Nowhere", "fine", "Fine", "Custom", "None", "Netscape", "Grayscale", "System"}) {
        CvPStrFromC(globals.paletteName, name);
        CvPStrFromC(globals.basePaletteName, name);
        Log(t, std::string("named ") + name, globals);
    }
    for (int item = 0; item < int(palettes.size()); ++item) {
        const char* adaptive = AdaptivePaletteAt(item);
        t("item", item, "adaptive", adaptive ? adaptive : "-");
    }
    for (const std::string& path : {std::string("C:\\Palettes\\Web Safe.ACT"), std::string("D:web.gif"),
                                    std::string("C:\\a:b\\c/d.act"), std::string("plain.act")})
        t("name of", path, "is", SavedPaletteName(path));
    EXPECT_EQ(SavedPaletteName("C:\\" + std::string(300, 'n') + ".act"), std::string(255, 'n'));

    // One run: a palette loaded, a GIF without colours loaded, the first loaded again with other colours, a
    // built-in palette unloaded while it is in use, one loaded after that, and at last every palette unloaded.
    CvPStrFromC(globals.basePaletteName, "Custom");
    const auto load = [&](const char* name, const CvColorTable& table) {
        const HcLoadedPalette loaded = AddLoadedPalette(globals, name, table);
        Log(t, std::string(loaded.appended ? "appended " : "replaced ") + name, globals);
        EXPECT_EQ(loaded.entry, FindPalette(globals, globals.paletteName));  // the one the reduction uses
    };
    load("ten.act", Ramp(9, 30));
    load("bare.gif", CvColorTable());
    load("ten.act", Ramp(3, 60));  // the fourth old colour is gone
    CvPStrFromC(globals.paletteName, "Grayscale");
    CvPStrFromC(globals.basePaletteName, "System");
    Log(t, "in use: Grayscale on System", globals);
    ASSERT_TRUE(UnloadSavedPalette(globals, SavedPaletteAt(globals.paletteList, 1)));
    Log(t, "unloaded Grayscale", globals);
    load("new.act", Ramp(2, 1));  // the next free place, not the removed one's old number
    HcPaletteEntry stranger{};
    EXPECT_FALSE(UnloadSavedPalette(globals, &stranger));
    Log(t, "unloaded a stranger", globals);

    // The list as the preferences file keeps it, numbers included, for the next run.
    CvFileLocator location((MakeScratchDir("savedpal") + "/prefs").c_str());
    SavePrefsTo(globals, location);
    DefaultRun next;
    LoadPrefsFrom(next.globals, location);
    Log(t, "the next run", next.globals);

    while (globals.paletteList) ASSERT_TRUE(UnloadSavedPalette(globals, globals.paletteList));
    Log(t, "all unloaded", globals);
    t("base box", Transcript::Listed(BaseBoxItems(globals.paletteList)));

    // A file named as a choice of the boxes would be shadowed by that choice: it is saved under another name,
    // which stays the palette of the run and the item the palette box opens on.
    for (const char* name : {"Fine", "None", "fine"}) {
        DefaultRun fresh;
        AddLoadedPalette(fresh.globals, name, Ramp(3, 1));
        Log(t, std::string("loaded ") + name, fresh.globals);
    }
}
