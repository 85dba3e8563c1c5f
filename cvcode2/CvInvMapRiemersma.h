// Remapping to palette indices along a Hilbert curve with Riemersma error diffusion: the error of the last
// four pixels met on the curve is carried into the next one. Positions off the image neither read nor change it.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

// The error added to a channel from the weighted sum of the queued errors: the sum shifted right arithmetically
// by 8 bits, plus 1 when negative (so -256 gives 0, -257 gives -1, +256 gives +1).
inline int32_t RiemersmaErrorTerm(int32_t sum) { return (sum >> 8) + (sum < 0 ? 1 : 0); }

// Calls visit(x, y) for every position of a width × height image in Hilbert curve order. The curve covers the
// square of side 2^L, L the bit length of max(width, height), starting at (0, 0) and ending at (2^L − 1, 0);
// sub-curves whose square lies wholly off the image are stepped over, which leaves the order unchanged.
template <class Visit>
class CvHilbertCurve {
public:
    CvHilbertCurve(uint32_t width_, uint32_t height_, Visit& visit_) : width(width_), height(height_), visit(visit_) {}

    void Walk() {
        uint32_t level = 0;
        for (uint32_t side = width > height ? width : height; side; side >>= 1) ++level;
        x = y = 0;
        if (width && height) visit(x, y);
        Curve(level, 1);
    }

private:
    struct Rule {
        uint8_t sub[4];    // directions of the four sub-curves
        int8_t dx[3], dy[3];  // the moves between them
    };

    void Move(int32_t dx, int32_t dy) {
        x += uint32_t(dx);
        y += uint32_t(dy);
        if (x < width && y < height) visit(x, y);
    }

    // Directions 1 and 2 start at the square's low corner, 3 and 4 at its high corner; 1 and 3 end across
    // the square in x, 2 and 4 in y.
    bool SkipIfOff(uint32_t level, uint32_t direction) {
        const uint64_t span = (uint64_t(1) << level) - 1;
        const bool low = direction <= 2;
        const uint64_t x0 = low ? x : x - span, y0 = low ? y : y - span;
        if (x0 < width && y0 < height) return false;
        if (direction % 2) x = uint32_t(direction == 1 ? x + span : x - span);
        else y = uint32_t(direction == 2 ? y + span : y - span);
        return true;
    }

    void Curve(uint32_t level, uint32_t direction) {
        static const Rule kRules[5] = {{{0, 0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                                       {{2, 1, 1, 4}, {0, 1, 0}, {1, 0, -1}},
                                       {{1, 2, 2, 3}, {1, 0, -1}, {0, 1, 0}},
                                       {{4, 3, 3, 2}, {0, -1, 0}, {-1, 0, 1}},
                                       {{3, 4, 4, 1}, {-1, 0, 1}, {0, -1, 0}}};
        if (level == 0 || SkipIfOff(level, direction)) return;
        const Rule& rule = kRules[direction];
        for (int step = 0; step < 3; ++step) {
            Curve(level - 1, rule.sub[step]);
            Move(rule.dx[step], rule.dy[step]);
        }
        Curve(level - 1, rule.sub[3]);
    }

    uint32_t width, height;
    uint32_t x = 0, y = 0;
    Visit& visit;
};

class CvHilbert : public CvProgressTask {
public:
    struct Setup {
        uint32_t strength;
        const uint8_t* inverseMap;
        const CvColorTable* palette;
        const uint8_t* source;
        uint8_t* destination;
        uint32_t sourceRowBytes, destinationRowBytes;
        uint32_t width, height;
        uint16_t rOffset, gOffset, bOffset, destinationOffset;
        uint16_t sourcePixelBytes, destinationPixelBytes;
        const uint8_t* mask;  // 1-bit rows, most significant bit first; null for none
        uint32_t maskRowBytes;
    };

    // The setup must have passed CheckSetup.
    CvHilbert(const Setup& setup, CvProgressIndicator* indicator);
    virtual ~CvHilbert() = default;

    static bool CheckSetup(const Setup& setup);
    // Remaps the whole image; a stop request ends it with error 3 after telling the indicator.
    void Run();

private:
    template <class Layout, bool kMasked>
    void Process(const Layout& layout, uint32_t x, uint32_t y);
    template <class Layout, bool kMasked>
    void WalkWith(const Layout& layout);
    template <bool kMasked>
    void ChooseLayout();

    Setup setup;
    uint32_t done = 0;
    int32_t weights[4];
    int32_t errors[4][3] = {};  // oldest first: red, green, blue
    uint8_t colors[256][3] = {};  // the palette, padded with black so any byte indexes it safely
};

// Assertions (and error 27 when they fail): strength <= 16; map, source, destination not null; row bytes,
// pixel bytes, width and height not 0; each offset inside its pixel.
void InvMapRiemersma(uint32_t strength, const uint8_t* inverseMap, const CvColorTable& palette,
                     const uint8_t* source, uint8_t* destination, uint32_t sourceRowBytes,
                     uint32_t destinationRowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                     uint16_t gOffset, uint16_t bOffset, uint16_t destinationOffset, uint16_t sourcePixelBytes,
                     uint16_t destinationPixelBytes, CvProgressIndicator* indicator);

// The masked remap on raw mask rows: where the mask bit is 1 the pixel gets its undithered index, while the
// error queue still follows the dithered choice. The bitmap-image entry point locks its mask and calls this.
void InvMapRiemersmaMaskBits(const uint8_t* maskBits, uint32_t maskRowBytes, uint32_t strength,
                             const uint8_t* inverseMap, const CvColorTable& palette, const uint8_t* source,
                             uint8_t* destination, uint32_t sourceRowBytes, uint32_t destinationRowBytes,
                             uint32_t width, uint32_t height, uint16_t rOffset, uint16_t gOffset, uint16_t bOffset,
                             uint16_t destinationOffset, uint16_t sourcePixelBytes, uint16_t destinationPixelBytes,
                             CvProgressIndicator* indicator);
