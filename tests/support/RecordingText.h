// Scripting recordings written as text, for tests that build one or expect one: "Dpth=16 | Plt=Fine | Intr=false |
// tran=Cvtn:indx | comm=made by hand". Each item is KEY=VALUE, KEY the four-character code without its trailing
// spaces; VALUE a whole number is an integer, true or false a boolean, TYPE:VALUE an enumeration, anything else text.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "hostsim/SimDescriptor.h"

inline DescType FourCharacterCode(std::string code) {
    char padded[5] = "    ";
    code.copy(padded, 4);
    return MakeOSType(padded);
}

inline std::vector<SimDescriptorItem> RecordingItems(const std::string& text) {
    std::vector<SimDescriptorItem> items;
    for (size_t from = 0, bar; from <= text.size(); from = bar + 3) {
        bar = std::min(text.find(" | ", from), text.size());
        const std::string item = text.substr(from, bar - from), value = item.substr(item.find('=') + 1);
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
