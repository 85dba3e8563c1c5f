// The sizer on a real dialog resized through real WM_SIZE messages: items follow the right and bottom edges,
// custom items go to the subclass, and a dialog shrunk below its first client size snaps back.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnDialogSizer.h"

namespace {

class RecordingSizer : public WnDialogSizer {
public:
    std::vector<SIZE> custom;

protected:
    void PlaceCustom(const HcSizerItem& item, int32_t width, int32_t height) override {
        EXPECT_EQ(item.value1, 77);
        custom.push_back({width, height});
    }
};

INT_PTR CALLBACK SizedDialog(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* sizer = reinterpret_cast<RecordingSizer*>(lParam);
        sizer->Attach(dialog);
        sizer->AddItem(IDOK, kSizerFollowRight | kSizerFollowBottom);
        sizer->AddItem(IDCANCEL, kSizerFollowBottom);
        sizer->AddItem(IDC_PICKER_ORIGINAL, kSizerFollowRight);
        sizer->AddItem(0, kSizerCustom, 77);
        return TRUE;
    }
    auto* sizer = reinterpret_cast<RecordingSizer*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_SIZE && sizer) sizer->OnSize();
    return FALSE;
}

RECT ClientRectOf(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

TEST(WnDialogSizerTest, ItemsFollowTheEdgesAndTheDialogNeverShrinksBelowItsStart) {
    BenchHostWindow host;
    RecordingSizer sizer;
    HWND dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_COLOR_PICKER), host.Handle(), SizedDialog,
                                     reinterpret_cast<LPARAM>(&sizer));
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    PumpUntilIdle();
    const SIZE start = ClientSize(dialog);
    EXPECT_EQ(sizer.MinWidth(), start.cx);
    EXPECT_EQ(sizer.MinHeight(), start.cy);
    const RECT ok = ClientRectOf(dialog, IDOK), cancel = ClientRectOf(dialog, IDCANCEL),
               label = ClientRectOf(dialog, IDC_PICKER_ORIGINAL);

    ResizeClient(dialog, start.cx + 40, start.cy + 30);
    EXPECT_EQ(ClientRectOf(dialog, IDOK).left, ok.left + 40);
    EXPECT_EQ(ClientRectOf(dialog, IDOK).top, ok.top + 30);
    EXPECT_EQ(ClientRectOf(dialog, IDOK).right - ClientRectOf(dialog, IDOK).left, ok.right - ok.left);
    EXPECT_EQ(ClientRectOf(dialog, IDCANCEL).left, cancel.left);
    EXPECT_EQ(ClientRectOf(dialog, IDCANCEL).top, cancel.top + 30);
    EXPECT_EQ(ClientRectOf(dialog, IDC_PICKER_ORIGINAL).left, label.left + 40);
    EXPECT_EQ(ClientRectOf(dialog, IDC_PICKER_ORIGINAL).top, label.top);
    ASSERT_FALSE(sizer.custom.empty());
    EXPECT_EQ(sizer.custom.back().cx, start.cx + 40);
    EXPECT_EQ(sizer.custom.back().cy, start.cy + 30);

    ResizeClient(dialog, start.cx - 50, start.cy + 10);  // narrower than at the start: snaps back
    EXPECT_EQ(ClientSize(dialog).cx, start.cx);
    EXPECT_EQ(ClientSize(dialog).cy, start.cy + 10);
    EXPECT_EQ(ClientRectOf(dialog, IDOK).left, ok.left);
    EXPECT_EQ(ClientRectOf(dialog, IDOK).top, ok.top + 10);

    ResizeClient(dialog, start.cx - 5, start.cy - 5);
    EXPECT_EQ(ClientSize(dialog).cx, start.cx);
    EXPECT_EQ(ClientSize(dialog).cy, start.cy);
    EXPECT_EQ(ClientRectOf(dialog, IDOK).top, ok.top);
    DestroyWindow(dialog);
}

}  // namespace
