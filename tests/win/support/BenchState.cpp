// A window's controls as text for transcripts, read through their own messages.
// The dialogs' texts are plain ASCII, written as they are.
#include "tests/win/support/BenchState.h"

// The common controls' messages need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "tests/win/support/BenchWindow.h"

namespace {

bool IsClass(HWND control, const wchar_t* name) {
    return _wcsicmp(WindowClass(control).c_str(), name) == 0;
}

std::string ComboItems(HWND box) {
    std::string items;
    const int count = int(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[300] = {};
        SendMessageW(box, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        items += (i ? "," : "") + Ascii(text);
    }
    return items;
}

std::string StateOf(HWND control) {
    std::string line = std::to_string(GetDlgCtrlID(control)) + " " + Ascii(WindowClass(control)) + " \"" +
                       Ascii(WindowText(control)) + "\"";
    if (!IsWindowEnabled(control)) line += " off";
    if (!IsWindowVisible(control)) line += " hidden";
    const auto holds = [&](UINT message) { return std::to_string(SendMessageW(control, message, 0, 0)); };
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (IsClass(control, L"Button") && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_GROUPBOX)
        line += " check " + holds(BM_GETCHECK);
    else if (IsClass(control, L"ComboBox"))
        line += " selected " + holds(CB_GETCURSEL) + " of " + ComboItems(control);
    else if (IsClass(control, TRACKBAR_CLASSW))
        line += " position " + holds(TBM_GETPOS);
    return line;
}

struct Reading {
    HWND window;
    bool places;
    std::string lines;
};

BOOL CALLBACK AddState(HWND control, LPARAM context) {
    auto* reading = reinterpret_cast<Reading*>(context);
    reading->lines += "\n  " + StateOf(control);
    if (reading->places) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, reading->window, reinterpret_cast<POINT*>(&rect), 2);
        reading->lines += " at " + RectText(rect);
    }
    return TRUE;
}

}  // namespace

std::string RectText(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " to " + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

std::string ControlStates(HWND window, bool places) {
    Reading reading{window, places, {}};
    EnumChildWindows(window, AddState, reinterpret_cast<LPARAM>(&reading));
    return reading.lines;
}
