// Display read-back through GDI: a BitBlt from the window's display context into a top-down 32-bit DIB.
// Deliberately independent of ControlBitmap, which the captures are there to check.
#include "tests/win/support/BenchCapture.h"

#include <cstdlib>
#include <stdexcept>

#include "tests/support/PngWriter.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/WnGdi.h"

BenchPixels CaptureClient(HWND window) {
    PumpUntilIdle();
    RECT client{};
    GetClientRect(window, &client);
    WnWindowDC source(window);
    const int width = client.right, height = client.bottom;
    BenchPixels pixels;
    if (!source.Get() || width <= 0 || height <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WnMemoryDC memory(source.Get());
    WnBitmap dib(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Get()) throw std::runtime_error("cannot create a capture bitmap");
    {
        WnSelectObject selection(memory.Get(), dib.Get());
        BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
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
