// Texts crossing the platform edge: the plug-in's byte strings in the system's code page, the window API's UTF-16.
// A conversion never fails: a string the code page cannot carry comes back with its replacement characters.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring WnWiden(const std::string& text) {
    if (text.empty()) return {};
    std::wstring wide(text.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), int(wide.size()))));
    return wide;
}

inline std::string WnNarrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

// The window's text, as long as it is.
inline std::wstring WnWindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}
