// WebP through libwebp: a still image, or the first frame of an animation on its canvas; RGB, or RGBA when the
// file says it has alpha. The whole file is read first, as the decoder wants it.
#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "cli/InputImage.h"
#include "cli/Utf8Path.h"

namespace {

std::string StatusCause(VP8StatusCode status) {
    switch (status) {
        case VP8_STATUS_OUT_OF_MEMORY: return "there is not enough memory";
        case VP8_STATUS_UNSUPPORTED_FEATURE: return "it uses a feature that is not read";
        case VP8_STATUS_NOT_ENOUGH_DATA: return "the file ends too early";
        default: return "damaged data";
    }
}

[[noreturn]] void Fail(const std::string& path, const std::string& cause) {
    throw ImageReadError(path + ": not a readable WebP image (" + cause + ")");
}

struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

void DecodeFirstFrame(const std::string& path, const std::string& bytes, InputImage& image) {
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    const std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(WebPAnimDecoderNew(&data, nullptr));
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp)) Fail(path, "damaged data");
    const size_t channels = size_t(image.channels), pixels = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < pixels; ++i) std::memcpy(image.pixels.data() + i * channels, canvas + i * 4, channels);
}

void DecodeStill(const std::string& path, const std::string& bytes, InputImage& image) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) Fail(path, "the decoder cannot start");
    config.output.colorspace = image.channels == 4 ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.pixels.data();
    config.output.u.RGBA.stride = image.width * image.channels;
    config.output.u.RGBA.size = image.pixels.size();
    const VP8StatusCode status = WebPDecode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) Fail(path, StatusCause(status));
}

}  // namespace

InputImage ReadWebp(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) Fail(path, "it cannot be read");
    WebPBitstreamFeatures features;
    const VP8StatusCode status =
        WebPGetFeatures(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &features);
    if (status != VP8_STATUS_OK) Fail(path, StatusCause(status));
    InputImage image;
    SizeInputImage(image, path, uint64_t(features.width), uint64_t(features.height), features.has_alpha ? 4 : 3);
    if (features.has_animation)
        DecodeFirstFrame(path, bytes, image);
    else
        DecodeStill(path, bytes, image);
    return image;
}
