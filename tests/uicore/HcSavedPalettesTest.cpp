// The palette and base boxes over the saved-palette list: their items, the item a run's names open them on, and a
// palette file loaded, loaded again under the same name, or unloaded, walked as one run. The steps and their
// reviewed outcomes are the lines of tests/data/transcripts/uicore/SavedPalettes.txt.
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

// Run data with the defaults (palette "Custom", base "None", the three built-in palettes) numbered as the boxes
// list them.
struct DefaultRun : OwnedGlobals {
    DefaultRun() { NumberSavedPalettes(paletteList); }
};

CvColorTable Ramp(uint32_t count, uint8_t first) {
    CvColorTable table(count);
    for (uint32_t i = 0; i < count; ++i)
        table.SetEntry(i, uint8_t(first + i), uint8_t(first + 2 * i), uint8_t(200 - i));
    return table;
}

// The palette box's items; per saved palette "number:count first red/last blue, red past the count" (0: nothing
// left there; "-" for a full palette); the run's palette and base names and the items the boxes open on for them.
std::string State(const HcGlobals& globals) {
    std::vector<std::string> saved;
    for (const HcPaletteEntry* entry = globals.paletteList; entry; entry = entry->next) {
        const uint32_t last = entry->count ? entry->count - 1 : 0;
        saved.push_back(std::to_string(entry->listIndex) + ":" + std::to_string(entry->count) + " " +
                        std::to_string(entry->colors[0][0]) + "/" + std::to_string(entry->colors[last][2]) + " " +
                        (entry->count < 256 ? std::to_string(entry->colors[entry->count][0]) : "-"));
    }
    return Transcript::Line("|", Transcript::Listed(PaletteBoxItems(globals.paletteList)), "|",
                            Transcript::Listed(saved), "|", PascalText(globals.paletteName), PaletteBoxItemFor(globals),
                            "|", PascalText(globals.basePaletteName), BaseBoxItemFor(globals));
}

// The words of a step after the first, as typed ("(empty)" for nothing).
std::string Typed(const Transcript::Step& step) {
    std::string text;
    for (size_t i = 1; i < step.words.size(); ++i) text += (i > 1 ? " " : "") + step.words[i];
    return text == "(empty)" ? "" : text;
}

}  // namespace

// Every item of both boxes, its text taken as the run's name, opens the box on that item again; the adaptive items
// name themselves, and a name nothing matches opens on the item that reduces as the name does (the base box has
// no "Fine"). A file named as a choice of the boxes would be shadowed by that choice: it is saved under another
// name, which stays the palette of the run and the item the palette box opens on.
TEST(SavedPalettes, BoxesOpenOnTheRunsNamesAndLoadUnloadAndTheNextRunKeepTheList) {
    DefaultRun globals;
    const std::string prefs = MakeScratchDir("savedpal") + "/prefs";
    Transcript::Replay("uicore/SavedPalettes", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        if (op == "boxes")
            return Transcript::Line("base", Transcript::Listed(BaseBoxItems(globals.paletteList)), "| no list",
                                    Transcript::Listed(BaseBoxItems(nullptr)), "| past the end",
                                    SavedPaletteAt(globals.paletteList, 3) != nullptr);
        if (op == "named" || op == "use") {  // palette and base the same name, or palette then base
            CvPStrFromC(globals.paletteName, (op == "named" ? Typed(step) : step.words.at(1)).c_str());
            CvPStrFromC(globals.basePaletteName, (op == "named" ? Typed(step) : step.words.at(2)).c_str());
            return State(globals);
        }
        if (op == "adaptive") return AdaptivePaletteAt(step(1)) ? AdaptivePaletteAt(step(1)) : "-";
        if (op == "name-of") return SavedPaletteName(Typed(step));
        if (op == "load") {  // name, colours, first red; the loaded palette becomes the one the reduction uses
            const std::string name = step.words.at(1);
            const HcLoadedPalette loaded = AddLoadedPalette(globals, name, Ramp(uint32_t(step(2)), uint8_t(step(3))));
            EXPECT_EQ(loaded.entry, FindPalette(globals, globals.paletteName));
            return Transcript::Line(loaded.appended ? "appended" : "replaced", State(globals));
        }
        if (op == "unload") {  // by list number, or one not in the list
            HcPaletteEntry stranger{};
            const bool unloaded = UnloadSavedPalette(
                globals, step(1) < 0 ? &stranger : SavedPaletteAt(globals.paletteList, uint32_t(step(1))));
            return Transcript::Line(unloaded, State(globals));
        }
        if (op == "unload-all") {
            while (globals.paletteList) EXPECT_TRUE(UnloadSavedPalette(globals, globals.paletteList));
            return State(globals);
        }
        if (op == "next-run") {  // the list as the preferences file keeps it, numbers included
            CvFileLocator location(prefs.c_str());
            SavePrefsTo(globals, location);
            DefaultRun next;
            LoadPrefsFrom(next, location);
            return State(next);
        }
        if (op == "load-fresh") {
            DefaultRun fresh;
            AddLoadedPalette(fresh, step.words.at(1), Ramp(3, 1));
            return State(fresh);
        }
        return "";
    });
    EXPECT_EQ(SavedPaletteName("C:\\" + std::string(300, 'n') + ".act"), std::string(255, 'n'));
}
