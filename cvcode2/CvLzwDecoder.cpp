// LZW decoding of GIF image data. Every entry's prefix is a lower code than the entry, so a string walk ends after
// the entry's length; the stack holds at most one string plus what a previous call could not place.
#include "cvcode2/CvLzwDecoder.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzw.h"

namespace {
constexpr uint32_t kDictionarySize = 4097;
constexpr uint32_t kStackSize = 8194;
constexpr uint16_t kStackLimit = 4097;  // a longer stack means the data is not a GIF code stream
constexpr uint8_t kMaxBits = 12;
constexpr uint32_t kInputSize = 32768;  // bytes asked of the file at once
}  // namespace

LzwDecoder::~LzwDecoder() { Free(); }

void LzwDecoder::Free() {
    delete[] dictionary;
    dictionary = nullptr;
    delete[] stack;
    stack = nullptr;
    delete[] input;
    input = nullptr;
}

void LzwDecoder::Start() {
    uint8_t codeSize = file_.ReadByte();
    if (codeSize < 2 || codeSize > 8) CV_THROW(kCvErrBadData);
    Free();
    dictionary = new (std::nothrow) Entry[kDictionarySize]();
    stack = new (std::nothrow) uint16_t[kStackSize];
    input = new (std::nothrow) uint8_t[kInputSize];
    if (!dictionary || !stack || !input) {
        Free();
        CV_THROW(kCvErrNoMemory);
    }
    clearCode = uint16_t(1u << codeSize);
    endCode = uint16_t(clearCode + 1);
    firstFreeCode = uint16_t(clearCode + 2);
    initialBits = uint8_t(codeSize + 1);
    for (uint16_t code = 0; code < clearCode; ++code) dictionary[code] = Entry{0, 1, uint8_t(code)};
    ResetCodes();
    stackCount = 0;
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
        const uint32_t word = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                              uint32_t(bytes[3]) << 24;
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

void LzwDecoder::Push(uint16_t value) {
    if (stackCount > kStackLimit) CV_THROW(kCvErrBadData);
    stack[stackCount++] = value;
}

uint16_t LzwDecoder::PushString(uint16_t code) {
    while (code >= clearCode) {
        Push(dictionary[code].suffix);
        code = dictionary[code].prefix;
    }
    Push(code);
    return code;
}

uint16_t LzwDecoder::WriteString(uint16_t code, uint8_t* end) const {
    const Entry* entries = dictionary;  // a local: the byte stores below could alias a member
    const uint16_t firstCompound = clearCode;
    while (code >= firstCompound) {
        *--end = entries[code].suffix;
        code = entries[code].prefix;
    }
    *--end = uint8_t(code);
    return code;
}

// A full table stays full until a clear code: nextCode stops at 4097 rather than running on (and, being 16 bits,
// wrapping round to codes that are long defined).
void LzwDecoder::AddEntry() {
    if (nextCode >= kDictionarySize) return;
    dictionary[nextCode] = Entry{prevCode, uint16_t(dictionary[prevCode].length + 1), uint8_t(firstChar)};
    ++nextCode;
    if (nextCode >= codeLimit && codeBits < kMaxBits) {
        ++codeBits;
        codeLimit = uint16_t(1u << codeBits);
        codeMask = codeLimit - 1u;
    }
}

void LzwDecoder::DecodeRows(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    if (width == 0 || rowCount == 0 || lastCode == endCode) return;
    if (!dictionary) CV_THROW(kCvErrBadArgument);  // not started
    Decode(rows, width, rowCount, rowStride);
    GiveBackInput();
}

// Each string goes straight into the row when it fits there; one that would cross the row's end (or meets a
// full last row) goes through the stack, which is emptied into the rows before the next code is read.
void LzwDecoder::Decode(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    uint32_t row = 0;
    uint32_t column = 0;
    for (;;) {
        while (stackCount > 0) {
            if (column == width) {
                if (++row == rowCount) return;  // the rest waits on the stack for the next call
                rows += rowStride;
                column = 0;
            }
            rows[column++] = uint8_t(stack[--stackCount]);
        }
        uint16_t code = lastCode = ReadCode();
        if (code == endCode) return;
        if (code == clearCode) {
            ResetCodes();
            while ((code = lastCode = ReadCode()) == clearCode) {}
            if (code == endCode) return;
        }
        const bool first = !started;
        uint16_t known = code;   // the code whose whole string is in the table
        uint32_t extra = 0;      // 1 when the string is known's string plus firstChar
        if (first) {
            // The first string after a clear code, or at the very start of a stream that has none, is one index.
            if (code >= clearCode) CV_THROW(kCvErrBadData);
            started = true;
        } else if (code >= nextCode) {
            // Only the code about to be defined can appear early: it is the previous string plus its first character.
            if (code > nextCode) CV_THROW(kCvErrBadData);
            known = prevCode;
            extra = 1;
        }
        const uint32_t length = dictionary[known].length + extra;
        if (length <= width - column) {
            uint8_t* at = rows + column;
            if (extra) at[length - 1] = uint8_t(firstChar);
            firstChar = WriteString(known, at + length - extra);
            column += length;
        } else {
            if (extra) Push(firstChar);
            firstChar = PushString(known);
        }
        if (!first) AddEntry();
        prevCode = currentCode = code;
    }
}

void LzwDecoder::DecodeImage(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced) {
    CvRowPass passes[4];
    uint32_t count = CvRowPasses(height, interlaced, passes);
    for (uint32_t i = 0; i < count; ++i)
        DecodeRows(pixels + std::size_t(passes[i].firstRow) * rowBytes, width, passes[i].rowCount,
                   passes[i].rowStep * rowBytes);
}
