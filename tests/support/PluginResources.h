// Reads back the module's property list as a host does, so tests compare what a host would see.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PlugInProperty {
    std::string vendor;  // four characters
    std::string key;
    int32_t id;
    std::string data;
};

// Throws std::runtime_error when the blob is malformed (lengths past the end, lengths not a multiple of 4).
std::vector<PlugInProperty> ParsePropertyList(const std::string& blob);
const PlugInProperty* FindProperty(const std::vector<PlugInProperty>& properties, const std::string& key);
std::string FourCC(uint32_t nativeValue);
uint32_t ReadLE32(const std::string& bytes, size_t offset);
