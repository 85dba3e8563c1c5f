// Terminology parsing: little-endian numbers, four-character codes as native integers, Pascal strings with no
// padding after them. Every read is bounds-checked so a damaged resource fails the test instead of crashing it.
#include "tests/support/Terminology.h"

#include <stdexcept>

#include "tests/support/PluginResources.h"

namespace {

class TermCursor {
public:
    explicit TermCursor(const std::string& blob) : blob_(blob) {}

    uint8_t U8() {
        Need(1);
        return uint8_t(blob_[offset_++]);
    }
    uint16_t U16() {
        uint16_t low = U8();
        return uint16_t(low | U8() << 8);
    }
    int16_t I16() { return int16_t(U16()); }
    std::string Code() {
        Need(4);
        std::string code = FourCC(ReadLE32(blob_, offset_));
        offset_ += 4;
        return code;
    }
    std::string PString() {
        size_t length = U8();
        Need(length);
        std::string text = blob_.substr(offset_, length);
        offset_ += length;
        return text;
    }
    // A count that must not be negative, as hosts read it.
    size_t Count() {
        int16_t count = I16();
        if (count < 0) throw std::runtime_error("negative count in the terminology");
        return size_t(count);
    }
    bool AtEnd() const { return offset_ == blob_.size(); }

private:
    void Need(size_t bytes) const {
        if (blob_.size() - offset_ < bytes) throw std::runtime_error("terminology ends early");
    }

    const std::string& blob_;
    size_t offset_ = 0;
};

TermEvent ReadEvent(TermCursor& in) {
    TermEvent event;
    event.name = in.PString();
    event.description = in.PString();
    event.eventClass = in.Code();
    event.id = in.Code();
    event.replyType = in.Code();
    event.replyDescription = in.PString();
    event.replyFlags = in.U16();
    event.directType = in.Code();
    event.directDescription = in.PString();
    event.directFlags = in.U16();
    for (size_t count = in.Count(); count > 0; --count) {
        TermParameter parameter;
        parameter.name = in.PString();
        parameter.key = in.Code();
        parameter.type = in.Code();
        parameter.description = in.PString();
        parameter.flags = in.U16();
        event.parameters.push_back(parameter);
    }
    return event;
}

TermEnumeration ReadEnumeration(TermCursor& in) {
    TermEnumeration enumeration;
    enumeration.id = in.Code();
    for (size_t count = in.Count(); count > 0; --count) {
        TermEnumItem item;
        item.name = in.PString();
        item.code = in.Code();
        item.description = in.PString();
        enumeration.items.push_back(item);
    }
    return enumeration;
}

TermSuite ReadSuite(TermCursor& in) {
    TermSuite suite;
    suite.name = in.PString();
    suite.description = in.PString();
    suite.id = in.Code();
    suite.level = in.I16();
    suite.version = in.I16();
    for (size_t count = in.Count(); count > 0; --count) suite.events.push_back(ReadEvent(in));
    suite.classCount = in.I16();
    suite.comparisonCount = in.I16();
    if (suite.classCount != 0 || suite.comparisonCount != 0)
        throw std::runtime_error("terminology with classes or comparison operators");
    for (size_t count = in.Count(); count > 0; --count) suite.enumerations.push_back(ReadEnumeration(in));
    return suite;
}

}  // namespace

Terminology ParseTerminology(const std::string& blob) {
    TermCursor in(blob);
    Terminology terminology;
    terminology.formatVersion = in.U16();
    terminology.major = in.U8();
    terminology.minor = in.U8();
    terminology.language = in.I16();
    terminology.script = in.I16();
    for (size_t count = in.Count(); count > 0; --count) terminology.suites.push_back(ReadSuite(in));
    if (!in.AtEnd()) throw std::runtime_error("bytes left over after the terminology");
    return terminology;
}
