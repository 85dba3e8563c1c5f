// Distinct colours by an open-addressing set of 1024 slots, at most 257 of them used, so probes stay short.
// A run of equal pixels costs one comparison each.
#include "cvcode2/CvExactColors.h"

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
constexpr uint32_t kSlots = 1024;
constexpr uint32_t kEmpty = UINT32_MAX;  // no 24-bit colour packs to it

class ColorSet {
public:
    ColorSet() {
        for (uint32_t& slot : slots) slot = kEmpty;
    }
    // Adds the colour; false when it was there already.
    bool Insert(uint32_t packed) {
        for (uint32_t i = (packed * 2654435761u) >> 22;; i = (i + 1) & (kSlots - 1)) {
            if (slots[i] == packed) return false;
            if (slots[i] == kEmpty) {
                slots[i] = packed;
                return true;
            }
        }
    }

private:
    uint32_t slots[kSlots];
};
}  // namespace

bool FindExactColors(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                     uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes, uint32_t limit, CvColorTable& colors) {
    CV_ASSERT(limit >= 1 && limit <= 256);
    if (limit < 1 || limit > 256) CV_THROW(kCvErrBadArgument);
    ColorSet seen;
    uint32_t found[257], count = 0, last = kEmpty;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* pixel = pixels + size_t(rowBytes) * y;
        for (uint32_t x = 0; x < width; ++x, pixel += pixelBytes) {
            const uint32_t packed = CvColorTable::Pack(pixel[rOffset], pixel[gOffset], pixel[bOffset]);
            if (packed == last || !seen.Insert(packed)) {
                last = packed;
                continue;
            }
            if (count == limit) return false;
            found[count++] = last = packed;
        }
    }
    colors = CvColorTable(count);
    for (uint32_t i = 0; i < count; ++i) colors.SetEntry(i, found[i] & 255, found[i] >> 8 & 255, found[i] >> 16);
    return true;
}
