// Reads back the module's scripting dictionary (terminology resource) as a host does, so tests compare
// what a host would see. Four-character codes come back as their four characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TermParameter {
    std::string name, key, type, description;
    uint16_t flags = 0;
};

struct TermEvent {
    std::string name, description, eventClass, id;
    std::string replyType, replyDescription;
    uint16_t replyFlags = 0;
    std::string directType, directDescription;
    uint16_t directFlags = 0;
    std::vector<TermParameter> parameters;
};

struct TermEnumItem {
    std::string name, code, description;
};

struct TermEnumeration {
    std::string id;
    std::vector<TermEnumItem> items;
};

struct TermSuite {
    std::string name, description, id;
    int16_t level = 0, version = 0;
    std::vector<TermEvent> events;
    int16_t classCount = 0, comparisonCount = 0;
    std::vector<TermEnumeration> enumerations;
};

struct Terminology {
    uint16_t formatVersion = 0;
    uint8_t major = 0, minor = 0;
    int16_t language = 0, script = 0;
    std::vector<TermSuite> suites;
};

// Throws std::runtime_error when the blob is malformed, ends early, has bytes left over, or holds classes or
// comparison operators (whose layout this reader does not know: the module defines none).
Terminology ParseTerminology(const std::string& blob);
