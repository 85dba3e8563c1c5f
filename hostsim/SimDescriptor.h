// The host side of the scripting descriptor procedures: a descriptor is a host handle holding its
// (key, type, value) items in stored order; readers return them in that order, writers append to a new handle.
#pragma once

#include <string>
#include <vector>

#include "hostapi/FilterHost.h"

// One stored item. Only the types the simulated host stores are used: integer, boolean, enumerated, string.
struct SimDescriptorItem {
    DescriptorKeyID key = 0;
    DescType type = 0;
    int32_t number = 0;     // typeInteger, and typeBoolean as 0 or 1
    DescType enumType = 0;  // typeEnumerated: the enumeration and its value
    DescType enumValue = 0;
    std::string text;  // typeChar: at most 255 characters, as a Str255 carries

    static SimDescriptorItem Integer(DescriptorKeyID key, int32_t value);
    static SimDescriptorItem Bool(DescriptorKeyID key, bool value);
    static SimDescriptorItem Enumerated(DescriptorKeyID key, DescType enumType, DescType value);
    static SimDescriptorItem Text(DescriptorKeyID key, const std::string& value);
    bool operator==(const SimDescriptorItem& other) const;
};

// A new descriptor handle (made by SimHandleProcs) holding the items; the caller disposes it.
Handle SimMakeDescriptor(const std::vector<SimDescriptorItem>& items);
// The items of a descriptor handle, in stored order; an unreadable tail is left off.
std::vector<SimDescriptorItem> SimDescriptorItems(Handle descriptor);

// The procedure tables the simulated host offers. Procedures the plug-in never calls are left null.
ReadDescriptorProcs SimReadDescriptorProcs();
WriteDescriptorProcs SimWriteDescriptorProcs();
