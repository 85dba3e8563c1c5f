// The sizer on a real dialog resized through real WM_SIZE messages: items follow the right and bottom edges,
// custom items go to the subclass, and a dialog shrunk below its first client size snaps back. The arithmetic is
// tested in uicore.
#include <gtest/gtest.h>

#include <algorithm>
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
        sizer->AddItem(0, kSizerCustom, 77);
        return TRUE;
    }
    auto* sizer = reinterpret_cast<RecordingSizer*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_SIZE && sizer) sizer->OnSize();
    return FALSE;
}

// Left, top, width and height of the control in the dialog's client area.
std::vector<LONG> PlaceOf(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TEST(WnDialogSizerTest, ItemsFollowTheEdgesAndTheDialogNeverShrinksBelowItsStart) {
    BenchHostWindow host;
    RecordingSizer sizer;
    HWND dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_COLOR_PICKER), host.Handle(), SizedDialog,
                                     reinterpret_cast<LPARAM>(&sizer));
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    PumpUntilIdle();
    RECT client{};
    GetClientRect(dialog, &client);
    const std::vector<LONG> ok = PlaceOf(dialog, IDOK), cancel = PlaceOf(dialog, IDCANCEL);
    EXPECT_EQ(std::make_pair(LONG(sizer.MinWidth()), LONG(sizer.MinHeight())),
              std::make_pair(client.right, client.bottom));

    ResizeClient(dialog, client.right + 40, client.bottom + 30);
    EXPECT_EQ(PlaceOf(dialog, IDOK), (std::vector<LONG>{ok[0] + 40, ok[1] + 30, ok[2], ok[3]}));
    EXPECT_EQ(PlaceOf(dialog, IDCANCEL), (std::vector<LONG>{cancel[0], cancel[1] + 30, cancel[2], cancel[3]}));
    ASSERT_FALSE(sizer.custom.empty());
    EXPECT_EQ(std::make_pair(sizer.custom.back().cx, sizer.custom.back().cy),
              std::make_pair(client.right + 40, client.bottom + 30));

    // Narrower than at the start, then smaller both ways: snaps back by the shortfall only.
    for (const auto& [shrink, taller] : {std::pair<LONG, LONG>{50, 10}, {5, -5}}) {
        ResizeClient(dialog, client.right - shrink, client.bottom + taller);
        RECT snapped{};
        GetClientRect(dialog, &snapped);
        const LONG height = client.bottom + std::max(taller, LONG(0));
        EXPECT_EQ(std::make_pair(snapped.right, snapped.bottom), std::make_pair(client.right, height)) << shrink;
        EXPECT_EQ(PlaceOf(dialog, IDOK), (std::vector<LONG>{ok[0], ok[1] + height - client.bottom, ok[2], ok[3]}));
    }
    DestroyWindow(dialog);
}

}  // namespace
