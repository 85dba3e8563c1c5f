// Host window, canvases, module loading and message pumping for the Windows test bench.
// Windows are created visible at fixed screen positions so their pixels can be read back from the display.
#include "tests/win/support/BenchWindow.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/Platform.h"
#include "tests/support/TestPaths.h"
#include "wnatom/WnGdi.h"

namespace {

const wchar_t kHostClass[] = L"HalcyneBenchHost";
const wchar_t kCanvasClass[] = L"HalcyneBenchCanvas";

void RegisterOnce(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (!RegisterClassExW(&windowClass)) throw std::runtime_error("cannot register a bench window class");
}

// Dispatches one pending message, showing it to `observe` first; false when none was pending.
bool DispatchOne(const std::function<void(const MSG&)>& observe) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (observe) observe(message);
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

}  // namespace

std::string BenchModulePath() {
    return (std::filesystem::path(ExecutableDir()) / HC_MODULE_FILE).string();
}

HINSTANCE BenchModule() {
    static HINSTANCE module = [] {
        const std::filesystem::path path(BenchModulePath());
        HINSTANCE loaded = LoadLibraryW(path.wstring().c_str());
        if (!loaded) throw std::runtime_error("cannot load " + path.string());
        Platform::SetModuleInstance(loaded);
        return loaded;
    }();
    return module;
}

int BenchExpectedDpi() {
    const char* dpi = std::getenv("HALCYNE_WINE_DPI");
    return dpi && std::atoi(dpi) > 0 ? std::atoi(dpi) : 96;
}

BenchHostWindow::BenchHostWindow(int clientWidth, int clientHeight) {
    RegisterOnce(kHostClass, DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window = CreateWindowExW(0, kHostClass, L"Halcyne test bench", style, 0, 0, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) throw std::runtime_error("cannot create the bench host window");
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    PumpUntilIdle();
}

BenchHostWindow::~BenchHostWindow() {
    DestroyWindow(window);
    PumpUntilIdle(std::chrono::milliseconds(200));
}

HWND BenchHostWindow::AddControl(const wchar_t* className, int id, const RECT& rect, DWORD style) {
    HWND control = CreateWindowExW(0, className, L"", WS_CHILD | style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, window, reinterpret_cast<HMENU>(INT_PTR(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::runtime_error("cannot create a bench control");
    PumpUntilIdle();
    return control;
}

BenchCanvas::BenchCanvas(HWND parent, const RECT& rect, int id) {
    RegisterOnce(kCanvasClass, Procedure, nullptr);
    window = CreateWindowExW(0, kCanvasClass, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                             GetModuleHandleW(nullptr), this);
    if (!window) throw std::runtime_error("cannot create a bench canvas");
    PumpUntilIdle();
}

BenchCanvas::~BenchCanvas() {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

LRESULT CALLBACK BenchCanvas::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* canvas = reinterpret_cast<BenchCanvas*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (canvas && canvas->onMessage) canvas->onMessage(message, wParam, lParam);
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_LBUTTONUP && GetCapture() == window) ReleaseCapture();
        if (message == WM_PAINT) {
            WnPaintDC paint(window);
            if (canvas && canvas->onPaint) canvas->onPaint(paint.Get());
            return 0;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PumpUntilIdle(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        while (DispatchOne(nullptr))
            if (std::chrono::steady_clock::now() >= deadline) return;
        // A running timer alone does not count as activity: its messages are dispatched when due, but a
        // control's repeating timer must not keep the bench from ever being idle.
    } while (MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT & ~QS_TIMER) != WAIT_TIMEOUT &&
             std::chrono::steady_clock::now() < deadline);
    GdiFlush();
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               const std::function<void(const MSG&)>& observe) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (!DispatchOne(observe)) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool WaitForTimer(HWND window, UINT_PTR timerId, std::chrono::milliseconds limit) {
    bool fired = false;
    return PumpUntil([&] { return fired; }, limit,
                     [&](const MSG& message) {
                         fired |= message.message == WM_TIMER && message.hwnd == window && message.wParam == timerId;
                     });
}

void ResizeClient(HWND window, int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    const DWORD style = DWORD(GetWindowLongPtrW(window, GWL_STYLE));
    const bool menu = !(style & WS_CHILD) && GetMenu(window);  // a child's menu field holds its identifier
    AdjustWindowRectEx(&frame, style, menu, DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpUntilIdle();
}

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

std::string Ascii(const std::wstring& wide) {
    return std::string(wide.begin(), wide.end());
}

std::wstring WindowClass(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}
