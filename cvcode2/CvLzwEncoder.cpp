// LZW encoding without hashing: dictionary slot k (k < 4096) heads the chain of strings extending code k,
// further chain members take slots from 4096 on. Codes are packed least significant bit first into sub-blocks.
#include "cvcode2/CvLzwEncoder.h"

#include <cstddef>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzw.h"

namespace {
constexpr uint16_t kNone = 0xFFFF;
constexpr uint32_t kSlots = 8192;
constexpr uint16_t kFirstChainSlot = 4096;
constexpr uint8_t kMaxBits = 12;
}  // namespace

LzwEncoder::~LzwEncoder() { FreeDictionary(); }

void LzwEncoder::FreeDictionary() {
    delete[] dictionary;
    dictionary = nullptr;
}

void LzwEncoder::Start(uint8_t codeSize) {
    if (codeSize == 0 || codeSize > 8) CV_THROW(kCvErrBadArgument);
    if (codeSize == 1) codeSize = 2;  // GIF has no 1-bit minimum code size
    FreeDictionary();
    dictionary = new (std::nothrow) Slot[kSlots];
    if (!dictionary) CV_THROW(kCvErrNoMemory);
    file_.WriteByte(codeSize);
    clearCode = uint16_t(1u << codeSize);
    endCode = uint16_t(clearCode + 1);
    firstFreeCode = uint16_t(clearCode + 2);
    initialBits = codeBits = emitBits = uint8_t(codeSize + 1);
    ResetTable();
    prefix = kNone;
    bitBuffer = 0;
    bitCount = 0;
    blockFill = 0;
    WriteCode(clearCode);
}

void LzwEncoder::ResetTable() {
    emitBits = codeBits;
    codeBits = initialBits;
    nextCode = firstFreeCode;
    codeLimit = uint16_t(1u << codeBits);
    for (uint32_t i = 0; i < kSlots; ++i) dictionary[i] = Slot{kNone, kNone, 0};
    nextSlot = kFirstChainSlot;
}

void LzwEncoder::EncodeRows(const uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    for (uint32_t row = 0; row < rowCount; ++row, rows += rowStride)
        for (uint32_t x = 0; x < width; ++x) Encode(rows[x]);
}

void LzwEncoder::EncodeImage(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes,
                             bool interlaced) {
    CvRowPass passes[4];
    uint32_t count = CvRowPasses(height, interlaced, passes);
    for (uint32_t i = 0; i < count; ++i)
        EncodeRows(pixels + std::size_t(passes[i].firstRow) * rowBytes, width, passes[i].rowCount,
                   passes[i].rowStep * rowBytes);
}

void LzwEncoder::Encode(uint8_t pixel) {
    if (pixel >= clearCode) CV_THROW(kCvErrBadArgument);
    if (prefix == kNone) {
        prefix = pixel;
        return;
    }
    // Find (prefix, pixel) in prefix's chain, or the slot that will hold it.
    Slot* slot = &dictionary[prefix];
    if (slot->code != kNone) {
        for (;;) {
            if (slot->suffix == pixel) {
                prefix = slot->code;
                return;
            }
            if (slot->next == kNone) break;
            slot = &dictionary[slot->next];
        }
        slot->next = nextSlot;
        slot = &dictionary[nextSlot];
    }
    *slot = Slot{nextCode, kNone, pixel};
    ++nextCode;
    ++nextSlot;

    WriteCode(prefix);
    if (nextCode >= codeLimit) {
        if (codeBits == kMaxBits) {
            ResetTable();
            WriteCode(clearCode);
        } else {
            ++codeBits;
            codeLimit = uint16_t(1u << codeBits);
        }
    }
    prefix = pixel;
}

void LzwEncoder::WriteCode(uint16_t code) {
    bitBuffer |= uint32_t(code) << bitCount;
    bitCount = uint16_t(bitCount + emitBits);
    while (bitCount >= 8) {
        PutByte(uint8_t(bitBuffer));
        bitBuffer >>= 8;
        bitCount = uint16_t(bitCount - 8);
    }
    emitBits = codeBits;
    if (code == endCode && bitCount > 0) {
        PutByte(uint8_t(bitBuffer));
        bitBuffer = 0;
        bitCount = 0;
    }
}

void LzwEncoder::PutByte(uint8_t byte) {
    block[++blockFill] = byte;
    if (blockFill == 255) {
        block[0] = 255;
        file_.Write(block, 256);
        blockFill = 0;
    }
}

void LzwEncoder::Finish() {
    FreeDictionary();
    if (prefix != kNone) WriteCode(prefix);
    WriteCode(endCode);
    if (blockFill > 0) {
        block[0] = uint8_t(blockFill);
        file_.Write(block, uint32_t(blockFill) + 1);
        blockFill = 0;
    }
    file_.WriteByte(0);
    prefix = kNone;
}
