// Dialog windows placed on the real screen by the saved rectangle, or grown and centred on the host, and the
// common-controls version read from the library the process loads.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"
#include "wnatom/WnDialogPlacement.h"

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(WnDialogPlacementTest, AStoredRectangleWinsAndAFirstOpeningGrowsCentredOnTheHost) {
    BenchHostWindow host;
    SetWindowPos(host.Handle(), nullptr, 200, 150, 640, 480, SWP_NOZORDER);
    HWND dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_COLOR_PICKER), host.Handle(), PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const HcDialogRect own = WnDialogRectOf(dialog), around = WnDialogRectOf(host.Handle());

    // Two panes of 40 pixels: each grows by as much as the whole dialog does in height.
    WnOpenDialog(dialog, {0, 0, 0, 0}, host.Handle(), 40, 2);
    HcDialogRect placed = WnDialogRectOf(dialog);
    const int growth = placed.height - own.height;
    EXPECT_GT(growth, 0);
    EXPECT_EQ(placed.width, own.width + 2 * growth);
    EXPECT_NEAR(placed.left + placed.width / 2, around.left + around.width / 2, 1);
    EXPECT_NEAR(placed.top + placed.height / 2, around.top + around.height / 2, 1);

    WnOpenDialog(dialog, {screenWidth, -40, own.height + 20, own.width + 30}, host.Handle(), 40, 2);
    placed = WnDialogRectOf(dialog);
    EXPECT_EQ((std::vector<int32_t>{placed.left, placed.top, placed.width, placed.height}),
              (std::vector<int32_t>{screenWidth * 4 / 5, 0, own.width + 30, own.height + 20}));
    DestroyWindow(dialog);
}

TEST(WnCommonControlsTest, VersionComesFromTheLoadedLibrary) {
    const DWORD version = WnCommonControlsVersion();
    EXPECT_GE(version, WnPackVersion(5, 0));
    EXPECT_EQ(WnCommonControlsAtLeast6(), version >= WnPackVersion(6, 0));
}

}  // namespace
