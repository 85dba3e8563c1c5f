// The portable user-interface values as short text, for transcripts and failure messages: points "(x,y)",
// rectangles "[left,top right,bottom)" (half-open, as the types are) and colours "#RRGGBB".
#pragma once

#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

#include "uicore/HcUiTypes.h"

inline std::ostream& operator<<(std::ostream& out, HcPoint point) {
    return out << '(' << point.x << ',' << point.y << ')';
}

inline std::ostream& operator<<(std::ostream& out, const HcPixelRect& rect) {
    return out << '[' << rect.left << ',' << rect.top << ' ' << rect.right << ',' << rect.bottom << ')';
}

inline std::ostream& operator<<(std::ostream& out, HcRgb rgb) {
    const auto flags = out.flags();
    out << '#' << std::hex << std::uppercase << std::setfill('0') << std::setw(6)
        << (uint32_t(rgb.red) << 16 | uint32_t(rgb.green) << 8 | rgb.blue);
    out.flags(flags);
    return out << std::setfill(' ');
}

// Any of them as a string.
template <class Value>
std::string TextOf(const Value& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}
