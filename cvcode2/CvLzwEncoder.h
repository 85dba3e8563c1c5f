// The LZW encoder of GIF image data: palette indices in; code size byte, 255-byte sub-blocks and terminator out to
// a CvFile or memory, many sub-blocks a write. The only clear codes are the first and the one after code 4095 is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cvcode2/CvLzw.h"

class CvFile;
class CvLossyMatcher;
class CvProgressTask;

class LzwEncoder {
public:
    explicit LzwEncoder(CvFile& file) : file_(&file) {}
    // Appends the stream to `memory` (kept by the caller until Finish).
    explicit LzwEncoder(std::vector<uint8_t>& memory) : memory_(&memory) {}
    ~LzwEncoder();
    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;

    // Writes the minimum code size byte (a size of 1 is raised to 2) and the first clear code. With a matcher
    // (kept by the caller until Finish) pixels may be coded as stand-ins it allows; without one, exactly.
    void Start(uint8_t codeSize, CvLossyMatcher* lossy = nullptr);
    // Encodes rowCount rows of width indices, rowStride bytes apart; the matched string runs on between calls (when
    // lossy, a call's first string starts afresh: EncodeImage lets lossy strings run on across passes).
    // An index at or above 2^codeSize cannot be coded and raises kCvErrBadArgument.
    void EncodeRows(const uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride);
    // All rows of an image, in interlaced pass order when asked, telling `task` (may be null) rowsBefore plus how
    // many rows are coded about every 64K pixels; a stop it asks for raises kCvErrCancelled. With `rewrite`, the rows
    // coded are the ones it makes, and `pixels` is not read.
    void EncodeImage(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced,
                     CvProgressTask* task = nullptr, const CvRowRewrite* rewrite = nullptr, uint32_t rowsBefore = 0);
    // Exact coding in EncodeImage stops between bands of rows once the stream is longer than `bytes`: it can only
    // end longer still. Stopped tells whether the stream (unfinished, or finished) is longer than that.
    void StopAbove(uint64_t bytes) { stopAbove = bytes; }
    bool Stopped() const { return bytesOut + packedFill > stopAbove; }
    // Writes the pending string, the end code, the last sub-block and the terminator.
    void Finish();

private:
    struct Tables;

    // Enters (prefix, pixel) as code nextCode, writes prefix, and widens or clears the code table.
    void AddString(uint32_t key, uint32_t slot);
    void WritePrefixAndGrow();
    void EncodePassesLossy(const uint8_t* pixels, uint32_t width, uint32_t rowBytes, const CvRowPass* passes,
                           uint32_t count, CvProgressTask* task, const CvRowRewrite* rewrite, uint32_t rowsBefore);
    void EncodeLossy(const uint8_t* pixels, size_t count, uint32_t rowLength, CvProgressTask* task,
                     uint32_t rowsBefore);
    void ResetTable();
    void WriteCode(uint16_t code);
    void SendBlocks(uint32_t count, bool terminate);
    void Send(const uint8_t* bytes, uint32_t count);
    void FreeTables();

    CvFile* file_ = nullptr;                  // where the stream goes: a file,
    std::vector<uint8_t>* memory_ = nullptr;  // or else memory
    uint16_t nextCode = 0;
    uint16_t clearCode = 0;
    uint16_t endCode = 0;
    uint16_t firstFreeCode = 0;
    uint16_t codeLimit = 0;
    uint16_t prefix = 0xFFFF;
    uint8_t codeBits = 0;
    uint8_t initialBits = 0;
    uint8_t emitBits = 0;    // width of the next code written: lags codeBits by one code, as decoders expect
    uint32_t bitBuffer = 0;  // bits not yet in bytes (fewer than 8 between codes), least significant first
    uint8_t bitCount = 0;
    uint32_t packedFill = 0;  // code bytes waiting to be cut into sub-blocks and sent
    uint64_t bytesOut = 0;    // sent since Start
    uint64_t stopAbove = UINT64_MAX;
    Tables* tables = nullptr;
    CvLossyMatcher* lossy = nullptr;
};
