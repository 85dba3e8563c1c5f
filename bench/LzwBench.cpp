// LZW throughput on a 3840 x 2400 index image, ours beside giflib on the same indices. Bytes processed count
// pixels (one byte each) per iteration. Ours goes through the file layer: count-only when encoding, and an
// unbuffered file (in the page cache) when decoding; giflib works from memory.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzwDecoder.h"
#include "cvcode2/CvLzwEncoder.h"

namespace {
constexpr uint32_t kWidth = 3840;
constexpr uint32_t kHeight = 2400;
constexpr uint64_t kPixels = uint64_t(kWidth) * kHeight;

// What a reduced photograph looks like to the coder: smooth bands of 256 indices with sparse dither noise.
const std::vector<uint8_t>& Indices() {
    static const std::vector<uint8_t> indices = [] {
        std::vector<uint8_t> pixels(kPixels);
        uint32_t state = 12345;
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                state = state * 1103515245u + 12345u;
                uint32_t value = (x / 16 + y / 24 + (x * y) / 40000) & 0xFF;
                if ((state >> 28) == 0) value = (value + (state >> 20)) & 0xFF;
                pixels[size_t(y) * kWidth + x] = uint8_t(value);
            }
        return pixels;
    }();
    return indices;
}

std::string OurStreamFile() {
    static const std::string path = [] {
        std::string file = (std::filesystem::temp_directory_path() / "halcyne-lzw-bench.bin").string();
        CvFile out;
        out.SetPath(file.c_str());
        out.Open(kCvFileWrite);
        LzwEncoder encoder(out);
        encoder.Start(8);
        encoder.EncodeImage(Indices().data(), kWidth, kHeight, kWidth, false);
        encoder.Finish();
        out.Close();
        return file;
    }();
    return path;
}

void OursEncode(benchmark::State& state) {
    const std::vector<uint8_t>& pixels = Indices();
    uint32_t length = 0;
    for (auto _ : state) {
        CvFile counter;
        counter.Open(kCvFileWrite | kCvFileCountOnly);
        LzwEncoder encoder(counter);
        encoder.Start(8);
        encoder.EncodeImage(pixels.data(), kWidth, kHeight, kWidth, false);
        encoder.Finish();
        length = counter.GetLength();
        counter.Close();
    }
    state.counters["compressed"] = double(length);
    state.SetBytesProcessed(int64_t(state.iterations() * kPixels));
}

void OursDecode(benchmark::State& state) {
    const std::string path = OurStreamFile();
    std::vector<uint8_t> pixels(kPixels);
    for (auto _ : state) {
        CvFile in;
        in.SetPath(path.c_str());
        in.Open(kCvFileRead);
        LzwDecoder decoder(in);
        decoder.Start();
        decoder.DecodeImage(pixels.data(), kWidth, kHeight, kWidth, false);
        in.Close();
    }
    if (pixels != Indices()) state.SkipWithError("decoded indices differ");
    state.SetBytesProcessed(int64_t(state.iterations() * kPixels));
}

// giflib through memory callbacks: a whole one-frame GIF, so its encoder and decoder run as in a file.
int AppendBytes(GifFileType* gif, const GifByteType* bytes, int n) {
    static_cast<std::vector<uint8_t>*>(gif->UserData)->insert(static_cast<std::vector<uint8_t>*>(gif->UserData)->end(),
                                                             bytes, bytes + n);
    return n;
}

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

int ReadBytes(GifFileType* gif, GifByteType* bytes, int n) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    size_t count = std::min(size_t(n), input->bytes->size() - input->at);
    std::memcpy(bytes, input->bytes->data() + input->at, count);
    input->at += count;
    return int(count);
}

std::vector<uint8_t> GiflibEncode(const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendBytes, &error);
    std::vector<GifColorType> colors(256);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    bool ok = gif && EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
    for (uint32_t y = 0; ok && y < kHeight; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data() + size_t(y) * kWidth), kWidth) == GIF_OK;
    GifFreeMapObject(map);
    if (gif) EGifCloseFile(gif, &error);
    if (!ok) throw std::runtime_error("giflib could not encode");
    return out;
}

void GiflibEncodeBench(benchmark::State& state) {
    size_t length = 0;
    for (auto _ : state) length = GiflibEncode(Indices()).size();
    state.counters["compressed"] = double(length);
    state.SetBytesProcessed(int64_t(state.iterations() * kPixels));
}

void GiflibDecodeBench(benchmark::State& state) {
    const std::vector<uint8_t> file = GiflibEncode(Indices());
    std::vector<uint8_t> pixels(kPixels);
    for (auto _ : state) {
        MemoryInput input{&file, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&input, ReadBytes, &error);
        GifRecordType type;
        bool ok = gif != nullptr;
        while (ok && DGifGetRecordType(gif, &type) == GIF_OK && type != IMAGE_DESC_RECORD_TYPE) ok = type != TERMINATE_RECORD_TYPE;
        ok = ok && DGifGetImageDesc(gif) == GIF_OK;
        for (uint32_t y = 0; ok && y < kHeight; ++y) ok = DGifGetLine(gif, pixels.data() + size_t(y) * kWidth, kWidth) == GIF_OK;
        if (gif) DGifCloseFile(gif, &error);
        if (!ok) state.SkipWithError("giflib could not decode");
    }
    if (pixels != Indices()) state.SkipWithError("giflib decoded indices differ");
    state.SetBytesProcessed(int64_t(state.iterations() * kPixels));
}

}  // namespace

BENCHMARK(OursEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibEncodeBench)->Name("GiflibEncode")->Unit(benchmark::kMillisecond);
BENCHMARK(OursDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibDecodeBench)->Name("GiflibDecode")->Unit(benchmark::kMillisecond);
