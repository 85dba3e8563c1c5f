// LZW decoding of GIF image data. Every entry's prefix is a lower code than the entry, so a string walk ends after
// the entry's chunks; the line buffer holds less than a row plus one string, so a write never leaves it.
#include "cvcode2/CvLzwDecoder.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzw.h"

namespace {
constexpr uint32_t kDictionarySize = 4096;
constexpr uint32_t kMaxString = 4096;  // no string is longer than the table has codes
constexpr uint32_t kRunOver = 7;       // bytes a string write may overwrite after the string
constexpr uint8_t kMaxBits = 12;
constexpr uint32_t kInputSize = 32768;  // bytes asked of the file at once
}  // namespace

LzwDecoder::~LzwDecoder() {
    Free();
}

void LzwDecoder::Free() {
    delete[] dictionary;
    dictionary = nullptr;
    delete[] line;
    line = nullptr;
    lineCapacity = lineFill = 0;
    delete[] input;
    input = nullptr;
}

void LzwDecoder::Start() {
    uint8_t codeSize = file_.ReadByte();
    if (codeSize < 2 || codeSize > 8) CV_THROW(kCvErrBadData);
    Free();
    // The destructor frees whichever of the two was made when the other cannot be.
    dictionary = CvAllocated(new (std::nothrow) Entry[kDictionarySize]());
    input = CvAllocated(new (std::nothrow) uint8_t[kInputSize]);
    clearCode = uint16_t(1u << codeSize);
    endCode = uint16_t(clearCode + 1);
    firstFreeCode = uint16_t(clearCode + 2);
    initialBits = uint8_t(codeSize + 1);
    for (uint16_t code = 0; code < clearCode; ++code)
        dictionary[code] = Entry{{uint8_t(code)}, 0, 1, uint8_t(code), {}};
    ResetCodes();
    lastCode = 0;
    bitBuffer = 0;
    bitCount = 0;
    inputPos = inputEnd = blockLeft = 0;
    dataEnded = false;
}

void LzwDecoder::ResetCodes() {
    codeBits = initialBits;
    codeLimit = uint16_t(1u << codeBits);
    codeMask = codeLimit - 1u;
    nextCode = firstFreeCode;
    started = false;
}

// Makes sure the next `count` bytes are in the input buffer, reading ahead as far as the buffer goes; a file that
// ends first raises end-of-file.
void LzwDecoder::FillInput(uint32_t count) {
    if (inputEnd - inputPos >= count) return;
    inputEnd -= inputPos;
    std::memmove(input, input + inputPos, inputEnd);
    inputPos = 0;
    while (inputEnd < count) inputEnd += file_.Read(input + inputEnd, kInputSize - inputEnd);
}

// Seeks back over the bytes read ahead beyond the current sub-block and keeps that sub-block's rest, so the file
// stands where reading whole sub-blocks one at a time would have left it.
void LzwDecoder::GiveBackInput() {
    const uint32_t beyond = inputEnd - inputPos - blockLeft;
    if (beyond > 0) file_.Seek(1, -int32_t(beyond));
    std::memmove(input, input + inputPos, blockLeft);
    inputPos = 0;
    inputEnd = blockLeft;
}

// A sub-block is taken whole: its length byte, then all its data in the buffer before the first byte is used.
inline bool LzwDecoder::NextByte(uint8_t& byte) {
    if (blockLeft == 0 && !NextBlock()) return false;
    --blockLeft;
    byte = input[inputPos++];
    return true;
}

bool LzwDecoder::NextBlock() {
    if (dataEnded) return false;
    FillInput(1);
    blockLeft = input[inputPos++];
    if (blockLeft == 0) {
        dataEnded = true;
        return false;
    }
    FillInput(blockLeft);
    return true;
}

// Four bytes at a time while the sub-block has them (the buffer then holds 32 to 43 bits), else byte by byte.
inline uint16_t LzwDecoder::ReadCode() {
    if (bitCount < codeBits && blockLeft >= 4) {
        const uint8_t* bytes = input + inputPos;
        const uint32_t word =
            uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
        bitBuffer |= uint64_t(word) << bitCount;
        bitCount = uint8_t(bitCount + 32);
        inputPos += 4;
        blockLeft -= 4;
    }
    while (bitCount < codeBits) {
        uint8_t byte;
        if (!NextByte(byte)) return endCode;  // a code cut short by the terminator is not one
        bitBuffer |= uint64_t(byte) << bitCount;
        bitCount = uint8_t(bitCount + 8);
    }
    uint16_t code = uint16_t(bitBuffer & codeMask);
    bitBuffer >>= codeBits;
    bitCount = uint8_t(bitCount - codeBits);
    return code;
}

// The last chunk is copied whole, running over the string's end by up to 7 bytes; the chunks before it are full.
inline void LzwDecoder::WriteString(uint16_t code, uint8_t* at) const {
    const Entry* entries = dictionary;  // a local: the byte stores below could alias a member
    const uint32_t length = entries[code].length;
    const uint32_t tailLength = ((length - 1) & 7) + 1;
    uint8_t* chunk = at + length - tailLength;
    std::memcpy(chunk, entries[code].tail, 8);
    for (uint32_t chunks = (length - tailLength) / 8; chunks > 0; --chunks) {
        code = entries[code].prefix;
        chunk -= 8;
        std::memcpy(chunk, entries[code].tail, 8);
    }
}

// A full table stays full until a clear code: later codes only refer to entries, none is added.
inline void LzwDecoder::AddEntry(uint8_t character) {
    if (nextCode >= kDictionarySize) return;
    const Entry& previous = dictionary[prevCode];
    Entry& entry = dictionary[nextCode];
    const uint32_t at = previous.length & 7;  // where the new character goes in the last chunk
    if (at != 0) {
        entry = previous;  // same prefix and first character, the tail so far
    } else {
        entry.prefix = prevCode;
        entry.first = previous.first;
    }
    entry.tail[at] = character;
    entry.length = uint16_t(previous.length + 1);
    ++nextCode;
    if (nextCode >= codeLimit && codeBits < kMaxBits) {
        ++codeBits;
        codeLimit = uint16_t(1u << codeBits);
        codeMask = codeLimit - 1u;
    }
}

// Room for less than a row of waiting characters, one more string and its run-over; what waits is kept.
void LzwDecoder::ReserveLine(uint32_t width) {
    const uint32_t capacity = width + kMaxString + kRunOver;
    if (lineCapacity >= capacity) return;
    uint8_t* bigger = CvAllocated(new (std::nothrow) uint8_t[capacity]);
    if (lineFill > 0) std::memcpy(bigger, line, lineFill);
    delete[] line;
    line = bigger;
    lineCapacity = capacity;
}

void LzwDecoder::DecodeRows(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    if (width == 0 || rowCount == 0 || lastCode == endCode) return;
    if (!dictionary) CV_THROW(kCvErrBadArgument);  // not started
    ReserveLine(width);
    Decode(rows, width, rowCount, rowStride);
    GiveBackInput();
}

// Strings go one after another into the line buffer; each time it holds a whole row, the row is copied out and
// the rest (part of the last string) moves to the front. At the end of the data a partial row is copied as far
// as it goes.
void LzwDecoder::Decode(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    uint8_t* const buffer = line;
    uint32_t fill = lineFill;
    uint32_t row = 0;
    for (;;) {
        if (fill >= width) {
            uint32_t taken = 0;
            do {
                std::memcpy(rows, buffer + taken, width);
                taken += width;
                if (++row == rowCount) break;
                rows += rowStride;
            } while (fill - taken >= width);
            fill -= taken;
            std::memmove(buffer, buffer + taken, fill);
            if (row == rowCount) break;  // the rest waits for the next call
        }
        uint16_t code = lastCode = ReadCode();
        if (code == clearCode) {
            ResetCodes();
            while ((code = lastCode = ReadCode()) == clearCode) {
            }
        }
        if (code == endCode) {
            std::memcpy(rows, buffer, fill);
            fill = 0;
            break;
        }
        if (!started) {
            // The first string after a clear code, or at the very start of a stream that has none, is one index.
            if (code >= clearCode) CV_THROW(kCvErrBadData);
            started = true;
        } else {
            // Only the code about to be defined can appear early: the previous string plus its first character.
            if (code > nextCode) CV_THROW(kCvErrBadData);
            AddEntry(dictionary[code == nextCode ? prevCode : code].first);
        }
        prevCode = code;
        WriteString(code, buffer + fill);
        fill += dictionary[code].length;
    }
    lineFill = fill;
}

void LzwDecoder::DecodeImage(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced) {
    CvRowPass passes[4];
    uint32_t count = CvRowPasses(height, interlaced, passes);
    for (uint32_t i = 0; i < count; ++i)
        DecodeRows(pixels + std::size_t(passes[i].firstRow) * rowBytes, width, passes[i].rowCount,
                   passes[i].rowStep * rowBytes);
}
