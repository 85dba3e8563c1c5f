// Remapping to palette indices along a Hilbert curve with Riemersma error diffusion: the error of the last
// four pixels met on the curve is carried into the next one. Positions off the image neither read nor change it.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvHilbertCurve.h"
#include "cvcode2/CvProgressTask.h"

class CvBitmapImage;

// The remap keeps the three channels side by side in one word, 18 bits each, red lowest. Every quantity kept there
// is held non-negative by a bias, so whole words add and subtract without carrying or borrowing across lanes.
constexpr uint64_t RiemersmaLanes(uint64_t r, uint64_t g, uint64_t b) {
    return r | g << 18 | b << 36;
}

// The sum of the queued errors a pixel receives is s·(e1 + 3e2 + 5e3 + 7e4), at most 16 × 16 × 255 in size; its error
// term is the sum shifted right arithmetically by 8 bits, plus 1 when negative (-256 gives 0, -257 gives -1, +256
// gives +1). From the sums plus 2^16 and the channels times 256, lane by lane: each channel plus its error term plus
// 255 (0..765), with no branch, since the biased sum over 256 is the term plus 256, less one when the sum is negative.
constexpr int32_t kRiemersmaSumBias = 1 << 16;
inline uint64_t RiemersmaShiftedChannels(uint64_t biasedSums, uint64_t channelsTimes256) {
    return ((biasedSums + channelsTimes256) >> 8 & RiemersmaLanes(0x3FF, 0x3FF, 0x3FF)) -
           (biasedSums >> 16 & RiemersmaLanes(1, 1, 1));
}

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
    virtual ~CvHilbert();

    static bool CheckSetup(const Setup& setup);
    // Remaps the whole image; a stop request ends it with kCvErrCancelled after telling the indicator.
    void Run();

private:
    // The curve visitor for one pixel layout; it holds the error queue in locals while it runs a block.
    template <class Layout, bool kMasked, bool kDither>
    class Walker;
    template <class Layout, bool kMasked, bool kDither>
    void WalkWith(const Layout& layout);
    template <bool kMasked, bool kDither>
    void ChooseLayout();
    template <bool kMasked>
    void ChooseRoutine();

    // The error queue in the form the per-pixel step reads, in lanes: with e4 the newest of the four queued errors,
    // s the strength and E = s·e + 4096 (never negative), the next pixel's biased sum E1 + 3E2 + 5E3 + 7E4 (that is
    // s·(e1 + 3e2 + 5e3 + 7e4) + kRiemersmaSumBias) and the parts of the sums after it already known.
    struct Queue {
        static constexpr uint64_t kZero = RiemersmaLanes(4096, 4096, 4096);  // E of no error
        uint64_t sum = 16 * kZero;
        uint64_t next = 9 * kZero;   // E2 + 3E3 + 5E4
        uint64_t later = 4 * kZero;  // E3 + 3E4
        uint64_t last = kZero;       // E4
    };

    Setup setup;
    uint32_t done = 0;
    int32_t strength;  // the weights are strength × (1, 3, 5, 7), oldest error first
    Queue queue;
    // What the per-pixel step looks up instead of computing: see the source.
    struct Tables;
    std::unique_ptr<Tables> tables;
};

// Assertions (and kCvErrBadArgument when they fail): strength <= 16; map, source, destination not null; row bytes,
// pixel bytes, width and height not 0; each offset inside its pixel.
void InvMapRiemersma(uint32_t strength, const uint8_t* inverseMap, const CvColorTable& palette, const uint8_t* source,
                     uint8_t* destination, uint32_t sourceRowBytes, uint32_t destinationRowBytes, uint32_t width,
                     uint32_t height, uint16_t rOffset, uint16_t gOffset, uint16_t bOffset, uint16_t destinationOffset,
                     uint16_t sourcePixelBytes, uint16_t destinationPixelBytes, CvProgressIndicator* indicator);

// The masked remap on raw mask rows: where the mask bit is 1 the pixel gets its undithered index, while the
// error queue still follows the dithered choice. The bitmap-image entry point locks its mask and calls this.
void InvMapRiemersmaMaskBits(const uint8_t* maskBits, uint32_t maskRowBytes, uint32_t strength,
                             const uint8_t* inverseMap, const CvColorTable& palette, const uint8_t* source,
                             uint8_t* destination, uint32_t sourceRowBytes, uint32_t destinationRowBytes,
                             uint32_t width, uint32_t height, uint16_t rOffset, uint16_t gOffset, uint16_t bOffset,
                             uint16_t destinationOffset, uint16_t sourcePixelBytes, uint16_t destinationPixelBytes,
                             CvProgressIndicator* indicator);

// The masked remap with a bitmap of the image's size (kCvErrSizeMismatch otherwise) whose set bits mark the pixels that
// keep their undithered index; the mask's pixels are locked for the remap.
void InvMapRiemersmaMasked(const CvBitmapImage& mask, uint32_t strength, const uint8_t* inverseMap,
                           const CvColorTable& palette, const uint8_t* source, uint8_t* destination,
                           uint32_t sourceRowBytes, uint32_t destinationRowBytes, uint32_t width, uint32_t height,
                           uint16_t rOffset, uint16_t gOffset, uint16_t bOffset, uint16_t destinationOffset,
                           uint16_t sourcePixelBytes, uint16_t destinationPixelBytes, CvProgressIndicator* indicator);
