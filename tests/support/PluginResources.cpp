// Property list parsing: header, then 4-byte-padded records starting at offset 10.
#include "tests/support/PluginResources.h"

#include <stdexcept>

uint32_t ReadLE32(const std::string& bytes, size_t offset) {
    if (offset + 4 > bytes.size()) throw std::runtime_error("read past the end of a resource");
    auto b = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

std::string FourCC(uint32_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::vector<PlugInProperty> ParsePropertyList(const std::string& blob) {
    if (blob.size() < 10 || uint8_t(blob[0]) != 1 || blob[1] != 0) throw std::runtime_error("bad property list header");
    uint32_t count = ReadLE32(blob, 6);
    std::vector<PlugInProperty> properties;
    size_t offset = 10;
    for (uint32_t i = 0; i < count; ++i) {
        PlugInProperty property;
        property.vendor = FourCC(ReadLE32(blob, offset));
        property.key = FourCC(ReadLE32(blob, offset + 4));
        property.id = int32_t(ReadLE32(blob, offset + 8));
        uint32_t length = ReadLE32(blob, offset + 12);
        if (length % 4 != 0) throw std::runtime_error("property " + property.key + " length not a multiple of 4");
        if (offset + 16 + length > blob.size()) throw std::runtime_error("property past the end");
        property.data = blob.substr(offset + 16, length);
        properties.push_back(property);
        offset += 16 + length;
    }
    return properties;
}

const PlugInProperty* FindProperty(const std::vector<PlugInProperty>& properties, const std::string& key) {
    for (const auto& property : properties)
        if (property.key == key) return &property;
    return nullptr;
}
