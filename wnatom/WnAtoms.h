// Bitmap and text sprites drawn on a dialog at a fixed place: the building blocks of the self-drawn controls.
// Positions and sizes are given at 96 DPI; every atom draws at the window's DPI, so neighbouring atoms stay aligned.
#pragma once

#include <windows.h>

#include <string>

#include "uicore/HcUiTypes.h"
#include "wnatom/ControlBitmap.h"
#include "wnatom/WnDpi.h"

// Copies the whole picture into the rectangle (x, y, width, height) of its window, given at 96 DPI: stretched
// when the window's DPI or the rectangle's size asks for it, pixel for pixel otherwise.
void WnDrawScaled(const ControlBitmap& picture, const WnDpiScale& scale, int x, int y, int width, int height);
// Copies the whole picture onto `to` (the window's pixels), stretched pixel by pixel where the sizes differ.
void WnDrawStretched(const ControlBitmap& picture, const HcPixelRect& to);

// The system's button-face colour, the ground every sprite blends into.
HcRgb WnButtonFace();

class WnCustomAtom {
public:
    WnCustomAtom(HWND window, int x, int y, int width, int height);
    virtual ~WnCustomAtom() = default;
    WnCustomAtom(const WnCustomAtom&) = delete;
    WnCustomAtom& operator=(const WnCustomAtom&) = delete;

    virtual void Draw() const {}
    void MoveTo(int newX, int newY) { x = newX, y = newY; }
    void Resize(int newWidth, int newHeight) { width = newWidth, height = newHeight; }
    HcPixelRect Rect() const { return HcPixelRect::At(x, y, width, height); }

protected:
    HWND window;
    WnDpiScale scale;
    int x, y, width, height;
};

// One bitmap resource, its light grey turned into the button face; sized as the bitmap until resized.
class WnSBRBAtom : public WnCustomAtom {
public:
    WnSBRBAtom(HINSTANCE module, HWND window, int bitmapId, int x = 0, int y = 0);
    void Draw() const override { WnDrawScaled(picture, scale, x, y, width, height); }

private:
    ControlBitmap picture;
};

// Two bitmap resources and a state choosing which one shows (false: the first).
class WnDBRBAtom : public WnCustomAtom {
public:
    WnDBRBAtom(HINSTANCE module, HWND window, int firstId, int secondId, int x = 0, int y = 0);
    void SetState(bool second) { state = second; }
    bool State() const { return state; }
    void Draw() const override { WnDrawScaled(pictures[state ? 1 : 0], scale, x, y, width, height); }

private:
    ControlBitmap pictures[2];
    bool state = false;
};

// A text printed on a filled ground: a font 12 pixels high and 5 wide, lines split at line feeds (carriage
// returns skipped) and 14 pixels apart, the first `yOffset` pixels down. Rendered at the window's DPI.
class WnSTBAtom : public WnCustomAtom {
public:
    WnSTBAtom(HWND window, int x, int y, int width, int height, HcRgb background, const std::string& text,
              int yOffset = 0);
    void SetText(const std::string& text);
    void Draw() const override { picture.Blit(scale(x), scale(y), 0, 0, picture.Width(), picture.Height()); }

private:
    ControlBitmap picture;
    HcRgb background;
    int yOffset;
};
