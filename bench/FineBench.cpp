// Times each stage of the fine adaptive palette and the whole fine Quantize on the 3840 × 2400 photo, per pixel.
// The photo is the image named by HALCYNE_BENCH_PPM, or the deterministic photo-like stand-in without it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/BenchPicture.h"
#include "common/Quantize.h"
#include "cvcode2/CvExactColors.h"
#include "cvcode2/CvFineDither.h"
#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvKMeansRefine.h"
#include "cvcode2/CvNearestColor.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvVarianceCut.h"

namespace {
const BenchPicture& Photo() {
    return BenchPhoto();
}

void PerPixel(benchmark::State& state) {
    state.counters["per_pixel"] = benchmark::Counter(
        double(Photo().Pixels()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::vector<CvWeightedColor> PhotoColors() {
    CvFineHist histogram;
    histogram.Add(Photo().rgb.data(), Photo().width * 3, Photo().width, Photo().height, 0, 1, 2, 3);
    return histogram.Colors();
}

std::vector<CvWeightedColor> CutCentres(std::vector<CvWeightedColor> colors) {
    return CvVarianceCut(nullptr).Cut(colors, 256);
}

// A photo gives up after a few hundred pixels; the whole pass is paid only by pictures of few colours.
void BM_FineExactColors(benchmark::State& state) {
    for (auto _ : state) {
        CvColorTable colors;
        benchmark::DoNotOptimize(FindExactColors(Photo().rgb.data(), Photo().width * 3, Photo().width, Photo().height,
                                                 0, 1, 2, 3, 256, colors));
    }
    PerPixel(state);
}

void BM_FineHistogram(benchmark::State& state) {
    for (auto _ : state) {
        CvFineHist histogram;
        histogram.Add(Photo().rgb.data(), Photo().width * 3, Photo().width, Photo().height, 0, 1, 2, 3);
        benchmark::DoNotOptimize(histogram.Colors());
    }
    PerPixel(state);
}

void BM_FineVarianceCut(benchmark::State& state) {
    const std::vector<CvWeightedColor> colors = PhotoColors();
    for (auto _ : state) benchmark::DoNotOptimize(CutCentres(colors));
    state.counters["colors"] = double(colors.size());
    PerPixel(state);
}

// One k-means pass over the photo's fine colours from the cut's centres.
void BM_FineKMeansPass(benchmark::State& state) {
    const std::vector<CvWeightedColor> colors = PhotoColors();
    const std::vector<CvWeightedColor> start = CutCentres(colors);
    for (auto _ : state) {
        std::vector<CvWeightedColor> centres = start;
        CvKMeansRefine(nullptr).Refine(colors, centres, 1);
        benchmark::DoNotOptimize(centres.data());
    }
    PerPixel(state);
}

// The fine remap with its candidate lists made afresh: undithered (strength 0), and the serpentine diffusion at
// dithering 5 and 10 (strengths 8 and 16).
void BM_FineRemap(benchmark::State& state) {
    const CvColorTable palette = BenchFinePalette(Photo());
    std::vector<uint8_t> indices(Photo().Pixels());
    for (auto _ : state) {
        CvNearestColor nearest(palette);
        FineDither(nearest,
                   {uint32_t(state.range(0)), &palette, Photo().rgb.data(), indices.data(), Photo().width * 3,
                    Photo().width, Photo().width, Photo().height, nullptr},
                   nullptr);
        benchmark::DoNotOptimize(indices.data());
    }
    PerPixel(state);
}

// The plug-in's whole fine reduction as Finish runs it: Quantize with the palette "Fine", 256 colours.
void BM_QuantizeFine(benchmark::State& state) {
    HcGlobals globals{};
    SetDefaults(globals);
    globals.settings.colors = 256;
    globals.settings.dither = uint16_t(state.range(0));
    globals.paletteName[0] = 4;
    std::copy_n(kPaletteFine, 4, globals.paletteName + 1);
    CvRGBImage image(Photo().width, Photo().height);
    {
        CvPixelLock lock(image);
        for (uint32_t y = 0; y < Photo().height; ++y)
            std::copy_n(&Photo().rgb[size_t(y) * Photo().width * 3], size_t(Photo().width) * 3, lock.Row(y));
    }
    globals.rgbImage = &image;
    for (auto _ : state) Quantize(globals, nullptr);
    delete globals.indexedImage;
    FreePaletteList(globals.paletteList);
    FreeColorList(globals.colorList);
    PerPixel(state);
}
}  // namespace

BENCHMARK(BM_FineExactColors)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineHistogram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineVarianceCut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineKMeansPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineRemap)->Arg(0)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuantizeFine)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
