// An off-screen 32-bit picture matching a window's display, drawn into directly and copied to that window.
// Pixels are B, G, R, 0 in memory, rows width × 4 bytes apart; row 0 is the top row only when built top-down.
#pragma once

#include <windows.h>

#include <cstdint>

class ControlBitmap {
public:
    ControlBitmap() = default;
    ~ControlBitmap();
    ControlBitmap(const ControlBitmap&) = delete;
    ControlBitmap& operator=(const ControlBitmap&) = delete;

    // A bitmap of the given size selected into a memory context compatible with the window's; any previous
    // picture is freed only once the new one exists. Any failing step raises kCvErrNoMemory.
    void Create(HWND window, int width, int height, bool topDown);
    // Recreates the bitmap (contents undefined) when the size differs; a negative height counts as its
    // absolute value. Returns whether it did. Failure raises kCvErrNoMemory and keeps the old picture.
    bool Resize(int width, int height);

    void Fill(uint8_t r, uint8_t g, uint8_t b);
    void SetPixel(int x, int y, uint8_t r, uint8_t g, uint8_t b);
    // The rectangle [left, right) × [top, bottom), clipped to the picture.
    void FillRect(int left, int top, int right, int bottom, uint8_t r, uint8_t g, uint8_t b);
    // Copies w × h pixels from (sx, sy) of this picture to (dx, dy) of the window's client area.
    void Blit(int dx, int dy, int sx, int sy, int w, int h) const;
    // The same, stretched to w × factor by h × factor (enlarge) or shrunk to w / factor by h / factor.
    void StretchBlit(int dx, int dy, int sx, int sy, int w, int h, int factor, bool enlarge) const;

    // Black outer line, white band up to 3 pixels in, black line 3 pixels in; the inside stays.
    void DrawFrame();
    // Everything inside a 4-pixel margin.
    void FillInside(uint8_t r, uint8_t g, uint8_t b);
    // The inside white, crossed by its two diagonals in black.
    void DrawCross();
    // Resized to the bitmap resource `id` of `module` and holding its pixels; a missing resource raises kCvErrNoMemory.
    void LoadResourceBitmap(HINSTANCE module, int id);
    // Light grey (192, 192, 192) becomes the system's button-face colour, so sprites blend with dialogs.
    void ToButtonFace();

    // Pixel memory; write only after GdiFlush() when GDI has drawn into the memory context.
    uint8_t* Pixels() const { return pixels; }
    // The start of picture row y (0 = top), whichever way the rows are stored.
    uint8_t* Row(int y) const;
    int Width() const { return width; }
    int Height() const { return height; }
    bool TopDown() const { return topDown; }
    HDC MemoryDC() const { return memoryDC; }
    HWND Window() const { return window; }

private:
    void Release();
    void SwapWith(ControlBitmap& other);
    void DrawRing(int inset, uint8_t r, uint8_t g, uint8_t b);

    HWND window = nullptr;
    HDC memoryDC = nullptr;
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    HGDIOBJ previousBitmap = nullptr;
    HBITMAP dib = nullptr;
    bool topDown = false;
};
