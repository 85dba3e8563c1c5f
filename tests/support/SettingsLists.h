// Builders and readers of the plug-in's saved-colour and palette lists, shared by the settings tests.
// Lists built here are freed by the tests with FreeColorList and FreePaletteList, as the plug-in frees its own, or
// with the OwnedGlobals that holds them.
#pragma once

#include <cstdint>
#include <string>

#include "common/HcGlobals.h"
#include "common/hcsettings.h"
#include "cvcode2/CvString.h"

// Appends a saved colour at the end of `list`.
inline void AppendColor(HcColorEntry*& list, const char* name, uint8_t red, uint8_t green, uint8_t blue) {
    HcColorEntry** tail = &list;
    while (*tail) tail = &(*tail)->next;
    *tail = NewColorEntry();
    CvPStrFromC((*tail)->name, name);
    (*tail)->red = red;
    (*tail)->green = green;
    (*tail)->blue = blue;
}

template <class Entry>
int ListLength(const Entry* entry) {
    int length = 0;
    for (; entry; entry = entry->next) ++length;
    return length;
}

// Run data whose lists are freed with it: the defaults (the built-in palettes, no saved colours), or all empty.
struct OwnedGlobals : HcGlobals {
    explicit OwnedGlobals(bool defaults = true) : HcGlobals() {
        if (defaults) SetDefaults(*this);
    }
    ~OwnedGlobals() {
        FreePaletteList(paletteList);
        FreeColorList(colorList);
    }
    OwnedGlobals(const OwnedGlobals&) = delete;
    OwnedGlobals& operator=(const OwnedGlobals&) = delete;
};

inline std::string PascalText(const unsigned char* pascal) {
    return std::string(reinterpret_cast<const char*>(pascal + 1), pascal[0]);
}
