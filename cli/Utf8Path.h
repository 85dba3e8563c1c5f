// The command holds every path as UTF-8 text; these turn it into a std::filesystem path and back.
// On Windows the plain narrow conversions of std::filesystem use the system code page; these never do.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::u8path(text);
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    return path.u8string();
}
