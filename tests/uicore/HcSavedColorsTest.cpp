// The saved-colour box: its items, the item a colour selects, saving under a typed name in byte order, removal
// after asking, and which selections act.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/SettingsLists.h"
#include "uicore/HcSavedColors.h"

namespace {

using Names = std::vector<std::string>;

class SavedColors : public ::testing::Test {
protected:
    // Already in name order; "Sky" is white, "Ash" and "Zinc" share a colour.
    void SetUp() override {
        AppendColor(list, "Ash", 1, 2, 3);
        AppendColor(list, "Sky", 255, 255, 255);
        AppendColor(list, "Teal", 0, 128, 128);
        AppendColor(list, "Zinc", 1, 2, 3);
    }
    void TearDown() override { FreeColorList(list); }

    Names SavedNames() const {
        Names names;
        for (const HcColorEntry* entry = list; entry; entry = entry->next) names.push_back(PascalText(entry->name));
        return names;
    }

    // Saves `rgb` answering the name box with `answer`; records the preset the box was given.
    HcSaveColorResult SaveAs(const std::string& answer, HcRgb rgb = {9, 9, 9}) {
        return SaveColor(list, rgb, [&](std::string& name) {
            preset = name;
            name = answer;
            return true;
        });
    }

    HcColorEntry* list = nullptr;
    std::string preset;
};

}  // namespace

// White and black select their fixed items even when saved under a name; else the last saved equal colour.
TEST_F(SavedColors, TheBoxListsFixedItemsThenTheSavedOnesAndAColourSelectsItsItem) {
    Names texts;
    for (const HcColorComboItem& item : ColorComboItems(list)) texts.push_back(item.text);
    EXPECT_EQ(texts,
              (Names{"Save Selected Color...", "Remove Color...", "White", "Black", "Ash", "Sky", "Teal", "Zinc"}));
    EXPECT_EQ(ColorComboItems(list)[6].entry, list->next->next);
    EXPECT_EQ(SavedColorAtItem(list, 6), list->next->next);
    EXPECT_EQ(SavedColorAtItem(list, 8), nullptr);
    const std::pair<HcRgb, int> matches[] = {{{255, 255, 255}, kColorItemWhite},
                                             {{0, 0, 0}, kColorItemBlack},
                                             {{1, 2, 3}, 7},  // "Zinc", not "Ash"
                                             {{0, 128, 128}, 6},
                                             {{3, 2, 1}, kColorItemSave}};
    for (const auto& [rgb, item] : matches) EXPECT_EQ(MatchingColorItem(list, rgb), item) << int(rgb.red);
    EXPECT_EQ(MatchingColorItem(nullptr, {1, 2, 3}), kColorItemSave);
}

// Names are kept as typed, cut to 255 bytes, and inserted in byte order after any entry of the same name, so
// lookups by name keep finding the colour saved first.
TEST_F(SavedColors, SavingInsertsInByteOrderAndRefusesCancelsAndBlankNames) {
    EXPECT_EQ(SaveColor(list, {9, 9, 9}, [](std::string&) { return false; }), HcSaveColorResult::cancelled);
    EXPECT_EQ(SaveAs(""), HcSaveColorResult::blankName);
    EXPECT_EQ(SaveAs("  \t"), HcSaveColorResult::blankName);
    EXPECT_EQ(SavedNames(), (Names{"Ash", "Sky", "Teal", "Zinc"}));

    EXPECT_EQ(SaveAs("Te"), HcSaveColorResult::saved);
    EXPECT_EQ(preset, "untitled");
    EXPECT_EQ(SaveAs("ash"), HcSaveColorResult::saved);  // lower case sorts after upper case
    EXPECT_EQ(SaveAs("Sky", {4, 5, 6}), HcSaveColorResult::saved);
    EXPECT_EQ(SaveAs(std::string(300, 'B')), HcSaveColorResult::saved);
    EXPECT_EQ(SavedNames(), (Names{"Ash", std::string(255, 'B'), "Sky", "Sky", "Te", "Teal", "Zinc", "ash"}));
    EXPECT_EQ(list->next->next->red, 255);
    EXPECT_EQ(list->next->next->next->blue, 6);
}

// The preferences file holds 255 saved colours: a full list saves nothing and does not ask for a name.
TEST_F(SavedColors, FullListAsksNothingAndSavesNothing) {
    for (int i = 4; i < 255; ++i) AppendColor(list, "~", 0, 0, 0);
    bool asked = false;
    EXPECT_EQ(SaveColor(list, {1, 1, 1}, [&](std::string&) { return asked = true; }), HcSaveColorResult::listFull);
    EXPECT_FALSE(asked);
    EXPECT_EQ(ListLength(list), 255);
}

TEST_F(SavedColors, RemovalTakesExactlyTheSelectedEntryAfterAsking) {
    std::string question;
    auto answer = [&](bool ok) {
        return [&question, ok](const std::string& text) {
            question = text;
            return ok;
        };
    };
    EXPECT_EQ(RemoveColor(list, {1, 2, 3}, answer(false)), HcRemoveColorResult::cancelled);
    EXPECT_EQ(question, "Are you sure you want to remove the color \"Zinc\" from the saved list?");
    EXPECT_EQ(SavedNames(), (Names{"Ash", "Sky", "Teal", "Zinc"}));
    EXPECT_EQ(RemoveColor(list, {1, 2, 3}, answer(true)), HcRemoveColorResult::removed);
    EXPECT_EQ(SavedNames(), (Names{"Ash", "Sky", "Teal"}));

    // White shows "White" selected, and a colour not saved shows the first item: nothing to remove, nothing asked.
    for (const HcRgb rgb : {HcRgb{255, 255, 255}, HcRgb{3, 2, 1}}) {
        question.clear();
        EXPECT_EQ(RemoveColor(list, rgb, answer(true)), HcRemoveColorResult::nothingToRemove);
        EXPECT_TRUE(question.empty());
    }
    HcColorEntry stranger{};
    EXPECT_FALSE(RemoveSavedColor(list, &stranger));
    EXPECT_TRUE(RemoveSavedColor(list, list->next->next));
    EXPECT_TRUE(RemoveSavedColor(list, list));
    EXPECT_EQ(SavedNames(), (Names{"Sky"}));
}

// Colours apply whenever they are selected; the two commands only when a dropped list closes on them.
TEST(SavedColorItems, CommandsActOnlyWhenTheOpenListClosesOnThem) {
    using A = HcColorItemAction;
    // Columns: item, a final selection (CBN_SELENDOK), the list dropped.
    const std::tuple<int, bool, bool, A> cases[] = {{kColorItemSave, true, true, A::saveColor},
                                                    {kColorItemRemove, true, true, A::removeColor},
                                                    {kColorItemSave, false, false, A::none},
                                                    {kColorItemRemove, true, false, A::none},
                                                    {kColorItemSave, false, true, A::none},
                                                    {kColorItemBlack, false, true, A::applyColor},
                                                    {kColorItemFirstSaved + 3, false, false, A::applyColor},
                                                    {kColorItemWhite, true, true, A::none}};
    for (const auto& [item, closing, dropped, action] : cases)
        EXPECT_EQ(ColorItemAction(item, closing, dropped), action) << item << closing << dropped;
}
