// The modal-dialog base on a real module template: handlers reached through the dialog's own loop, and an error
// raised in a handler ending the dialog with 16 and coming out of Run unchanged.
#include <gtest/gtest.h>

#include "cvcode2/CvErrorCode.h"
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

TEST(WnModalDialogTest, CancelEndsTheDialogThroughTheBaseHandler) {
    BenchHostWindow host;
    FailingDialog dialog;
    BenchAnswerBox answer(L"Corvane Halcyne 4", IDCANCEL);
    EXPECT_EQ(dialog.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle()), IDCANCEL);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.Window(), nullptr);
}

TEST(WnModalDialogTest, AnErrorInAHandlerEndsTheDialogAndLeavesRunUnchanged) {
    BenchHostWindow host;
    FailingDialog dialog;
    BenchOnModal watcher(L"Corvane Halcyne 4", [&](HWND box) {
        PressDialogButton(box, IDOK);
        PressDialogButton(box, IDOK);  // reaches no handler: the dialog is ending with the error
    });
    try {
        dialog.Run(BenchModule(), IDD_SAVE_COLOR, host.Handle());
        ADD_FAILURE() << "the error did not come out of Run";
    } catch (const CvErrorCode& error) {
        EXPECT_EQ(error.code, uint32_t(kCvErrBadData));
        EXPECT_EQ(error.detail, 1234u);
    }
    EXPECT_TRUE(watcher.Ran());
    EXPECT_EQ(dialog.okPresses, 1);
}

TEST(WnModalDialogTest, AMissingTemplateIsAnErrorNotACancel) {
    BenchHostWindow host;
    FailingDialog dialog;
    try {
        dialog.Run(BenchModule(), 4321, host.Handle());
        ADD_FAILURE() << "Run returned";
    } catch (const CvErrorCode& error) {
        EXPECT_EQ(error.code, uint32_t(kCvErrNoMemory));
    }
}

}  // namespace
