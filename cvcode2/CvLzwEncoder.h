// The LZW encoder of GIF image data: palette indices in, minimum code size byte, 255-byte sub-blocks and
// terminator out, all through a CvFile. The only clear codes are the first and the one right after code 4095 is assigned.
#pragma once

#include <cstdint>

class CvFile;

class LzwEncoder {
public:
    explicit LzwEncoder(CvFile& file) : file_(file) {}
    ~LzwEncoder();
    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;

    // Writes the minimum code size byte (a size of 1 is raised to 2) and the first clear code.
    void Start(uint8_t codeSize);
    // Encodes rowCount rows of width indices, rowStride bytes apart; the matched string runs on between calls.
    // An index at or above 2^codeSize cannot be coded and raises 27.
    void EncodeRows(const uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride);
    // All rows of an image, in interlaced pass order when asked.
    void EncodeImage(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced);
    // Writes the pending string, the end code, the last sub-block and the terminator.
    void Finish();

private:
    struct Slot {
        uint16_t code;  // 0xFFFF: empty
        uint16_t next;  // slot of the next string with the same prefix, 0xFFFF: none
        uint8_t suffix;
    };

    void Encode(uint8_t pixel);
    void ResetTable();
    void WriteCode(uint16_t code);
    void PutByte(uint8_t byte);
    void FreeDictionary();

    CvFile& file_;
    uint16_t nextCode = 0;
    uint16_t clearCode = 0;
    uint16_t endCode = 0;
    uint16_t firstFreeCode = 0;
    uint16_t codeLimit = 0;
    uint16_t prefix = 0xFFFF;
    uint8_t codeBits = 0;
    uint8_t initialBits = 0;
    uint8_t emitBits = 0;  // width of the next code written: lags codeBits by one code, as decoders expect
    uint32_t bitBuffer = 0;
    uint16_t bitCount = 0;
    uint8_t block[256] = {};
    uint16_t blockFill = 0;
    Slot* dictionary = nullptr;
    uint16_t nextSlot = 0;
};
