// The dithering slider on a real window between controls 1052 and 1053: drags through real mouse messages, the
// label, and the parent told once per drag that ends on another stop; drawn at 0, 5 and 10; at 96 and 144 DPI.
#include <gtest/gtest.h>
#include <windowsx.h>

#include <memory>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnDitherSlider.h"
#include "wnatom/WnDpi.h"

namespace {

class DitherSliderBench {
public:
    // The track runs from 1052's right edge + 2 to 1053's left edge, both set in 96-DPI pixels.
    explicit DitherSliderBench(uint8_t value)
        : scale{BenchExpectedDpi()},
          host(scale(260), scale(80)),
          parent(host.Handle(), {0, 0, scale(260), scale(80)}),
          window(parent.Handle(), {0, 0, scale(260), scale(80)}) {
        AddStatic(kDitherLeftControl, {scale(10), scale(32), scale(40), scale(50)}, L"0");
        AddStatic(kDitherRightControl, {scale(40 + 6 + 150), scale(32), scale(230), scale(50)}, L"10");
        AddStatic(kDitherLabelControl, {scale(10), scale(5), scale(150), scale(22)}, L"");
        slider = std::make_unique<WnDitherSlider>(window.Handle(), value);
        window.onPaint = [this](HDC dc) {
            const RECT whole{0, 0, scale(260), scale(80)};
            FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
            slider->Draw();
        };
        window.onMessage = [this](UINT message, WPARAM, LPARAM lParam) {
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (message == WM_LBUTTONDOWN) slider->OnMouseDown(point);
            if (message == WM_MOUSEMOVE) slider->OnMouseMove(point);
            if (message == WM_LBUTTONUP) slider->OnMouseUp(point);
        };
        InvalidateRect(window.Handle(), nullptr, FALSE);
        PumpUntilIdle();
    }
    // A point on the thumb (window pixels).
    POINT Thumb() const { return {slider->Track().TipX(), scale(kDitherTrackY + 5)}; }
    POINT Stop(int stop) const { return {slider->Track().X0() + stop * slider->Track().Step(), Thumb().y}; }
    std::vector<BenchMessage> Notices() const { return parent.Received(WM_COMMAND); }
    std::wstring Label() const { return WindowText(GetDlgItem(window.Handle(), kDitherLabelControl)); }

    WnDpiScale scale;
    BenchHostWindow host;
    BenchCanvas parent, window;
    std::unique_ptr<WnDitherSlider> slider;

private:
    void AddStatic(int id, const RECT& rect, const wchar_t* text) {
        CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, window.Handle(), reinterpret_cast<HMENU>(INT_PTR(id)), nullptr,
                        nullptr);
    }
};

// At 96 and 144 DPI alike (the stops' geometry is HcDitherTrack's, tested in uicore/): a drag ending on another
// stop tells the parent once, one ending where it began or missing the thumb tells nothing.
TEST(WnDitherSliderTest, DragToAnotherStopTellsTheParentOnceAtTheDisplaysDpi) {
    DitherSliderBench bench(3);
    EXPECT_EQ(bench.Label(), L"Dithering:3");
    Drag(bench.window.Handle(), {bench.Thumb(), bench.Stop(5), bench.Stop(7)});
    EXPECT_EQ(bench.slider->Value(), 7);
    EXPECT_EQ(bench.Label(), L"Dithering:7");
    EXPECT_EQ(GetCapture(), nullptr);
    Drag(bench.window.Handle(), {bench.Thumb(), bench.Stop(9), bench.Stop(7)});
    Drag(bench.window.Handle(), {bench.Stop(9), bench.Stop(1)});  // no thumb under the press
    EXPECT_EQ(bench.slider->Value(), 7);
    ASSERT_EQ(bench.Notices().size(), 1u);
    EXPECT_EQ(bench.Notices()[0].wParam, WPARAM(kCommandSettingChanged));
    EXPECT_EQ(bench.Notices()[0].lParam, LPARAM(kSettingDither));
}

TEST(BenchDpiControls, DitherSliderAtItsEndsAndMiddle) {
    for (uint8_t value : {0, 5, 10}) {
        DitherSliderBench bench(value);
        const BenchPixels pixels = CaptureClient(bench.window.Handle());
        const int tipX = bench.slider->Track().TipX(), s = bench.scale(1);
        EXPECT_EQ(pixels.At(tipX, bench.scale(kDitherThumbBaseY) - s), 0u) << "the thumb below its stop";
        EXPECT_EQ(pixels.At(bench.slider->Track().X0(), bench.scale(kDitherEndTickTop)), 0u) << "the first end tick";
        EXPECT_EQ(pixels.At(bench.slider->Track().TrackRight(), bench.scale(kDitherTrackY)), 0u) << "the track's end";
        SaveScreenshot(pixels,
                       "dither-slider-" + std::to_string(value) + "-" + std::to_string(bench.scale.dpi) + "dpi");
    }
}

}  // namespace
