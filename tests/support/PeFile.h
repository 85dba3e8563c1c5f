// A small reader of Windows module files for tests: machine, exported names, imported DLLs, resources.
// Every offset is checked against the file, so a damaged module fails the test instead of crashing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PeFile {
public:
    explicit PeFile(std::string bytes);  // throws std::runtime_error on anything malformed

    uint16_t Machine() const { return machine_; }
    bool Is64Bit() const { return is64_; }
    const std::vector<std::string>& Exports() const { return exports_; }
    const std::vector<std::string>& Imports() const { return imports_; }
    // The data of resource (type, id) in its first language; throws when absent.
    std::string Resource(const std::string& type, uint16_t id) const;
    bool HasResource(uint16_t type, uint16_t id) const;

private:
    struct Section {
        uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
    };
    uint32_t U32(size_t offset) const;
    uint16_t U16(size_t offset) const;
    size_t Offset(uint32_t rva) const;
    std::string CString(uint32_t rva) const;
    // Resource directory lookup; returns the entry's raw field or 0.
    uint32_t FindEntry(uint32_t directory, const std::string* name, uint16_t id) const;
    std::string ResourceData(uint32_t typeEntry, uint16_t id) const;

    std::string bytes_;
    uint16_t machine_ = 0;
    bool is64_ = false;
    std::vector<Section> sections_;
    std::vector<std::string> exports_;
    std::vector<std::string> imports_;
    uint32_t resourceRva_ = 0;
};
