// Scoped owners of window-system resources: device contexts, selections, GDI objects, mouse capture and timers.
// Each gives back exactly what it took, once, when it goes out of scope; none can be copied.
#pragma once

#include <windows.h>

#include <utility>

// The display context of a window's client area (GetDC / ReleaseDC). Null when the window has none.
class WnWindowDC {
public:
    explicit WnWindowDC(HWND window) : window(window), dc(GetDC(window)) {}
    ~WnWindowDC() {
        if (dc) ReleaseDC(window, dc);
    }
    WnWindowDC(const WnWindowDC&) = delete;
    WnWindowDC& operator=(const WnWindowDC&) = delete;
    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// The display context of a WM_PAINT message (BeginPaint / EndPaint).
class WnPaintDC {
public:
    explicit WnPaintDC(HWND window) : window(window), dc(BeginPaint(window, &paint)) {}
    ~WnPaintDC() { EndPaint(window, &paint); }
    WnPaintDC(const WnPaintDC&) = delete;
    WnPaintDC& operator=(const WnPaintDC&) = delete;
    HDC Get() const { return dc; }
    const RECT& Dirty() const { return paint.rcPaint; }

private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};

// A memory context compatible with `like` (null: with the screen). Null when creation failed.
class WnMemoryDC {
public:
    explicit WnMemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
    WnMemoryDC(WnMemoryDC&& from) noexcept : dc(std::exchange(from.dc, nullptr)) {}
    WnMemoryDC& operator=(WnMemoryDC&& from) noexcept {
        std::swap(dc, from.dc);
        return *this;
    }
    ~WnMemoryDC() {
        if (dc) DeleteDC(dc);
    }
    HDC Get() const { return dc; }

private:
    HDC dc;
};

// A pen, brush, bitmap, palette, region or font that is deleted with DeleteObject.
template <class Handle>
class WnGdiObject {
public:
    explicit WnGdiObject(Handle handle = nullptr) : handle(handle) {}
    WnGdiObject(WnGdiObject&& from) noexcept : handle(std::exchange(from.handle, nullptr)) {}
    WnGdiObject& operator=(WnGdiObject&& from) noexcept {
        std::swap(handle, from.handle);
        return *this;
    }
    ~WnGdiObject() {
        if (handle) DeleteObject(handle);
    }
    Handle Get() const { return handle; }
    // Hands the object over to the caller, who then deletes it.
    Handle Release() { return std::exchange(handle, nullptr); }

private:
    Handle handle;
};

using WnPen = WnGdiObject<HPEN>;
using WnBrush = WnGdiObject<HBRUSH>;
using WnBitmap = WnGdiObject<HBITMAP>;
using WnPalette = WnGdiObject<HPALETTE>;
using WnRegion = WnGdiObject<HRGN>;
using WnFont = WnGdiObject<HFONT>;

// An object selected into a context for the scope, the previous one selected back at its end.
// Declare it after the object it selects, so the object outlives its selection. Not for regions, which
// SelectObject copies instead of selecting.
class WnSelectObject {
public:
    WnSelectObject(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~WnSelectObject() {
        if (previous && previous != HGDI_ERROR) SelectObject(dc, previous);
    }
    WnSelectObject(const WnSelectObject&) = delete;
    WnSelectObject& operator=(const WnSelectObject&) = delete;
    bool Selected() const { return previous && previous != HGDI_ERROR; }

private:
    HDC dc;
    HGDIOBJ previous;
};

// A palette selected (and realised when asked) for the scope; the previous palette goes back at its end.
class WnSelectPalette {
public:
    WnSelectPalette(HDC dc, HPALETTE palette, bool realize) : dc(dc), previous(SelectPalette(dc, palette, FALSE)) {
        if (previous && realize) RealizePalette(dc);
    }
    ~WnSelectPalette() {
        if (previous) SelectPalette(dc, previous, FALSE);
    }
    WnSelectPalette(const WnSelectPalette&) = delete;
    WnSelectPalette& operator=(const WnSelectPalette&) = delete;

private:
    HDC dc;
    HPALETTE previous;
};

// The mouse captured for a window until Release() or the end of the scope. Releasing gives the capture up only
// while this window still holds it, so a capture taken over by another window is left alone.
class WnMouseCapture {
public:
    WnMouseCapture() = default;
    explicit WnMouseCapture(HWND window) { Capture(window); }
    ~WnMouseCapture() { Release(); }
    WnMouseCapture(const WnMouseCapture&) = delete;
    WnMouseCapture& operator=(const WnMouseCapture&) = delete;
    void Capture(HWND window) {
        this->window = window;
        SetCapture(window);
    }
    void Release() {
        if (window && GetCapture() == window) ReleaseCapture();
        window = nullptr;
    }
    bool Holds() const { return window && GetCapture() == window; }

private:
    HWND window = nullptr;
};

// A window timer that runs until Stop() or the end of the scope; its WM_TIMER messages carry `id`.
class WnTimer {
public:
    WnTimer() = default;
    WnTimer(HWND window, UINT_PTR id, UINT milliseconds) { Start(window, id, milliseconds); }
    ~WnTimer() { Stop(); }
    WnTimer(const WnTimer&) = delete;
    WnTimer& operator=(const WnTimer&) = delete;
    // Restarting a running timer only changes its period.
    bool Start(HWND window, UINT_PTR id, UINT milliseconds) {
        if (running && (window != this->window || id != this->id)) Stop();
        this->window = window;
        this->id = id;
        running = SetTimer(window, id, milliseconds, nullptr) != 0;
        return running;
    }
    void Stop() {
        if (running) KillTimer(window, id);
        running = false;
    }
    bool Running() const { return running; }

private:
    HWND window = nullptr;
    UINT_PTR id = 0;
    bool running = false;
};
