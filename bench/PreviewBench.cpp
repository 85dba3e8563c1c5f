// Preview pane pixels on the photo (3840 x 2400 unless HALCYNE_BENCH_PPM names another): the 1 : 1 render into
// the 32-bit buffer and the zoomed-out block averages at every level from 1 : 2 to 1 : 8.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "bench/BenchPicture.h"
#include "cvcode2/CvRGBImage.h"
#include "uicore/HcPreviewRaster.h"

namespace {

std::unique_ptr<CvRGBImage> PhotoImage() {
    const BenchPicture& photo = BenchPhoto();
    auto image = std::make_unique<CvRGBImage>(photo.width, photo.height);
    CvPixelLock lock(*image);
    for (uint32_t y = 0; y < photo.height; ++y)
        std::copy_n(&photo.rgb[size_t(y) * photo.width * 3], size_t(photo.width) * 3, lock.Row(y));
    return image;
}

// The pane's two buffers at the sizes it creates them.
struct PaneBuffers {
    const uint32_t width, height;
    std::vector<uint8_t> full, reduced;
    explicit PaneBuffers(const CvImage& image)
        : width(image.GetWidth()),
          height(image.GetHeight()),
          full(size_t(width + 7) * (height + 7) * 4),
          reduced(size_t(width / 2 + 1) * (height / 2 + 1) * 4) {}
    HcPreviewRaster Raster() {
        return HcPreviewRaster({full.data(), width + 7, height + 7}, {reduced.data(), width / 2 + 1, height / 2 + 1},
                               width, height);
    }
};

void PreviewRenderOneToOne(benchmark::State& state) {
    const auto image = PhotoImage();
    PaneBuffers buffers(*image);
    const HcPreviewRaster raster = buffers.Raster();
    for (auto _ : state) {
        raster.Render(image.get());
        benchmark::DoNotOptimize(buffers.full.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * image->GetWidth() * image->GetHeight());
}
BENCHMARK(PreviewRenderOneToOne)->Unit(benchmark::kMillisecond);

// Argument: the zoom denominator, 2 (1 : 2) to 8 (1 : 8).
void PreviewZoomedOutReduction(benchmark::State& state) {
    const auto image = PhotoImage();
    PaneBuffers buffers(*image);
    const HcPreviewRaster raster = buffers.Raster();
    raster.Render(image.get());
    for (auto _ : state) {
        raster.Downsample(uint32_t(state.range(0)));
        benchmark::DoNotOptimize(buffers.reduced.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * image->GetWidth() * image->GetHeight());
}
BENCHMARK(PreviewZoomedOutReduction)->DenseRange(2, 8)->Unit(benchmark::kMillisecond);

}  // namespace
