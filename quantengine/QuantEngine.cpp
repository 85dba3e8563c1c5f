// The reduction pipeline of one run: histogram, base-colour check, palette, inverse map, remap.
// Kept stages are only ever whole: the palette is never empty once a run has finished.
#include "quantengine/QuantEngine.h"

#include <algorithm>
#include <new>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvDiffusionFit.h"
#include "cvcode2/CvExactColors.h"
#include "cvcode2/CvFineDither.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvInvMapRiemersma.h"
#include "cvcode2/CvKMeansRefine.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvNewMedianCut.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvUnique.h"
#include "cvcode2/CvVarianceCut.h"

namespace {
// Refinement passes of the fine palette: the error falls quickly in the first few and barely after.
constexpr uint32_t kFinePasses = 4;
// The histogram reports after about this many pixels: a few milliseconds of counting.
constexpr uint32_t kPixelsPerCountedBand = 1u << 21;

void AppendColor(CvColorTable& table, const uint8_t* rgb) {
    table.SetCount(table.GetCount() + 1);
    table.SetEntry(table.GetCount() - 1, rgb[0], rgb[1], rgb[2]);
}

bool Holds(const CvColorTable& table, const uint8_t* rgb) {
    for (uint32_t i = 0; i < table.GetCount(); ++i)
        if (CvColorTable::Distance(table.Entry(i), rgb) == 0) return true;
    return false;
}

void Append(CvColorTable& table, const CvColorTable& more, uint32_t most) {
    const uint32_t start = table.GetCount(), count = more.GetCount() < most ? more.GetCount() : most;
    table.SetCount(start + count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* c = more.Entry(i);
        table.SetEntry(start + i, c[0], c[1], c[2]);
    }
}
}  // namespace

bool SamePalettePlan(const QuantParams& a, const QuantParams& b) {
    const bool fine = a.fine && a.mode != QuantMode::FixedPalette;
    return a.colors == b.colors && a.mode == b.mode && a.fine == b.fine && a.palette == b.palette &&
           (!fine || (a.dither == 0) == (b.dither == 0));
}

uint32_t DitherStrength(uint16_t dither) {
    const uint32_t strength = (uint32_t(dither) * 16 + 5) / 10;
    return strength > 16 ? 16 : strength;
}

QuantEngine::QuantEngine(CvProgressIndicator* indicator) : CvProgressTask(indicator), colorPreserve(indicator) {}

void QuantEngine::SetIndicator(CvProgressIndicator* indicator) {
    CvProgressTask::SetIndicator(indicator);
    colorPreserve.SetIndicator(indicator);
}

QuantEngine::~QuantEngine() {
    if (ownsDestination) delete destination;
}

void QuantEngine::SetSource(CvImage* image) {
    CV_ASSERT(image != nullptr);
    if (!image) CV_THROW(kCvErrBadArgument);
    const CvRGBImage* rgb = dynamic_cast<const CvRGBImage*>(image);
    if (!rgb) CV_THROW(kCvErrBadDepth);
    if (rgb != source) Forget();
    source = rgb;
}

void QuantEngine::Forget() {
    countedHistogram.reset();
    countedFineHistogram.reset();
    prepared = false;
}

void QuantEngine::ClearPalette() {
    histogram.reset();
    inverseMap.reset();
    fineHistogram.reset();
    hasImageColors = false;
    imageColors.Clear();
    nearest.reset();
    colorPreserve.Clear();
    palette.Clear();
    baseColors.Clear();
    preservedCount = 0;
}

void QuantEngine::Run(CvIndexedImage* given) {
    const bool valid = source != nullptr && params.colors >= 1 && params.colors <= 256 &&
                       params.palette.GetCount() <= 256 &&
                       (params.mode != QuantMode::FixedPalette || params.palette.GetCount() > 0);
    CV_ASSERT(valid);
    if (!valid) CV_THROW(kCvErrBadArgument);
    if (!keepStages) Forget();
    if (!prepared || !SamePalettePlan(params, preparedParams)) Prepare();
    Remap(given);
}

void QuantEngine::Prepare() {
    prepared = false;
    ClearPalette();
    if (source->HasPixels()) {
        if (Fine())
            CountFineHistogram();
        else
            CountHistogram();
        if (params.mode == QuantMode::PreserveBase) CheckBaseColors();
        MakePalette();
        if (Fine())
            nearest = std::make_unique<CvNearestColor>(palette);
        else
            MakeInverseMap();
    } else {
        // An empty image (a layer without opaque pixels) still gets a valid one-entry palette.
        palette = CvColorTable(1);
    }
    preparedParams = params;
    prepared = true;
}

// Both histograms count in bands of rows, each reported, so that a dialog keeps handling its messages on a large
// picture. `count(rows, height)` counts the `height` source rows that start at `rows`.
template <class Count>
void QuantEngine::CountInBands(const uint8_t* pixels, const Count& count) {
    const uint32_t width = source->GetWidth(), height = source->GetHeight();
    const uint32_t band = std::max<uint32_t>(1, kPixelsPerCountedBand / std::max<uint32_t>(1, width));
    CvProgressTask counting(Indicator());
    counting.Start(0, height, "Counting colors");
    for (uint32_t top = 0; top < height; top += band) {
        const uint32_t rows = std::min(band, height - top);
        count(pixels + size_t(source->RowBytes()) * top, rows);
        CV_PROGRESS(counting, top + rows);
    }
    counting.Finish();
}

void QuantEngine::CountHistogram() {
    if (!countedHistogram) {
        std::unique_ptr<uint32_t[]> counts(CvAllocated(new (std::nothrow) uint32_t[kCellCount]()));
        CvPixelLock lock(*source);
        CountInBands(lock.Pixels(), [&](const uint8_t* rows, uint32_t height) {
            AddToHistogram(rows, source->RowBytes(), source->GetWidth(), height, 0, 1, 2, 3, counts.get());
        });
        countedHistogram = std::move(counts);
    }
    histogram.reset(CvAllocated(new (std::nothrow) uint32_t[kCellCount]()));
    std::copy_n(countedHistogram.get(), kCellCount, histogram.get());
}

void QuantEngine::CountFineHistogram() {
    CvPixelLock lock(*source);
    hasImageColors = FindExactColors(lock.Pixels(), source->RowBytes(), source->GetWidth(), source->GetHeight(), 0, 1,
                                     2, 3, params.colors, imageColors);
    if (hasImageColors) return;
    if (!countedFineHistogram) {
        auto counts = std::make_unique<CvFineHist>();
        CountInBands(lock.Pixels(), [&](const uint8_t* rows, uint32_t height) {
            counts->Add(rows, source->RowBytes(), source->GetWidth(), height, 0, 1, 2, 3);
        });
        countedFineHistogram = std::move(counts);
    }
    // A run that keeps nothing hands its counts over rather than copying 4 MB.
    if (keepStages)
        fineHistogram = std::make_unique<CvFineHist>(*countedFineHistogram);
    else
        fineHistogram = std::move(countedFineHistogram);
}

void QuantEngine::CheckBaseColors() {
    if (params.palette.GetCount())
        baseColors = params.palette;
    else
        baseColors = Fine() ? FinePalette(params.colors) : AdaptivePalette(params.colors, false);
    colorPreserve.SetBaseColors(baseColors, params.colors);
    colorPreserve.CheckBaseColors(*source);
}

void QuantEngine::MakePalette() {
    switch (params.mode) {
        case QuantMode::FixedPalette: palette = Reduce(params.palette, params.colors, true); break;
        case QuantMode::PreserveBase: PreservingPalette(); break;
        case QuantMode::Adaptive:
            palette = Fine() ? FinePalette(params.colors) : AdaptivePalette(params.colors, true);
            break;
    }
    // A fine palette for dithering is fitted to the diffusion; one of the image's own colours needs nothing.
    if (Fine() && params.dither && !hasImageColors && palette.GetCount() > preservedCount) {
        CvPixelLock lock(*source);
        palette = CvDiffusionFit(Indicator())
                      .Fit(palette, preservedCount, lock.Pixels(), source->RowBytes(), source->GetWidth(),
                           source->GetHeight());
    }
}

// The found base colours come first. All of them stay when they alone make up the whole image; otherwise at
// most colors − 1 stay, so that at least one adaptive entry serves the other pixels.
void QuantEngine::PreservingPalette() {
    const uint32_t colors = params.colors;
    const uint64_t pixels = uint64_t(source->GetWidth()) * source->GetHeight();
    const bool baseOnly = colorPreserve.FoundCount() <= colors && colorPreserve.FoundPixels() == pixels;
    colorPreserve.SelectFound(baseOnly ? colors : colors - 1);
    palette = colorPreserve.FoundColors();
    preservedCount = palette.GetCount();
    if (preservedCount == colors) return;
    if (Fine()) {
        if (fineHistogram)
            colorPreserve.EachFound([&](const uint8_t* rgb, uint32_t count) { fineHistogram->Subtract(rgb, count); });
        Append(palette, FinePalette(colors - preservedCount), colors - preservedCount);
    } else {
        colorPreserve.SubtractFound(histogram.get());
        Append(palette, AdaptivePalette(colors - preservedCount, true), colors - preservedCount);
    }
}

// Without a fine histogram every colour of the image fits; those the palette lacks are added as they are.
CvColorTable QuantEngine::FinePalette(uint32_t n) {
    CvColorTable table;
    if (hasImageColors) {
        for (uint32_t i = 0; i < imageColors.GetCount(); ++i)
            if (!Holds(palette, imageColors.Entry(i))) AppendColor(table, imageColors.Entry(i));
        return table;
    }
    try {
        std::vector<CvWeightedColor> colors = fineHistogram->Colors();
        std::vector<CvWeightedColor> centres = CvVarianceCut(Indicator()).Cut(colors, n);
        CvKMeansRefine(Indicator()).Refine(colors, centres, kFinePasses);
        return CvKMeansRefine::ToTable(centres);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
}

CvColorTable QuantEngine::AdaptivePalette(uint32_t n, bool fold) {
    if (fold) FoldNearBlack(histogram.get());
    CvColorTable list;
    if (CountColors(histogram.get()) > 256)
        CvNewMedianCut(Indicator()).MakePalette(list, histogram.get(), 256);
    else
        list = HistogramColors(histogram.get());
    // Occupied cells' colours are all in use, so merging could only matter when there are more than n.
    if (list.GetCount() <= n) return list;
    return Reduce(list, n, false);
}

CvColorTable QuantEngine::Reduce(const CvColorTable& list, uint32_t target, bool keepExact) {
    std::unique_ptr<uint8_t[]> map(CvAllocated(new (std::nothrow) uint8_t[kCellCount]()));
    MakeInvColorMap(&list, map.get());
    CvColorTable reduced;
    CvUnique(histogram.get(), map.get(), list, uint16_t(target), keepExact, Indicator()).Reduce(reduced);
    return reduced;
}

// The map of the final palette. A kept base colour's own cell is pointed at its entry, so its pixels keep
// their exact colour even when another entry lies nearer to the cell's centre.
void QuantEngine::MakeInverseMap() {
    CV_ASSERT(!inverseMap && palette.GetCount() > 0);
    inverseMap.reset(CvAllocated(new (std::nothrow) uint8_t[kCellCount]()));
    MakeInvColorMap(&palette, inverseMap.get());
    for (uint32_t i = 0; i < preservedCount; ++i) {
        const uint8_t* c = palette.Entry(i);
        inverseMap[ColorIndex15(c[0], c[1], c[2])] = uint8_t(i);
    }
}

void QuantEngine::Remap(CvIndexedImage* given) {
    if (ownsDestination) delete destination;
    destination = nullptr;
    ownsDestination = false;
    const uint32_t width = source->GetWidth(), height = source->GetHeight();
    if (given) {
        const bool sameSize = given->GetWidth() == width && given->GetHeight() == height;
        CV_ASSERT(sameSize);
        if (!sameSize) CV_THROW(kCvErrSizeMismatch);
        given->colorTable = palette;
        destination = given;
    } else {
        destination = CvAllocated(new (std::nothrow) CvIndexedImage(width, height, &palette));
        ownsDestination = true;
    }
    if (!source->HasPixels() || !destination->HasPixels()) return;
    CvPixelLock in(*source), out(*destination);
    const uint32_t strength = DitherStrength(params.dither);
    if (Fine()) {
        const bool masked = params.mode == QuantMode::PreserveBase && strength;
        if (masked && !colorPreserve.Mask()) colorPreserve.CreateMask(*source);
        FineDither(*nearest,
                   {strength, &palette, in.Pixels(), out.Pixels(), source->RowBytes(), destination->RowBytes(), width,
                    height, masked ? colorPreserve.Mask() : nullptr},
                   Indicator());
    } else if (params.mode == QuantMode::PreserveBase && strength) {
        if (!colorPreserve.Mask()) colorPreserve.CreateMask(*source);
        InvMapRiemersmaMasked(*colorPreserve.Mask(), strength, inverseMap.get(), palette, in.Pixels(), out.Pixels(),
                              source->RowBytes(), destination->RowBytes(), width, height, 0, 1, 2, 0, 3, 1,
                              Indicator());
    } else {
        InvMapRiemersma(strength, inverseMap.get(), palette, in.Pixels(), out.Pixels(), source->RowBytes(),
                        destination->RowBytes(), width, height, 0, 1, 2, 0, 3, 1, Indicator());
    }
}
