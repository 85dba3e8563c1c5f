// TIFF through libtiff, the first page. Grey and RGB pixels of 8 or 16 bits in strips, with or without alpha, are
// read sample by sample (16-bit samples rounded as for PNG); every other kind through libtiff's RGBA conversion.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cli/InputImage.h"

namespace {

// libtiff's first error for this file, kept for the message instead of printed.
struct TiffMessages {
    std::string first;
};

int OnTiffError(TIFF*, void* user, const char* module, const char* format, va_list arguments) {
    auto* messages = static_cast<TiffMessages*>(user);
    if (messages->first.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        messages->first = module && *module ? std::string(module) + ": " + text : text;
    }
    return 1;
}

int OnTiffWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle OpenTiff(const std::string& path, TiffMessages& messages) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) throw std::bad_alloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnTiffError, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnTiffWarning, nullptr);
    TiffHandle tiff(TIFFOpenExt(path.c_str(), "r", options));
    TIFFOpenOptionsFree(options);
    return tiff;
}

struct TiffKind {
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT, extraCount = 0;
    bool associatedAlpha = false;
};

TiffKind KindOf(TIFF* tiff) {
    TiffKind kind;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &kind.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &kind.height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &kind.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &kind.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &kind.planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &kind.sampleFormat);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &kind.photometric);
    uint16_t* extraTypes = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &kind.extraCount, &extraTypes) && kind.extraCount > 0)
        kind.associatedAlpha = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    return kind;
}

bool ReadsSampleBySample(TIFF* tiff, const TiffKind& kind) {
    const bool grey = kind.photometric == PHOTOMETRIC_MINISBLACK && kind.samples - kind.extraCount == 1;
    const bool rgb = kind.photometric == PHOTOMETRIC_RGB && kind.samples - kind.extraCount == 3;
    return !TIFFIsTiled(tiff) && kind.planar == PLANARCONFIG_CONTIG && (kind.bits == 8 || kind.bits == 16) &&
           kind.sampleFormat == SAMPLEFORMAT_UINT && kind.extraCount <= 1 && (grey || rgb);
}

// Premultiplied colours back to the colours themselves, as the other readers deliver them.
void Unpremultiply(InputImage& image) {
    const size_t channels = size_t(image.channels);
    for (size_t at = 0; at < image.pixels.size(); at += channels) {
        const uint32_t alpha = image.pixels[at + channels - 1];
        for (size_t c = 0; c + 1 < channels; ++c)
            image.pixels[at + c] =
                alpha == 0 ? 0 : uint8_t(std::min<uint32_t>(255, (image.pixels[at + c] * 255u + alpha / 2) / alpha));
    }
}

bool ReadScanlines(TIFF* tiff, const TiffKind& kind, InputImage& image) {
    std::vector<uint8_t> line(size_t(TIFFScanlineSize64(tiff)));
    const size_t samples = size_t(image.width) * size_t(image.channels);
    if (line.size() < samples * (kind.bits / 8)) return false;
    for (uint32_t y = 0; y < kind.height; ++y) {
        if (TIFFReadScanline(tiff, line.data(), y, 0) < 0) return false;
        uint8_t* out = image.pixels.data() + size_t(y) * samples;
        if (kind.bits == 8) {
            std::copy_n(line.data(), samples, out);
            continue;
        }
        for (size_t i = 0; i < samples; ++i) {
            uint16_t sample;  // in the machine's order
            std::memcpy(&sample, line.data() + 2 * i, 2);
            out[i] = uint8_t((sample * 255u + 32767u) / 65535u);
        }
    }
    return true;
}

// libtiff delivers premultiplied RGBA for every kind, alpha or not.
bool ReadAsRgba(TIFF* tiff, const TiffKind& kind, InputImage& image) {
    std::vector<uint32_t> raster(size_t(kind.width) * kind.height);
    if (TIFFReadRGBAImageOriented(tiff, kind.width, kind.height, raster.data(), ORIENTATION_TOPLEFT, 0) != 1)
        return false;
    const bool grey = image.channels <= 2, alpha = image.channels % 2 == 0;
    uint8_t* out = image.pixels.data();
    for (uint32_t pixel : raster) {
        *out++ = uint8_t(TIFFGetR(pixel));
        if (!grey) {
            *out++ = uint8_t(TIFFGetG(pixel));
            *out++ = uint8_t(TIFFGetB(pixel));
        }
        if (alpha) *out++ = uint8_t(TIFFGetA(pixel));
    }
    return true;
}

bool Decode(TIFF* tiff, const std::string& path, InputImage& image) {
    const TiffKind kind = KindOf(tiff);
    const bool alpha = kind.extraCount > 0;
    if (ReadsSampleBySample(tiff, kind)) {
        SizeInputImage(image, path, kind.width, kind.height, kind.samples);
        if (!ReadScanlines(tiff, kind, image)) return false;
        if (alpha && kind.associatedAlpha) Unpremultiply(image);
        return true;
    }
    const bool grey = kind.photometric == PHOTOMETRIC_MINISBLACK || kind.photometric == PHOTOMETRIC_MINISWHITE;
    SizeInputImage(image, path, kind.width, kind.height, (grey ? 1 : 3) + (alpha ? 1 : 0));
    if (!ReadAsRgba(tiff, kind, image)) return false;
    if (alpha) Unpremultiply(image);
    return true;
}

}  // namespace

InputImage ReadTiff(const std::string& path) {
    TiffMessages messages;
    TiffHandle tiff = OpenTiff(path, messages);
    InputImage image;
    if (tiff && Decode(tiff.get(), path, image)) return image;
    throw ImageReadError(path + ": not a readable TIFF image (" +
                         (messages.first.empty() ? std::string("damaged data") : messages.first) + ")");
}
