// CvString storage management and the plain-string functions beside it.
// Every change of length reallocates before releasing, so a failed allocation leaves the string as it was.
#include "CvString.h"

#include <cstring>
#include <new>

#include "CvErrorCode.h"

namespace {
unsigned char* NewStorage(uint32_t length) {
    unsigned char* storage = CvAllocated(new (std::nothrow) unsigned char[size_t(length) + 2]);
    return storage;
}
}  // namespace

CvString::CvString() : length(0), chars(nullptr), storage(nullptr) {
    Assign(nullptr, 0);
}

CvString::CvString(const char* text) : length(0), chars(nullptr), storage(nullptr) {
    Assign(reinterpret_cast<const unsigned char*>(text), CvStrLen(text));
}

CvString::CvString(const unsigned char* pascalText) : length(0), chars(nullptr), storage(nullptr) {
    Assign(pascalText + 1, pascalText[0]);
}

CvString::CvString(const CvString& other) : length(0), chars(nullptr), storage(nullptr) {
    Assign(other.storage + 1, other.length);
}

CvString& CvString::operator=(const CvString& other) {
    if (this != &other) Assign(other.storage + 1, other.length);
    return *this;
}

CvString::~CvString() {
    delete[] storage;
}

void CvString::Assign(const unsigned char* characters, uint32_t count) {
    unsigned char* fresh = NewStorage(count);
    if (count) std::memcpy(fresh + 1, characters, count);
    delete[] storage;
    storage = fresh;
    length = count;
    chars = reinterpret_cast<char*>(storage + 1);
    Seal();
}

void CvString::SetLength(uint32_t n) {
    unsigned char* fresh = NewStorage(n);
    uint32_t kept = n < length ? n : length;
    if (kept) std::memcpy(fresh + 1, storage + 1, kept);
    delete[] storage;
    storage = fresh;
    length = n;
    chars = reinterpret_cast<char*>(storage + 1);
    Seal();
}

void CvString::Seal() {
    storage[0] = static_cast<unsigned char>(length > 255 ? 255 : length);
    storage[length + 1] = 0;
}

CvString CvString::operator+(const CvString& other) const {
    CvString sum(*this);
    sum += other;
    return sum;
}

CvString& CvString::operator+=(const CvString& other) {
    uint32_t oldLength = length;
    uint32_t otherLength = other.length;
    if (this == &other) {
        SetLength(oldLength * 2);
        std::memcpy(storage + 1 + oldLength, storage + 1, oldLength);
    } else {
        SetLength(oldLength + otherLength);
        if (otherLength) std::memcpy(storage + 1 + oldLength, other.storage + 1, otherLength);
    }
    return *this;
}

int16_t CvString::Compare(const CvString& other) const {
    uint32_t common = length < other.length ? length : other.length;
    for (uint32_t i = 0; i < common; ++i) {
        int difference = int(storage[i + 1]) - int(other.storage[i + 1]);
        if (difference) return static_cast<int16_t>(difference);
    }
    if (length > other.length) return 1;
    if (length < other.length) return -1;
    return 0;
}

uint32_t CvStrLen(const char* text) {
    return static_cast<uint32_t>(std::strlen(text));
}

void CvStrCopy(char* destination, const char* source) {
    std::memcpy(destination, source, std::strlen(source) + 1);
}

void CvPStrCopy(unsigned char* destination, const unsigned char* source) {
    std::memmove(destination, source, size_t(source[0]) + 1);
}

int16_t CvStrCompare(const char* a, const char* b) {
    uint32_t lengthA = CvStrLen(a), lengthB = CvStrLen(b);
    uint32_t common = lengthA < lengthB ? lengthA : lengthB;
    for (uint32_t i = 0; i < common; ++i) {
        int difference = int(static_cast<signed char>(a[i])) - int(static_cast<signed char>(b[i]));
        if (difference) return static_cast<int16_t>(difference);
    }
    return static_cast<int16_t>(int32_t(lengthA) - int32_t(lengthB));
}

int16_t CvPStrCompare(const unsigned char* a, const unsigned char* b) {
    uint32_t common = a[0] < b[0] ? a[0] : b[0];
    for (uint32_t i = 1; i <= common; ++i) {
        int difference = int(a[i]) - int(b[i]);
        if (difference) return static_cast<int16_t>(difference);
    }
    return static_cast<int16_t>(int(a[0]) - int(b[0]));
}

std::string CvPStrText(const unsigned char* source) {
    return std::string(reinterpret_cast<const char*>(source + 1), source[0]);
}

void CvPStrFromC(unsigned char* destination, const char* source) {
    size_t length = std::strlen(source);
    if (length > 255) length = 255;
    destination[0] = static_cast<unsigned char>(length);
    std::memcpy(destination + 1, source, length);
}
