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

// Braced initialisation evaluates its fields in order, which is the order they are stored in.
TermEvent ReadEvent(TermCursor& in) {
    TermEvent event{in.PString(), in.PString(), in.Code(), in.Code(), in.Code(),
                    in.PString(), in.U16(),     in.Code(), in.PString(), in.U16(), {}};
    for (size_t count = in.Count(); count > 0; --count)
        event.parameters.push_back({in.PString(), in.Code(), in.Code(), in.PString(), in.U16()});
    return event;
}

TermEnumeration ReadEnumeration(TermCursor& in) {
    TermEnumeration enumeration{in.Code(), {}};
    for (size_t count = in.Count(); count > 0; --count)
        enumeration.items.push_back({in.PString(), in.Code(), in.PString()});
    return enumeration;
}

TermSuite ReadSuite(TermCursor& in) {
    TermSuite suite{in.PString(), in.PString(), in.Code(), in.I16(), in.I16(), {}, 0, 0, {}};
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
    Terminology terminology{in.U16(), in.U8(), in.U8(), in.I16(), in.I16(), {}};
    for (size_t count = in.Count(); count > 0; --count) terminology.suites.push_back(ReadSuite(in));
    if (!in.AtEnd()) throw std::runtime_error("bytes left over after the terminology");
    return terminology;
}
