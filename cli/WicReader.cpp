// PNG, JPEG, BMP and TIFF through the system's imaging component on Windows, into the same grey, grey + alpha,
// RGB or RGBA samples the native readers give; 16-bit samples are rounded as they round them. Sizes are checked
// before any pixel memory is taken, and every failure is one ImageReadError naming the file.
#include <windows.h>
// after windows.h
#include <wincodec.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <vector>

#include "cli/FailureText.h"
#include "cli/InputImage.h"
#include "cli/Utf8Path.h"
#include "platform/Utf16.h"

namespace {

// Holds one COM interface and releases it.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_) pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &pointer_; }
    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }

private:
    T* pointer_ = nullptr;
};

// COM for this thread while a file is read; a thread already in another apartment keeps it.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

DecodeFailure FailureOf(HRESULT result) {
    switch (result) {
        case E_OUTOFMEMORY: return DecodeFailure::NoMemory;
        case E_ACCESSDENIED:
        case HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION): return DecodeFailure::NoPermission;
        case WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT:
        case WINCODEC_ERR_UNSUPPORTEDOPERATION:
        case WINCODEC_ERR_COMPONENTNOTFOUND: return DecodeFailure::Unsupported;
        default: return DecodeFailure::Damaged;
    }
}

// How the decoded samples become the image's: which format to copy out, which of its samples to keep.
struct Layout {
    WICPixelFormatGUID format;
    int samples = 0;          // per pixel in `format`
    bool sixteenBit = false;  // two little-endian bytes a sample, rounded to eight bits
    std::vector<int> keep;    // the samples kept, in order
};

const WICPixelFormatGUID* const kGreyFormats[] = {
    &GUID_WICPixelFormatBlackWhite,     &GUID_WICPixelFormat2bppGray,
    &GUID_WICPixelFormat4bppGray,       &GUID_WICPixelFormat8bppGray,
    &GUID_WICPixelFormat16bppGray,      &GUID_WICPixelFormat16bppGrayHalf,
    &GUID_WICPixelFormat32bppGrayFloat, &GUID_WICPixelFormat16bppGrayFixedPoint,
};

const WICPixelFormatGUID* const kIndexedFormats[] = {
    &GUID_WICPixelFormat1bppIndexed,
    &GUID_WICPixelFormat2bppIndexed,
    &GUID_WICPixelFormat4bppIndexed,
    &GUID_WICPixelFormat8bppIndexed,
};

template <size_t N>
bool OneOf(const WICPixelFormatGUID& format, const WICPixelFormatGUID* const (&list)[N]) {
    for (const WICPixelFormatGUID* entry : list)
        if (IsEqualGUID(format, *entry)) return true;
    return false;
}

bool PaletteHasAlpha(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame) {
    ComRef<IWICPalette> palette;
    BOOL alpha = FALSE;
    return SUCCEEDED(factory->CreatePalette(palette.Out())) && SUCCEEDED(frame->CopyPalette(palette.Get())) &&
           SUCCEEDED(palette->HasAlpha(&alpha)) && alpha;
}

bool FormatHasAlpha(IWICImagingFactory* factory, const WICPixelFormatGUID& format) {
    ComRef<IWICComponentInfo> info;
    ComRef<IWICPixelFormatInfo2> pixels;
    BOOL alpha = FALSE;
    return SUCCEEDED(factory->CreateComponentInfo(format, info.Out())) &&
           SUCCEEDED(info->QueryInterface(IID_PPV_ARGS(pixels.Out()))) &&
           SUCCEEDED(pixels->SupportsTransparency(&alpha)) && alpha;
}

// A grey PNG with alpha reaches us as RGBA (the system has no grey + alpha format); its header says what it was.
bool PngGreyWithAlpha(const std::string& path) {
    std::array<char, 26> header{};
    std::ifstream(PathFromUtf8(path), std::ios::binary).read(header.data(), header.size());
    return header[25] == 4;
}

// 16-bit sources come out as they are, to be rounded here; grey ones become 8-bit grey and every other source
// 32-bit BGRA, the one colour format every system decoder converts to.
Layout ChooseLayout(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, const WICPixelFormatGUID& source,
                    bool greyAlpha) {
    auto is = [&](const WICPixelFormatGUID& format) { return IsEqualGUID(source, format) != 0; };
    if (OneOf(source, kGreyFormats)) {
        if (is(GUID_WICPixelFormat16bppGray)) return {GUID_WICPixelFormat16bppGray, 1, true, {0}};
        return {GUID_WICPixelFormat8bppGray, 1, false, {0}};
    }
    const bool alpha =
        OneOf(source, kIndexedFormats) ? PaletteHasAlpha(factory, frame) : FormatHasAlpha(factory, source);
    if (is(GUID_WICPixelFormat48bppRGB)) return {GUID_WICPixelFormat48bppRGB, 3, true, {0, 1, 2}};
    if (is(GUID_WICPixelFormat64bppRGBA))
        return {GUID_WICPixelFormat64bppRGBA, 4, true,
                greyAlpha ? std::vector<int>{0, 3} : std::vector<int>{0, 1, 2, 3}};
    if (!alpha) return {GUID_WICPixelFormat32bppBGRA, 4, false, {2, 1, 0}};
    return {GUID_WICPixelFormat32bppBGRA, 4, false, greyAlpha ? std::vector<int>{2, 3} : std::vector<int>{2, 1, 0, 3}};
}

// The same rounding as the native PNG reader's scaling of 16-bit samples.
uint8_t EightBits(const uint8_t* sample) {
    const uint32_t value = uint32_t(sample[0]) | uint32_t(sample[1]) << 8;
    return uint8_t((value * 255 + 32895) >> 16);
}

class WicDecode {
public:
    WicDecode(const std::string& path, const std::string& kind) : path_(path), kind_(kind) {}

    InputImage Read() {
        const std::optional<std::wstring> name = Platform::Utf16FromUtf8(path_);
        if (!name) throw ImageReadError(path_ + ": the name is not valid Unicode text");
        ComRef<IWICImagingFactory> factory;
        Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Out())));
        ComRef<IWICBitmapDecoder> decoder;
        Check(factory->CreateDecoderFromFilename(name->c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                 decoder.Out()));
        ComRef<IWICBitmapFrameDecode> frame;
        Check(decoder->GetFrame(0, frame.Out()));
        UINT width = 0, height = 0;
        WICPixelFormatGUID source{};
        Check(frame->GetSize(&width, &height));
        Check(frame->GetPixelFormat(&source));
        const Layout layout =
            ChooseLayout(factory.Get(), frame.Get(), source, kind_ == "PNG" && PngGreyWithAlpha(path_));
        InputImage image;
        SizeInputImage(image, path_, width, height, int(layout.keep.size()));
        if (IsEqualGUID(source, layout.format)) {
            CopyRows(frame.Get(), layout, image);
            return image;
        }
        ComRef<IWICFormatConverter> converter;
        Check(factory->CreateFormatConverter(converter.Out()));
        Check(converter->Initialize(frame.Get(), layout.format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                    WICBitmapPaletteTypeCustom));
        CopyRows(converter.Get(), layout, image);
        return image;
    }

private:
    void Check(HRESULT result) const {
        if (FAILED(result)) throw ImageReadError(DecodeFailureText(path_, kind_, FailureOf(result), uint32_t(result)));
    }

    // Band by band, so only the image itself is held whole.
    void CopyRows(IWICBitmapSource* source, const Layout& layout, InputImage& image) const {
        constexpr int kBandRows = 64;
        const size_t sampleBytes = layout.sixteenBit ? 2 : 1;
        const size_t pixelBytes = size_t(layout.samples) * sampleBytes;
        const UINT stride = UINT(size_t(image.width) * pixelBytes);
        std::vector<uint8_t> band(size_t(stride) * kBandRows);
        uint8_t* out = image.pixels.data();
        for (int top = 0; top < image.height; top += kBandRows) {
            const int rows = std::min(kBandRows, image.height - top);
            const WICRect rect{0, top, image.width, rows};
            Check(source->CopyPixels(&rect, stride, UINT(size_t(stride) * size_t(rows)), band.data()));
            const size_t pixels = size_t(image.width) * size_t(rows);
            for (size_t i = 0; i < pixels; ++i)
                for (int sample : layout.keep) {
                    const uint8_t* in = band.data() + i * pixelBytes + size_t(sample) * sampleBytes;
                    *out++ = layout.sixteenBit ? EightBits(in) : *in;
                }
        }
    }

    const std::string& path_;
    const std::string& kind_;
};

}  // namespace

InputImage ReadWic(const std::string& path, const std::string& kind) {
    ComScope com;
    return WicDecode(path, kind).Read();
}
