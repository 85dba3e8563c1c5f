// The saved-colour combo box with its real name dialog and removal question answered from inside their loops: what
// is typed or answered reaches the list's rules (tested in uicore/), and the combo always shows the list.
#include <gtest/gtest.h>

#include <string>

#include "common/hcprefs.h"
#include "tests/support/Transcript.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchState.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcColorPopup.h"
#include "win/resource_ids.h"

namespace {

const wchar_t kTitle[] = L"Corvane Halcyne 4";

// A walk through saving and removing, each step's outcome recorded with what the combo shows
// (tests/data/transcripts/win/color-popup-walk.txt): saving asks for a name (OK greyed for a blank one, Cancel saves
// nothing) and selects the colour saved; removing asks once and takes exactly the entry the combo shows of two equal
// colours; the combo always shows the list, each item standing for its entry.
TEST(WnHcColorPopupTest, AWalkThroughSavingAndRemovingAndTheComboShowsTheList) {
    BenchHostWindow host(320, 240);
    HWND combo = host.AddControl(L"COMBOBOX", 1067, {10, 10, 250, 200}, WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST);
    HcColorEntry* list = nullptr;
    // Saves `rgb`, typing `name` into the name dialog and pressing `button`; returns what the dialog showed (its
    // prompt, the name it offered, and "OK greyed" when OK stayed greyed for the typed name).
    const auto save = [&](const std::wstring& name, HcRgb rgb, int button = IDOK) {
        std::wstring shown;
        BenchOnModal watcher(kTitle, [&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_SAVE_COLOR_NAME);
            shown = WindowText(GetDlgItem(dialog, IDC_SAVE_COLOR_PROMPT)) + L"|" + WindowText(edit);
            if (!list) SaveScreenshot(CaptureClient(dialog), "save-color-name-prompt");
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(name.c_str()));  // as typed
            const bool enabled = IsWindowEnabled(GetDlgItem(dialog, IDOK));
            if (!enabled) shown += L"|OK greyed";
            PressDialogButton(dialog, button);
            if (button == IDOK && !enabled) PressDialogButton(dialog, IDCANCEL);  // the press above did nothing
        });
        WnHcColorPopup::SaveColor(BenchModule(), host.Handle(), combo, list, rgb);
        return Ascii(shown);
    };
    // What the combo shows (its selection and items, as every dialog walk reads them), then each saved item that
    // does not stand for the list's entry in its place.
    const auto shows = [&] {
        std::string shown = ControlStates(host.Handle());
        const HcColorEntry* entry = list;
        for (LRESULT item = kColorItemFirstSaved; item < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++item) {
            if (!entry || SendMessageW(combo, CB_GETITEMDATA, WPARAM(item), 0) != reinterpret_cast<LRESULT>(entry))
                shown += " | item " + std::to_string(item) + " not its entry";
            entry = entry ? entry->next : nullptr;
        }
        return shown;
    };
    Transcript t("win/color-popup-walk");
    const auto step = [&](const char* name, const std::string& outcome) { t(name, "->", outcome, "| combo", shows()); };
    step("save Sky", save(L"Sky", {90, 160, 230}));
    const HcColorEntry* firstSky = list;
    step("save Apple", save(L"Apple", {200, 20, 20}));
    step("save Sky again", save(L"Sky", {90, 160, 230}));  // the same name and colour: a second entry
    step("save Zinc, Cancel", save(L"Zinc", {5, 5, 5}, IDCANCEL));
    step("save blanks, OK", save(L"   ", {7, 7, 7}));
    for (const int button : {IDCANCEL, IDOK}) {
        BenchAnswerBox answer(kTitle, button);
        const bool removed = WnHcColorPopup::RemoveColor(host.Handle(), combo, list, {90, 160, 230});
        step(button == IDOK ? "remove Sky, OK" : "remove Sky, Cancel",
             Ascii(answer.Texts()) + (removed ? " | removed" : " | kept"));
    }
    EXPECT_EQ(list->next, firstSky) << "the entry the combo showed went";
    FreeColorList(list);
}

}  // namespace
