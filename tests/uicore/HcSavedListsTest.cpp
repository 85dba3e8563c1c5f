// The saved lists as the dialogs' boxes show them, each walked as one session: the saved-colour box (its items, the
// item a colour selects, saving under a typed name in byte order, removal after asking, a full list, which selections
// act) and the palette and base boxes (their items, the item a run's names open them on, a palette file loaded,
// loaded again under the same name, or unloaded). The steps and their reviewed outcomes are
// the lines of tests/data/transcripts/uicore/SavedColors.txt and SavedPalettes.txt.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvString.h"
#include "tests/support/SettingsLists.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcSavedColors.h"
#include "uicore/HcSavedPalettes.h"

namespace {

const char* const kSaveResults[] = {"saved", "cancelled", "blank name", "list full"};
const char* const kRemoveResults[] = {"removed", "cancelled", "nothing to remove"};
const char* const kActions[] = {"none", "apply", "save", "remove"};

// The box's items (saved ones with their colour; a long name as its start and length; past the 12th item their
// count), then the item each probe colour selects.
std::string ColorState(HcColorEntry* list) {
    std::vector<std::string> items;
    for (const HcColorComboItem& item : ColorComboItems(list)) {
        if (items.size() == 12) items.push_back("...");
        if (items.size() > 12) continue;
        std::ostringstream text;
        text << (item.text.size() > 30 ? item.text.substr(0, 3) + "..." + std::to_string(item.text.size()) : item.text);
        if (item.entry) text << HcRgb{item.entry->red, item.entry->green, item.entry->blue};
        items.push_back(text.str());
    }
    std::vector<int> selected;
    for (const HcRgb rgb : {HcRgb{255, 255, 255}, HcRgb{0, 0, 0}, HcRgb{1, 2, 3}, HcRgb{0, 128, 128}, HcRgb{3, 2, 1}})
        selected.push_back(MatchingColorItem(list, rgb));
    return Transcript::Line("|", ListLength(list), "saved:", Transcript::Listed(items),
                            "| white, black, 010203, 008080, 030201 select", Transcript::Listed(selected));
}

CvColorTable Ramp(uint32_t count, uint8_t first) {
    CvColorTable table(count);
    for (uint32_t i = 0; i < count; ++i)
        table.SetEntry(i, uint8_t(first + i), uint8_t(first + 2 * i), uint8_t(200 - i));
    return table;
}

// The palette box's items; per saved palette "number:count first red/last blue, red past the count" (0: nothing
// left there; "-" for a full palette); the run's palette and base names and the items the boxes open on for them.
std::string PaletteState(const HcGlobals& globals) {
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

// White and black select their fixed items even when saved under a name; else the last saved equal colour. Names
// are kept as typed, cut to 255 bytes, and inserted in byte order after any entry of the same name, so lookups by
// name keep finding the colour saved first. The preferences file holds 255 saved colours. Colours apply whenever
// they are selected; the two commands only when a dropped list closes on them. Every item of both palette boxes,
// its text taken as the run's name, opens the box on that item again; the adaptive items name themselves, and a name
// nothing matches opens on the item that reduces as the name does (the base box has no "Fine"). A file named as a
// choice of the boxes would be shadowed by that choice: it is saved under another name, which stays the palette of
// the run and the item the palette box opens on.
TEST(SavedLists, ColoursSaveRemoveAndSelectPalettesLoadAndUnload) {
    HcColorEntry* list = nullptr;
    // Typed names that are no single word of a step.
    const std::map<std::string, std::string> typed = {
        {"(empty)", ""}, {"(blanks)", "  \t"}, {"(long)", std::string(300, 'B')}};
    // Run data with the defaults (palette "Custom", base "None", the three built-in palettes) numbered as the boxes
    // list them.
    OwnedGlobals globals;
    NumberSavedPalettes(globals.paletteList);
    const auto act = [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const auto rgb = [&](size_t i) { return HcRgb{uint8_t(step(i)), uint8_t(step(i + 1)), uint8_t(step(i + 2))}; };
        if (op == "append") {
            AppendColor(list, step.words.at(1).c_str(), uint8_t(step(2)), uint8_t(step(3)), uint8_t(step(4)));
            return ColorState(list);
        }
        if (op == "save" || op == "save-cancel") {  // the typed name, the colour
            std::string preset = "(not asked)";
            const HcSaveColorResult result = SaveColor(list, rgb(2), [&](std::string& name) {
                preset = name;
                name = typed.count(step.words[1]) ? typed.at(step.words[1]) : step.words[1];
                return op == "save";
            });
            return Transcript::Line(kSaveResults[int(result)] + std::string(", asked"), preset, ColorState(list));
        }
        if (op == "remove" || op == "remove-cancel") {
            std::string question = "(nothing asked)";
            const HcRemoveColorResult result = RemoveColor(list, rgb(1), [&](const std::string& text) {
                question = text;
                return op == "remove";
            });
            return Transcript::Line(kRemoveResults[int(result)] + std::string(","), question, ColorState(list));
        }
        if (op == "remove-entry") {  // by its place in the list, or one not in it
            HcColorEntry stranger{}, *entry = list;
            for (int i = 0; i < step(1); ++i) entry = entry ? entry->next : nullptr;
            const bool removed = RemoveSavedColor(list, step(1) < 0 ? &stranger : entry);
            return Transcript::Line(removed, ColorState(list));
        }
        if (op == "fill") {
            while (ListLength(list) < 255) AppendColor(list, "~", 0, 0, 0);
            return ColorState(list);
        }
        if (op == "entry-at") {
            const HcColorEntry* entry = SavedColorAtItem(list, step(1));
            return entry ? PascalText(entry->name) : "none";
        }
        if (op == "matching-empty") return std::to_string(MatchingColorItem(nullptr, rgb(1)));
        if (op == "acts")  // item, closing, list dropped
            return kActions[int(ColorItemAction(step(1), step(2), step(3)))];
        if (op == "boxes")
            return Transcript::Line("base", Transcript::Listed(BaseBoxItems(globals.paletteList)), "| no list",
                                    Transcript::Listed(BaseBoxItems(nullptr)), "| past the end",
                                    SavedPaletteAt(globals.paletteList, 3) != nullptr);
        if (op == "named" || op == "use") {  // palette and base the same name, or palette then base
            CvPStrFromC(globals.paletteName, (op == "named" ? Typed(step) : step.words.at(1)).c_str());
            CvPStrFromC(globals.basePaletteName, (op == "named" ? Typed(step) : step.words.at(2)).c_str());
            return PaletteState(globals);
        }
        if (op == "adaptive") return AdaptivePaletteAt(step(1)) ? AdaptivePaletteAt(step(1)) : "-";
        if (op == "name-of") return SavedPaletteName(Typed(step));
        if (op == "load") {  // name, colours, first red; the loaded palette becomes the one the reduction uses
            const std::string name = step.words.at(1);
            const HcLoadedPalette loaded = AddLoadedPalette(globals, name, Ramp(uint32_t(step(2)), uint8_t(step(3))));
            EXPECT_EQ(loaded.entry, FindPalette(globals, globals.paletteName));
            return Transcript::Line(loaded.appended ? "appended" : "replaced", PaletteState(globals));
        }
        if (op == "unload") {  // by list number, or one not in the list
            HcPaletteEntry stranger{};
            const bool unloaded = UnloadSavedPalette(
                globals, step(1) < 0 ? &stranger : SavedPaletteAt(globals.paletteList, uint32_t(step(1))));
            return Transcript::Line(unloaded, PaletteState(globals));
        }
        if (op == "unload-all") {
            while (globals.paletteList) EXPECT_TRUE(UnloadSavedPalette(globals, globals.paletteList));
            return PaletteState(globals);
        }
        return "";
    };
    for (const char* name : {"uicore/SavedColors", "uicore/SavedPalettes"}) Transcript::Replay(name, act);
    FreeColorList(list);
    EXPECT_EQ(SavedPaletteName("C:\\" + std::string(300, 'n') + ".act"), std::string(255, 'n'));
}
