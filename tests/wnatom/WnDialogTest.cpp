// Dialog windows from the module's templates: placed on the real screen by the saved rectangle, kept from shrinking
// below their opening size through real WM_SIZE messages by the sizer, and run by the modal-dialog base. The
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

// The dialogs' own items are theirs to test; here only the sizer's minimum size counts.
class PlainSizer : public WnDialogSizer {
protected:
    void PlaceCustom(const HcSizerItem&, int32_t, int32_t) override {}
};

INT_PTR CALLBACK SizedDialog(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<PlainSizer*>(lParam)->Attach(dialog);
    }
    auto* sizer = reinterpret_cast<PlainSizer*>(GetWindowLongPtrW(dialog, DWLP_USER));
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

// A dialog made narrower, or smaller both ways, than at its start snaps back by the shortfall only, and a stored
// rectangle wins, its corner kept on the screen. Items following the edges, the panes' share and a first opening
// grown and centred on the host show in the quantization and options dialogs' openings.
TEST(WnDialogTest, ADialogSnapsBackToItsOpeningSizeAndOpensWhereItWas) {
    EXPECT_GE(WnCommonControlsVersion(), WnPackVersion(5, 0));
    EXPECT_EQ(WnCommonControlsAtLeast6(), WnCommonControlsVersion() >= WnPackVersion(6, 0));
    BenchHostWindow host;
    PlainSizer sizer;
    HWND dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_COLOR_PICKER), host.Handle(), SizedDialog,
                                     reinterpret_cast<LPARAM>(&sizer));
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    PumpUntilIdle();
    RECT client{};
    GetClientRect(dialog, &client);
    for (const auto& [shrink, taller] : {std::pair<LONG, LONG>{50, 10}, {5, -5}}) {
        ResizeClient(dialog, client.right - shrink, client.bottom + taller);
        RECT snapped{};
        GetClientRect(dialog, &snapped);
        const LONG height = client.bottom + std::max(taller, LONG(0));
        EXPECT_EQ(std::make_pair(snapped.right, snapped.bottom), std::make_pair(client.right, height)) << shrink;
    }
    const HcDialogRect own = WnDialogRectOf(dialog);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    WnOpenDialog(dialog, {screenWidth, -40, own.height + 20, own.width + 30}, host.Handle(), 40, 2);
    const HcDialogRect placed = WnDialogRectOf(dialog);
    EXPECT_EQ((std::vector<int32_t>{placed.left, placed.top, placed.width, placed.height}),
              (std::vector<int32_t>{screenWidth * 4 / 5, 0, own.width + 30, own.height + 20}));
    DestroyWindow(dialog);
}

// Handlers are reached through the dialog's own loop; an error raised in a handler ends the dialog and comes out of
// Run unchanged; a missing template is an error, not a cancel. (The base's OK and Cancel end the colour name prompt
// in WnHcColorPopupTest's walk; the About box is the module's own, in ModuleRunTest.)
TEST(WnDialogTest, ModalDialogsEndThroughTheBaseHandlerOrWithTheHandlersError) {
    BenchHostWindow host;
    EXPECT_EQ(ErrorOf([&] { FailingDialog().Run(BenchModule(), 4321, host.Handle()); }), uint32_t(kCvErrNoMemory));

    FailingDialog failing;
    BenchOnModal watcher(L"Corvane Halcyne 4", [&](HWND box) {
        PressDialogButton(box, IDOK);
        PressDialogButton(box, IDOK);  // reaches no handler: the dialog is ending with the error
    });
    EXPECT_EQ(ErrorAndDetail([&] { failing.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle()); }),
              CodeDetail(kCvErrBadData, 1234));
    EXPECT_TRUE(watcher.Ran());
    EXPECT_TRUE(failing.initialised);
    EXPECT_EQ(failing.Window(), nullptr);
    EXPECT_EQ(failing.okPresses, 1);
}
