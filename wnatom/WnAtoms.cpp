// Bitmap and text sprites drawn on a dialog at a fixed place: the building blocks of the self-drawn controls.
// Positions and sizes are given at 96 DPI; every atom draws at the window's DPI, so neighbouring atoms stay aligned.
#include "wnatom/WnAtoms.h"

#include "cvcode2/CvErrorCode.h"
#include "wnatom/WnGdi.h"

namespace {

constexpr int kTextCellHeight = 12;
constexpr int kTextCharWidth = 5;
constexpr int kTextLineStep = 14;

void LoadSprite(ControlBitmap& picture, HINSTANCE module, HWND window, int bitmapId) {
    picture.Create(window, 1, 1, true);
    picture.LoadResourceBitmap(module, bitmapId);
    picture.ToButtonFace();
}

}  // namespace

void WnDrawScaled(const ControlBitmap& picture, const WnDpiScale& scale, int x, int y, int width, int height) {
    WnDrawStretched(picture, HcPixelRect::At(scale(x), scale(y), scale.Extent(x, width), scale.Extent(y, height)));
}

void WnDrawStretched(const ControlBitmap& picture, const HcPixelRect& to) {
    if (to.Width() == picture.Width() && to.Height() == picture.Height()) {
        picture.Blit(to.left, to.top, 0, 0, to.Width(), to.Height());
        return;
    }
    if (!picture.Window() || !picture.MemoryDC()) return;
    WnWindowDC dc(picture.Window());
    if (!dc.Get()) return;
    // Nearest pixel, not blended: the sprites' thin lines stay black instead of turning grey.
    const int previousMode = SetStretchBltMode(dc.Get(), COLORONCOLOR);
    StretchBlt(dc.Get(), to.left, to.top, to.Width(), to.Height(), picture.MemoryDC(), 0, 0, picture.Width(),
               picture.Height(), SRCCOPY);
    if (previousMode) SetStretchBltMode(dc.Get(), previousMode);
}

HcRgb WnButtonFace() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return {GetRValue(face), GetGValue(face), GetBValue(face)};
}

WnCustomAtom::WnCustomAtom(HWND window, int x, int y, int width, int height)
    : window(window), scale(WnDpiScale::Of(window)), x(x), y(y), width(width), height(height) {}

WnSBRBAtom::WnSBRBAtom(HINSTANCE module, HWND window, int bitmapId, int x, int y) : WnCustomAtom(window, x, y, 0, 0) {
    LoadSprite(picture, module, window, bitmapId);
    Resize(picture.Width(), picture.Height());
}

WnDBRBAtom::WnDBRBAtom(HINSTANCE module, HWND window, int firstId, int secondId, int x, int y)
    : WnCustomAtom(window, x, y, 0, 0) {
    LoadSprite(pictures[0], module, window, firstId);
    LoadSprite(pictures[1], module, window, secondId);
    Resize(pictures[0].Width(), pictures[0].Height());
}

WnSTBAtom::WnSTBAtom(HWND window, int x, int y, int width, int height, HcRgb background, const std::string& text,
                     int yOffset)
    : WnCustomAtom(window, x, y, width, height), background(background), yOffset(yOffset) {
    picture.Create(window, scale.Extent(x, width), scale.Extent(y, height), true);
    SetText(text);
}

void WnSTBAtom::SetText(const std::string& text) {
    picture.Fill(background.red, background.green, background.blue);
    WnFont font(CreateFontW(scale(kTextCellHeight), scale(kTextCharWidth), 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
    if (!font.Get()) CV_THROW(kCvErrNoMemory);
    HDC dc = picture.MemoryDC();
    WnSelectObject selection(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    int line = 0;
    std::wstring pending;
    auto printLine = [&] {
        TextOutW(dc, 0, scale(yOffset + line * kTextLineStep), pending.data(), int(pending.size()));
        pending.clear();
        ++line;
    };
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n')
            printLine();
        else
            pending += wchar_t(static_cast<unsigned char>(c));
    }
    printLine();
    GdiFlush();
}
