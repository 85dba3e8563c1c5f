// Loads or makes the benchmarks' photo once and reduces it with the plug-in's own stages, so every benchmark of a
// run sees the same pixels.
#include "bench/BenchPicture.h"

#include <cstdlib>

#include "cli/InputImage.h"
#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvInvMapRiemersma.h"
#include "cvcode2/CvKMeansRefine.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvNewMedianCut.h"
#include "cvcode2/CvVarianceCut.h"

namespace {
// Smooth gradients with a soft highlight, plus a few levels of noise.
BenchPicture SyntheticPhoto() {
    BenchPicture p{3840, 2400, {}};
    p.rgb.resize(size_t(p.Pixels()) * 3);
    uint32_t noise = 7;
    for (uint32_t y = 0; y < p.height; ++y)
        for (uint32_t x = 0; x < p.width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            int dx = int(x) - 2600, dy = int(y) - 900;
            int glow = 90 - (dx * dx + dy * dy) / 40000;
            glow = glow < 0 ? 0 : glow;
            int n = int(noise >> 29) - 4;
            auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
            uint8_t* px = &p.rgb[(size_t(y) * p.width + x) * 3];
            px[0] = clamp(int(x * 160 / p.width) + glow + n);
            px[1] = clamp(int(y * 140 / p.height) + int(x * 60 / p.width) + glow / 2 + n);
            px[2] = clamp(200 - int(y * 150 / p.height) + glow / 3 + n);
        }
    return p;
}
}  // namespace

BenchPicture ReadBenchPicture(const std::string& path) {
    InputImage in = ReadImageFile(path);
    BenchPicture p{uint32_t(in.width), uint32_t(in.height), {}};
    p.rgb.resize(size_t(p.Pixels()) * 3);
    const int c = in.channels;
    for (size_t i = 0; i < p.Pixels(); ++i)
        for (int k = 0; k < 3; ++k) p.rgb[3 * i + size_t(k)] = in.pixels[i * size_t(c) + size_t(c < 3 ? 0 : k)];
    return p;
}

const BenchPicture& BenchPhoto() {
    static const BenchPicture photo = [] {
        const char* path = std::getenv("HALCYNE_BENCH_PPM");
        return path && *path ? ReadBenchPicture(path) : SyntheticPhoto();
    }();
    return photo;
}

void BenchAdaptivePalette(const BenchPicture& picture, CvColorTable& palette, std::vector<uint8_t>& map) {
    std::vector<uint32_t> histogram(kCellCount);
    BuildHistogram(picture.rgb.data(), picture.width * 3, picture.width, picture.height, 0, 1, 2, 3, histogram.data());
    FoldNearBlack(histogram.data());
    CvNewMedianCut(nullptr).MakePalette(palette, histogram.data(), 256);
    map.assign(kCellCount, 0);
    MakeInvColorMap(&palette, map.data());
}

CvColorTable BenchFinePalette(const BenchPicture& picture) {
    CvFineHist histogram;
    histogram.Add(picture.rgb.data(), picture.width * 3, picture.width, picture.height, 0, 1, 2, 3);
    std::vector<CvWeightedColor> colors = histogram.Colors();
    std::vector<CvWeightedColor> list = colors;
    std::vector<CvWeightedColor> centres = CvVarianceCut(nullptr).Cut(list, 256);
    CvKMeansRefine(nullptr).Refine(colors, centres, 4);
    return CvKMeansRefine::ToTable(centres);
}

void ReduceBenchPicture(const BenchPicture& picture, std::vector<uint8_t>& indices) {
    CvColorTable palette;
    std::vector<uint8_t> map;
    BenchAdaptivePalette(picture, palette, map);
    indices.resize(picture.Pixels());
    InvMapRiemersma(5, map.data(), palette, picture.rgb.data(), indices.data(), picture.width * 3, picture.width,
                    picture.width, picture.height, 0, 1, 2, 0, 3, 1, nullptr);
}

const std::vector<uint8_t>& BenchPhotoIndices() {
    static const std::vector<uint8_t> indices = [] {
        std::vector<uint8_t> out;
        ReduceBenchPicture(BenchPhoto(), out);
        return out;
    }();
    return indices;
}
