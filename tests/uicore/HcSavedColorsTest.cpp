// The saved-colour box walked as one session: its items, the item a colour selects, saving under a typed name in
// byte order, removal after asking, a full list, and which selections act. The steps and their reviewed outcomes
// are the lines of tests/data/transcripts/uicore/SavedColors.txt.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/SettingsLists.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcSavedColors.h"

namespace {

const char* const kSaveResults[] = {"saved", "cancelled", "blank name", "list full"};
const char* const kRemoveResults[] = {"removed", "cancelled", "nothing to remove"};
const char* const kActions[] = {"none", "apply", "save", "remove"};

// The box's items (saved ones with their colour; a long name as its start and length; past the 12th item their
// count), then the item each probe colour selects.
std::string State(HcColorEntry* list) {
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

}  // namespace

// White and black select their fixed items even when saved under a name; else the last saved equal colour. Names
// are kept as typed, cut to 255 bytes, and inserted in byte order after any entry of the same name, so lookups by
// name keep finding the colour saved first. The preferences file holds 255 saved colours. Colours apply whenever
// they are selected; the two commands only when a dropped list closes on them.
TEST(SavedColors, SaveRemoveAndSelectWalk) {
    HcColorEntry* list = nullptr;
    // Typed names that are no single word of a step.
    const std::map<std::string, std::string> typed = {
        {"(empty)", ""}, {"(blanks)", "  \t"}, {"(long)", std::string(300, 'B')}};
    Transcript::Replay("uicore/SavedColors", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const auto rgb = [&](size_t i) { return HcRgb{uint8_t(step(i)), uint8_t(step(i + 1)), uint8_t(step(i + 2))}; };
        if (op == "append") {
            AppendColor(list, step.words.at(1).c_str(), uint8_t(step(2)), uint8_t(step(3)), uint8_t(step(4)));
            return State(list);
        }
        if (op == "save" || op == "save-cancel") {  // the typed name, the colour
            std::string preset = "(not asked)";
            const HcSaveColorResult result = SaveColor(list, rgb(2), [&](std::string& name) {
                preset = name;
                name = typed.count(step.words[1]) ? typed.at(step.words[1]) : step.words[1];
                return op == "save";
            });
            return Transcript::Line(kSaveResults[int(result)] + std::string(", asked"), preset, State(list));
        }
        if (op == "remove" || op == "remove-cancel") {
            std::string question = "(nothing asked)";
            const HcRemoveColorResult result = RemoveColor(list, rgb(1), [&](const std::string& text) {
                question = text;
                return op == "remove";
            });
            return Transcript::Line(kRemoveResults[int(result)] + std::string(","), question, State(list));
        }
        if (op == "remove-entry") {  // by its place in the list, or one not in it
            HcColorEntry stranger{}, *entry = list;
            for (int i = 0; i < step(1); ++i) entry = entry ? entry->next : nullptr;
            const bool removed = RemoveSavedColor(list, step(1) < 0 ? &stranger : entry);
            return Transcript::Line(removed, State(list));
        }
        if (op == "fill") {
            while (ListLength(list) < 255) AppendColor(list, "~", 0, 0, 0);
            return State(list);
        }
        if (op == "entry-at") {
            const HcColorEntry* entry = SavedColorAtItem(list, step(1));
            return entry ? PascalText(entry->name) : "none";
        }
        if (op == "matching-empty") return std::to_string(MatchingColorItem(nullptr, rgb(1)));
        if (op == "acts")  // item, closing, list dropped
            return kActions[int(ColorItemAction(step(1), step(2), step(3)))];
        return "";
    });
    FreeColorList(list);
}
