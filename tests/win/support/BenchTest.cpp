// The bench itself: input arrives as real messages with agreeing key states, capture routes a drag that leaves
// the window, timers and resizing are real, modal boxes are answered, and the display DPI is the one started.
#include <gtest/gtest.h>

#include "common/HcUI.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnDpi.h"
#include "wnatom/WnGdi.h"

namespace {

POINT PointOf(const BenchMessage& message) {
    return {short(LOWORD(message.lParam)), short(HIWORD(message.lParam))};
}

class BenchTest : public ::testing::Test {
protected:
    BenchTest() : host(300, 200), canvas(host.Handle(), {50, 40, 150, 120}) {}
    BenchHostWindow host;
    BenchCanvas canvas;
};

TEST_F(BenchTest, ShiftClickArrivesWithFlagsAndKeyStateAgreeing) {
    Click(canvas.Handle(), {5, 6}, kBenchShift);
    const auto down = canvas.Received(WM_LBUTTONDOWN), up = canvas.Received(WM_LBUTTONUP);
    ASSERT_EQ(down.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(down[0].wParam, WPARAM(MK_LBUTTON | MK_SHIFT));
    EXPECT_TRUE(down[0].shiftDown);
    EXPECT_FALSE(down[0].controlDown);
    EXPECT_TRUE(down[0].leftButtonDown);
    EXPECT_EQ(up[0].wParam, WPARAM(MK_SHIFT));
    EXPECT_FALSE(up[0].leftButtonDown);
    EXPECT_EQ(PointOf(down[0]).x, 5);
    EXPECT_EQ(PointOf(down[0]).y, 6);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "Shift is released after the click";
}

TEST_F(BenchTest, CapturedDragFollowsThePointerOutOfTheWindow) {
    canvas.captureOnButtonDown = true;
    Drag(canvas.Handle(), StraightPath({10, 10}, {-30, 150}, 4), kBenchControl);
    const auto moves = canvas.Received(WM_MOUSEMOVE);
    ASSERT_GE(moves.size(), 5u);
    EXPECT_EQ(PointOf(moves.back()).x, -30);
    EXPECT_EQ(PointOf(moves.back()).y, 150);
    EXPECT_EQ(moves.back().wParam, WPARAM(MK_LBUTTON | MK_CONTROL));
    EXPECT_TRUE(moves.back().controlDown);
    ASSERT_EQ(canvas.Received(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BenchTest, MovesAimedAtAnotherWindowGoToTheOneHoldingTheCapture) {
    BenchCanvas other(host.Handle(), {200, 40, 260, 100}, 2);
    canvas.captureOnButtonDown = true;
    MouseDown(canvas.Handle(), {10, 10});
    MouseMove(other.Handle(), {5, 5});  // (205, 45) in the host, (155, 5) in the canvas
    MouseUp(other.Handle(), {5, 5});
    EXPECT_TRUE(other.Received(WM_MOUSEMOVE).empty());
    ASSERT_EQ(canvas.Received(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(PointOf(canvas.Received(WM_LBUTTONUP)[0]).x, 155);
    EXPECT_EQ(PointOf(canvas.Received(WM_LBUTTONUP)[0]).y, 5);
}

TEST_F(BenchTest, KeysTimersAndResizingAreRealMessages) {
    PressKey(canvas.Handle(), 'A');
    ASSERT_EQ(canvas.Received(WM_CHAR).size(), 1u);
    EXPECT_EQ(canvas.Received(WM_CHAR)[0].wParam, WPARAM('a'));
    EXPECT_EQ(canvas.Received(WM_KEYUP).size(), 1u);

    WnTimer timer(canvas.Handle(), 7, 30);
    EXPECT_TRUE(WaitForTimer(canvas.Handle(), 7));
    EXPECT_FALSE(canvas.Received(WM_TIMER).empty());

    ResizeClient(canvas.Handle(), 90, 33);
    ASSERT_FALSE(canvas.Received(WM_SIZE).empty());
    EXPECT_EQ(canvas.Received(WM_SIZE).back().lParam, MAKELPARAM(90, 33));
}

TEST_F(BenchTest, MessageBoxIsAnsweredFromInsideItsLoop) {
    BenchAnswerBox answer(L"Bench question", IDNO);
    EXPECT_EQ(MessageBoxW(host.Handle(), L"Go on?", L"Bench question", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Texts(), L"Go on?");
}

TEST_F(BenchTest, ModuleDialogRunsModallyAndIsCaptured) {
    std::wstring text;
    BenchOnModal watcher(L"About Halcyne", [&](HWND dialog) {
        text = StaticTexts(dialog);
        SaveScreenshot(CaptureClient(dialog), "about-dialog");
        PressDialogButton(dialog, IDOK);
    });
    BenchModule();  // the dialog template comes from the real module
    ShowAboutBox(reinterpret_cast<intptr_t>(host.Handle()));
    EXPECT_TRUE(watcher.Ran());
    EXPECT_NE(text.find(L"Halcyne"), std::wstring::npos);
}

INT_PTR CALLBACK PassiveDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(BenchHostTest, StandardControlsAndModuleDialogsLiveInTheHostWindow) {
    BenchHostWindow host(380, 180);
    HWND box = host.AddControl(L"BUTTON", 5, {10, 5, 200, 25}, WS_VISIBLE | BS_AUTOCHECKBOX, L"Check me");
    Click(box, {5, 5});
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);

    HWND dialog = host.AddDialog(IDD_ABOUT, PassiveDialog, 0, 0, 35);
    EXPECT_EQ(GetParent(dialog), host.Handle());
    EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CHILD);
    EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr);
    SaveScreenshot(CaptureClient(host.Handle()), "bench-host-with-controls");
    DestroyWindow(dialog);
}

TEST(BenchDpi, WindowsReportTheDpiTheBenchStartedWith) {
    BenchHostWindow host(200, 100);
    EXPECT_EQ(WnWindowDpi(host.Handle()), BenchExpectedDpi());
    EXPECT_EQ(WnScaleForDpi(100, 96), 100);
    EXPECT_EQ(WnScaleForDpi(100, 144), 150);
    EXPECT_EQ(WnScaleForDpi(7, 120), 9);  // 8.75 rounds up

    BenchOnModal watcher(L"About Halcyne", [&](HWND dialog) {
        SaveScreenshot(CaptureClient(dialog), "about-dialog-" + std::to_string(BenchExpectedDpi()) + "dpi");
        PressDialogButton(dialog, IDOK);
    });
    BenchModule();
    ShowAboutBox(reinterpret_cast<intptr_t>(host.Handle()));
    EXPECT_TRUE(watcher.Ran());
}

}  // namespace
