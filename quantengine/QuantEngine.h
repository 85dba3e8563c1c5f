// The colour reduction driver: histogram, palette (adaptive, fixed or base-preserving), inverse map and remap.
// After Run the destination's table is the final palette and every index in it is below that palette's count;
// a run that reuses earlier stages gives the same bytes as one that computes them all.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvColorPreserve.h"
#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvNearestColor.h"
#include "cvcode2/CvProgressTask.h"

class CvImage;
class CvIndexedImage;
class CvRGBImage;

enum class QuantMode : uint32_t { FixedPalette = 0, PreserveBase = 1, Adaptive = 2 };

struct QuantParams {
    uint32_t colors = 256;  // 1..256
    QuantMode mode = QuantMode::Adaptive;
    CvColorTable palette;  // the fixed palette, or the base colours (empty: derived from the image)
    uint16_t dither = 3;   // 0..10
    // Adaptive entries (Adaptive and PreserveBase) from full 8-bit colours, and every pixel mapped to its truly
    // nearest entry, instead of the 5-bit cell grid.
    bool fine = false;
};

// True when two parameter sets ask for the same palette: they differ at most in the dithering amount, and for a
// fine adaptive palette (fitted to the diffusion when dithering) not in whether it is 0.
bool SamePalettePlan(const QuantParams& a, const QuantParams& b);

// Error-diffusion strength 0..16 for a dithering amount 0..10: (dither × 16 + 5) / 10, at most 16.
uint32_t DitherStrength(uint16_t dither);

class QuantEngine : public CvProgressTask {
public:
    explicit QuantEngine(CvProgressIndicator* indicator = nullptr);
    ~QuantEngine();
    QuantEngine(const QuantEngine&) = delete;
    QuantEngine& operator=(const QuantEngine&) = delete;

    // An RGB raster (kCvErrBadDepth for any other image). Another image than the last one forgets the kept stages.
    void SetSource(CvImage* image);
    // Kept stages let a run reuse what the previous run computed from unchanged inputs: the counted histograms
    // while the source stays, the palette and its lookup while only the dithering amount changes. Whoever keeps
    // them must call Forget when the source's pixels change in place. Off by default: every run starts afresh.
    void KeepStages(bool keep) { keepStages = keep; }
    void Forget();
    // The indicator of the next runs, for an engine kept across runs.
    void SetIndicator(CvProgressIndicator* indicator);
    void SetParams(const QuantParams& value) { params = value; }
    // Reduces the source into `destination` (the source's size, kCvErrSizeMismatch otherwise), or into an image the
    // engine makes and owns when it is null.
    void Run(CvIndexedImage* destination);

    CvIndexedImage* Destination() const { return destination; }
    const CvColorTable& Palette() const { return palette; }
    uint32_t PreservedCount() const { return preservedCount; }

private:
    bool Fine() const { return params.fine && params.mode != QuantMode::FixedPalette; }
    // The palette and its lookup for the current parameters; only a complete one counts as prepared.
    void Prepare();
    void ClearPalette();
    template <class Count>
    void CountInBands(const uint8_t* pixels, const Count& count);
    void CountHistogram();
    // Fine mode: the image's own colours when they fit, else the fine histogram.
    void CountFineHistogram();
    void CheckBaseColors();
    void MakePalette();
    void PreservingPalette();
    // An adaptive palette of at most n entries from the histogram, with near-black folded into black or not.
    CvColorTable AdaptivePalette(uint32_t n, bool fold);
    // Fine mode: the entries that serve the pixels the palette does not yet hold exactly: the image's remaining
    // own colours when it has at most `colors`, else at most n entries fitted to the fine histogram.
    CvColorTable FinePalette(uint32_t n);
    // Merges `list` down to `target` entries as the histogram weighs them.
    CvColorTable Reduce(const CvColorTable& list, uint32_t target, bool keepExact);
    void MakeInverseMap();
    void Remap(CvIndexedImage* given);

    QuantParams params;
    bool keepStages = false;
    bool prepared = false;
    QuantParams preparedParams;  // what the prepared palette was made for
    const CvRGBImage* source = nullptr;
    CvIndexedImage* destination = nullptr;
    bool ownsDestination = false;
    // The source's counts as counted, and the working copy a palette takes found colours out of.
    std::unique_ptr<uint32_t[]> countedHistogram;
    std::unique_ptr<uint32_t[]> histogram;
    std::unique_ptr<uint8_t[]> inverseMap;
    std::unique_ptr<CvFineHist> countedFineHistogram;
    std::unique_ptr<CvFineHist> fineHistogram;  // fine mode, when the image has more than `colors` colours
    bool hasImageColors = false;                // fine mode: the image has at most `colors` colours ...
    CvColorTable imageColors;                   // ... and these are they
    std::unique_ptr<CvNearestColor> nearest;    // fine mode's lookup of the final palette
    CvColorTable palette;
    CvColorTable baseColors;
    CvColorPreserve colorPreserve;
    uint32_t preservedCount = 0;
};
