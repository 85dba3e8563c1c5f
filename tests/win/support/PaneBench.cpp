// The dialog stand-in for pane tests and its asymmetric pictures.
#include "tests/win/support/PaneBench.h"

#include "cvcode2/CvImage.h"
#include "cvcode2/CvRealImage.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/ImageTestSupport.h"

namespace {

HWND AddChild(HWND parent, const wchar_t* className, const wchar_t* text, int id, int x, int y, int w, int h) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

PaneBench::PaneBench(int width, int height)
    : host(width, height), dialog(host.Handle(), {0, 0, width, height}, 100), cursors(BenchModule()) {
    AddChild(Dialog(), L"BUTTON", L"+", kZoomIn, 10, height - 30, 30, 22);
    AddChild(Dialog(), L"BUTTON", L"-", kZoomOut, 45, height - 30, 30, 22);
    AddChild(Dialog(), L"STATIC", L"", kZoomLabel, 85, height - 26, 60, 16);
    HcCursors::SetCurrent(&cursors);
    dialog.onMessage = [this](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_COMMAND) ++commands[LOWORD(wParam)];
    };
    PumpUntilIdle();
}

PaneBench::~PaneBench() {
    HcCursors::SetCurrent(nullptr);
}

HWND PaneBench::AddPane(const RECT& rect, int id) {
    panes.push_back(std::make_unique<BenchCanvas>(Dialog(), rect, id));
    return panes.back()->Handle();
}

uint32_t AsymmetricPixel(uint32_t x, uint32_t y) {
    const std::array<uint8_t, 3> rgb = Expected(x, y);
    return BenchRgb(rgb[0], rgb[1], rgb[2]);
}

std::unique_ptr<CvRGBImage> AsymmetricImage(uint32_t width, uint32_t height) {
    auto image = std::make_unique<CvRGBImage>(width, height);
    Paint(*image);
    return image;
}

uint32_t StripedColor(uint32_t index) {
    uint8_t r = 0, g = 0, b = 0;
    MakeIndexedPicture(1, 1, 8)->colorTable.GetEntry(index % 8, r, g, b);
    return BenchRgb(r, g, b);
}

std::unique_ptr<CvGIFFrame> StripedFrame(uint32_t width, uint32_t height) {
    auto frame = MakeFrame(
        width, height, 8, [](uint32_t x, uint32_t y) { return (x + 2 * y) % 8; },
        [](uint32_t, uint32_t) { return 0u; });
    const uint8_t background[3] = {0xFF, 0x00, 0xFF};
    frame->SetBackgroundColor(background);
    // The options dialog keeps the flag in line with the mask; on the bench it stays on, so the frame's pixels
    // show every transparent mask bit.
    frame->SetTransparency(true);
    return frame;
}

PixelSet TransparentPixels(const CvGIFFrame& frame) {
    PixelSet found;
    uint8_t rgb[3];
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
            frame.GetRGB(x, y, y + 1, x + 1, 0, 0, 3, 3, 0, 1, 2, rgb);
            if (BenchRgb(rgb[0], rgb[1], rgb[2]) == kFrameBackground) found.insert({x, y});
        }
    return found;
}
