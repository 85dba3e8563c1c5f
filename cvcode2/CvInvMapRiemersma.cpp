// Riemersma dithering along the Hilbert curve: one inverse-map lookup per pixel, integer error arithmetic.
// The error queue starts at zero and is advanced only by pixels inside the image, in curve order.
#include "cvcode2/CvInvMapRiemersma.h"

#include <cstddef>
#include <new>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvBitmapImage.h"
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

inline uint8_t Clamp255(int32_t v) {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The chosen index in bits 0-7 and its colour in the bytes above.
struct CellLookup {
    const uint32_t* cellEntries;
    uint32_t operator()(uint8_t r, uint8_t g, uint8_t b) const { return cellEntries[ColorIndex15(r, g, b)]; }
};
}  // namespace

CvHilbert::CvHilbert(const Setup& setup_, CvProgressIndicator* indicator)
    : CvProgressTask(indicator),
      setup(setup_),
      strength(int32_t(setup_.strength)),
      cellEntries(CvAllocated(new (std::nothrow) uint32_t[kCellCount])) {
    SetPalette(setup.palette);
    // Indices past the palette's end read as black rather than outside it.
    uint8_t colors[256][3] = {};
    uint32_t count = setup.palette->GetCount() > 256 ? 256 : setup.palette->GetCount();
    for (uint32_t i = 0; i < count; ++i) setup.palette->GetEntry(i, colors[i][0], colors[i][1], colors[i][2]);
    for (uint32_t cell = 0; cell < kCellCount; ++cell) {
        const uint8_t* c = colors[setup.inverseMap[cell]];
        cellEntries[cell] = setup.inverseMap[cell] | uint32_t(c[0]) << 8 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 24;
    }
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

template <class Layout, bool kMasked, bool kDither>
class CvHilbert::Walker {
public:
    Walker(CvHilbert& task_, const Layout& layout_)
        : task(task_), layout(layout_), lookup{task_.cellEntries.get()}, s(task_.setup) {
        const CvHilbertBlock& block = HilbertBlock();
        for (uint32_t direction = 1; direction <= 4; ++direction)
            for (uint32_t i = 0; i < CvHilbertBlock::kMoves; ++i) {
                const int32_t dx = block.dx[direction][i], dy = block.dy[direction][i];
                sourceSteps[direction][i] = ptrdiff_t(s.sourceRowBytes) * dy + ptrdiff_t(layout.sourcePixelBytes) * dx;
                destinationSteps[direction][i] =
                    ptrdiff_t(s.destinationRowBytes) * dy + ptrdiff_t(layout.destinationPixelBytes) * dx;
            }
    }

    void operator()(uint32_t x, uint32_t y) {
        Queue q = Load();
        Pixel(q, s.source + SourceOffset(x, y), s.destination + DestinationOffset(x, y), x, y);
        Store(q);
    }

    // The 255 pixels after (x, y) of a level-4 sub-curve inside the image, with the queue kept in locals.
    void Block(uint32_t direction, uint32_t x, uint32_t y) {
        const CvHilbertBlock& block = HilbertBlock();
        const uint8_t* pixel = s.source + SourceOffset(x, y);
        uint8_t* out = s.destination + DestinationOffset(x, y);
        const ptrdiff_t* sourceStep = sourceSteps[direction];
        const ptrdiff_t* destinationStep = destinationSteps[direction];
        PrefetchBlock(direction, x, y);
        Queue q = Load();
        for (uint32_t i = 0; i < CvHilbertBlock::kMoves; ++i)
            Pixel(q, pixel + sourceStep[i], out + destinationStep[i], x + uint32_t(block.dx[direction][i]),
                  y + uint32_t(block.dy[direction][i]));
        Store(q);
    }

private:
    // The curve meets a block's 16 rows in turn and the error chain makes each cache miss stall the walk, so
    // all of the block's source and destination rows are requested up front and arrive in parallel.
    void PrefetchBlock(uint32_t direction, uint32_t x, uint32_t y) const {
#if defined(__GNUC__)
        const uint32_t side = 1u << CvHilbertBlock::kLevel;
        const uint32_t x0 = direction <= 2 ? x : x - (side - 1), y0 = direction <= 2 ? y : y - (side - 1);
        const size_t sourceSpan = size_t(layout.sourcePixelBytes) * side - 1;
        const size_t destinationSpan = size_t(layout.destinationPixelBytes) * side - 1;
        for (uint32_t row = y0; row < y0 + side; ++row) {
            const uint8_t* pixel = s.source + SourceOffset(x0, row);
            const uint8_t* out = s.destination + DestinationOffset(x0, row);
            __builtin_prefetch(pixel);
            __builtin_prefetch(pixel + sourceSpan);
            __builtin_prefetch(out, 1);
            __builtin_prefetch(out + destinationSpan, 1);
        }
#else
        (void)direction, (void)x, (void)y;
#endif
    }

    // The queue and the constants the per-pixel step reads, held in locals so that the index stores, which
    // may alias anything, do not force them back to memory.
    struct Queue {
        int32_t e[4][3];
        uint32_t done, untilReport;
        int32_t strength, newestWeight;
        CellLookup lookup;
    };

    size_t SourceOffset(uint32_t x, uint32_t y) const {
        return size_t(s.sourceRowBytes) * y + size_t(layout.sourcePixelBytes) * x;
    }
    size_t DestinationOffset(uint32_t x, uint32_t y) const {
        return size_t(s.destinationRowBytes) * y + size_t(layout.destinationPixelBytes) * x + layout.destinationOffset;
    }

    Queue Load() const {
        Queue q;
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) q.e[k][c] = task.errors[k][c];
        q.done = task.done;
        q.untilReport = kReportInterval - task.done % kReportInterval;
        q.strength = task.strength;
        q.newestWeight = 7 * task.strength;
        q.lookup = lookup;
        return q;
    }
    void Store(const Queue& q) {
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) task.errors[k][c] = q.e[k][c];
        task.done = q.done;
    }

    // The error chain runs from one pixel's palette colour into the next pixel's cell, so the newest error's
    // term is added last and one table read gives both the index and its colour.
    void Pixel(Queue& q, const uint8_t* pixel, uint8_t* out, uint32_t x, uint32_t y) {
        const uint8_t read[3] = {pixel[layout.rOffset], pixel[layout.gOffset], pixel[layout.bOffset]};
        uint32_t entry;
        if (kDither) {
            uint8_t value[3];
            for (int c = 0; c < 3; ++c) {
                const int32_t older = q.strength * (q.e[0][c] + 3 * q.e[1][c] + 5 * q.e[2][c]);
                value[c] = Clamp255(read[c] + RiemersmaErrorTerm(older + q.newestWeight * q.e[3][c]));
            }
            entry = q.lookup(value[0], value[1], value[2]);
            for (int c = 0; c < 3; ++c) {
                q.e[0][c] = q.e[1][c];
                q.e[1][c] = q.e[2][c];
                q.e[2][c] = q.e[3][c];
                q.e[3][c] = int32_t(value[c]) - int32_t(entry >> (8 + 8 * c) & 255);
            }
        } else {
            // Strength 0: every weight is 0, so the queue can never matter.
            entry = q.lookup(read[0], read[1], read[2]);
        }
        ++q.done;
        if (--q.untilReport == 0) {
            q.untilReport = kReportInterval;
            task.done = q.done;
            CV_PROGRESS(task, q.done);
        }
        *out = uint8_t(entry);
        if (kMasked && (s.mask[size_t(s.maskRowBytes) * y + x / 8] >> (7 - x % 8) & 1))
            *out = uint8_t(q.lookup(read[0], read[1], read[2]));
    }

    CvHilbert& task;
    const Layout layout;
    const CellLookup lookup;
    const Setup& s;
    // Offsets of the pixels of a block from its start, per direction; the destination ones exclude the
    // index offset, which the start already has.
    ptrdiff_t sourceSteps[5][CvHilbertBlock::kMoves];
    ptrdiff_t destinationSteps[5][CvHilbertBlock::kMoves];
};

template <class Layout, bool kMasked, bool kDither>
void CvHilbert::WalkWith(const Layout& layout) {
    Walker<Layout, kMasked, kDither> walker(*this, layout);
    CvHilbertCurve<Walker<Layout, kMasked, kDither>>(setup.width, setup.height, walker).Walk();
}

template <bool kMasked, bool kDither>
void CvHilbert::ChooseLayout() {
    const Setup& s = setup;
    const bool oneByteOut = s.destinationPixelBytes == 1 && s.destinationOffset == 0;
    if (oneByteOut && s.sourcePixelBytes == 3 && s.rOffset == 0 && s.gOffset == 1 && s.bOffset == 2)
        WalkWith<Rgb3Layout, kMasked, kDither>(Rgb3Layout());
    else if (oneByteOut && s.sourcePixelBytes == 4 && s.rOffset == 2 && s.gOffset == 1 && s.bOffset == 0)
        WalkWith<Bgrx4Layout, kMasked, kDither>(Bgrx4Layout());
    else
        WalkWith<GeneralLayout, kMasked, kDither>(GeneralLayout{s.sourcePixelBytes, s.rOffset, s.gOffset, s.bOffset,
                                                                s.destinationPixelBytes, s.destinationOffset});
}

template <bool kMasked>
void CvHilbert::ChooseRoutine() {
    if (strength)
        ChooseLayout<kMasked, true>();
    else
        ChooseLayout<kMasked, false>();
}

void CvHilbert::Run() {
    Start(0, setup.width * setup.height, "Remapping");
    try {
        if (setup.mask)
            ChooseRoutine<true>();
        else
            ChooseRoutine<false>();
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

void InvMapRiemersma(uint32_t strength, const uint8_t* inverseMap, const CvColorTable& palette, const uint8_t* source,
                     uint8_t* destination, uint32_t sourceRowBytes, uint32_t destinationRowBytes, uint32_t width,
                     uint32_t height, uint16_t rOffset, uint16_t gOffset, uint16_t bOffset, uint16_t destinationOffset,
                     uint16_t sourcePixelBytes, uint16_t destinationPixelBytes, CvProgressIndicator* indicator) {
    RunRemap({strength, inverseMap, &palette, source, destination, sourceRowBytes, destinationRowBytes, width, height,
              rOffset, gOffset, bOffset, destinationOffset, sourcePixelBytes, destinationPixelBytes, nullptr, 0},
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
    RunRemap(
        {strength, inverseMap, &palette, source, destination, sourceRowBytes, destinationRowBytes, width, height,
         rOffset, gOffset, bOffset, destinationOffset, sourcePixelBytes, destinationPixelBytes, maskBits, maskRowBytes},
        indicator);
}

void InvMapRiemersmaMasked(const CvBitmapImage& mask, uint32_t strength, const uint8_t* inverseMap,
                           const CvColorTable& palette, const uint8_t* source, uint8_t* destination,
                           uint32_t sourceRowBytes, uint32_t destinationRowBytes, uint32_t width, uint32_t height,
                           uint16_t rOffset, uint16_t gOffset, uint16_t bOffset, uint16_t destinationOffset,
                           uint16_t sourcePixelBytes, uint16_t destinationPixelBytes, CvProgressIndicator* indicator) {
    const bool sameSize = mask.GetWidth() == width && mask.GetHeight() == height;
    CV_ASSERT(sameSize);
    if (!sameSize) CV_THROW(kCvErrSizeMismatch);
    CvPixelLock lock(mask);
    InvMapRiemersmaMaskBits(lock.Pixels(), mask.RowBytes(), strength, inverseMap, palette, source, destination,
                            sourceRowBytes, destinationRowBytes, width, height, rOffset, gOffset, bOffset,
                            destinationOffset, sourcePixelBytes, destinationPixelBytes, indicator);
}
