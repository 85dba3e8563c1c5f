// LZW encoding with an open-addressing hash of (prefix, pixel) -> code; any exact map gives the same codes, as
// they are handed out in order. Codes are packed least significant bit first into 255-byte sub-blocks.
#include "cvcode2/CvLzwEncoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwLossy.h"
#include "cvcode2/CvProgressTask.h"

namespace {
constexpr uint16_t kNone = 0xFFFF;
constexpr uint8_t kMaxBits = 12;
// At most 4096 - 4 entries: the table stays under a sixteenth full. Probe runs, not cache misses, cost the time
// here (codes made one after another with the same pixel sit in neighbouring slots), so the table is big even
// though it is big (a clear empties only the slots taken).
constexpr uint32_t kHashBits = 16;
constexpr uint32_t kHashSize = 1u << kHashBits;
constexpr uint32_t kEmpty = 0xFFFFFFFF;   // no key reaches 0xFFFFF: prefixes stop at 4094
constexpr uint32_t kBlocksPerWrite = 64;  // sub-blocks sent to the file at once
constexpr uint32_t kBatchBytes = 255 * kBlocksPerWrite;
constexpr uint32_t kPixelsPerReport = 1u << 16;  // between progress reports: about a millisecond of coding

// The pixel's part of a hash slot: the top kHashBits of a multiplicative hash. XOR with the prefix code (below
// 2^12) gives the slot, so a code just found is one XOR away from the next lookup (the loop is serial in it).
inline uint32_t PixelHash(uint32_t pixel) {
    return (pixel * 0x9E3779B1u) >> (32 - kHashBits);
}
}  // namespace

// hash: key (prefix << 8 | pixel) in the upper 20 bits, the string's code in the lower 12.
// packed: code bytes not sent yet, fewer than kBatchBytes between codes (one code adds at most 2, the end 3 more;
// a code stores 4 bytes, those beyond its whole ones rewritten by the next).
// out: the same bytes cut into sub-blocks (length byte, 255 data bytes) and, at the end, the terminator; the
// bits flushed at the end may add a 65th, short sub-block.
// Lossy coding leaves the hash unused: the matcher keeps the strings as a tree it can search.
struct LzwEncoder::Tables {
    uint32_t hash[kHashSize];
    uint16_t slotOf[4096];  // the hash slot of each code made since the last clear
    uint8_t packed[kBatchBytes + 8];
    uint8_t out[(kBlocksPerWrite + 1) * 256];
};

LzwEncoder::~LzwEncoder() {
    FreeTables();
}

void LzwEncoder::FreeTables() {
    delete tables;
    tables = nullptr;
}

void LzwEncoder::Start(uint8_t codeSize, CvLossyMatcher* matcher) {
    if (codeSize == 0 || codeSize > 8) CV_THROW(kCvErrBadArgument);
    if (codeSize == 1) codeSize = 2;  // GIF has no 1-bit minimum code size
    FreeTables();
    lossy = matcher;
    bytesOut = 0;
    tables = CvAllocated(new (std::nothrow) Tables);
    Send(&codeSize, 1);
    clearCode = uint16_t(1u << codeSize);
    endCode = uint16_t(clearCode + 1);
    firstFreeCode = uint16_t(clearCode + 2);
    initialBits = codeBits = emitBits = uint8_t(codeSize + 1);
    std::fill(tables->hash, tables->hash + kHashSize, kEmpty);
    nextCode = firstFreeCode;
    ResetTable();
    prefix = kNone;
    bitBuffer = 0;
    bitCount = 0;
    packedFill = 0;
    WriteCode(clearCode);
}

// Bits gather in a 32-bit buffer, least significant first. Each code stores the buffer's four bytes and keeps only
// the whole ones: no branch on the fill, which would follow the irregular code widths (Finish pushes out the last
// byte, padded with zero bits).
inline void LzwEncoder::WriteCode(uint16_t code) {
    // Locals throughout: the byte stores may alias any member, which would otherwise be reloaded after each one.
    const uint32_t bits = bitBuffer | uint32_t(code) << bitCount;  // fewer than 8 bits wait, so a 12-bit code fits
    const uint32_t count = bitCount + emitBits;
    const uint32_t fill = packedFill;
    uint8_t* packed = tables->packed + fill;
    for (int i = 0; i < 4; ++i) packed[i] = uint8_t(bits >> (8 * i));
    emitBits = codeBits;
    bitBuffer = bits >> (count & ~7u);
    bitCount = uint8_t(count & 7);
    packedFill = fill + (count >> 3);
    if (packedFill >= kBatchBytes) SendBlocks(kBatchBytes, false);
}

void LzwEncoder::ResetTable() {
    emitBits = codeBits;
    codeBits = initialBits;
    if (lossy)
        lossy->Reset(clearCode);
    else
        for (uint32_t code = firstFreeCode; code < nextCode; ++code) tables->hash[tables->slotOf[code]] = kEmpty;
    nextCode = firstFreeCode;
    codeLimit = uint16_t(1u << codeBits);
}

inline void LzwEncoder::AddString(uint32_t key, uint32_t slot) {
    tables->hash[slot] = key << 12 | nextCode;
    tables->slotOf[nextCode] = uint16_t(slot);
    WritePrefixAndGrow();
}

inline void LzwEncoder::WritePrefixAndGrow() {
    ++nextCode;
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
}

void LzwEncoder::EncodeRows(const uint8_t* rows, uint32_t width, uint32_t rowCount, uint32_t rowStride) {
    if (!tables) CV_THROW(kCvErrBadArgument);  // not started
    if (width == 0 || rowCount == 0) return;
    if (lossy) {
        const CvRowPass all{0, 1, rowCount};
        return EncodePassesLossy(rows, width, rowStride, &all, 1, nullptr, nullptr, 0);
    }
    // The matched string's code lives in a local for the whole loop: stores into the output bytes may alias
    // any member, so the compiler could not keep a member in a register.
    uint32_t matched = prefix;
    const uint32_t* hash = tables->hash;
    const uint32_t limit = clearCode;
    uint32_t x = 0;
    if (matched == kNone) {  // the image's first pixel only starts a string
        if (rows[0] >= limit) CV_THROW(kCvErrBadArgument);
        matched = rows[x++];
    }
    for (uint32_t row = 0; row < rowCount; ++row, rows += rowStride, x = 0) {
        for (; x < width; ++x) {
            const uint32_t pixel = rows[x];
            if (pixel >= limit) {
                prefix = uint16_t(matched);
                CV_THROW(kCvErrBadArgument);
            }
            const uint32_t key = matched << 8 | pixel;
            uint32_t slot = PixelHash(pixel) ^ matched;
            uint32_t entry;
            // Linear probing: the string is in the table, or the first empty slot of its probe run takes it.
            while ((entry = hash[slot]) != kEmpty && (entry >> 12) != key) slot = (slot + 1) & (kHashSize - 1);
            if (entry != kEmpty) {
                matched = entry & 0xFFF;
                continue;
            }
            prefix = uint16_t(matched);
            AddString(key, slot);
            matched = pixel;
        }
    }
    prefix = uint16_t(matched);
}

// As exact coding does, the entry made when a string is written ends with the pixel that comes next, which starts
// the next string exactly; from there the matcher finds the rest of that string, stand-ins allowed.
void LzwEncoder::EncodeLossy(const uint8_t* pixels, size_t count, uint32_t rowLength, CvProgressTask* task,
                             uint32_t rowsBefore) {
    if (std::any_of(pixels, pixels + count, [&](uint8_t p) { return p >= clearCode; })) CV_THROW(kCvErrBadArgument);
    lossy->StartRows(rowLength);
    uint32_t matched = prefix;
    for (size_t at = 0, report = kPixelsPerReport; at < count;) {
        if (task && at >= report) {
            report = at + kPixelsPerReport;
            CV_PROGRESS(*task, rowsBefore + uint32_t(at / rowLength));
        }
        if (matched != kNone) {
            prefix = uint16_t(matched);
            lossy->Add(nextCode, matched, pixels[at]);
            WritePrefixAndGrow();
        }
        const CvLossyMatch match = lossy->Take(pixels, at, count, rowLength);
        matched = match.code;
        at += match.length;
    }
    prefix = uint16_t(matched);
}

// The rows of the passes one after another, so that the matcher looks ahead across their ends as exact coding
// carries a string across them.
void LzwEncoder::EncodePassesLossy(const uint8_t* pixels, uint32_t width, uint32_t rowBytes, const CvRowPass* passes,
                                   uint32_t count, CvProgressTask* task, const CvRowRewrite* rewrite,
                                   uint32_t rowsBefore) {
    if (!rewrite && count == 1 && passes[0].rowStep * rowBytes == width)
        return EncodeLossy(pixels + size_t(passes[0].firstRow) * rowBytes, size_t(width) * passes[0].rowCount, width,
                           task, rowsBefore);
    std::vector<uint8_t> joined;
    try {
        size_t rows = 0;
        for (uint32_t i = 0; i < count; ++i) rows += passes[i].rowCount;
        joined.resize(rows * width);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    uint8_t* to = joined.data();
    for (uint32_t i = 0; i < count; ++i)
        for (uint32_t row = 0; row < passes[i].rowCount; ++row, to += width) {
            const uint32_t y = passes[i].firstRow + row * passes[i].rowStep;
            if (rewrite)
                (*rewrite)(y, to);
            else
                std::memcpy(to, pixels + size_t(y) * rowBytes, width);
        }
    EncodeLossy(joined.data(), joined.size(), width, task, rowsBefore);
}

// Exact coding goes band by band, pass by pass: the coded string runs on across calls, so the bytes are those of
// one call. Rewritten rows are made a band at a time into a buffer of their own.
void LzwEncoder::EncodeImage(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t rowBytes, bool interlaced,
                             CvProgressTask* task, const CvRowRewrite* rewrite, uint32_t rowsBefore) {
    CvRowPass passes[4];
    const uint32_t count = CvRowPasses(height, interlaced, passes);
    if (lossy && width > 0) return EncodePassesLossy(pixels, width, rowBytes, passes, count, task, rewrite, rowsBefore);
    const uint32_t band = std::max<uint32_t>(1, kPixelsPerReport / std::max<uint32_t>(width, 1));
    std::vector<uint8_t> made;
    try {
        if (rewrite) made.resize(size_t(band) * width);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    uint32_t rowsDone = rowsBefore;
    for (uint32_t i = 0; i < count; ++i)
        for (uint32_t row = 0; row < passes[i].rowCount; row += band) {
            const uint32_t rows = std::min(band, passes[i].rowCount - row);
            const size_t first = passes[i].firstRow + size_t(row) * passes[i].rowStep;
            if (rewrite) {
                for (uint32_t k = 0; k < rows; ++k)
                    (*rewrite)(uint32_t(first + size_t(k) * passes[i].rowStep), &made[size_t(k) * width]);
                EncodeRows(made.data(), width, rows, width);
            } else {
                EncodeRows(pixels + first * rowBytes, width, rows, passes[i].rowStep * rowBytes);
            }
            rowsDone += rows;
            if (task) CV_PROGRESS(*task, rowsDone);
            if (Stopped()) return;
        }
}

// Cuts the first `count` packed bytes into sub-blocks of 255 (the last may be shorter), adds the terminator
// when asked, and writes it all in one call.
void LzwEncoder::SendBlocks(uint32_t count, bool terminate) {
    uint8_t* out = tables->out;
    uint32_t length = 0;
    for (uint32_t done = 0; done < count;) {
        const uint32_t part = count - done < 255 ? count - done : 255;
        out[length] = uint8_t(part);
        std::memcpy(out + length + 1, tables->packed + done, part);
        length += part + 1;
        done += part;
    }
    if (terminate) out[length++] = 0;
    packedFill -= count;
    std::memmove(tables->packed, tables->packed + count, packedFill);
    Send(out, length);
}

void LzwEncoder::Send(const uint8_t* bytes, uint32_t count) {
    bytesOut += count;
    if (file_) return file_->Write(bytes, count);
    try {
        memory_->insert(memory_->end(), bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
}

void LzwEncoder::Finish() {
    if (!tables) CV_THROW(kCvErrBadArgument);  // not started
    if (prefix != kNone) WriteCode(prefix);
    WriteCode(endCode);
    if (bitCount > 0) tables->packed[packedFill++] = uint8_t(bitBuffer);
    bitCount = 0;
    prefix = kNone;
    SendBlocks(packedFill, true);
    FreeTables();
}
