// Remapping to palette indices along a Hilbert curve with Riemersma error diffusion: the error of the last
// four pixels met on the curve is carried into the next one. Positions off the image neither read nor change it.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvHilbertCurve.h"
#include "cvcode2/CvProgressTask.h"

class CvBitmapImage;

// The error added to a channel from the weighted sum of the queued errors: the sum shifted right arithmetically
// by 8 bits, plus 1 when negative (so -256 gives 0, -257 gives -1, +256 gives +1).
inline int32_t RiemersmaErrorTerm(int32_t sum) {
    return (sum >> 8) + (sum < 0 ? 1 : 0);
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
    virtual ~CvHilbert() = default;

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

    Setup setup;
    uint32_t done = 0;
    int32_t strength;           // the weights are strength × (1, 3, 5, 7), oldest error first
    int32_t errors[4][3] = {};  // oldest first: red, green, blue
    // Per cell: the inverse map's index in bits 0-7 and that entry's red, green, blue in the bytes above.
    std::unique_ptr<uint32_t[]> cellEntries;
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
