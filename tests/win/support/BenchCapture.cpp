// Display read-back through GDI: a BitBlt from the window's display context into a top-down 32-bit DIB.
// Deliberately independent of ControlBitmap, which the captures are there to check.
#include "tests/win/support/BenchCapture.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/PngWriter.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/WnGdi.h"

namespace {

BenchPixels CaptureFrom(HDC source, int width, int height) {
    BenchPixels pixels;
    if (!source || width <= 0 || height <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WnMemoryDC memory(source);
    WnBitmap dib(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Get()) throw std::runtime_error("cannot create a capture bitmap");
    {
        WnSelectObject selection(memory.Get(), dib.Get());
        BitBlt(memory.Get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
    }
    const auto* bytes = static_cast<const uint8_t*>(bits);  // B, G, R, unused
    pixels.width = width;
    pixels.height = height;
    pixels.rgb.resize(size_t(width) * size_t(height));
    for (size_t i = 0; i < pixels.rgb.size(); ++i)
        pixels.rgb[i] = BenchRgb(bytes[i * 4 + 2], bytes[i * 4 + 1], bytes[i * 4]);
    return pixels;
}

// The display context of a whole window, frame included.
class WholeWindowDC {
public:
    explicit WholeWindowDC(HWND window) : window(window), dc(GetWindowDC(window)) {}
    ~WholeWindowDC() {
        if (dc) ReleaseDC(window, dc);
    }
    WholeWindowDC(const WholeWindowDC&) = delete;
    WholeWindowDC& operator=(const WholeWindowDC&) = delete;
    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

}  // namespace

BenchPixels BenchPixels::Crop(int left, int top, int right, int bottom) const {
    BenchPixels part;
    part.width = right - left;
    part.height = bottom - top;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) part.rgb.push_back(At(x, y));
    return part;
}

BenchPixels CaptureClient(HWND window) {
    PumpUntilIdle();
    RECT client{};
    GetClientRect(window, &client);
    WnWindowDC dc(window);
    return CaptureFrom(dc.Get(), client.right, client.bottom);
}

BenchPixels CaptureWindow(HWND window) {
    PumpUntilIdle();
    RECT frame{};
    GetWindowRect(window, &frame);
    WholeWindowDC dc(window);
    return CaptureFrom(dc.Get(), frame.right - frame.left, frame.bottom - frame.top);
}

std::string ScreenshotDir() {
    const char* dir = std::getenv("HALCYNE_SCREENSHOT_DIR");
    return dir && *dir ? dir : HC_SCREENSHOT_DIR;
}

std::string SaveScreenshot(const BenchPixels& pixels, const std::string& name) {
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.rgb.size() * 3);
    for (uint32_t value : pixels.rgb)
        rgb.insert(rgb.end(), {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
    const std::string path = ScreenshotDir() + "/" + name + ".png";
    WritePngFile(path, pixels.width, pixels.height, rgb);
    return path;
}

std::string DescribePixels(const BenchPixels& pixels) {
    std::string text;
    char value[8];
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            std::snprintf(value, sizeof value, " %06X", unsigned(pixels.At(x, y)));
            text += value;
        }
        text += "\n";
    }
    return text;
}
