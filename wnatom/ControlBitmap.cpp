// The off-screen picture behind every self-drawn control and preview pane.
// The bitmap stays selected into its memory context from creation to destruction; nothing else owns either.
#include "wnatom/ControlBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLine.h"
#include "wnatom/WnGdi.h"

namespace {

uint32_t PackPixel(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
}

BITMAPINFO PictureInfo(int width, int height, bool topDown) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A display with a palette gets the halftone palette and stretch mode for the copy; any other display gets
// plain colour-on-colour stretching, since the default mode ANDs the pixels it drops when shrinking.
class DisplayCopyScope {
public:
    explicit DisplayCopyScope(HDC dc)
        : dc(dc),
          paletteDisplay((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0),
          previousMode(SetStretchBltMode(dc, paletteDisplay ? HALFTONE : COLORONCOLOR)) {
        if (!paletteDisplay) return;
        SetBrushOrgEx(dc, 0, 0, nullptr);  // halftone stretching requires it after the mode is set
        halftone = WnPalette(CreateHalftonePalette(dc));
        if (halftone.Get()) selection.emplace(dc, halftone.Get(), true);
    }
    ~DisplayCopyScope() {
        selection.reset();
        if (previousMode) SetStretchBltMode(dc, previousMode);
    }
    DisplayCopyScope(const DisplayCopyScope&) = delete;
    DisplayCopyScope& operator=(const DisplayCopyScope&) = delete;

private:
    HDC dc;
    bool paletteDisplay;
    int previousMode;
    WnPalette halftone;
    std::optional<WnSelectPalette> selection;
};

}  // namespace

ControlBitmap::~ControlBitmap() {
    Release();
}

void ControlBitmap::Release() {
    if (memoryDC && previousBitmap) SelectObject(memoryDC, previousBitmap);
    if (dib) DeleteObject(dib);
    if (memoryDC) DeleteDC(memoryDC);
    memoryDC = nullptr;
    dib = nullptr;
    previousBitmap = nullptr;
    pixels = nullptr;
    width = height = 0;
}

void ControlBitmap::SwapWith(ControlBitmap& other) {
    std::swap(window, other.window);
    std::swap(memoryDC, other.memoryDC);
    std::swap(pixels, other.pixels);
    std::swap(width, other.width);
    std::swap(height, other.height);
    std::swap(previousBitmap, other.previousBitmap);
    std::swap(dib, other.dib);
    std::swap(topDown, other.topDown);
}

void ControlBitmap::Create(HWND window, int width, int height, bool topDown) {
    if (width <= 0 || height <= 0) CV_THROW(kCvErrNoMemory);
    ControlBitmap fresh;  // frees whatever a failing step leaves half built
    fresh.window = window;
    fresh.topDown = topDown;
    {
        WnWindowDC windowDC(window);
        if (!windowDC.Get()) CV_THROW(kCvErrNoMemory);
        fresh.memoryDC = CreateCompatibleDC(windowDC.Get());
    }
    if (!fresh.memoryDC) CV_THROW(kCvErrNoMemory);
    BITMAPINFO info = PictureInfo(width, height, topDown);
    void* bits = nullptr;
    fresh.dib = CreateDIBSection(fresh.memoryDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!fresh.dib || !bits) CV_THROW(kCvErrNoMemory);
    fresh.pixels = static_cast<uint8_t*>(bits);
    fresh.width = width;
    fresh.height = height;
    HGDIOBJ previous = SelectObject(fresh.memoryDC, fresh.dib);
    if (!previous || previous == HGDI_ERROR) CV_THROW(kCvErrNoMemory);
    fresh.previousBitmap = previous;
    SwapWith(fresh);
}

bool ControlBitmap::Resize(int width, int height) {
    height = std::abs(height);
    if (dib && width == this->width && height == this->height) return false;
    Create(window, width, height, topDown);
    return true;
}

uint8_t* ControlBitmap::Row(int y) const {
    const int storedRow = topDown ? y : height - 1 - y;
    return pixels + size_t(storedRow) * size_t(width) * 4;
}

void ControlBitmap::FillRect(int left, int top, int right, int bottom, uint8_t r, uint8_t g, uint8_t b) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    if (left >= right) return;
    GdiFlush();
    const uint32_t value = PackPixel(r, g, b);
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(Row(y));
        std::fill(row + left, row + right, value);
    }
}

void ControlBitmap::Fill(uint8_t r, uint8_t g, uint8_t b) {
    FillRect(0, 0, width, height, r, g, b);
}

void ControlBitmap::SetPixel(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    FillRect(x, y, x + 1, y + 1, r, g, b);
}

void ControlBitmap::Blit(int dx, int dy, int sx, int sy, int w, int h) const {
    if (!window) return;  // without a window the context would be the whole screen's
    WnWindowDC dc(window);
    if (!dc.Get() || !memoryDC) return;
    DisplayCopyScope scope(dc.Get());
    BitBlt(dc.Get(), dx, dy, w, h, memoryDC, sx, sy, SRCCOPY);
}

void ControlBitmap::StretchBlit(int dx, int dy, int sx, int sy, int w, int h, int factor, bool enlarge) const {
    if (factor <= 0 || !window) return;
    WnWindowDC dc(window);
    if (!dc.Get() || !memoryDC) return;
    DisplayCopyScope scope(dc.Get());
    const int targetWidth = enlarge ? w * factor : w / factor;
    const int targetHeight = enlarge ? h * factor : h / factor;
    StretchBlt(dc.Get(), dx, dy, targetWidth, targetHeight, memoryDC, sx, sy, w, h, SRCCOPY);
}

void ControlBitmap::DrawRing(int inset, uint8_t r, uint8_t g, uint8_t b) {
    const int right = width - inset, bottom = height - inset;
    FillRect(inset, inset, right, inset + 1, r, g, b);
    FillRect(inset, bottom - 1, right, bottom, r, g, b);
    FillRect(inset, inset, inset + 1, bottom, r, g, b);
    FillRect(right - 1, inset, right, bottom, r, g, b);
}

void ControlBitmap::DrawFrame() {
    DrawRing(0, 0, 0, 0);
    DrawRing(1, 255, 255, 255);
    DrawRing(2, 255, 255, 255);
    DrawRing(3, 0, 0, 0);
}

void ControlBitmap::FillInside(uint8_t r, uint8_t g, uint8_t b) {
    FillRect(4, 4, width - 4, height - 4, r, g, b);
}

void ControlBitmap::DrawCross() {
    FillInside(255, 255, 255);
    const int left = 4, top = 4, right = width - 5, bottom = height - 5;
    if (right < left || bottom < top) return;
    // One diagonal walked, the other its mirror image, so the cross stays symmetric on any size.
    CvLine line;
    line.Init(left, top, right, bottom);
    int x = 0, y = 0;
    for (bool more = true; more;) {
        more = line.Next(&x, &y);
        SetPixel(x, y, 0, 0, 0);
        SetPixel(left + right - x, y, 0, 0, 0);
    }
}

void ControlBitmap::LoadResourceBitmap(HINSTANCE module, int id) {
    WnBitmap resource(
        static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size{};
    if (!resource.Get() || !GetObjectW(resource.Get(), sizeof size, &size)) CV_THROW(kCvErrNoMemory);
    Resize(size.bmWidth, size.bmHeight);
    BITMAPINFO info = PictureInfo(width, height, topDown);
    GdiFlush();
    if (GetDIBits(memoryDC, resource.Get(), 0, UINT(height), pixels, &info, DIB_RGB_COLORS) != height)
        CV_THROW(kCvErrNoMemory);
}

void ControlBitmap::ToButtonFace() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t faceValue = PackPixel(GetRValue(face), GetGValue(face), GetBValue(face));
    const uint32_t lightGrey = PackPixel(192, 192, 192);
    GdiFlush();
    for (int y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(Row(y));
        for (int x = 0; x < width; ++x)
            if ((row[x] & 0xFFFFFF) == lightGrey) row[x] = faceValue;
    }
}
