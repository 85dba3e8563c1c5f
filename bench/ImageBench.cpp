// Pixel-transfer throughput on a 4096 x 4096 image: reading RGB into a 32-bit BGRX buffer, masking, raster copies
// and error diffusion. Bytes processed count destination pixels x 4 (or the bytes copied) per iteration.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"

namespace {
constexpr uint32_t kSide = 4096;
constexpr uint64_t kPixels = uint64_t(kSide) * kSide;

void Scribble(CvRealImage& image) {
    CvPixelLock lock(image);
    uint8_t* p = lock.Pixels();
    uint32_t state = 12345;
    for (uint64_t i = 0; i < uint64_t(image.RowBytes()) * image.GetHeight(); ++i) {
        state = state * 1103515245u + 12345u;
        p[i] = uint8_t(state >> 24);
    }
}

template <class Image>
std::unique_ptr<Image> Make();
template <>
std::unique_ptr<CvRGBImage> Make() {
    return std::make_unique<CvRGBImage>(kSide, kSide);
}
template <>
std::unique_ptr<CvGrayscaleImage> Make() {
    return std::make_unique<CvGrayscaleImage>(kSide, kSide);
}
template <>
std::unique_ptr<CvBitmapImage> Make() {
    return std::make_unique<CvBitmapImage>(kSide, kSide);
}
template <>
std::unique_ptr<CvIndexedImage> Make() {
    CvColorTable table(256);
    for (uint32_t i = 0; i < 256; ++i) table.SetEntry(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
    return std::make_unique<CvIndexedImage>(kSide, kSide, &table);
}

template <class Image>
void GetRGBToBGRX(benchmark::State& state) {
    auto image = Make<Image>();
    Scribble(*image);
    std::vector<uint8_t> out(kPixels * 4);
    for (auto _ : state) {
        image->GetRGB(0, 0, kSide, kSide, 0, 0, kSide * 4, 4, 2, 1, 0, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels) * 4);
}
BENCHMARK_TEMPLATE(GetRGBToBGRX, CvRGBImage)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(GetRGBToBGRX, CvGrayscaleImage)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(GetRGBToBGRX, CvIndexedImage)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(GetRGBToBGRX, CvBitmapImage)->Unit(benchmark::kMillisecond);

template <class Mask>
void MaskToBGRX(benchmark::State& state) {
    auto mask = Make<Mask>();
    Scribble(*mask);
    std::vector<uint8_t> src(kPixels * 3, 99), out(kPixels * 4);
    for (auto _ : state) {
        mask->MaskRGB(0, 0, kSide, kSide, 0, 0, kSide * 4, 4, 2, 1, 0, out.data(), kSide * 3, src.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels) * 4);
}
BENCHMARK_TEMPLATE(MaskToBGRX, CvBitmapImage)->Name("MaskRGB1")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(MaskToBGRX, CvGrayscaleImage)->Name("MaskRGB8")->Unit(benchmark::kMillisecond);

void CopyPixelsRGB(benchmark::State& state) {
    auto from = Make<CvRGBImage>(), to = Make<CvRGBImage>();
    Scribble(*from);
    const CvRect rect{0, 0, kSide, kSide};
    CvPixelLock in(*from), out(*to);
    for (auto _ : state) {
        CvRealImage::CopyPixels(8, 3, from->RowBytes(), to->RowBytes(), &rect, &rect, in.Pixels(), out.Pixels());
        benchmark::DoNotOptimize(out.Pixels());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels) * 3);
}
BENCHMARK(CopyPixelsRGB)->Unit(benchmark::kMillisecond);

void CopyPixelsBitsOddAlignment(benchmark::State& state) {
    auto from = Make<CvBitmapImage>(), to = Make<CvBitmapImage>();
    Scribble(*from);
    const CvRect source{3, 0, kSide, kSide - 5}, target{0, 0, kSide, kSide - 8};
    CvPixelLock in(*from), out(*to);
    for (auto _ : state) {
        CvRealImage::CopyPixels(1, 1, from->RowBytes(), to->RowBytes(), &source, &target, in.Pixels(), out.Pixels());
        benchmark::DoNotOptimize(out.Pixels());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels) / 8);
}
BENCHMARK(CopyPixelsBitsOddAlignment)->Unit(benchmark::kMillisecond);

void ToBitmap(benchmark::State& state) {
    auto grey = Make<CvGrayscaleImage>();
    Scribble(*grey);
    for (auto _ : state) {
        std::unique_ptr<CvBitmapImage> bitmap(grey->ToBitmap());
        benchmark::DoNotOptimize(bitmap.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels));
}
BENCHMARK(ToBitmap)->Unit(benchmark::kMillisecond);
}  // namespace
