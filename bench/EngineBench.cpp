// Times each colour reduction stage and the whole Quantize on a 3840 × 2400 photo and reports time per pixel,
// and how fast a reduction follows a changed setting with and without reusing the previous one's work.
// The photo is the image named by HALCYNE_BENCH_PPM, or a deterministic photo-like image without it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/BenchPicture.h"
#include "common/Quantize.h"
#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvInvMapRiemersma.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvNewMedianCut.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvString.h"
#include "cvcode2/CvUnique.h"

namespace {
using Picture = BenchPicture;

const Picture& Photo() {
    return BenchPhoto();
}

std::vector<uint32_t> Histogram() {
    std::vector<uint32_t> histogram(kCellCount);
    BuildHistogram(Photo().rgb.data(), Photo().width * 3, Photo().width, Photo().height, 0, 1, 2, 3, histogram.data());
    return histogram;
}

CvColorTable Palette(const std::vector<uint32_t>& histogram) {
    CvColorTable palette;
    CvNewMedianCut(nullptr).MakePalette(palette, histogram.data(), 256);
    return palette;
}

void PerPixel(benchmark::State& state, uint32_t pixels = Photo().Pixels()) {
    state.counters["per_pixel"] =
        benchmark::Counter(double(pixels), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_BuildHistogram(benchmark::State& state) {
    std::vector<uint32_t> histogram(kCellCount);
    for (auto _ : state) {
        BuildHistogram(Photo().rgb.data(), Photo().width * 3, Photo().width, Photo().height, 0, 1, 2, 3,
                       histogram.data());
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
    std::vector<uint8_t> map(kCellCount), indices(Photo().Pixels());
    MakeInvColorMap(&palette, map.data());
    for (auto _ : state) {
        InvMapRiemersma(uint32_t(state.range(0)), map.data(), palette, Photo().rgb.data(), indices.data(),
                        Photo().width * 3, Photo().width, Photo().width, Photo().height, 0, 1, 2, 0, 3, 1, nullptr);
        benchmark::DoNotOptimize(indices.data());
    }
    PerPixel(state);
}

// The adaptive 256-colour path end to end: histogram, fold, median cut, inverse map, dithered remap.
void BM_WholeReduction(benchmark::State& state) {
    std::vector<uint8_t> indices;
    for (auto _ : state) {
        ReduceBenchPicture(Photo(), indices);
        benchmark::DoNotOptimize(indices.data());
    }
    PerPixel(state);
}

// Run data holding a copy of a picture, set for 256 adaptive colours and dithering 5 as Finish runs them.
class PictureRun {
public:
    explicit PictureRun(const Picture& picture) : image(picture.width, picture.height) {
        SetDefaults(globals);
        globals.settings.colors = 256;
        globals.settings.dither = 5;
        CvPixelLock lock(image);
        for (uint32_t y = 0; y < picture.height; ++y)
            std::copy_n(&picture.rgb[size_t(y) * picture.width * 3], size_t(picture.width) * 3, lock.Row(y));
        globals.rgbImage = &image;
    }
    ~PictureRun() {
        delete globals.indexedImage;
        FreePaletteList(globals.paletteList);
        FreeColorList(globals.colorList);
    }
    PictureRun(const PictureRun&) = delete;
    PictureRun& operator=(const PictureRun&) = delete;

    HcGlobals globals{};

private:
    CvRGBImage image;
};

// The plug-in's whole reduction as Finish runs it, into the run data's indexed image (made on the first
// iteration, refilled after).
void BM_Quantize(benchmark::State& state, const Picture& picture) {
    PictureRun run(picture);
    for (auto _ : state) Quantize(run.globals, nullptr);
    PerPixel(state, picture.Pixels());
}

// What the quantization dialog does on each change of a setting: every iteration moves the dithering amount
// (5 and 6 in turn) or the colour count (256 and 200), and reduces again, afresh or reusing the last reduction.
enum class Change { Dither, Colors };
void BM_QuantizeChange(benchmark::State& state, const Picture& picture, const char* palette, Change change,
                       bool reuse) {
    PictureRun run(picture);
    CvPStrFromC(run.globals.paletteName, palette);
    QuantizeReuse kept;
    QuantizeReuse* with = reuse ? &kept : nullptr;
    Quantize(run.globals, nullptr, with);
    HcSettings& settings = run.globals.settings;
    for (auto _ : state) {
        if (change == Change::Dither)
            settings.dither = settings.dither == 5 ? 6 : 5;
        else
            settings.colors = settings.colors == 256 ? 200 : 256;
        Quantize(run.globals, nullptr, with);
    }
    PerPixel(state, picture.Pixels());
}

Picture Crop(const Picture& from, uint32_t width, uint32_t height) {
    Picture crop;
    crop.width = std::min(width, from.width);
    crop.height = std::min(height, from.height);
    for (uint32_t y = 0; y < crop.height; ++y) {
        const auto row = from.rgb.begin() + ptrdiff_t(y) * from.width * 3;
        crop.rgb.insert(crop.rgb.end(), row, row + ptrdiff_t(crop.width) * 3);
    }
    return crop;
}

int RegisterChangeCases() {
    static const Picture small = Crop(Photo(), 1000, 1000);
    for (const auto& [size, picture] : {std::make_pair("photo", &Photo()), std::make_pair("1000x1000", &small)})
        for (const char* palette : {"Custom", "Fine"})
            for (const auto& [what, change] :
                 {std::make_pair("dither", Change::Dither), std::make_pair("colors", Change::Colors)})
                for (bool reuse : {false, true}) {
                    const std::string name = std::string("BM_QuantizeChange/") + size + "/" + palette + "/" + what +
                                             (reuse ? "/reuse" : "/fresh");
                    benchmark::RegisterBenchmark(name.c_str(), BM_QuantizeChange, std::cref(*picture), palette, change,
                                                 reuse)
                        ->Unit(benchmark::kMillisecond);
                }
    return 0;
}
const int kChangeCases = RegisterChangeCases();

// One case for the photo and one for each picture of the test data.
int RegisterQuantizeCases() {
    static std::vector<std::pair<std::string, Picture>> pictures;
    pictures.emplace_back("photo", Photo());
    for (const char* name : {"astronaut.png", "camera.png", "chelsea.png", "coffee.png", "rocket.jpg"})
        pictures.emplace_back(name, ReadBenchPicture(std::string(HC_TEST_DATA_DIR) + "/" + name));
    for (const auto& [name, picture] : pictures)
        benchmark::RegisterBenchmark(("BM_Quantize/" + name).c_str(), BM_Quantize, std::cref(picture))
            ->Unit(benchmark::kMillisecond);
    return 0;
}
const int kQuantizeCases = RegisterQuantizeCases();
}  // namespace

BENCHMARK(BM_BuildHistogram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MedianCut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeInvColorMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unique)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvMapRiemersma)->Arg(0)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeReduction)->Unit(benchmark::kMillisecond);
