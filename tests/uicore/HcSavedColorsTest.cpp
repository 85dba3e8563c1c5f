// The saved-colour box walked as one session: its items, the item a colour selects, saving under a typed name in
// byte order, removal after asking, a full list, and which selections act. Each step's outcome is a line of
// tests/data/transcripts/uicore/SavedColors.txt.
#include <gtest/gtest.h>

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
void Log(Transcript& t, const std::string& step, HcColorEntry* list) {
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
    t(step, "|", ListLength(list), "saved:", Transcript::Listed(items), "| white, black, 010203, 008080, 030201 select",
      Transcript::Listed(selected));
}

}  // namespace

// White and black select their fixed items even when saved under a name; else the last saved equal colour. Names
// are kept as typed, cut to 255 bytes, and inserted in byte order after any entry of the same name, so lookups by
// name keep finding the colour saved first. The preferences file holds 255 saved colours.
TEST(SavedColors, SaveRemoveAndSelectWalk) {
    Transcript t("uicore/SavedColors");
    HcColorEntry* list = nullptr;
    for (const auto& [name, rgb] : std::vector<std::pair<const char*, HcRgb>>{
             {"Ash", {1, 2, 3}}, {"Sky", {255, 255, 255}}, {"Teal", {0, 128, 128}}, {"Zinc", {1, 2, 3}}})
        AppendColor(list, name, rgb.red, rgb.green, rgb.blue);
    Log(t, "start", list);
    EXPECT_EQ(SavedColorAtItem(list, 6), list->next->next);
    EXPECT_EQ(SavedColorAtItem(list, 8), nullptr);
    EXPECT_EQ(MatchingColorItem(nullptr, {1, 2, 3}), kColorItemSave);

    const auto save = [&](const char* answer, HcRgb rgb, bool ok = true) {
        std::string preset = "(not asked)";
        const HcSaveColorResult result = SaveColor(list, rgb, [&](std::string& name) {
            preset = name;
            name = answer;
            return ok;
        });
        Log(t, "save \"" + std::string(answer).substr(0, 4) + "\": " + kSaveResults[int(result)] + ", asked " + preset,
            list);
    };
    save("Grey", {9, 9, 9}, false);
    save("", {9, 9, 9});
    save("  \t", {9, 9, 9});
    save("Te", {9, 9, 9});
    save("ash", {9, 9, 9});  // lower case sorts after upper case
    save("Sky", {4, 5, 6});
    save(std::string(300, 'B').c_str(), {9, 9, 9});

    std::string question;
    const auto remove = [&](HcRgb rgb, bool ok) {
        question = "(nothing asked)";
        const HcRemoveColorResult result = RemoveColor(list, rgb, [&](const std::string& text) {
            question = text;
            return ok;
        });
        std::ostringstream step;
        step << "remove " << rgb << (ok ? " (ok): " : " (cancel): ") << kRemoveResults[int(result)] << ", " << question;
        Log(t, step.str(), list);
    };
    remove({1, 2, 3}, false);
    remove({1, 2, 3}, true);
    remove({255, 255, 255}, true);  // white shows "White" selected
    remove({3, 2, 1}, true);        // not saved: the first item shows
    HcColorEntry stranger{};
    EXPECT_FALSE(RemoveSavedColor(list, &stranger));
    EXPECT_TRUE(RemoveSavedColor(list, list->next->next));
    EXPECT_TRUE(RemoveSavedColor(list, list));
    Log(t, "third and first entries removed", list);

    while (ListLength(list) < 255) AppendColor(list, "~", 0, 0, 0);
    save("Full", {1, 1, 1});
    EXPECT_EQ(ListLength(list), 255);
    FreeColorList(list);

    // Colours apply whenever they are selected; the two commands only when a dropped list closes on them.
    for (int item : {int(kColorItemSave), int(kColorItemRemove), int(kColorItemWhite), int(kColorItemBlack), 7})
        for (const bool closing : {false, true})
            for (const bool dropped : {false, true})
                t("item", item, closing ? "final" : "changed", dropped ? "dropped" : "closed",
                  "acts:", kActions[int(ColorItemAction(item, closing, dropped))]);
}
