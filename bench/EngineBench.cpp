// Times each colour reduction stage on a 3840 × 2400 photo-like RGB image and reports time per pixel.
// The image is deterministic, so every run measures the same work.
#include <benchmark/benchmark.h>

#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvInvMapRiemersma.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvNewMedianCut.h"
#include "cvcode2/CvUnique.h"

namespace {
constexpr uint32_t kWidth = 3840, kHeight = 2400, kPixels = kWidth * kHeight;

// Smooth gradients with a soft highlight, plus a few levels of noise, 3 bytes per pixel.
const std::vector<uint8_t>& Photo() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(size_t(kPixels) * 3);
        uint32_t noise = 7;
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                noise = noise * 1664525u + 1013904223u;
                int dx = int(x) - 2600, dy = int(y) - 900;
                int glow = 90 - (dx * dx + dy * dy) / 40000;
                glow = glow < 0 ? 0 : glow;
                int n = int(noise >> 29) - 4;
                auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
                uint8_t* px = &p[(size_t(y) * kWidth + x) * 3];
                px[0] = clamp(int(x * 160 / kWidth) + glow + n);
                px[1] = clamp(int(y * 140 / kHeight) + int(x * 60 / kWidth) + glow / 2 + n);
                px[2] = clamp(200 - int(y * 150 / kHeight) + glow / 3 + n);
            }
        return p;
    }();
    return pixels;
}

std::vector<uint32_t> Histogram() {
    std::vector<uint32_t> histogram(kCellCount);
    BuildHistogram(Photo().data(), kWidth * 3, kWidth, kHeight, 0, 1, 2, 3, histogram.data());
    return histogram;
}

CvColorTable Palette(const std::vector<uint32_t>& histogram) {
    CvColorTable palette;
    CvNewMedianCut(nullptr).MakePalette(palette, histogram.data(), 256);
    return palette;
}

void PerPixel(benchmark::State& state) {
    state.counters["per_pixel"] = benchmark::Counter(
        double(kPixels), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_BuildHistogram(benchmark::State& state) {
    std::vector<uint32_t> histogram(kCellCount);
    for (auto _ : state) {
        BuildHistogram(Photo().data(), kWidth * 3, kWidth, kHeight, 0, 1, 2, 3, histogram.data());
        benchmark::DoNotOptimize(histogram.data());
    }
    PerPixel(state);
}

void BM_MedianCut(benchmark::State& state) {
    std::vector<uint32_t> histogram = Histogram();
    FoldNearBlack(histogram.data());
    for (auto _ : state) benchmark::DoNotOptimize(Palette(histogram));
    PerPixel(state);
}

void BM_MakeInvColorMap(benchmark::State& state) {
    CvColorTable palette = Palette(Histogram());
    std::vector<uint8_t> map(kCellCount);
    for (auto _ : state) {
        MakeInvColorMap(&palette, map.data());
        benchmark::DoNotOptimize(map.data());
    }
    PerPixel(state);
}

// Merging the 256 median-cut colours down to 64, with the inverse map it needs.
void BM_Unique(benchmark::State& state) {
    std::vector<uint32_t> histogram = Histogram();
    CvColorTable palette = Palette(histogram);
    std::vector<uint8_t> map(kCellCount);
    for (auto _ : state) {
        MakeInvColorMap(&palette, map.data());
        CvColorTable reduced;
        CvUnique(histogram.data(), map.data(), palette, 64, false).Reduce(reduced);
        benchmark::DoNotOptimize(reduced.Entries());
    }
    PerPixel(state);
}

void BM_InvMapRiemersma(benchmark::State& state) {
    CvColorTable palette = Palette(Histogram());
    std::vector<uint8_t> map(kCellCount), indices(kPixels);
    MakeInvColorMap(&palette, map.data());
    for (auto _ : state) {
        InvMapRiemersma(uint32_t(state.range(0)), map.data(), palette, Photo().data(), indices.data(), kWidth * 3,
                        kWidth, kWidth, kHeight, 0, 1, 2, 0, 3, 1, nullptr);
        benchmark::DoNotOptimize(indices.data());
    }
    PerPixel(state);
}

// The adaptive 256-colour path end to end: histogram, fold, median cut, inverse map, dithered remap.
void BM_WholeReduction(benchmark::State& state) {
    std::vector<uint32_t> histogram(kCellCount);
    std::vector<uint8_t> map(kCellCount), indices(kPixels);
    for (auto _ : state) {
        BuildHistogram(Photo().data(), kWidth * 3, kWidth, kHeight, 0, 1, 2, 3, histogram.data());
        FoldNearBlack(histogram.data());
        CvColorTable palette = Palette(histogram);
        MakeInvColorMap(&palette, map.data());
        InvMapRiemersma(5, map.data(), palette, Photo().data(), indices.data(), kWidth * 3, kWidth, kWidth, kHeight, 0,
                        1, 2, 0, 3, 1, nullptr);
        benchmark::DoNotOptimize(indices.data());
    }
    PerPixel(state);
}
}  // namespace

BENCHMARK(BM_BuildHistogram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MedianCut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeInvColorMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unique)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvMapRiemersma)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeReduction)->Unit(benchmark::kMillisecond);
