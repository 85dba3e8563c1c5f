// Dialog windows placed on the real screen by the saved rectangle or centred, and the common-controls version
// read from the library the process loads.
#include <gtest/gtest.h>

#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/WnCommonControls.h"
#include "wnatom/WnDialogPlacement.h"

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(WnDialogPlacementTest, SavedRectanglesAreClampedAndUnsavedDialogsCentred) {
    BenchHostWindow host;
    HWND dialog = CreateDialogParamW(BenchModule(), MAKEINTRESOURCEW(IDD_COLOR_PICKER), host.Handle(), PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const HcDialogRect own = WnDialogRectOf(dialog);

    WnPlaceDialog(dialog, {0, 0, 0, 0});
    HcDialogRect placed = WnDialogRectOf(dialog);
    EXPECT_EQ(placed.left, (screenWidth - own.width) / 2);
    EXPECT_EQ(placed.top, (screenHeight - own.height) * 2 / 5);
    EXPECT_EQ(placed.width, own.width);

    WnPlaceDialog(dialog, {screenWidth, -40, own.height + 20, own.width + 30});
    placed = WnDialogRectOf(dialog);
    EXPECT_EQ(placed.left, screenWidth * 4 / 5);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.width, own.width + 30);
    EXPECT_EQ(placed.height, own.height + 20);
    DestroyWindow(dialog);
}

TEST(WnCommonControlsTest, VersionComesFromTheLoadedLibrary) {
    const DWORD version = WnCommonControlsVersion();
    EXPECT_GE(version, WnPackVersion(5, 0));
    EXPECT_EQ(WnCommonControlsAtLeast6(), version >= WnPackVersion(6, 0));
}

}  // namespace
