// A canvas of the button face on a bench host, for the self-drawn controls and the control bitmaps: every paint
// fills it with the face and then runs `draw`, so what a test reads back is exactly what `draw` put there.
#pragma once

#include <functional>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/WnAtoms.h"

// The button face as a captured pixel.
inline uint32_t ButtonFaceRgb() {
    const HcRgb face = WnButtonFace();
    return BenchRgb(face.red, face.green, face.blue);
}

// A test routes the canvas's messages to its control through canvas.onMessage.
class ControlCanvas {
public:
    ControlCanvas(int width, int height) : host(width, height), canvas(host.Handle(), {0, 0, width, height}) {
        canvas.onPaint = [this, width, height](HDC dc) {
            const RECT whole{0, 0, width, height};
            FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
            if (draw) draw();
        };
    }
    HWND Handle() const { return canvas.Handle(); }
    // The canvas painted again and read back from the display.
    BenchPixels Shown() {
        InvalidateRect(canvas.Handle(), nullptr, FALSE);
        return CaptureClient(canvas.Handle());
    }

    BenchHostWindow host;
    BenchCanvas canvas;
    std::function<void()> draw;
};
