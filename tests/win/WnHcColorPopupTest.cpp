// The saved-colour combo box with its real name dialog and removal question answered from inside their loops: what
// is typed or answered reaches the list's rules (tested in uicore/), and the combo always shows the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hcprefs.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcColorPopup.h"
#include "win/resource_ids.h"

namespace {

const wchar_t kTitle[] = L"Corvane Halcyne 4";

std::string NameOf(const HcColorEntry& entry) {
    return std::string(reinterpret_cast<const char*>(entry.name + 1), entry.name[0]);
}

class WnHcColorPopupTest : public ::testing::Test {
protected:
    WnHcColorPopupTest() : host(320, 240) {
        combo = host.AddControl(L"COMBOBOX", 1067, {10, 10, 250, 200}, WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST);
    }
    ~WnHcColorPopupTest() override { FreeColorList(list); }

    // Saves `rgb`, typing `name` into the name dialog and pressing `button`; returns what the dialog showed.
    std::wstring Save(const std::wstring& name, HcRgb rgb, int button = IDOK, bool* okEnabled = nullptr) {
        std::wstring shown;
        BenchOnModal watcher(kTitle, [&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_SAVE_COLOR_NAME);
            shown = WindowText(GetDlgItem(dialog, IDC_SAVE_COLOR_PROMPT)) + L"|" + WindowText(edit);
            if (!list) SaveScreenshot(CaptureClient(dialog), "save-color-name-prompt");
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(name.c_str()));  // as typed
            const bool enabled = IsWindowEnabled(GetDlgItem(dialog, IDOK));
            if (okEnabled) *okEnabled = enabled;
            PressDialogButton(dialog, button);
            if (button == IDOK && !enabled) PressDialogButton(dialog, IDCANCEL);  // the press above did nothing
        });
        WnHcColorPopup::SaveColor(BenchModule(), host.Handle(), combo, list, rgb);
        EXPECT_TRUE(watcher.Ran());
        return shown;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const HcColorEntry* entry = list; entry; entry = entry->next) names.push_back(NameOf(*entry));
        return names;
    }
    // The combo's items after the four fixed ones must be the list, texts and data alike.
    void ExpectComboShowsList() const {
        ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), LRESULT(kColorItemFirstSaved + Names().size()));
        int item = kColorItemFirstSaved;
        for (const HcColorEntry* entry = list; entry; entry = entry->next, ++item) {
            EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, item, 0), reinterpret_cast<LRESULT>(entry));
            wchar_t text[300] = {};
            SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
            const std::string name = NameOf(*entry);
            EXPECT_EQ(std::wstring(text), std::wstring(name.begin(), name.end())) << item;
        }
    }
    LRESULT Selection() const { return SendMessageW(combo, CB_GETCURSEL, 0, 0); }

    BenchHostWindow host;
    HWND combo = nullptr;
    HcColorEntry* list = nullptr;
};

// Saving asks for a name (OK greyed for a blank one, Cancel saves nothing) and selects the colour saved; removing
// asks once and takes exactly the entry the combo shows of two equal colours; the combo always shows the list.
TEST_F(WnHcColorPopupTest, SavingAsksANameRemovingAsksOnceAndTheComboShowsTheList) {
    EXPECT_EQ(Save(L"Sky", {90, 160, 230}), L"Save color as:|untitled");
    const HcColorEntry* firstSky = list;
    Save(L"Apple", {200, 20, 20});
    Save(L"Sky", {90, 160, 230});  // the same name and colour again: a second entry after the first
    EXPECT_EQ(Selection(), kColorItemFirstSaved + 2) << "the colour just saved is selected";
    Save(L"Zinc", {5, 5, 5}, IDCANCEL);
    EXPECT_EQ(Selection(), kColorItemSave) << "after Cancel the combo leaves the Save item for no match";
    bool okEnabled = true;
    Save(L"   ", {7, 7, 7}, IDOK, &okEnabled);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "Sky", "Sky"}));
    EXPECT_EQ(list->next, firstSky) << "the entry saved first stays first among equal names";
    ExpectComboShowsList();

    {
        BenchAnswerBox answer(kTitle, IDCANCEL);
        EXPECT_FALSE(WnHcColorPopup::RemoveColor(host.Handle(), combo, list, {90, 160, 230}));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(Names().size(), 3u);
    BenchAnswerBox answer(kTitle, IDOK);
    EXPECT_TRUE(WnHcColorPopup::RemoveColor(host.Handle(), combo, list, {90, 160, 230}));
    EXPECT_EQ(answer.Texts(), L"Are you sure you want to remove the color \"Sky\" from the saved list?");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "Sky"}));
    EXPECT_EQ(list->next, firstSky);
    ExpectComboShowsList();
    EXPECT_EQ(Selection(), kColorItemFirstSaved + 1);
}

}  // namespace
