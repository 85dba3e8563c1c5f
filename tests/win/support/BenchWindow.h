// The test bench's stand-in for the host: a top-level window, child canvases, the real module for resources,
// and a message pump. Everything runs on the test's own thread, as the plug-in runs on the host's UI thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

// The real plug-in module, loaded once per process for its resources (dialogs, cursors, bitmaps) and recorded
// as the plug-in's module instance, so code under test linked into the bench finds its resources there.
HINSTANCE BenchModule();
// Where that module lies, for tests that load it as a host does.
std::string BenchModulePath();

// The dots per inch the bench was started at: HALCYNE_WINE_DPI (which scripts/wine-run.sh writes into the
// private prefix before Wine starts), else 96.
int BenchExpectedDpi();

// A top-level window standing in for the host's main window, shown at the top left of the screen.
class BenchHostWindow {
public:
    explicit BenchHostWindow(int clientWidth = 640, int clientHeight = 480);
    ~BenchHostWindow();
    BenchHostWindow(const BenchHostWindow&) = delete;
    BenchHostWindow& operator=(const BenchHostWindow&) = delete;

    HWND Handle() const { return window; }
    // A child window of the given class (a standard control or a registered custom control).
    HWND AddControl(const wchar_t* className, int id, const RECT& rect, DWORD style = WS_VISIBLE);

private:
    HWND window = nullptr;
};

// A plain child window that draws nothing by itself: the target of ControlBitmap copies. It never erases its
// background; `onPaint` (when set) runs for every WM_PAINT between BeginPaint and EndPaint. It releases a mouse
// capture at button up, as a dragging control does.
class BenchCanvas {
public:
    BenchCanvas(HWND parent, const RECT& rect, int id = 1);
    ~BenchCanvas();
    BenchCanvas(const BenchCanvas&) = delete;
    BenchCanvas& operator=(const BenchCanvas&) = delete;

    HWND Handle() const { return window; }
    std::function<void(HDC)> onPaint;
    // Runs for every message: how a test routes input to the control it hosts here, or counts what arrives.
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
};

// Dispatches every pending message (painting included) until no new message but a timer's arrives for 30 ms;
// at most `limit` long.
void PumpUntilIdle(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
// Pumps messages until `done` holds or `limit` passes, showing each to `observe` first; returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               const std::function<void(const MSG&)>& observe = {});
// Pumps until a real WM_TIMER for `window` with `timerId` has been dispatched; false after `limit`.
bool WaitForTimer(HWND window, UINT_PTR timerId, std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
// Gives the window a client area of the given size with SetWindowPos (so it gets a real WM_SIZE), then pumps.
void ResizeClient(HWND window, int clientWidth, int clientHeight);
std::wstring WindowText(HWND window);
// A text of the dialogs, which are plain ASCII, as a narrow string.
std::string Ascii(const std::wstring& wide);
std::wstring WindowClass(HWND window);
