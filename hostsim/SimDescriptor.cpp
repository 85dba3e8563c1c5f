// The simulated host's descriptor suites. Stored form of one item: key, type (native u32 each), then the value:
// integer and boolean a u32, enumerated two u32 (enumeration, value), string a length byte and its characters.
#include "hostsim/SimDescriptor.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "hostsim/HostSimulator.h"

namespace {

struct SimReader {
    std::vector<SimDescriptorItem> items;
    size_t next = 0;
    const SimDescriptorItem* current = nullptr;
    DescriptorKeyID* keyArray = nullptr;
    size_t keyCount = 0;  // counted at open: marking a key found zeroes it, which would end a later count early
};

struct SimWriter {
    std::vector<SimDescriptorItem> items;
};

SimReader* Reader(PIReadDescriptor r) {
    return reinterpret_cast<SimReader*>(r);
}
SimWriter* Writer(PIWriteDescriptor w) {
    return reinterpret_cast<SimWriter*>(w);
}

void AppendU32(std::string& bytes, uint32_t value) {
    bytes.append(reinterpret_cast<const char*>(&value), 4);
}

bool TakeU32(const char*& at, const char* end, uint32_t& value) {
    if (end - at < 4) return false;
    std::memcpy(&value, at, 4);
    at += 4;
    return true;
}

bool TakeText(const char*& at, const char* end, std::string& text) {
    if (at == end) return false;
    size_t length = uint8_t(*at++);
    if (size_t(end - at) < length) return false;
    text.assign(at, length);
    at += length;
    return true;
}

bool TakeValue(const char*& at, const char* end, SimDescriptorItem& item) {
    uint32_t number = 0;
    switch (item.type) {
        case typeInteger:
        case typeBoolean:
            if (!TakeU32(at, end, number)) return false;
            item.number = int32_t(number);
            return true;
        case typeEnumerated: return TakeU32(at, end, item.enumType) && TakeU32(at, end, item.enumValue);
        case typeChar: return TakeText(at, end, item.text);
        default: return false;
    }
}

// The current item when it has the type asked for; null otherwise (no key read yet, or a different type).
const SimDescriptorItem* Current(PIReadDescriptor r, DescType type) {
    const SimDescriptorItem* item = r ? Reader(r)->current : nullptr;
    return item && item->type == type ? item : nullptr;
}

PIReadDescriptor HC_CDECL OpenRead(Handle descriptor, DescriptorKeyID* keyArray) {
    if (!descriptor) return nullptr;
    auto* reader = new SimReader;
    reader->items = SimDescriptorItems(descriptor);
    reader->keyArray = keyArray;
    while (keyArray && keyArray[reader->keyCount]) ++reader->keyCount;
    return reinterpret_cast<PIReadDescriptor>(reader);
}

OSErr HC_CDECL CloseRead(PIReadDescriptor r) {
    delete Reader(r);
    return noErr;
}

Boolean HC_CDECL GetKey(PIReadDescriptor r, DescriptorKeyID* key, DescType* type, int32_t* flags) {
    SimReader* reader = Reader(r);
    if (!reader || reader->next >= reader->items.size()) {
        if (reader) reader->current = nullptr;
        return false;
    }
    reader->current = &reader->items[reader->next++];
    if (key) *key = reader->current->key;
    if (type) *type = reader->current->type;
    if (flags) *flags = 0;
    DescriptorKeyID* end = reader->keyArray + reader->keyCount;
    DescriptorKeyID* found = std::find(reader->keyArray, end, reader->current->key);
    if (found != end) *found = 0;
    return true;
}

OSErr HC_CDECL GetInteger(PIReadDescriptor r, int32_t* value) {
    const SimDescriptorItem* item = Current(r, typeInteger);
    if (!item || !value) return paramErr;
    *value = item->number;
    return noErr;
}

OSErr HC_CDECL GetPinnedInteger(PIReadDescriptor r, int32_t low, int32_t high, int32_t* value) {
    const SimDescriptorItem* item = Current(r, typeInteger);
    if (!item || !value || low > high) return paramErr;
    *value = std::clamp(item->number, low, high);
    return *value == item->number ? noErr : coercedParamErr;
}

OSErr HC_CDECL GetBoolean(PIReadDescriptor r, Boolean* value) {
    const SimDescriptorItem* item = Current(r, typeBoolean);
    if (!item || !value) return paramErr;
    *value = item->number != 0;
    return noErr;
}

OSErr HC_CDECL GetEnumerated(PIReadDescriptor r, DescType* value) {
    const SimDescriptorItem* item = Current(r, typeEnumerated);
    if (!item || !value) return paramErr;
    *value = item->enumValue;
    return noErr;
}

OSErr HC_CDECL GetString(PIReadDescriptor r, Str255* value) {
    const SimDescriptorItem* item = Current(r, typeChar);
    if (!item || !value) return paramErr;
    (*value)[0] = uint8_t(item->text.size());
    std::memcpy(*value + 1, item->text.data(), item->text.size());
    return noErr;
}

PIWriteDescriptor HC_CDECL OpenWrite() {
    return reinterpret_cast<PIWriteDescriptor>(new SimWriter);
}

OSErr HC_CDECL CloseWrite(PIWriteDescriptor w, Handle* descriptor) {
    SimWriter* writer = Writer(w);
    if (!writer) return paramErr;
    Handle made = SimMakeDescriptor(writer->items);
    delete writer;
    if (!descriptor) {
        SimHandleProcs().disposeProc(made);
        return paramErr;
    }
    *descriptor = made;
    return noErr;
}

OSErr Put(PIWriteDescriptor w, const SimDescriptorItem& item) {
    if (!w) return paramErr;
    Writer(w)->items.push_back(item);
    return noErr;
}

OSErr HC_CDECL PutInteger(PIWriteDescriptor w, DescriptorKeyID key, int32_t value) {
    return Put(w, SimDescriptorItem::Integer(key, value));
}

OSErr HC_CDECL PutBoolean(PIWriteDescriptor w, DescriptorKeyID key, Boolean value) {
    return Put(w, SimDescriptorItem::Bool(key, value != 0));
}

OSErr HC_CDECL PutEnumerated(PIWriteDescriptor w, DescriptorKeyID key, DescType type, DescType value) {
    return Put(w, SimDescriptorItem::Enumerated(key, type, value));
}

OSErr HC_CDECL PutString(PIWriteDescriptor w, DescriptorKeyID key, const unsigned char* text) {
    if (!text) return paramErr;
    return Put(w, SimDescriptorItem::Text(key, std::string(reinterpret_cast<const char*>(text + 1), text[0])));
}

}  // namespace

SimDescriptorItem SimDescriptorItem::Integer(DescriptorKeyID key, int32_t value) {
    SimDescriptorItem item;
    item.key = key;
    item.type = typeInteger;
    item.number = value;
    return item;
}

SimDescriptorItem SimDescriptorItem::Bool(DescriptorKeyID key, bool value) {
    SimDescriptorItem item = Integer(key, value ? 1 : 0);
    item.type = typeBoolean;
    return item;
}

SimDescriptorItem SimDescriptorItem::Enumerated(DescriptorKeyID key, DescType enumType, DescType value) {
    SimDescriptorItem item;
    item.key = key;
    item.type = typeEnumerated;
    item.enumType = enumType;
    item.enumValue = value;
    return item;
}

SimDescriptorItem SimDescriptorItem::Text(DescriptorKeyID key, const std::string& value) {
    if (value.size() > 255) throw std::invalid_argument("a descriptor string holds at most 255 characters");
    SimDescriptorItem item;
    item.key = key;
    item.type = typeChar;
    item.text = value;
    return item;
}

bool SimDescriptorItem::operator==(const SimDescriptorItem& other) const {
    return key == other.key && type == other.type && number == other.number && enumType == other.enumType &&
           enumValue == other.enumValue && text == other.text;
}

Handle SimMakeDescriptor(const std::vector<SimDescriptorItem>& items) {
    std::string bytes;
    for (const SimDescriptorItem& item : items) {
        AppendU32(bytes, item.key);
        AppendU32(bytes, item.type);
        switch (item.type) {
            case typeInteger:
            case typeBoolean: AppendU32(bytes, uint32_t(item.number)); break;
            case typeEnumerated:
                AppendU32(bytes, item.enumType);
                AppendU32(bytes, item.enumValue);
                break;
            case typeChar:
                bytes += char(item.text.size());
                bytes += item.text;
                break;
            default: throw std::invalid_argument("the simulated host stores no values of this type");
        }
    }
    HandleProcs procs = SimHandleProcs();
    Handle descriptor = procs.newProc(int32_t(bytes.size()));
    std::memcpy(procs.lockProc(descriptor, false), bytes.data(), bytes.size());
    procs.unlockProc(descriptor);
    return descriptor;
}

std::vector<SimDescriptorItem> SimDescriptorItems(Handle descriptor) {
    std::vector<SimDescriptorItem> items;
    if (!descriptor) return items;
    HandleProcs procs = SimHandleProcs();
    const char* at = procs.lockProc(descriptor, false);
    const char* end = at + procs.getSizeProc(descriptor);
    SimDescriptorItem item;
    while (TakeU32(at, end, item.key) && TakeU32(at, end, item.type) && TakeValue(at, end, item)) {
        items.push_back(item);
        item = SimDescriptorItem{};
    }
    procs.unlockProc(descriptor);
    return items;
}

ReadDescriptorProcs SimReadDescriptorProcs() {
    ReadDescriptorProcs procs{};
    procs.readDescriptorProcsVersion = 0;
    procs.numReadDescriptorProcs = 18;
    procs.openReadDescriptorProc = OpenRead;
    procs.closeReadDescriptorProc = CloseRead;
    procs.getKeyProc = GetKey;
    procs.getIntegerProc = GetInteger;
    procs.getBooleanProc = GetBoolean;
    procs.getEnumeratedProc = GetEnumerated;
    procs.getStringProc = GetString;
    procs.getPinnedIntegerProc = GetPinnedInteger;
    return procs;
}

WriteDescriptorProcs SimWriteDescriptorProcs() {
    WriteDescriptorProcs procs{};
    procs.writeDescriptorProcsVersion = 0;
    procs.numWriteDescriptorProcs = 16;
    procs.openWriteDescriptorProc = OpenWrite;
    procs.closeWriteDescriptorProc = CloseWrite;
    procs.putIntegerProc = PutInteger;
    procs.putBooleanProc = PutBoolean;
    procs.putEnumeratedProc = PutEnumerated;
    procs.putStringProc = PutString;
    return procs;
}
