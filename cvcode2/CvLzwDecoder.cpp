// LZW decoding of GIF image data. Every dictionary entry's prefix is a lower code than the entry itself, so a
// string walk always ends; the stack holds at most one string plus what a previous call could not place.
#include "cvcode2/CvLzwDecoder.h"

#include <cstddef>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzw.h"

namespace {
constexpr uint32_t kDictionarySize = 4097;
constexpr uint32_t kStackSize = 8194;
constexpr uint16_t kStackLimit = 4097;  // a longer stack means the data is not a GIF code stream
constexpr uint8_t kMaxBits = 12;
}  // namespace

LzwDecoder::~LzwDecoder() { Free(); }

void LzwDecoder::Free() {
    delete[] dictionary;
    dictionary = nullptr;
    delete[] stack;
    stack = nullptr;
}

void LzwDecoder::Start() {
    uint8_t codeSize = file_.ReadByte();
    if (codeSize < 2 || codeSize > 8) CV_THROW(kCvErrBadData);
    Free();
    dictionary = new (std::nothrow) Entry[kDictionarySize]();
    stack = new (std::nothrow) uint16_t[kStackSize];
    if (!dictionary || !stack) {
        Free();
        CV_THROW(kCvErrNoMemory);
    }
    clearCode = uint16_t(1u << codeSize);
    endCode = uint16_t(clearCode + 1);
    firstFreeCode = uint16_t(clearCode + 2);
    initialBits = uint8_t(codeSize + 1);
    ResetCodes();
    stackCount = 0;
    lastCode = 0;
    bitBuffer = 0;
    bitShift = bitFill = 0;
    blockLength = blockPos = 0;
    dataEnded = false;
}

void LzwDecoder::ResetCodes() {
    codeBits = initialBits;
    codeLimit = uint16_t(1u << codeBits);
    codeMask = codeLimit - 1u;
    nextCode = firstFreeCode;
    started = false;
}

bool LzwDecoder::NextByte(uint8_t& byte) {
    if (dataEnded) return false;
    if (blockPos == blockLength) {
        blockLength = file_.ReadByte();
        blockPos = 0;
        if (blockLength == 0) {
            dataEnded = true;
            return false;
        }
        file_.ReadFully(block, blockLength);
    }
    byte = block[blockPos++];
    return true;
}

uint16_t LzwDecoder::ReadCode() {
    while (bitFill < bitShift + codeBits) {
        uint8_t byte;
        if (!NextByte(byte)) return endCode;
        bitBuffer |= uint32_t(byte) << bitFill;
        bitFill = uint8_t(bitFill + 8);
    }
    uint16_t code = uint16_t((bitBuffer >> bitShift) & codeMask);
    uint32_t used = uint32_t(bitShift) + codeBits;
    bitBuffer >>= 8 * (used / 8);
    bitFill = uint8_t(bitFill - 8 * (used / 8));
    bitShift = uint8_t(used % 8);
    return code;
}

void LzwDecoder::Push(uint16_t value) {
    if (stackCount > kStackLimit) CV_THROW(kCvErrBadData);
    stack[stackCount++] = value;
}

uint16_t LzwDecoder::PushString(uint16_t code) {
    while (code >= clearCode) {
        if (code >= nextCode) CV_THROW(kCvErrBadData);
        Push(dictionary[code].suffix);
        code = dictionary[code].prefix;
    }
    Push(code);
    return code;
}

void LzwDecoder::AddEntry() {
    if (nextCode < kDictionarySize) dictionary[nextCode] = Entry{prevCode, uint8_t(firstChar)};
    ++nextCode;
    if (nextCode >= codeLimit && codeBits < kMaxBits) {
        ++codeBits;
        codeLimit = uint16_t(1u << codeBits);
        codeMask = codeLimit - 1u;
    }
}

void LzwDecoder::DecodeRows(uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    if (width == 0 || rowCount == 0 || lastCode == endCode) return;
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
        if (!started) {
            // The first string after a clear code, or at the very start of a stream that has none, is one index.
            if (code >= clearCode) CV_THROW(kCvErrBadData);
            prevCode = firstChar = code;
            Push(code);
            started = true;
            continue;
        }
        currentCode = code;
        if (code >= nextCode) {
            // Only the code about to be defined can appear early: it is the previous string plus its first character.
            if (code > nextCode) CV_THROW(kCvErrBadData);
            Push(firstChar);
            code = prevCode;
        }
        firstChar = PushString(code);
        AddEntry();
        prevCode = currentCode;
    }
}

void LzwDecoder::DecodeImage(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced) {
    CvRowPass passes[4];
    uint32_t count = CvRowPasses(height, interlaced, passes);
    for (uint32_t i = 0; i < count; ++i)
        DecodeRows(pixels + std::size_t(passes[i].firstRow) * rowBytes, width, passes[i].rowCount,
                   passes[i].rowStep * rowBytes);
}
