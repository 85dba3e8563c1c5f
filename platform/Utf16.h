// UTF-8 text, as every path and name is held inside, to and from the UTF-16 of the wide Windows calls.
// Windows builds only; a text that is not valid UTF-8 (or UTF-16) is refused, never guessed at or cut short.
#pragma once

#if defined(_WIN32)

#include <optional>
#include <string>

namespace Platform {

// Nothing when `utf8` is not valid UTF-8.
std::optional<std::wstring> Utf16FromUtf8(const std::string& utf8);
// Nothing when `utf16` holds an unpaired surrogate.
std::optional<std::string> Utf8FromUtf16(const std::wstring& utf16);

}  // namespace Platform

#endif
