// A byte string kept both NUL-terminated and length-prefixed in one storage, plus plain-string helpers.
// Storage byte 0 is min(length, 255), bytes 1..length the characters, byte length + 1 a NUL.
#pragma once

#include <cstdint>
#include <string>

class CvString {
public:
    CvString();
    explicit CvString(const char* text);
    explicit CvString(const unsigned char* pascalText);
    CvString(const CvString& other);
    CvString& operator=(const CvString& other);
    virtual ~CvString();

    // New storage of n characters keeping the first min(old, n); later characters are unspecified until written.
    void SetLength(uint32_t n);
    CvString operator+(const CvString& other) const;
    CvString& operator+=(const CvString& other);

    int16_t Compare(const CvString& other) const;
    bool operator==(const CvString& other) const { return Compare(other) == 0; }
    bool operator!=(const CvString& other) const { return Compare(other) != 0; }
    bool operator<(const CvString& other) const { return Compare(other) < 0; }
    bool operator>(const CvString& other) const { return Compare(other) > 0; }

    const char* CStr() const { return chars; }
    char* Chars() { return chars; }
    const unsigned char* PStr() const { return storage; }
    uint32_t Length() const { return length; }

private:
    void Assign(const unsigned char* characters, uint32_t count);
    void Seal();  // rewrites the length byte and the terminating NUL

    uint32_t length;
    char* chars;
    unsigned char* storage;
};

uint32_t CvStrLen(const char* text);
void CvStrCopy(char* destination, const char* source);
void CvPStrCopy(unsigned char* destination, const unsigned char* source);
int16_t CvStrCompare(const char* a, const char* b);
int16_t CvPStrCompare(const unsigned char* a, const unsigned char* b);
// Sets a length-prefixed string from NUL-terminated text, cut at 255 characters.
void CvPStrFromC(unsigned char* destination, const char* source);
// The characters of a length-prefixed string.
std::string CvPStrText(const unsigned char* source);
