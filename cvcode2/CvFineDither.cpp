// Serpentine error diffusion with the nearest-entry search: rows alternate direction, each pixel passes its error
// on to the pixel after it and to three pixels of the next row. Errors are kept in 1/256 of a level, so none is lost.
#include "cvcode2/CvFineDither.h"

#include <algorithm>
#include <new>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvNearestColor.h"

namespace {
constexpr uint32_t kReportInterval = 2000;
constexpr int32_t kOne = 256;  // one level in error units

// The full error at strength 16 lets an error no entry can take up grow until a far entry is chosen, which
// leaves isolated specks: the strongest diffusion passes on 15/16.
constexpr uint32_t kMostDiffused = 15;

// The channel of a packed entry: the index in bits 0-7, red, green and blue in the bytes above.
inline int32_t Channel(uint32_t entry, int c) {
    return int32_t(entry >> (8 + 8 * c) & 255);
}

inline int32_t Distance(const uint8_t value[3], uint32_t entry) {
    int32_t sum = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t d = int32_t(value[c]) - Channel(entry, c);
        sum += d * d;
    }
    return sum;
}

// What the row being walked starts from, and what it passes down. `base` holds each channel of the row's pixels in
// error units with the error the row above passed down already added; `spread` the error times strength that each
// pixel of the row passes on, with a column of zeros on either side for the shares that fall off the image.
class DiffusionRows {
public:
    explicit DiffusionRows(uint32_t width) {
        try {
            base.assign(3 * size_t(width), 0);
            spread.assign(3 * (size_t(width) + 2), 0);
        } catch (const std::bad_alloc&) {
            CV_THROW(kCvErrNoMemory);
        }
    }
    const int32_t* Base() const { return base.data(); }
    int32_t* Spread() { return spread.data() + 3; }
    void Start(const uint8_t* source) {
        for (size_t j = 0; j < base.size(); ++j) base[j] = source[j] * kOne;
    }
    // The next row's start: 3/16, 5/16 and 1/16 of the spread of the pixels after, above and before each
    // position, each share rounded on its own, added to its source. A row walked rightwards has the pixel
    // after a position on its right. One pass over whole rows, which the compiler vectorises.
    template <int kStep>
    void PassDown(const uint8_t* source) {
        const int32_t* q = spread.data() + 3;
        for (size_t j = 0; j < base.size(); ++j) {
            const int32_t after = kStep > 0 ? q[j + 3] : q[j - 3], before = kStep > 0 ? q[j - 3] : q[j + 3];
            base[j] = source[j] * kOne + ((after * 3 + 128) >> 8) + ((q[j] * 5 + 128) >> 8) + ((before + 128) >> 8);
        }
    }

private:
    std::vector<int32_t> base, spread;
};

class FineDitherTask : public CvProgressTask {
public:
    FineDitherTask(CvNearestColor& nearest, const CvFineDitherSetup& setup, const uint8_t* mask, uint32_t maskRowBytes,
                   CvProgressIndicator* indicator)
        : CvProgressTask(indicator),
          nearest(nearest),
          s(setup),
          mask(mask),
          maskRowBytes(maskRowBytes),
          strength(int32_t(std::min(setup.strength, kMostDiffused))),
          // Weaker dithering buys a smaller file: the previous pixel's entry is kept while it is nearly as near
          // as the nearest, which lengthens the runs the GIF's coding thrives on.
          runMargin(int32_t(2 * (17 - setup.strength) + 1)),
          rows(setup.strength ? setup.width : 0) {
        SetPalette(setup.palette);
        // No error may push a pixel outside the range of the palette's own channels: beyond it, no entry
        // could ever take the error up.
        for (int c = 0; c < 3; ++c) low[c] = 255 * kOne, high[c] = 0;
        for (uint32_t i = 0; i < setup.palette->GetCount(); ++i)
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], setup.palette->Entry(i)[c] * kOne);
                high[c] = std::max(high[c], setup.palette->Entry(i)[c] * kOne);
            }
    }

    void Run() {
        Start(0, s.width * s.height, "Remapping");
        try {
            if (s.strength == 0)
                Rows<Kind::kPlain, false>();
            else if (s.sums)
                Rows<Kind::kMeasured, true>();
            else if (mask)
                Rows<Kind::kMasked, true>();
            else
                Rows<Kind::kPlain, true>();
            SetProgress(done);  // the last report only shows completion; its answer is not acted on
        } catch (const CvErrorCode& error) {
            ReportError(error);
            throw;
        }
        Finish();
    }

private:
    enum class Kind { kPlain, kMasked, kMeasured };

    template <Kind kKind, bool kDither>
    void Rows() {
        if (kDither) rows.Start(s.source);
        for (uint32_t y = 0; y < s.height; ++y) {
            if (!kDither)
                NearestRow(y);
            else if (y % 2 == 0)
                Row<kKind, 1>(y);
            else
                Row<kKind, -1>(y);
            if (kDither && y + 1 < s.height) {
                const uint8_t* next = s.source + size_t(s.sourceRowBytes) * (y + 1);
                if (y % 2 == 0)
                    rows.PassDown<1>(next);
                else
                    rows.PassDown<-1>(next);
            }
            done += s.width;
            if (done - reported >= kReportInterval && y + 1 < s.height) {
                reported = done;
                CV_PROGRESS(*this, done);
            }
        }
    }

    // Without dithering every pixel simply gets the entry nearest to its own colour; a run of one colour is
    // looked up once.
    void NearestRow(uint32_t y) {
        const uint8_t* pixel = s.source + size_t(s.sourceRowBytes) * y;
        uint8_t* out = s.destination + size_t(s.destinationRowBytes) * y;
        uint32_t last = UINT32_MAX, index = 0;  // no packed colour is UINT32_MAX
        for (uint32_t x = 0; x < s.width; ++x, pixel += 3) {
            const uint32_t color = CvColorTable::Pack(pixel[0], pixel[1], pixel[2]);
            if (color != last) index = nearest.Index(pixel[0], pixel[1], pixel[2]), last = color;
            out[x] = uint8_t(index);
        }
    }

    // Floyd and Steinberg's weights: 7/16 to the next pixel, 3/16, 5/16 and 1/16 to the three below, mirrored on
    // the rows walked leftwards. A masked pixel keeps its own colour's entry and passes on what that leaves.
    // Each pixel waits for the one before it, so this loop does only what that chain needs: the next pixel's
    // share stays in registers and the row below is made afterwards from `spread`.
    template <Kind kKind, int kStep>
    void Row(uint32_t y) {
        const uint8_t* in = s.source + size_t(s.sourceRowBytes) * y;
        uint8_t* out = s.destination + size_t(s.destinationRowBytes) * y;
        const uint8_t* maskRow = kKind == Kind::kMasked ? mask + size_t(maskRowBytes) * y : nullptr;
        const int32_t* base = rows.Base();
        int32_t* spread = rows.Spread();
        const int32_t width = int32_t(s.width);
        int32_t carried[3] = {0, 0, 0};  // from the previous pixel to this one
        uint32_t previous = 0;
        // Flat areas repeat a value, so the last answer of the search is kept.
        uint32_t lastValue = UINT32_MAX, lastEntry = 0, lastMiss = 0;  // no packed value is UINT32_MAX
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = kStep > 0 ? i : width - 1 - i;
            int32_t target[3];
            uint8_t value[3];
            for (int c = 0; c < 3; ++c) {
                target[c] = std::clamp(base[3 * x + c] + carried[c], low[c], high[c]);
                value[c] = uint8_t(uint32_t(target[c] + kOne / 2) >> 8);  // the target is never negative
            }
            const uint32_t packed = CvColorTable::Pack(value[0], value[1], value[2]);
            if (packed != lastValue)
                lastEntry = nearest.Entry(value[0], value[1], value[2], lastMiss), lastValue = packed;
            uint32_t entry = lastEntry;
            // An exact match is always kept: a picture of no more colours than the palette keeps every one.
            if (kKind != Kind::kMeasured && lastMiss && i && Distance(value, previous) <= int32_t(lastMiss) + runMargin)
                entry = previous;
            if (kKind == Kind::kMasked && (maskRow[x / 8] >> (7 - x % 8) & 1)) {
                const uint8_t* pixel = in + 3 * size_t(x);
                entry = nearest.Entry(pixel[0], pixel[1], pixel[2]);
            }
            previous = entry;
            out[x] = uint8_t(entry);
            if (kKind == Kind::kMeasured) {
                s.sums->count[entry & 255] += 1;
                for (int c = 0; c < 3; ++c) s.sums->target[entry & 255][c] += target[c];
            }
            for (int c = 0; c < 3; ++c) {
                // The error times strength / 16, spread in sixteenths; rounding keeps the sum within a unit.
                const int32_t error = (target[c] - Channel(entry, c) * kOne) * strength;
                spread[3 * x + c] = error;
                carried[c] = (error * 7 + 128) >> 8;
            }
        }
    }

    CvNearestColor& nearest;
    const CvFineDitherSetup& s;
    const uint8_t* mask;
    uint32_t maskRowBytes;
    const int32_t strength, runMargin;
    int32_t low[3], high[3];
    DiffusionRows rows;
    uint32_t done = 0, reported = 0;
};

bool Usable(const CvFineDitherSetup& s) {
    return s.strength <= 16 && s.palette && s.palette->GetCount() >= 1 && s.source && s.destination && s.width &&
           s.height && uint64_t(s.width) * s.height <= UINT32_MAX && s.sourceRowBytes >= uint64_t(s.width) * 3 &&
           s.destinationRowBytes >= s.width && (!s.sums || (s.strength && !s.mask));
}
}  // namespace

void FineDither(CvNearestColor& nearest, const CvFineDitherSetup& setup, CvProgressIndicator* indicator) {
    const bool usable = Usable(setup);
    CV_ASSERT(usable);
    if (!usable) CV_THROW(kCvErrBadArgument);
    if (!setup.mask) return FineDitherTask(nearest, setup, nullptr, 0, indicator).Run();
    const bool sameSize = setup.mask->GetWidth() == setup.width && setup.mask->GetHeight() == setup.height;
    CV_ASSERT(sameSize);
    if (!sameSize) CV_THROW(kCvErrSizeMismatch);
    CvPixelLock lock(*setup.mask);
    FineDitherTask(nearest, setup, lock.Pixels(), setup.mask->RowBytes(), indicator).Run();
}
