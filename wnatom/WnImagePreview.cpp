// A zoomable, pannable picture of an image in a child window; the arithmetic lives in the portable layout and
// raster classes, this file only ties them to the window, its messages and the two off-screen bitmaps.
#include "wnatom/WnImagePreview.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvImage.h"
#include "wnatom/WnErrorExit.h"
#include "wnatom/WnGdi.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x48435056;  // one subclass per pane window
constexpr COLORREF kSurroundGrey = RGB(192, 192, 192);
constexpr wchar_t kWheelTarget[] = L"HalcynePreviewPane";  // marks a pane window for the wheel hook
constexpr int kWheelScrollPixels = 48;                     // scrolled per notch of the wheel alone

// The system sends the wheel to the window with the keyboard focus, which in a dialog is a list or an edit:
// while any pane exists, a hook on the thread's queue hands wheel messages over a pane to that pane instead.
class WheelToPane {
public:
    static void Attach(HWND pane) {
        SetPropW(pane, kWheelTarget, HANDLE(pane));
        if (panes++ == 0) hook = SetWindowsHookExW(WH_GETMESSAGE, Redirect, nullptr, GetCurrentThreadId());
    }
    static void Detach(HWND pane) {
        RemovePropW(pane, kWheelTarget);
        if (--panes == 0 && hook) UnhookWindowsHookEx(std::exchange(hook, nullptr));
    }

private:
    static LRESULT CALLBACK Redirect(int code, WPARAM removal, LPARAM lParam) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && removal == PM_REMOVE && message->message == WM_MOUSEWHEEL) {
            const POINT at{GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam)};
            HWND under = WindowFromPoint(at);
            if (under && GetPropW(under, kWheelTarget)) message->hwnd = under;
        }
        return CallNextHookEx(nullptr, code, removal, lParam);
    }

    static inline int panes = 0;
    static inline HHOOK hook = nullptr;
};

HcPoint PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

HcBgrxBuffer BufferOf(const ControlBitmap& bitmap) {
    return {bitmap.Pixels(), uint32_t(bitmap.Width()), uint32_t(bitmap.Height())};
}

}  // namespace

WnImagePreview::WnImagePreview(HWND window, int width, int height) : window(window) {
    Create(width, height, 0);
    Render();
    Paint();
}

WnImagePreview::WnImagePreview(HWND window, CvImage* image) : image(image), window(window) {
    Create(image ? int(image->GetWidth()) : 0, image ? int(image->GetHeight()) : 0, 0);
    Render();
    Paint();
}

WnImagePreview::~WnImagePreview() {
    WheelToPane::Detach(window);
    RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    if (GetCapture() == window) ReleaseCapture();
}

void WnImagePreview::Create(int width, int height, int zoomLevel) {
    ReadClientSize();
    // Seven spare columns and rows let the last zoomed-out blocks reach past the image's edge.
    auto full = std::make_unique<ControlBitmap>();
    full->Create(window, width + 7, height + 7, true);
    auto reduced = std::make_unique<ControlBitmap>();
    reduced->Create(window, width / 2 + 1, height / 2 + 1, true);
    fullBuffer = std::move(full);
    reducedBuffer = std::move(reduced);
    SetZoom(zoomLevel, false, width, height);
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        CV_THROW(kCvErrNoMemory);
    if (!GetPropW(window, kWheelTarget)) WheelToPane::Attach(window);
}

void WnImagePreview::ReadClientSize() {
    GetClientRect(window, &clientRect);
    layout.SetViewSize(clientRect.right - clientRect.left, clientRect.bottom - clientRect.top);
}

void WnImagePreview::SetZoom(int level, bool repaint, int width, int height) {
    if (!HcZoom::IsLevel(level)) return;
    layout.SetImageSize(uint32_t(std::max(width, 0)), uint32_t(std::max(height, 0)));
    layout.SetZoom(level);
    ApplyLayout(repaint);
}

void WnImagePreview::SetZoomLevel(int level, bool repaint) {
    SetZoom(level, repaint, int(layout.ImageWidth()), int(layout.ImageHeight()));
}

void WnImagePreview::ZoomStep(bool in) {
    // At the end levels the view stays as it is instead of jumping back to the top-left corner.
    if (layout.ZoomStep(in)) ApplyLayout(true);
}

void WnImagePreview::ShowSameView(const WnImagePreview& other) {
    if (other.layout.Zoom().level != layout.Zoom().level) SetZoomLevel(other.layout.Zoom().level, false);
    ScrollTo(other.layout.Origin(), false);
    Paint();
}

bool WnImagePreview::OnWheel(int delta, WPARAM keys, HcPoint pointer) {
    if (keys & MK_CONTROL) {
        bool changed = false;
        for (int steps = wheelSteps.Add(delta); steps != 0; steps += steps > 0 ? -1 : 1)
            changed |= layout.ZoomStepAbout(steps > 0, pointer);
        if (changed) ApplyLayout(true);
        return changed;
    }
    // Turning the wheel away from the user shows what lies above (or, with Shift, to the left).
    const int shift = MulDiv(delta, kWheelScrollPixels, HcWheelSteps::kNotch);
    return keys & MK_SHIFT ? PanBy(shift, 0, true) : PanBy(0, shift, true);
}

void WnImagePreview::SetImage(CvImage* newImage) {
    AdoptImage(newImage);
    Render();
    Paint();
}

void WnImagePreview::SetImageHidden(CvImage* newImage) {
    AdoptImage(newImage);
    hidden = true;
    Paint();
}

void WnImagePreview::Reveal() {
    hidden = false;
    Paint();
}

void WnImagePreview::AdoptImage(CvImage* newImage) {
    image = newImage;
    hidden = false;
    renderedRows = 0;
    fullRows = 0;
    const int width = image ? int(image->GetWidth()) : 0, height = image ? int(image->GetHeight()) : 0;
    if (uint32_t(width) != layout.ImageWidth() || uint32_t(height) != layout.ImageHeight()) {
        if (GetCapture() == window) ReleaseCapture();
        Create(width, height, layout.Zoom().level);
    }
}

void WnImagePreview::RenderRows(uint32_t top, uint32_t bottom) {
    bottom = std::min(bottom, layout.ImageHeight());
    if (!image || top >= bottom) return;
    GdiFlush();
    if (layout.Zoom().ZoomedOut()) {
        Raster().RenderBlocks(*image, layout.Zoom().den, top, bottom);
        fullRows = std::min(fullRows, top);
    } else {
        Raster().RenderRows(*image, top, bottom);
        if (top <= fullRows) fullRows = std::max(fullRows, bottom);
    }
    if (top <= renderedRows) renderedRows = std::max(renderedRows, bottom);
}

void WnImagePreview::BringFullUpTo(uint32_t rows) {
    rows = std::min(rows, renderedRows);
    if (!image || fullRows >= rows) return;
    GdiFlush();
    Raster().RenderRows(*image, fullRows, rows);
    fullRows = rows;
}

void WnImagePreview::OnResize() {
    ReadClientSize();
    ApplyLayout(true);
}

void WnImagePreview::ApplyLayout(bool repaint) {
    // A hidden picture's blocks are made only for the rows rendered so far; the rest come with their bands. Blocks
    // ahead of the 1 : 1 buffer are made again from the picture; a view of it at 1 : 1 or closer brings it up.
    const uint32_t den = layout.Zoom().den;
    if (layout.Zoom().ZoomedOut() && FullBehind())
        Raster().RenderBlocks(*image, den, 0, renderedRows);
    else if (layout.Zoom().ZoomedOut() && !hidden)
        Raster().Downsample(den);
    else if (layout.Zoom().ZoomedOut() && renderedRows > 0)
        Raster().DownsampleRect(den, 0, 0, int(layout.ImageWidth()) - 1, int(renderedRows) - 1);
    else
        BringFullUpToDate();
    OnViewChanged(repaint);
    if (repaint) Paint();
}

bool WnImagePreview::PanBy(int dx, int dy, bool repaint) {
    const bool moved = layout.Pan(dx, dy);
    if (moved && repaint) Paint();
    return moved;
}

bool WnImagePreview::ScrollTo(HcPoint origin, bool repaint) {
    const bool moved = layout.ScrollTo(origin);
    if (moved && repaint) Paint();
    return moved;
}

bool WnImagePreview::AutoScroll(HcPoint pointer) {
    const bool moved = layout.AutoScroll(pointer);
    if (moved) Paint();
    return moved;
}

HcPreviewRaster WnImagePreview::Raster() const {
    return HcPreviewRaster(BufferOf(*fullBuffer), BufferOf(*reducedBuffer), layout.ImageWidth(),
                           layout.ImageHeight());
}

void WnImagePreview::Render() {
    GdiFlush();
    const HcPreviewRaster raster = Raster();
    raster.Render(image);
    renderedRows = fullRows = layout.ImageHeight();
    if (layout.Zoom().ZoomedOut()) raster.Downsample(layout.Zoom().den);
}

void WnImagePreview::Redraw(int x0, int y0, int x1, int y1) {
    if (layout.Zoom().ZoomedOut()) Raster().DownsampleRect(layout.Zoom().den, x0, y0, x1, y1);
    Paint();
}

void WnImagePreview::Paint() {
    WnWindowDC dc(window);
    if (!dc.Get()) return;
    PaintSurround(dc.Get());
    if (image && !hidden) CopyImage();
}

void WnImagePreview::PaintSurround(HDC dc) const {
    const int saved = SaveDC(dc);
    if (image && !hidden) {
        const HcPoint origin = layout.Origin();
        ExcludeClipRect(dc, origin.x, origin.y, origin.x + layout.ScaledWidth(), origin.y + layout.ScaledHeight());
    }
    RECT around = clientRect;
    InflateRect(&around, 1, 1);
    WnBrush grey(CreateSolidBrush(kSurroundGrey));
    if (grey.Get()) FillRect(dc, &around, grey.Get());
    RestoreDC(dc, saved);
}

void WnImagePreview::CopyImage() const {
    const HcZoom& zoom = layout.Zoom();
    const HcPoint origin = layout.Origin();
    if (zoom.ZoomedOut()) {
        reducedBuffer->Blit(origin.x, origin.y, 0, 0, layout.ScaledWidth(), layout.ScaledHeight());
        return;
    }
    // Enlarging only the image pixels that reach the view keeps an 8 : 1 view of a large image cheap.
    const int num = zoom.num;
    const int firstX = std::max(0, -origin.x / num), firstY = std::max(0, -origin.y / num);
    const int lastX = std::min<int>(layout.ImageWidth(), (layout.ViewWidth() - origin.x + num - 1) / num);
    const int lastY = std::min<int>(layout.ImageHeight(), (layout.ViewHeight() - origin.y + num - 1) / num);
    if (lastX <= firstX || lastY <= firstY) return;
    const int dx = origin.x + firstX * num, dy = origin.y + firstY * num;
    if (num == 1)
        fullBuffer->Blit(dx, dy, firstX, firstY, lastX - firstX, lastY - firstY);
    else
        fullBuffer->StretchBlit(dx, dy, firstX, firstY, lastX - firstX, lastY - firstY, num, true);
}

LRESULT CALLBACK WnImagePreview::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    LRESULT result = 0;
    bool handled = false;
    WnGuarded(window, [&] {
        handled = true;
        result = reinterpret_cast<WnImagePreview*>(self)->HandleMessage(message, wParam, lParam);
    });
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    return handled && result != -1 ? result : DefSubclassProc(window, message, wParam, lParam);
}

// -1 hands the message on to the window's own procedure.
LRESULT WnImagePreview::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            { WnPaintDC validate(window); }
            Paint();
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            OnResize();
            return 0;
        case WM_LBUTTONDOWN:
            OnMouseDown(PointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnMouseUp(PointOf(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(PointOf(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureLost();
            return 0;
        case WM_SETCURSOR:
            return LOWORD(lParam) == HTCLIENT && ShowPaneCursor() ? TRUE : -1;
        case WM_MOUSEWHEEL: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window, &at);
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam), {at.x, at.y});
            return 0;
        }
        default:
            return OnOtherMessage(message, wParam, lParam) ? 0 : -1;
    }
}
