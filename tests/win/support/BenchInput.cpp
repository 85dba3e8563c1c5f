// Posted mouse and key messages for bench tests, routed as the system routes real input.
// Each action pumps the queue until idle before returning, so its effects are visible to the test.
#include "tests/win/support/BenchInput.h"

// The tab control's messages, which need the window types above.
#include <commctrl.h>

#include <array>

#include "tests/win/support/BenchWindow.h"

namespace {

void SetKeyDown(int virtualKey, bool down) {
    BYTE state[256];
    GetKeyboardState(state);
    state[virtualKey] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// The window that receives a mouse message aimed at `window`, and the point in its client coordinates.
HWND RouteMouse(HWND window, POINT& point) {
    HWND capture = GetCapture();
    if (!capture || capture == window) return window;
    ClientToScreen(window, &point);
    ScreenToClient(capture, &point);
    return capture;
}

// Puts Shift and/or Control, as the MK_ flags name them, down or up in the thread's keyboard state (GetKeyState).
void SetModifiers(WPARAM flags, bool down) {
    for (const auto& [flag, key, leftKey] :
         {std::array<int, 3>{MK_SHIFT, VK_SHIFT, VK_LSHIFT}, std::array<int, 3>{MK_CONTROL, VK_CONTROL, VK_LCONTROL}})
        if (flags & WPARAM(flag)) {
            SetKeyDown(key, down);
            SetKeyDown(leftKey, down);
        }
}

// The modifier keys the flags name are held while the message is handled.
void PostMouse(HWND window, UINT message, POINT point, WPARAM flags) {
    HWND target = RouteMouse(window, point);
    SetModifiers(flags, true);
    PostMessageW(target, message, flags, MAKELPARAM(short(point.x), short(point.y)));
    PumpUntilIdle();
    SetModifiers(flags, false);
}

}  // namespace

void MouseDown(HWND window, POINT point, WPARAM modifiers) {
    SetKeyDown(VK_LBUTTON, true);
    PostMouse(window, WM_MOUSEMOVE, point, modifiers);
    PostMouse(window, WM_LBUTTONDOWN, point, modifiers | MK_LBUTTON);
}

void MouseMove(HWND window, POINT point, WPARAM modifiers, bool buttonDown) {
    PostMouse(window, WM_MOUSEMOVE, point, modifiers | (buttonDown ? MK_LBUTTON : 0));
}

void MouseUp(HWND window, POINT point, WPARAM modifiers) {
    SetKeyDown(VK_LBUTTON, false);
    PostMouse(window, WM_LBUTTONUP, point, modifiers);
}

void Click(HWND window, POINT point, WPARAM modifiers) {
    MouseDown(window, point, modifiers);
    MouseUp(window, point, modifiers);
}

void ClickCentre(HWND window, const HcPixelRect& rect) {
    Click(window, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void Drag(HWND window, const std::vector<POINT>& path, WPARAM modifiers) {
    if (path.empty()) return;
    MouseDown(window, path.front(), modifiers);
    for (size_t i = 1; i < path.size(); ++i) MouseMove(window, path[i], modifiers);
    MouseUp(window, path.back(), modifiers);
}

std::vector<POINT> StraightPath(POINT from, POINT to, int steps) {
    std::vector<POINT> path;
    for (int i = 0; i <= steps; ++i)
        path.push_back({from.x + MulDiv(to.x - from.x, i, steps), from.y + MulDiv(to.y - from.y, i, steps)});
    return path;
}

void PressKey(HWND window, UINT virtualKey) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, 0 /* MAPVK_VK_TO_VSC */);
    SetKeyDown(int(virtualKey), true);
    PostMessageW(window, WM_KEYDOWN, virtualKey, LPARAM(1 | scanCode << 16));
    PumpUntilIdle();  // TranslateMessage in the pump adds WM_CHAR for character keys
    SetKeyDown(int(virtualKey), false);
    PostMessageW(window, WM_KEYUP, virtualKey, LPARAM(1 | scanCode << 16 | 3u << 30));
    PumpUntilIdle();
}

void ClickControl(HWND control) {
    RECT rect{};
    GetClientRect(control, &rect);
    Click(control, {5, rect.bottom / 2});
}

void ShowTab(HWND dialog, int tabsId, int tab) {
    HWND tabs = GetDlgItem(dialog, tabsId);
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(tab), reinterpret_cast<LPARAM>(&item));
    Click(tabs, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

void TurnWheel(HWND window, POINT screen, WPARAM keys, int delta) {
    PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, WORD(delta)), MAKELPARAM(screen.x, screen.y));
    PumpUntilIdle();
}

void TypeInto(HWND edit, const std::string& text) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (char c : text) PostMessageW(edit, WM_CHAR, WPARAM(c), 1);
    PumpUntilIdle();
}
