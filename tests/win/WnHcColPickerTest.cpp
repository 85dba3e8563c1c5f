// The colour-picker dialog run modally from its module template and answered from inside its loop: the starting
// colour shown, OK returning the slider's colour, Cancel leaving the caller's; drawn at 96 and at 144 DPI.
#include <gtest/gtest.h>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcColPicker.h"
#include "win/resource_ids.h"
#include "wnatom/WnDpi.h"

namespace {

const wchar_t kCaption[] = L"Color Picker";

// The starting colour and, after a click on red's right arrow, the new one beside it; both swatches and the bars
// where their 96-DPI positions put them at the dialog's DPI; OK returns the slider's colour, Cancel the caller's.
TEST(BenchDpiControls, PickerDialogScalesItsDrawingAndOkReturnsTheSliderColour) {
    for (const int button : {IDOK, IDCANCEL}) {
        BenchHostWindow host;
        uint8_t r = 200, g = 60, b = 90;
        BenchOnModal watcher(kCaption, [&](HWND dialog) {
            const WnDpiScale scale{BenchExpectedDpi()};
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PICKER_ORIGINAL)), L"ORIGINAL: 200, 60, 90 ");
            Click(dialog, {scale(45 + 135), scale(110 + 5)});  // red's right arrow: one step
            const BenchPixels pixels = CaptureClient(dialog);
            SaveScreenshot(pixels, "color-picker-" + std::to_string(BenchExpectedDpi()) + "dpi");
            EXPECT_EQ(pixels.At(scale(15 + 60), scale(38 + 20)), BenchRgb(200, 60, 90)) << "the original";
            EXPECT_EQ(pixels.At(scale(150 + 60), scale(38 + 20)), BenchRgb(201, 60, 90)) << "the new colour";
            // Column 64 of the red bar is red 128; stretching may land a column either side.
            const uint32_t bar = pixels.At(scale(45 + 1 + 64), scale(110 + 5));
            EXPECT_NEAR(int(bar >> 16), 128, 2);
            EXPECT_EQ(bar & 0xFFFF, BenchRgb(0, 60, 90)) << "the red bar";
            // The buttons lie below the slider block's lowest thumb.
            RECT ok{};
            GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
            EXPECT_GT(ok.top, scale(160 + 11 + 6));
            PressDialogButton(dialog, button);
        });
        EXPECT_EQ(PickColor(host.Handle(), BenchModule(), r, g, b), button == IDOK);
        EXPECT_TRUE(watcher.Ran());
        EXPECT_EQ(BenchRgb(r, g, b), BenchRgb(button == IDOK ? 201 : 200, 60, 90));
    }
}

}  // namespace
