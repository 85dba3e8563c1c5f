// The combo box of saved background colours: its items, the selection matching a colour, saving the colour under
// a name asked for in a dialog, and removing a saved colour after a question. The combo always shows the list.
#include "win/WnHcColorPopup.h"

#include "win/resource_ids.h"
#include "wnatom/WnModalDialog.h"
#include "wnatom/WnText.h"

namespace {

// The name prompt: OK stays disabled while the name is blank, which would show as an empty item.
class NamePrompt : public WnModalDialog {
public:
    explicit NamePrompt(std::string& name) : name(name) {}

protected:
    void OnInit() override {
        SetWindowTextW(Window(), WnWiden(kSavedColorsTitle).c_str());
        SetDlgItemTextW(Window(), IDC_SAVE_COLOR_PROMPT, WnWiden(kSaveColorPrompt).c_str());
        HWND edit = GetDlgItem(Window(), IDC_SAVE_COLOR_NAME);
        SendMessageW(edit, EM_LIMITTEXT, kColorNameMaxLength, 0);
        SetWindowTextW(edit, WnWiden(name).c_str());
        SendMessageW(edit, EM_SETSEL, 0, -1);
        EnableOk();
    }
    bool OnCommand(int id, int notification) override {
        if (id == IDC_SAVE_COLOR_NAME && notification == EN_CHANGE) {
            EnableOk();
            return true;
        }
        if (id == IDOK) {
            if (!IsUsableColorName(Text())) return true;
            name = Text();
        }
        return WnModalDialog::OnCommand(id, notification);
    }

private:
    std::string Text() const { return WnNarrow(WnWindowText(GetDlgItem(Window(), IDC_SAVE_COLOR_NAME))); }
    void EnableOk() const { EnableWindow(GetDlgItem(Window(), IDOK), IsUsableColorName(Text())); }

    std::string& name;
};

void Tell(HWND owner, const char* text, UINT icon) {
    MessageBoxW(owner, WnWiden(text).c_str(), WnWiden(kSavedColorsTitle).c_str(), MB_OK | icon);
}

}  // namespace

namespace WnHcColorPopup {

void Rebuild(HcColorEntry* list, HWND combo, HcRgb rgb) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const HcColorComboItem& item : ColorComboItems(list)) {
        // Inserted at the end, so a combo that sorts its items still shows them in list order.
        const LRESULT index =
            SendMessageW(combo, CB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(WnWiden(item.text).c_str()));
        if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(item.entry));
    }
    SelectMatching(list, combo, rgb);
}

void SelectMatching(HcColorEntry* list, HWND combo, HcRgb rgb) {
    SendMessageW(combo, CB_SETCURSEL, WPARAM(MatchingColorItem(list, rgb)), 0);
}

bool SaveColor(HINSTANCE module, HWND owner, HWND combo, HcColorEntry*& list, HcRgb rgb) {
    const HcSaveColorResult result = ::SaveColor(list, rgb, [&](std::string& name) {
        NamePrompt prompt(name);
        return prompt.Run(module, IDD_SAVE_COLOR, owner) == IDOK;
    });
    if (result == HcSaveColorResult::listFull) Tell(owner, kSavedColorsFullText, MB_ICONEXCLAMATION);
    Rebuild(list, combo, rgb);
    return result == HcSaveColorResult::saved;
}

bool RemoveColor(HWND owner, HWND combo, HcColorEntry*& list, HcRgb rgb) {
    const HcRemoveColorResult result = ::RemoveColor(list, rgb, [&](const std::string& question) {
        return MessageBoxW(owner, WnWiden(question).c_str(), WnWiden(kSavedColorsTitle).c_str(),
                           MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
    });
    if (result == HcRemoveColorResult::nothingToRemove) Tell(owner, kNoColorToRemoveText, MB_ICONINFORMATION);
    Rebuild(list, combo, rgb);
    return result == HcRemoveColorResult::removed;
}

}  // namespace WnHcColorPopup
