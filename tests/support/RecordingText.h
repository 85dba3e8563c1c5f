// Scripting recordings written as text, for tests that build one or expect one: "Dpth=16 | Plt=Fine | Intr=false |
// tran=Cvtn:indx | comm=made by hand". Each item is KEY=VALUE, KEY the four-character code without its trailing
// spaces; VALUE a whole number is an integer, true or false a boolean, TYPE:VALUE an enumeration, anything else text.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "hostsim/SimDescriptor.h"
#include "tests/support/TestPaths.h"

inline DescType FourCharacterCode(std::string code) {
    char padded[5] = "    ";
    code.copy(padded, 4);
    return MakeOSType(padded);
}

// The items one by one: {"Dpth=16", "Plt=Fine"}.
inline std::vector<SimDescriptorItem> RecordingItems(const std::vector<std::string>& texts) {
    std::vector<SimDescriptorItem> items;
    for (const std::string& item : texts) {
        const std::string value = item.substr(item.find('=') + 1);
        const DescriptorKeyID key = FourCharacterCode(item.substr(0, item.find('=')));
        const size_t digits = value.find_first_not_of("0123456789", value[0] == '-' ? 1 : 0);
        if (value == "true" || value == "false")
            items.push_back(SimDescriptorItem::Bool(key, value == "true"));
        else if (!value.empty() && digits == std::string::npos)
            items.push_back(SimDescriptorItem::Integer(key, std::stoi(value)));
        else if (value.size() == 9 && value[4] == ':')
            items.push_back(SimDescriptorItem::Enumerated(key, FourCharacterCode(value.substr(0, 4)),
                                                          FourCharacterCode(value.substr(5))));
        else
            items.push_back(SimDescriptorItem::Text(key, value));
    }
    return items;
}

inline std::vector<SimDescriptorItem> RecordingItems(const std::string& text) {
    return RecordingItems(CellsOf(text));
}

// A failed comparison prints items as they are written here, not as bytes.
inline std::string CodeText(DescType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += char(code >> shift);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

inline void PrintTo(const SimDescriptorItem& item, std::ostream* out) {
    *out << CodeText(item.key) << '=';
    if (item.type == typeEnumerated)
        *out << CodeText(item.enumType) << ':' << CodeText(item.enumValue);
    else
        *out << (item.type == typeChar ? item.text : std::to_string(item.number));
}
