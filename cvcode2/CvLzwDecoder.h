// The LZW decoder of GIF image data, reading through a seekable CvFile: minimum code size byte, sub-blocks, codes
// of 3 to 12 bits. It never reads or writes outside its tables or the rows given; malformed data raises 28.
#pragma once

#include <cstdint>

class CvFile;

class LzwDecoder {
public:
    explicit LzwDecoder(CvFile& file) : file_(file) {}
    ~LzwDecoder();
    LzwDecoder(const LzwDecoder&) = delete;
    LzwDecoder& operator=(const LzwDecoder&) = delete;

    // Reads the minimum code size byte (2..8, else 28) and allocates the tables.
    void Start();
    // Fills rowCount rows of width bytes, rowStride bytes apart. Bytes that do not fit wait for the next call;
    // rows the data does not reach keep their content. The file is read ahead in large pieces; what lies beyond
    // the current sub-block is given back (a relative seek) before returning.
    void DecodeRows(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride);
    // All rows of an image, in interlaced pass order when asked.
    void DecodeImage(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced);
    void Free();

private:
    struct Entry {
        uint16_t prefix;
        uint16_t length;  // characters in the string, 1 for the single-index codes
        uint8_t suffix;
    };

    void Decode(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride);
    uint16_t ReadCode();
    bool NextByte(uint8_t& byte);
    bool NextBlock();
    void FillInput(uint32_t count);
    void GiveBackInput();
    void ResetCodes();
    void Push(uint16_t value);
    // Pushes the string of `code` (a defined code), last character first; returns its first character.
    uint16_t PushString(uint16_t code);
    // Writes the string of `code` (a defined code) so that it ends just before `end`; returns its first character.
    uint16_t WriteString(uint16_t code, uint8_t* end) const;
    void AddEntry();

    CvFile& file_;
    uint8_t* input = nullptr;  // bytes read ahead from the file: sub-block lengths and data as they come
    uint32_t inputPos = 0;
    uint32_t inputEnd = 0;
    uint32_t blockLeft = 0;    // data bytes of the current sub-block not taken yet
    bool dataEnded = false;  // the block terminator was read: every further code is the end code
    uint8_t codeBits = 0;
    uint8_t initialBits = 0;
    uint16_t nextCode = 0;
    uint16_t clearCode = 0;
    uint16_t endCode = 0;
    uint16_t firstFreeCode = 0;
    uint16_t codeLimit = 0;
    uint32_t codeMask = 0;
    bool started = false;  // a first string has been read since the start or the last clear code
    uint16_t firstChar = 0;
    uint16_t lastCode = 0;
    uint16_t prevCode = 0;
    uint16_t currentCode = 0;
    uint64_t bitBuffer = 0;  // bits not used yet, least significant first
    uint8_t bitCount = 0;
    Entry* dictionary = nullptr;
    uint16_t* stack = nullptr;
    uint16_t stackCount = 0;
};
