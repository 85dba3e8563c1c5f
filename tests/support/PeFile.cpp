// Parsing of the PE headers, export and import tables and the resource tree.
#include "tests/support/PeFile.h"

#include <stdexcept>

namespace {
[[noreturn]] void Malformed(const char* what) {
    throw std::runtime_error(std::string("malformed module: ") + what);
}
}  // namespace

uint32_t PeFile::U32(size_t offset) const {
    return U16(offset) | uint32_t(U16(offset + 2)) << 16;
}

uint16_t PeFile::U16(size_t offset) const {
    if (offset + 2 > bytes_.size()) Malformed("read past the end");
    auto b = reinterpret_cast<const unsigned char*>(bytes_.data() + offset);
    return uint16_t(b[0] | b[1] << 8);
}

size_t PeFile::Offset(uint32_t rva) const {
    for (const Section& s : sections_) {
        uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            size_t offset = size_t(rva - s.virtualAddress) + s.rawOffset;
            if (offset >= bytes_.size()) Malformed("address outside the file");
            return offset;
        }
    }
    Malformed("address in no section");
}

std::string PeFile::CString(uint32_t rva) const {
    size_t start = Offset(rva);
    size_t end = bytes_.find('\0', start);
    if (end == std::string::npos) Malformed("unterminated name");
    return bytes_.substr(start, end - start);
}

PeFile::PeFile(std::string bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() < 64 || bytes_.compare(0, 2, "MZ") != 0) Malformed("no MZ header");
    size_t pe = U32(0x3C);
    if (U32(pe) != 0x00004550) Malformed("no PE signature");
    machine_ = U16(pe + 4);
    uint16_t sectionCount = U16(pe + 6);
    uint16_t optionalSize = U16(pe + 20);
    size_t optional = pe + 24;
    uint16_t magic = U16(optional);
    if (magic != 0x10b && magic != 0x20b) Malformed("unknown optional header");
    is64_ = magic == 0x20b;
    size_t directories = optional + (is64_ ? 112 : 96);
    uint32_t directoryCount = U32(optional + (is64_ ? 108 : 92));
    size_t sectionTable = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        size_t s = sectionTable + size_t(i) * 40;
        sections_.push_back(Section{U32(s + 12), U32(s + 8), U32(s + 16), U32(s + 20)});
    }
    auto directoryRva = [&](uint32_t index) { return index < directoryCount ? U32(directories + index * 8) : 0u; };

    if (uint32_t exportRva = directoryRva(0)) {
        size_t dir = Offset(exportRva);
        uint32_t nameCount = U32(dir + 24), names = U32(dir + 32);
        for (uint32_t i = 0; i < nameCount; ++i) exports_.push_back(CString(U32(Offset(names) + i * 4)));
    }
    if (uint32_t importRva = directoryRva(1)) {
        for (size_t d = Offset(importRva);; d += 20) {
            uint32_t name = U32(d + 12);
            if (!name) break;
            imports_.push_back(CString(name));
        }
    }
    resourceRva_ = directoryRva(2);
}

uint32_t PeFile::FindEntry(uint32_t directory, const std::string* name, uint16_t id) const {
    size_t base = Offset(resourceRva_);
    size_t dir = base + directory;
    uint32_t named = U16(dir + 12), ids = U16(dir + 14);
    for (uint32_t i = 0; i < named + ids; ++i) {
        size_t entry = dir + 16 + size_t(i) * 8;
        uint32_t nameField = U32(entry), target = U32(entry + 4);
        if (nameField & 0x80000000u) {
            if (!name) continue;
            size_t text = base + (nameField & 0x7fffffffu);
            uint16_t length = U16(text);
            std::string ascii;
            for (uint16_t c = 0; c < length; ++c) ascii += char(U16(text + 2 + size_t(c) * 2));
            if (ascii == *name) return target;
        } else if (!name && nameField == id) {
            return target;
        }
    }
    return 0;
}

std::string PeFile::ResourceData(uint32_t typeEntry, uint16_t id) const {
    if (!(typeEntry & 0x80000000u)) Malformed("resource type is not a directory");
    uint32_t nameEntry = FindEntry(typeEntry & 0x7fffffffu, nullptr, id);
    if (!(nameEntry & 0x80000000u)) throw std::runtime_error("no resource with id " + std::to_string(id));
    size_t languages = Offset(resourceRva_) + (nameEntry & 0x7fffffffu);
    if (U16(languages + 12) + U16(languages + 14) == 0) Malformed("resource without a language");
    uint32_t dataEntry = U32(languages + 16 + 4);
    if (dataEntry & 0x80000000u) Malformed("language entry is a directory");
    size_t data = Offset(resourceRva_) + dataEntry;
    uint32_t rva = U32(data), size = U32(data + 4);
    size_t offset = Offset(rva);
    if (offset + size > bytes_.size()) Malformed("resource data past the end");
    return bytes_.substr(offset, size);
}

std::string PeFile::Resource(const std::string& type, uint16_t id) const {
    if (!resourceRva_) throw std::runtime_error("module has no resources");
    uint32_t typeEntry = FindEntry(0, &type, 0);
    if (!typeEntry) throw std::runtime_error("no resource of type " + type);
    return ResourceData(typeEntry, id);
}

bool PeFile::HasResource(uint16_t type, uint16_t id) const {
    if (!resourceRva_) return false;
    uint32_t typeEntry = FindEntry(0, nullptr, type);
    if (!(typeEntry & 0x80000000u)) return false;
    return FindEntry(typeEntry & 0x7fffffffu, nullptr, id) != 0;
}
