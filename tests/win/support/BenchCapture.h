// Reading back what a window shows: its pixels copied from the display into memory, and saved as PNG files.
// Captured pixels are 0xRRGGBB values, rows top first, independent of how any bitmap stored them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct BenchPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, row after row from the top

    uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

constexpr uint32_t BenchRgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// The window's client area as shown on the display (pumps the queue first so pending painting is done).
BenchPixels CaptureClient(HWND window);
// The folder screenshots go to: HALCYNE_SCREENSHOT_DIR when set, else the build's screenshots folder.
std::string ScreenshotDir();
// Writes `pixels` as ScreenshotDir()/name.png and returns the file's path.
std::string SaveScreenshot(const BenchPixels& pixels, const std::string& name);
