// Row, pixel and bit mirroring on raw raster memory, in place.
// Every routine touches exactly the bytes (or bits) of the pixels it is given, never the padding.
#include "cvcode2/CvFlip.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "cvcode2/CvErrorCode.h"

namespace CvFlip {

namespace {
uint8_t ReverseByte(uint8_t b) {
    b = uint8_t((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = uint8_t((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return uint8_t((b & 0xAA) >> 1 | (b & 0x55) << 1);
}
}  // namespace

void FlipRows(uint8_t* pixels, uint32_t unitBytes, uint32_t rowBytes, uint32_t unitsPerRow, uint32_t height) {
    const size_t bytes = size_t(unitBytes) * unitsPerRow;
    for (uint32_t i = 0; i < height / 2; ++i) {
        uint8_t* a = pixels + size_t(i) * rowBytes;
        uint8_t* b = pixels + size_t(height - 1 - i) * rowBytes;
        std::swap_ranges(a, a + bytes, b);
    }
}

void FlipPixels(uint8_t* pixels, uint32_t pixelBytes, uint32_t rowBytes, uint32_t width, uint32_t height) {
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + size_t(y) * rowBytes;
        for (uint32_t i = 0; i < width / 2; ++i) {
            uint8_t* a = row + size_t(i) * pixelBytes;
            uint8_t* b = row + size_t(width - 1 - i) * pixelBytes;
            std::swap_ranges(a, a + pixelBytes, b);
        }
    }
}

void FlipBits(uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height) {
    if (width < 2) return;
    // Reversing the row's whole bytes puts the pixels at bit `pad` of the reversed copy; copying them back
    // from there leaves the row's padding bits untouched.
    const size_t bytes = (size_t(width) + 7) / 8;
    const uint32_t pad = uint32_t(bytes * 8 - width);
    std::unique_ptr<uint8_t[]> reversed(CvAllocated(new (std::nothrow) uint8_t[bytes]));
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + size_t(y) * rowBytes;
        for (size_t k = 0; k < bytes; ++k) reversed[k] = ReverseByte(row[bytes - 1 - k]);
        CopyBits(reversed.get(), pad, row, 0, width);
    }
}

void CopyBits(const uint8_t* src, uint64_t srcBit, uint8_t* dst, uint64_t dstBit, uint64_t n) {
    if (n == 0) return;
    if (srcBit % 8 == dstBit % 8) {
        // Same phase: a partial head byte, whole bytes, a partial tail byte.
        const uint8_t* s = src + srcBit / 8;
        uint8_t* d = dst + dstBit / 8;
        const uint32_t phase = uint32_t(dstBit % 8);
        if (phase) {
            const uint64_t take = n < 8 - phase ? n : 8 - phase;
            const uint8_t mask = uint8_t(((1u << take) - 1) << (8 - phase - take));
            *d = uint8_t((*d & ~mask) | (*s & mask));
            ++s;
            ++d;
            n -= take;
        }
        std::memmove(d, s, size_t(n / 8));
        if (n % 8) {
            const uint8_t mask = uint8_t(0xFF00u >> (n % 8));
            d[n / 8] = uint8_t((d[n / 8] & ~mask) | (s[n / 8] & mask));
        }
        return;
    }
    // Any other phase: fill the destination one byte (or part of one) at a time from a 16-bit source window.
    while (n > 0) {
        const uint32_t dPhase = uint32_t(dstBit % 8);
        const uint32_t sPhase = uint32_t(srcBit % 8);
        const uint32_t take = uint32_t(n < 8 - dPhase ? n : 8 - dPhase);
        const uint8_t* s = src + srcBit / 8;
        const uint32_t window = uint32_t(s[0]) << 8 | (sPhase + take > 8 ? s[1] : 0u);
        const uint32_t value = (window >> (16 - sPhase - take)) & ((1u << take) - 1);
        const uint32_t shift = 8 - dPhase - take;
        uint8_t* d = dst + dstBit / 8;
        const uint8_t mask = uint8_t(((1u << take) - 1) << shift);
        *d = uint8_t((*d & ~mask) | (value << shift));
        srcBit += take;
        dstBit += take;
        n -= take;
    }
}

}  // namespace CvFlip
