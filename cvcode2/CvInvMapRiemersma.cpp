// Riemersma dithering along the Hilbert curve: one inverse-map lookup per pixel, integer error arithmetic.
// The error queue starts at zero and is advanced only by pixels inside the image, in curve order.
#include "cvcode2/CvInvMapRiemersma.h"

#include <cstddef>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvLog.h"

namespace {
constexpr uint32_t kReportInterval = 2000;

// Pixel layouts the remap is compiled for. The two fixed ones are the engine's common RGB and BGRX rasters
// with one index byte per destination pixel; the general one reads everything from the setup.
struct GeneralLayout {
    uint32_t sourcePixelBytes, rOffset, gOffset, bOffset, destinationPixelBytes, destinationOffset;
};
struct Rgb3Layout {
    static constexpr uint32_t sourcePixelBytes = 3, rOffset = 0, gOffset = 1, bOffset = 2;
    static constexpr uint32_t destinationPixelBytes = 1, destinationOffset = 0;
};
struct Bgrx4Layout {
    static constexpr uint32_t sourcePixelBytes = 4, rOffset = 2, gOffset = 1, bOffset = 0;
    static constexpr uint32_t destinationPixelBytes = 1, destinationOffset = 0;
};

inline uint8_t Clamp255(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }
}  // namespace

CvHilbert::CvHilbert(const Setup& setup_, CvProgressIndicator* indicator)
    : CvProgressTask(indicator), setup(setup_) {
    const int32_t s = int32_t(setup.strength);
    weights[0] = s;
    weights[1] = 3 * s;
    weights[2] = 5 * s;
    weights[3] = 7 * s;
    uint32_t count = setup.palette->GetCount() > 256 ? 256 : setup.palette->GetCount();
    for (uint32_t i = 0; i < count; ++i) setup.palette->GetEntry(i, colors[i][0], colors[i][1], colors[i][2]);
    SetPalette(setup.palette);
}

bool CvHilbert::CheckSetup(const Setup& s) {
    bool ok = s.strength <= 16 && s.inverseMap && s.palette && s.source && s.destination && s.sourceRowBytes &&
              s.destinationRowBytes && s.sourcePixelBytes && s.destinationPixelBytes && s.width && s.height &&
              s.destinationOffset < s.destinationPixelBytes && s.rOffset < s.sourcePixelBytes &&
              s.gOffset < s.sourcePixelBytes && s.bOffset < s.sourcePixelBytes;
    // A row of w mask bits needs (w + 7) / 8 bytes.
    if (s.mask) ok = ok && s.maskRowBytes >= (uint64_t(s.width) + 7) / 8;
    CV_ASSERT(ok);
    return ok;
}

template <class Layout, bool kMasked>
void CvHilbert::Process(const Layout& layout, uint32_t x, uint32_t y) {
    const uint8_t* pixel = setup.source + size_t(setup.sourceRowBytes) * y + size_t(layout.sourcePixelBytes) * x;
    const uint8_t read[3] = {pixel[layout.rOffset], pixel[layout.gOffset], pixel[layout.bOffset]};
    uint8_t value[3];
    for (int c = 0; c < 3; ++c) {
        int32_t sum = weights[0] * errors[0][c] + weights[1] * errors[1][c] + weights[2] * errors[2][c] +
                      weights[3] * errors[3][c];
        value[c] = Clamp255(read[c] + RiemersmaErrorTerm(sum));
    }
    const uint8_t index = setup.inverseMap[ColorIndex15(value[0], value[1], value[2])];
    for (int c = 0; c < 3; ++c) {
        errors[0][c] = errors[1][c];
        errors[1][c] = errors[2][c];
        errors[2][c] = errors[3][c];
        errors[3][c] = int32_t(value[c]) - colors[index][c];
    }
    if (++done % kReportInterval == 0) CV_PROGRESS(*this, done);
    uint8_t& out = setup.destination[size_t(setup.destinationRowBytes) * y +
                                     size_t(layout.destinationPixelBytes) * x + layout.destinationOffset];
    out = index;
    if (kMasked && (setup.mask[size_t(setup.maskRowBytes) * y + x / 8] >> (7 - x % 8) & 1))
        out = setup.inverseMap[ColorIndex15(read[0], read[1], read[2])];
}

template <class Layout, bool kMasked>
void CvHilbert::WalkWith(const Layout& layout) {
    auto visit = [this, &layout](uint32_t x, uint32_t y) { Process<Layout, kMasked>(layout, x, y); };
    CvHilbertCurve<decltype(visit)>(setup.width, setup.height, visit).Walk();
}

template <bool kMasked>
void CvHilbert::ChooseLayout() {
    const Setup& s = setup;
    const bool oneByteOut = s.destinationPixelBytes == 1 && s.destinationOffset == 0;
    if (oneByteOut && s.sourcePixelBytes == 3 && s.rOffset == 0 && s.gOffset == 1 && s.bOffset == 2)
        WalkWith<Rgb3Layout, kMasked>(Rgb3Layout());
    else if (oneByteOut && s.sourcePixelBytes == 4 && s.rOffset == 2 && s.gOffset == 1 && s.bOffset == 0)
        WalkWith<Bgrx4Layout, kMasked>(Bgrx4Layout());
    else
        WalkWith<GeneralLayout, kMasked>(GeneralLayout{s.sourcePixelBytes, s.rOffset, s.gOffset, s.bOffset,
                                                       s.destinationPixelBytes, s.destinationOffset});
}

void CvHilbert::Run() {
    Start(0, setup.width * setup.height, "Remapping");
    try {
        if (setup.mask)
            ChooseLayout<true>();
        else
            ChooseLayout<false>();
        SetProgress(done);  // the last report only shows completion; its answer is not acted on
    } catch (const CvErrorCode& error) {
        ReportError(error);
        throw;
    }
    Finish();
}

namespace {
void RunRemap(const CvHilbert::Setup& setup, CvProgressIndicator* indicator) {
    if (!CvHilbert::CheckSetup(setup)) CV_THROW(kCvErrBadArgument);
    // The pixel count is a u32 progress range and counter.
    if (uint64_t(setup.width) * setup.height > UINT32_MAX) CV_THROW(kCvErrSizeMismatch);
    CvHilbert(setup, indicator).Run();
}
}  // namespace

void InvMapRiemersma(uint32_t strength, const uint8_t* inverseMap, const CvColorTable& palette,
                     const uint8_t* source, uint8_t* destination, uint32_t sourceRowBytes,
                     uint32_t destinationRowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                     uint16_t gOffset, uint16_t bOffset, uint16_t destinationOffset, uint16_t sourcePixelBytes,
                     uint16_t destinationPixelBytes, CvProgressIndicator* indicator) {
    RunRemap({strength, inverseMap, &palette, source, destination, sourceRowBytes, destinationRowBytes, width,
              height, rOffset, gOffset, bOffset, destinationOffset, sourcePixelBytes, destinationPixelBytes,
              nullptr, 0},
             indicator);
}

void InvMapRiemersmaMaskBits(const uint8_t* maskBits, uint32_t maskRowBytes, uint32_t strength,
                             const uint8_t* inverseMap, const CvColorTable& palette, const uint8_t* source,
                             uint8_t* destination, uint32_t sourceRowBytes, uint32_t destinationRowBytes,
                             uint32_t width, uint32_t height, uint16_t rOffset, uint16_t gOffset, uint16_t bOffset,
                             uint16_t destinationOffset, uint16_t sourcePixelBytes, uint16_t destinationPixelBytes,
                             CvProgressIndicator* indicator) {
    CV_ASSERT(maskBits != nullptr);
    if (!maskBits) CV_THROW(kCvErrBadArgument);
    RunRemap({strength, inverseMap, &palette, source, destination, sourceRowBytes, destinationRowBytes, width,
              height, rOffset, gOffset, bOffset, destinationOffset, sourcePixelBytes, destinationPixelBytes,
              maskBits, maskRowBytes},
             indicator);
}
