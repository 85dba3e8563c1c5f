// Riemersma dithering along the Hilbert curve: one inverse-map lookup per pixel, integer error arithmetic.
// The error queue starts at zero and is advanced only by pixels inside the image, in curve order.
#include "cvcode2/CvInvMapRiemersma.h"

#include <algorithm>
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

}  // namespace

// A pixel's channel plus the error term it receives, plus 255 (RiemersmaShiftedChannels), indexes the first two.
// levelBits: that channel's part of the cell index (its level, saturated, at the channel's place).
// value: the first part of E: s × the channel held to 0..255, plus 4096.
// cells: per cell, 7s × the inverse map's entry's channels in lanes, and that entry's index in the top byte, so that
// one read gives what the next pixel's sums wait for (entries past the palette's end read as black).
// chosen: per palette entry, s × its channels in lanes, the part of E it takes away.
struct CvHilbert::Tables {
    static constexpr int32_t kChannelOffset = 255, kSpan = 766;
    static constexpr uint32_t kIndexShift = 56;
    uint32_t levelBits[3][kSpan];
    uint32_t value[kSpan];
    uint64_t chosen[256];
    uint64_t cells[kCellCount];
};

CvHilbert::CvHilbert(const Setup& setup_, CvProgressIndicator* indicator)
    : CvProgressTask(indicator),
      setup(setup_),
      strength(int32_t(setup_.strength)),
      tables(CvAllocated(new (std::nothrow) Tables)) {
    SetPalette(setup.palette);
    for (int32_t i = 0; i < Tables::kSpan; ++i) {
        const int32_t channel = i - Tables::kChannelOffset;
        const uint32_t level = uint32_t(std::clamp((channel + 4) >> 3, 0, 31));
        for (int c = 0; c < 3; ++c) tables->levelBits[c][i] = level << (10 - 5 * c);
        tables->value[i] = uint32_t(strength * std::clamp(channel, 0, 255) + 4096);
    }
    const uint32_t count = setup.palette->GetCount() > 256 ? 256 : setup.palette->GetCount();
    for (uint32_t i = 0; i < 256; ++i) {
        const uint8_t black[3] = {0, 0, 0};
        const uint8_t* rgb = i < count ? setup.palette->Entry(i) : black;
        tables->chosen[i] =
            RiemersmaLanes(uint64_t(strength) * rgb[0], uint64_t(strength) * rgb[1], uint64_t(strength) * rgb[2]);
    }
    for (uint32_t cell = 0; cell < kCellCount; ++cell) {
        const uint64_t index = setup.inverseMap[cell];
        tables->cells[cell] = 7 * tables->chosen[index] | index << Tables::kIndexShift;
    }
}

CvHilbert::~CvHilbert() = default;

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
        : task(task_), layout(layout_), tables(*task_.tables), s(task_.setup) {
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

    // The queue and the progress count, held in locals so that the index stores, which may alias anything, do
    // not force them back to memory.
    struct Queue {
        CvHilbert::Queue errors;
        uint32_t done, untilReport;
        const Tables* tables;
    };

    size_t SourceOffset(uint32_t x, uint32_t y) const {
        return size_t(s.sourceRowBytes) * y + size_t(layout.sourcePixelBytes) * x;
    }
    size_t DestinationOffset(uint32_t x, uint32_t y) const {
        return size_t(s.destinationRowBytes) * y + size_t(layout.destinationPixelBytes) * x + layout.destinationOffset;
    }

    Queue Load() const {
        Queue q;
        q.errors = task.queue;
        q.done = task.done;
        q.untilReport = kReportInterval - task.done % kReportInterval;
        q.tables = &tables;
        return q;
    }
    void Store(const Queue& q) {
        task.queue = q.errors;
        task.done = q.done;
    }

    uint8_t Nearest(const uint8_t* read) const {
        return s.inverseMap[ColorIndex15(read[0], read[1], read[2])];
    }

    // The error chain runs from one pixel's chosen entry through the next pixel's sums into its cell, so that path
    // is kept short: the sums are ready as they are needed, the cell comes from them by shifts and table reads (no
    // clamping on the way), and the parts of the following sums that do not wait for the chosen entry are added
    // while the inverse map is read.
    void Pixel(Queue& q, const uint8_t* pixel, uint8_t* out, uint32_t x, uint32_t y) {
        const uint8_t read[3] = {pixel[layout.rOffset], pixel[layout.gOffset], pixel[layout.bOffset]};
        uint8_t index;
        if (kDither) {
            CvHilbert::Queue& e = q.errors;
            const Tables& t = *q.tables;
            const uint64_t channels = RiemersmaLanes(read[0], read[1], read[2]) << 8;
            const uint64_t at = RiemersmaShiftedChannels(e.sum, channels);
            const uint32_t r = uint32_t(at & 0x3FF), g = uint32_t(at >> 18 & 0x3FF), b = uint32_t(at >> 36);
            const uint64_t cell = t.cells[t.levelBits[0][r] | t.levelBits[1][g] | t.levelBits[2][b]];
            index = uint8_t(cell >> Tables::kIndexShift);
            const uint64_t value = RiemersmaLanes(t.value[r], t.value[g], t.value[b]);
            const uint64_t error = value - t.chosen[index];  // this pixel's E
            // The index in the top byte leaves the lanes alone: the sums' lanes are all that is ever read.
            e.sum = (e.next + 7 * value) - cell;
            e.next = e.later + 5 * error;
            e.later = e.last + 3 * error;
            e.last = error;
        } else {
            // Strength 0: every weight is 0, so the queue can never matter.
            index = Nearest(read);
        }
        ++q.done;
        if (--q.untilReport == 0) {
            q.untilReport = kReportInterval;
            task.done = q.done;
            CV_PROGRESS(task, q.done);
        }
        *out = index;
        if (kMasked && (s.mask[size_t(s.maskRowBytes) * y + x / 8] >> (7 - x % 8) & 1)) *out = Nearest(read);
    }

    CvHilbert& task;
    const Layout layout;
    const Tables& tables;
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
