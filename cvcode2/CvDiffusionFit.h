// Fits a palette to error diffusion: each entry moves to the mean of what the diffusion asks of it on a sample
// of the picture. Entries before `kept` never move; the result has as many entries as the palette.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

// A palette fitted to the pixels as clusters are (k-means) leaves the colours at the edges of a crowded part
// of the picture unreachable by mixing. A weak diffusion moves the entries a little; a full one moves them
// further out, which is kept only where it brings the sample's blurred picture clearly closer (pictures of
// fine texture), since it roughens smooth gradients. Progress task "Refining" (kCvErrCancelled when asked to stop).
class CvDiffusionFit : public CvProgressTask {
public:
    explicit CvDiffusionFit(CvProgressIndicator* indicator);

    // `pixels`: red, green, blue, 3 bytes per pixel.
    CvColorTable Fit(const CvColorTable& palette, uint32_t kept, const uint8_t* pixels, uint32_t rowBytes,
                     uint32_t width, uint32_t height);
};
