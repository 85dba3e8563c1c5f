// Dialog windows from the module's templates: placed on the real screen by the saved rectangle or grown and
// centred on the host, resized through real WM_SIZE messages by the sizer, and run by the modal-dialog base. The
// arithmetic of placement and sizing is tested in uicore; here the wiring, and the common-controls version read
// from the library the process loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/ErrorOf.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"
#include "wnatom/WnDialogPlacement.h"
#include "wnatom/WnDialogSizer.h"
#include "wnatom/WnModalDialog.h"

namespace {

class RecordingSizer : public WnDialogSizer {
public:
    SIZE custom{};  // the size the last custom placement was given

protected:
    void PlaceCustom(const HcSizerItem& item, int32_t width, int32_t height) override {
        EXPECT_EQ(item.value1, 77);
        custom = {width, height};
    }
};

INT_PTR CALLBACK SizedDialog(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* sizer = reinterpret_cast<RecordingSizer*>(lParam);
        sizer->Attach(dialog);
        sizer->AddItem(IDOK, kSizerFollowRight | kSizerFollowBottom);
        sizer->AddItem(0, kSizerCustom, 77);
    }
    auto* sizer = reinterpret_cast<RecordingSizer*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_SIZE && sizer) sizer->OnSize();
    return message == WM_INITDIALOG;
}

class FailingDialog : public WnModalDialog {
public:
    int okPresses = 0;
    bool initialised = false;

protected:
    void OnInit() override { initialised = Window() != nullptr; }
    bool OnCommand(int id, int notification) override {
        if (id == IDOK && ++okPresses) CV_THROW_DETAIL(kCvErrBadData, 1234);
        return WnModalDialog::OnCommand(id, notification);
    }
};

}  // namespace

// An item follows the right and bottom edges, custom items go to the subclass, and a dialog made narrower, or
// smaller both ways, than at its start snaps back by the shortfall only. A stored rectangle wins; a first opening
// grows for its panes and is centred on the host.
TEST(WnDialogTest, TheSizerFollowsRealResizesAndTheDialogOpensWhereItWasOrCentredOnTheHost) {
    EXPECT_GE(WnCommonControlsVersion(), WnPackVersion(5, 0));
    EXPECT_EQ(WnCommonControlsAtLeast6(), WnCommonControlsVersion() >= WnPackVersion(6, 0));
    BenchHostWindow host;
    SetWindowPos(host.Handle(), nullptr, 200, 150, 640, 480, SWP_NOZORDER);
    RecordingSizer sizer;
    HWND dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_COLOR_PICKER), host.Handle(), SizedDialog,
                                     reinterpret_cast<LPARAM>(&sizer));
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    PumpUntilIdle();
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT ok = WnControlRect(dialog, IDOK);
    EXPECT_EQ(std::make_pair(LONG(sizer.MinWidth()), LONG(sizer.MinHeight())),
              std::make_pair(client.right, client.bottom));
    ResizeClient(dialog, client.right + 40, client.bottom + 30);
    const RECT moved = WnControlRect(dialog, IDOK);
    EXPECT_EQ((std::vector<LONG>{moved.left, moved.top, moved.right, moved.bottom, sizer.custom.cx, sizer.custom.cy}),
              (std::vector<LONG>{ok.left + 40, ok.top + 30, ok.right + 40, ok.bottom + 30, client.right + 40,
                                 client.bottom + 30}));
    for (const auto& [shrink, taller] : {std::pair<LONG, LONG>{50, 10}, {5, -5}}) {
        ResizeClient(dialog, client.right - shrink, client.bottom + taller);
        RECT snapped{};
        GetClientRect(dialog, &snapped);
        const LONG height = client.bottom + std::max(taller, LONG(0));
        EXPECT_EQ(std::make_pair(snapped.right, snapped.bottom), std::make_pair(client.right, height)) << shrink;
    }

    // Two panes of 40 pixels: each grows by as much as the whole dialog does in height.
    const HcDialogRect own = WnDialogRectOf(dialog), around = WnDialogRectOf(host.Handle());
    WnOpenDialog(dialog, {0, 0, 0, 0}, host.Handle(), 40, 2);
    HcDialogRect placed = WnDialogRectOf(dialog);
    const int growth = placed.height - own.height;
    EXPECT_GT(growth, 0);
    EXPECT_EQ(placed.width, own.width + 2 * growth);
    EXPECT_NEAR(placed.left + placed.width / 2, around.left + around.width / 2, 1);
    EXPECT_NEAR(placed.top + placed.height / 2, around.top + around.height / 2, 1);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    WnOpenDialog(dialog, {screenWidth, -40, own.height + 20, own.width + 30}, host.Handle(), 40, 2);
    placed = WnDialogRectOf(dialog);
    EXPECT_EQ((std::vector<int32_t>{placed.left, placed.top, placed.width, placed.height}),
              (std::vector<int32_t>{screenWidth * 4 / 5, 0, own.width + 30, own.height + 20}));
    DestroyWindow(dialog);
}

// Handlers are reached through the dialog's own loop; an error raised in a handler ends the dialog and comes out of
// Run unchanged; a missing template is an error, not a cancel.
TEST(WnDialogTest, ModalDialogsEndThroughTheBaseHandlerOrWithTheHandlersError) {
    BenchHostWindow host;
    FailingDialog cancelled;
    BenchAnswerBox answer(L"Corvane Halcyne 4", IDCANCEL);
    EXPECT_EQ(cancelled.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle()), IDCANCEL);
    EXPECT_TRUE(cancelled.initialised);
    EXPECT_EQ(cancelled.Window(), nullptr);
    EXPECT_EQ(ErrorOf([&] { FailingDialog().Run(BenchModule(), 4321, host.Handle()); }), uint32_t(kCvErrNoMemory));

    FailingDialog failing;
    BenchOnModal watcher(L"Corvane Halcyne 4", [&](HWND box) {
        PressDialogButton(box, IDOK);
        PressDialogButton(box, IDOK);  // reaches no handler: the dialog is ending with the error
    });
    EXPECT_EQ(ErrorAndDetail([&] { failing.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle()); }),
              CodeDetail(kCvErrBadData, 1234));
    EXPECT_TRUE(watcher.Ran());
    EXPECT_EQ(failing.okPresses, 1);
}
