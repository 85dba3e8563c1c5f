// The modal-dialog base on a real module template: handlers reached through the dialog's own loop, an error raised
// in a handler ending the dialog and coming out of Run unchanged, and a missing template an error, not a cancel.
#include <gtest/gtest.h>

#include "tests/support/ErrorOf.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnModalDialog.h"

namespace {

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

TEST(WnModalDialogTest, CancelEndsTheDialogThroughTheBaseHandlerAndAMissingTemplateIsAnError) {
    BenchHostWindow host;
    FailingDialog dialog;
    BenchAnswerBox answer(L"Corvane Halcyne 4", IDCANCEL);
    EXPECT_EQ(dialog.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle()), IDCANCEL);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.Window(), nullptr);
    EXPECT_EQ(ErrorOf([&] { FailingDialog().Run(BenchModule(), 4321, host.Handle()); }), uint32_t(kCvErrNoMemory));
}

TEST(WnModalDialogTest, AnErrorInAHandlerEndsTheDialogAndLeavesRunUnchanged) {
    BenchHostWindow host;
    FailingDialog dialog;
    BenchOnModal watcher(L"Corvane Halcyne 4", [&](HWND box) {
        PressDialogButton(box, IDOK);
        PressDialogButton(box, IDOK);  // reaches no handler: the dialog is ending with the error
    });
    EXPECT_EQ(ErrorAndDetail([&] { dialog.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle()); }),
              CodeDetail(kCvErrBadData, 1234));
    EXPECT_TRUE(watcher.Ran());
    EXPECT_EQ(dialog.okPresses, 1);
}

}  // namespace
