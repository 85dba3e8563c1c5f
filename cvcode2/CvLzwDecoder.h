// The LZW decoder of GIF image data, reading through a seekable CvFile: minimum code size byte, sub-blocks, codes
// of 3 to 12 bits. It never reads or writes outside its tables or the rows given; malformed data raises kCvErrBadData.
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
    // Fills rowCount rows of width bytes, rowStride bytes apart. Bytes that do not fit wait for the next call
    // (of the same width); rows, or the end of a row, that the data does not reach keep their content. The file is read
    // ahead in large pieces; what lies beyond the current sub-block is given back (a relative seek) before returning.
    void DecodeRows(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride);
    // All rows of an image, in interlaced pass order when asked.
    void DecodeImage(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced);
    void Free();

private:
    // A string is its last chunk of up to 8 characters (`tail`) after the chunks of `prefix`, each a full 8
    // characters, so writing a string takes one 8-byte copy per chunk instead of one step per character.
    struct Entry {
        uint8_t tail[8];  // the last ((length - 1) % 8) + 1 characters; bytes after them are don't-care
        uint16_t prefix;  // the code whose string is everything before the tail (unused for a lone chunk)
        uint16_t length;  // characters in the string, 1 for the single-index codes
        uint8_t first;    // the string's first character
        uint8_t pad[3];
    };

    void Decode(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride);
    uint16_t ReadCode();
    bool NextByte(uint8_t& byte);
    bool NextBlock();
    void FillInput(uint32_t count);
    void GiveBackInput();
    void ResetCodes();
    void ReserveLine(uint32_t width);
    // Writes the string of a defined code at `at`; up to 7 bytes after it may be overwritten too.
    void WriteString(uint16_t code, uint8_t* at) const;
    // Defines the next code as prevCode's string plus `character`, unless the table is full.
    void AddEntry(uint8_t character);

    CvFile& file_;
    uint8_t* input = nullptr;  // bytes read ahead from the file: sub-block lengths and data as they come
    uint32_t inputPos = 0;
    uint32_t inputEnd = 0;
    uint32_t blockLeft = 0;  // data bytes of the current sub-block not taken yet
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
    uint16_t lastCode = 0;
    uint16_t prevCode = 0;
    uint64_t bitBuffer = 0;  // bits not used yet, least significant first
    uint8_t bitCount = 0;
    Entry* dictionary = nullptr;
    // Decoded characters not yet in a row: strings are written here with room to run over by 7 bytes, and each
    // row is copied out once complete. Holds less than a row plus one string plus that slack.
    uint8_t* line = nullptr;
    uint32_t lineCapacity = 0;
    uint32_t lineFill = 0;
};
