// LZW throughput on two 3840 x 2400 index images, ours beside giflib on the same indices: the photo's dithered
// 256-colour indices, and harder synthetic bands with dither noise. Bytes processed count pixels (one byte each).
// Ours goes through the file layer: count-only when encoding, an unbuffered file (in the page cache) when
// decoding; giflib works from memory.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchPicture.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzwDecoder.h"
#include "cvcode2/CvLzwEncoder.h"

namespace {
struct IndexImage {
    std::string name;
    uint32_t width, height;
    std::vector<uint8_t> pixels;
    uint64_t Pixels() const { return uint64_t(width) * height; }
};

// Smooth bands of 256 indices with sparse dither noise: about three pixels a code, several times the codes of the
// dithered photos tried (8 to 15 pixels a code), so the coders work hardest per pixel here.
IndexImage Bands() {
    IndexImage image{"bands", 3840, 2400, {}};
    image.pixels.resize(image.Pixels());
    uint32_t state = 12345;
    for (uint32_t y = 0; y < image.height; ++y)
        for (uint32_t x = 0; x < image.width; ++x) {
            state = state * 1103515245u + 12345u;
            uint32_t value = (x / 16 + y / 24 + (x * y) / 40000) & 0xFF;
            if ((state >> 28) == 0) value = (value + (state >> 20)) & 0xFF;
            image.pixels[size_t(y) * image.width + x] = uint8_t(value);
        }
    return image;
}

IndexImage Photo() {
    return {"photo", BenchPhoto().width, BenchPhoto().height, BenchPhotoIndices()};
}

// Made on first use, not while the cases are registered: the reduction's own tables are not set up before main.
const IndexImage& Image(bool photo) {
    static const IndexImage images[] = {Photo(), Bands()};
    return images[photo ? 0 : 1];
}

void EncodeOurs(const IndexImage& image, CvFile& out) {
    LzwEncoder encoder(out);
    encoder.Start(8);
    encoder.EncodeImage(image.pixels.data(), image.width, image.height, image.width, false);
    encoder.Finish();
}

std::string OurStreamFile(const IndexImage& image) {
    std::string file = (std::filesystem::temp_directory_path() / ("halcyne-lzw-bench-" + image.name)).string();
    CvFile out;
    out.SetPath(file.c_str());
    out.Open(kCvFileWrite);
    EncodeOurs(image, out);
    out.Close();
    return file;
}

void OursEncode(benchmark::State& state, bool photo) {
    const IndexImage& image = Image(photo);
    uint32_t length = 0;
    for (auto _ : state) {
        CvFile counter;
        counter.Open(kCvFileWrite | kCvFileCountOnly);
        EncodeOurs(image, counter);
        length = counter.GetLength();
        counter.Close();
    }
    state.counters["compressed"] = double(length);
    state.SetBytesProcessed(int64_t(state.iterations() * image.Pixels()));
}

void OursDecode(benchmark::State& state, bool photo) {
    const IndexImage& image = Image(photo);
    const std::string path = OurStreamFile(image);
    std::vector<uint8_t> pixels(image.Pixels());
    for (auto _ : state) {
        CvFile in;
        in.SetPath(path.c_str());
        in.Open(kCvFileRead);
        LzwDecoder decoder(in);
        decoder.Start();
        decoder.DecodeImage(pixels.data(), image.width, image.height, image.width, false);
        in.Close();
    }
    std::filesystem::remove(path);
    if (pixels != image.pixels) state.SkipWithError("decoded indices differ");
    state.SetBytesProcessed(int64_t(state.iterations() * image.Pixels()));
}

// giflib through memory callbacks: a whole one-frame GIF, so its encoder and decoder run as in a file.
int AppendBytes(GifFileType* gif, const GifByteType* bytes, int n) {
    static_cast<std::vector<uint8_t>*>(gif->UserData)
        ->insert(static_cast<std::vector<uint8_t>*>(gif->UserData)->end(), bytes, bytes + n);
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

std::vector<uint8_t> GiflibEncode(const IndexImage& image) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendBytes, &error);
    std::vector<GifColorType> colors(256);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    const int width = int(image.width), height = int(image.height);
    bool ok = gif && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(&image.pixels[size_t(y) * image.width]), width) == GIF_OK;
    GifFreeMapObject(map);
    if (gif) EGifCloseFile(gif, &error);
    if (!ok) throw std::runtime_error("giflib could not encode");
    return out;
}

void GiflibEncodeBench(benchmark::State& state, bool photo) {
    const IndexImage& image = Image(photo);
    size_t length = 0;
    for (auto _ : state) length = GiflibEncode(image).size();
    state.counters["compressed"] = double(length);
    state.SetBytesProcessed(int64_t(state.iterations() * image.Pixels()));
}

void GiflibDecodeBench(benchmark::State& state, bool photo) {
    const IndexImage& image = Image(photo);
    const std::vector<uint8_t> file = GiflibEncode(image);
    std::vector<uint8_t> pixels(image.Pixels());
    for (auto _ : state) {
        MemoryInput input{&file, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&input, ReadBytes, &error);
        GifRecordType type;
        bool ok = gif != nullptr;
        while (ok && DGifGetRecordType(gif, &type) == GIF_OK && type != IMAGE_DESC_RECORD_TYPE)
            ok = type != TERMINATE_RECORD_TYPE;
        ok = ok && DGifGetImageDesc(gif) == GIF_OK;
        for (uint32_t y = 0; ok && y < image.height; ++y)
            ok = DGifGetLine(gif, &pixels[size_t(y) * image.width], int(image.width)) == GIF_OK;
        if (gif) DGifCloseFile(gif, &error);
        if (!ok) state.SkipWithError("giflib could not decode");
    }
    if (pixels != image.pixels) state.SkipWithError("giflib decoded indices differ");
    state.SetBytesProcessed(int64_t(state.iterations() * image.Pixels()));
}

// Each coder on each image, named like OursEncode/photo.
int RegisterCases() {
    const std::pair<const char*, void (*)(benchmark::State&, bool)> coders[] = {{"OursEncode", OursEncode},
                                                                                {"GiflibEncode", GiflibEncodeBench},
                                                                                {"OursDecode", OursDecode},
                                                                                {"GiflibDecode", GiflibDecodeBench}};
    for (bool photo : {true, false})
        for (const auto& [name, coder] : coders)
            benchmark::RegisterBenchmark((std::string(name) + (photo ? "/photo" : "/bands")).c_str(), coder, photo)
                ->Unit(benchmark::kMillisecond);
    return 0;
}
const int kCases = RegisterCases();
}  // namespace
