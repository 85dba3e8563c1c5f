// The indexed raster and its palette operations.
// Pixel lookups go through a 256-entry copy of the table, so an index past the count reads black, never past the end.
#include "cvcode2/CvIndexedImage.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvResize.h"

namespace {
constexpr uint32_t kMaxEntries = 256;

CvColorTable* NewTable(uint32_t count) {
    auto* table = CvAllocated(new (std::nothrow) CvColorTable(count));
    return table;
}

// The value a 32-bit float holds for v: v rounded to 24 significant bits, ties to even. Integer arithmetic keeps
// the comparison identical on every build, whatever the floating-point unit.
uint64_t RoundToFloat(uint64_t v) {
    int bits = 0;
    for (uint64_t t = v; t; t >>= 1) ++bits;
    if (bits <= 24) return v;
    const int shift = bits - 24;
    const uint64_t low = v & ((uint64_t(1) << shift) - 1), half = uint64_t(1) << (shift - 1);
    uint64_t kept = v >> shift;
    if (low > half || (low == half && (kept & 1))) ++kept;
    return kept << shift;
}
}  // namespace

CvIndexedImage::CvIndexedImage(uint32_t w, uint32_t h, const CvColorTable* table, CvRowBytesFunction function,
                               CvBaseBuffer* pixelBuffer, bool clear)
    : CvRealImage(w, h, 8, 1, function, pixelBuffer, kCvKindIndexed, clear),
      colorTable(table ? *table : CvColorTable(1)) {}

CvIndexedImage::CvIndexedImage(const CvIndexedImage& from, CvRowBytesFunction function, CvBaseBuffer* pixelBuffer)
    : CvRealImage(from.width, from.height, 8, 1, function, pixelBuffer, kCvKindIndexed, false) {
    CopyFrom(from);
}

CvImage* CvIndexedImage::Clone() const {
    std::unique_ptr<CvIndexedImage> clone(
        CvAllocated(new (std::nothrow) CvIndexedImage(0u, 0u, nullptr, nullptr, nullptr, false)));
    clone->CopyFrom(*this);
    return clone.release();
}

void CvIndexedImage::CopyFrom(const CvImage& from) {
    const auto* source = dynamic_cast<const CvIndexedImage*>(&from);
    CV_ASSERT(source);
    if (!source) return;
    SetSize(source->width, source->height);
    fillIndex = source->fillIndex;
    colorTable = source->colorTable;
    const CvPoint origin{0, 0};
    Paste(&origin, source);
    CopyFormatInfo(source);
}

void CvIndexedImage::Palette256(uint8_t* palette) const {
    std::memset(palette, 0, kMaxEntries * 3);
    if (colorTable.GetCount())
        std::memcpy(palette, colorTable.Entries(), std::min(colorTable.GetCount(), kMaxEntries) * 3u);
}

void CvIndexedImage::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    uint8_t palette[kMaxEntries * 3];
    Palette256(palette);
    CvPixelLock lock(*this);
    if (out.pixelBytes == 4 && std::max({out.rOffset, out.gOffset, out.bOffset}) < 4)
        return GetRGBWords(palette, lock, rect, out);
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* s = lock.Row(rect.top + j) + rect.left;
        uint8_t* d = out.At(0, j);
        for (uint32_t i = 0; i < rect.Width(); ++i, d += out.pixelBytes) {
            const uint8_t* c = palette + 3 * s[i];
            d[out.rOffset] = c[0];
            d[out.gOffset] = c[1];
            d[out.bOffset] = c[2];
        }
    }
}

// Four-byte pixels (a screen's 32-bit buffers) take one word per pixel: the entry's channels already at their
// offsets, the fourth byte kept as it was.
void CvIndexedImage::GetRGBWords(const uint8_t* palette, const CvPixelLock& lock, const CvRect& rect,
                                 const CvDstLayout& out) {
    uint32_t words[kMaxEntries], keep;
    uint8_t bytes[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    bytes[out.rOffset] = bytes[out.gOffset] = bytes[out.bOffset] = 0;
    std::memcpy(&keep, bytes, 4);
    for (uint32_t e = 0; e < kMaxEntries; ++e) {
        bytes[out.rOffset] = palette[3 * e], bytes[out.gOffset] = palette[3 * e + 1];
        bytes[out.bOffset] = palette[3 * e + 2];
        std::memcpy(&words[e], bytes, 4);
        words[e] &= ~keep;
    }
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* s = lock.Row(rect.top + j) + rect.left;
        uint8_t* d = out.At(0, j);
        for (uint32_t i = 0; i < rect.Width(); ++i, d += 4) {
            uint32_t word;
            std::memcpy(&word, d, 4);
            word = (word & keep) | words[s[i]];
            std::memcpy(d, &word, 4);
        }
    }
}

void CvIndexedImage::Clear() {
    if (!HasPixels()) return;
    CvPixelLock lock(*this);
    std::memset(lock.Pixels(), fillIndex, size_t(rowBytes) * height);
}

CvRealImage* CvIndexedImage::NewImage(const CvRect& rect) const {
    return CvAllocated(new (std::nothrow)
                           CvIndexedImage(rect.Width(), rect.Height(), &colorTable, nullptr, nullptr, true));
}

void CvIndexedImage::CheckPasteSource(const CvPoint*, const CvImage* src) const {
    const auto* source = dynamic_cast<const CvIndexedImage*>(src);
    if (!source || source->colorTable != colorTable) CV_THROW(kCvErrSizeMismatch);
}

CvImage* CvIndexedImage::Rotate(float angle) const {
    uint8_t r = 0, g = 0, b = 0;
    if (fillIndex < colorTable.GetCount()) colorTable.GetEntry(fillIndex, r, g, b);
    return Rotate(angle, CvColorTable::Pack(r, g, b));
}

CvImage* CvIndexedImage::Rotate(float angle, uint32_t fill) const {
    if (IsRightAngle(angle)) return Rotate90(angle);
    CvRGBImage colours(width, height, nullptr, nullptr, false);
    {
        CvPixelLock lock(colours);
        GetRGB(0, 0, height, width, 0, 0, colours.RowBytes(), 3, 0, 1, 2, lock.Pixels());
    }
    return colours.Rotate(angle, fill);
}

CvIndexedImage* CvIndexedImage::Rotate90(float angle) const {
    if (IsLocked()) CV_THROW(kCvErrSizeMismatch);
    const uint32_t turns = QuarterTurns(angle);
    std::unique_ptr<CvIndexedImage> rotated(CvAllocated(new (std::nothrow) CvIndexedImage(
        turns % 2 ? height : width, turns % 2 ? width : height, &colorTable, nullptr, nullptr, false)));
    rotated->fillIndex = fillIndex;
    RotateQuarterInto(*rotated, turns);
    return rotated.release();
}

CvImage* CvIndexedImage::Resize(uint32_t w, uint32_t h) const {
    std::unique_ptr<CvIndexedImage> resized(WithBufferLikeMine([&](CvBaseBuffer* fresh) {
        return new (std::nothrow) CvIndexedImage(w, h, &colorTable, nullptr, fresh, false);
    }));
    resized->fillIndex = fillIndex;
    {
        CvPixelLock in(*this);
        CvPixelLock out(*resized);
        CvResize::ResizeIndexed(in.Pixels(), out.Pixels(), rowBytes, resized->RowBytes(), width, height, w, h,
                                colorTable);
    }
    resized->CopyFormatInfo(this);
    return resized.release();
}

void CvIndexedImage::CountInto(uint32_t* counts, const CvBitmapImage* mask) const {
    if (!counts) CV_THROW(kCvErrBadArgument);
    if (!HasPixels() || IsLocked()) CV_THROW(kCvErrSizeMismatch);
    // Counted into all 256 slots, so an index past the table never writes past the caller's array.
    uint32_t all[kMaxEntries] = {};
    CvPixelLock lock(*this);
    if (mask) {
        CvPixelLock bits(*mask);
        const uint8_t whiteFlip = mask->Polarity() == 1 ? 0xFF : 0x00;
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* p = lock.Row(y);
            const uint8_t* m = bits.Row(y);
            for (uint32_t x = 0; x < width; ++x)
                if ((m[x / 8] ^ whiteFlip) & (0x80 >> (x % 8))) ++all[p[x]];
        }
    } else {
        // Neighbouring pixels often share an index: four tallies taken in turn keep each increment from waiting
        // for the one before.
        uint32_t part[3][kMaxEntries] = {};
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* p = lock.Row(y);
            uint32_t x = 0;
            for (; x + 4 <= width; x += 4) ++all[p[x]], ++part[0][p[x + 1]], ++part[1][p[x + 2]], ++part[2][p[x + 3]];
            for (; x < width; ++x) ++all[p[x]];
        }
        for (uint32_t i = 0; i < kMaxEntries; ++i) all[i] += part[0][i] + part[1][i] + part[2][i];
    }
    const uint32_t n = std::min(colorTable.GetCount(), kMaxEntries);
    std::copy(all, all + n, counts);
}

void CvIndexedImage::CountIndexUsage(uint32_t* counts) const {
    CountInto(counts, nullptr);
}

void CvIndexedImage::CountIndexUsageMasked(uint32_t* counts, const CvBitmapImage* mask) const {
    if (!counts || !mask) CV_THROW(kCvErrBadArgument);
    CV_ASSERT(mask->GetWidth() == width && mask->GetHeight() == height);
    if (mask->GetWidth() != width || mask->GetHeight() != height) CV_THROW(kCvErrSizeMismatch);
    CountInto(counts, mask);
}

uint32_t CvIndexedImage::CountUsed(const uint32_t* counts, uint32_t n) {
    if (!counts) CV_THROW(kCvErrBadArgument);
    return uint32_t(std::count_if(counts, counts + n, [](uint32_t c) { return c != 0; }));
}

uint32_t CvIndexedImage::FindUnused(const uint32_t* counts, uint32_t n, bool* found) {
    if (!counts) CV_THROW(kCvErrBadArgument);
    const uint32_t i = uint32_t(std::find(counts, counts + n, 0u) - counts);
    *found = i < n;
    return i;
}

void CvIndexedImage::RemapIndices(const uint8_t* map) {
    if (!map) CV_THROW(kCvErrBadArgument);
    CvPixelLock lock(*this);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* p = lock.Row(y);
        for (uint32_t x = 0; x < width; ++x) p[x] = map[p[x]];
    }
}

void CvIndexedImage::ReplaceIndex(uint8_t from, uint8_t to) {
    CV_ASSERT(from < colorTable.GetCount() && to < colorTable.GetCount() && from != to);
    uint8_t map[kMaxEntries];
    for (uint32_t i = 0; i < kMaxEntries; ++i) map[i] = uint8_t(i);
    map[from] = to;
    RemapIndices(map);
}

CvColorTable* CvIndexedImage::CompactTable(const CvColorTable& table, const uint32_t* counts, uint8_t* map) {
    if (!counts || !map) CV_THROW(kCvErrBadArgument);
    CV_ASSERT(table.GetCount() <= kMaxEntries);
    const uint32_t n = std::min(table.GetCount(), kMaxEntries);
    // Duplicates fold onto their first occurrence before any position is given, so a used duplicate of an unused
    // entry keeps that entry's colour alive in a slot of its own.
    uint32_t folded[kMaxEntries] = {};
    uint8_t first[kMaxEntries];
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t j = 0;
        while (j < i && std::memcmp(table.Entry(j), table.Entry(i), 3) != 0) ++j;
        first[i] = uint8_t(j);
        folded[j] += counts[i];
    }
    std::unique_ptr<CvColorTable> compact(NewTable(CountUsed(folded, n)));
    uint32_t next = 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (first[i] != i || folded[i] == 0) continue;
        map[i] = uint8_t(next);
        const uint8_t* c = table.Entry(i);
        compact->SetEntry(next++, c[0], c[1], c[2]);
    }
    // Duplicates share their first occurrence's slot; unused entries point at the next kept slot (any valid one).
    uint32_t following = 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (first[i] == i && folded[i] != 0)
            following = map[i] + 1u;
        else if (folded[first[i]] != 0)
            map[i] = map[first[i]];
        else
            map[i] = uint8_t(std::min(following, next ? next - 1 : 0));
    }
    return compact.release();
}

void CvIndexedImage::RemoveUnusedColors() {
    uint32_t counts[kMaxEntries] = {};
    CountIndexUsage(counts);
    uint8_t map[kMaxEntries] = {};
    std::unique_ptr<CvColorTable> compact(CompactTable(colorTable, counts, map));
    colorTable = *compact;
    RemapIndices(map);
}

void CvIndexedImage::MergeSimilarColors(uint32_t threshold) {
    RemoveUnusedColors();
    const uint64_t limit = uint64_t(threshold) * threshold;
    const uint32_t n = std::min(colorTable.GetCount(), kMaxEntries);
    CvColorTable kept(n);
    uint8_t map[kMaxEntries] = {};
    uint32_t k = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* c = colorTable.Entry(i);
        uint32_t j = 0;
        while (j < k && CvColorTable::Distance(c, kept.Entry(j)) >= limit) ++j;
        if (j == k) kept.SetEntry(k++, c[0], c[1], c[2]);
        map[i] = uint8_t(j);
    }
    kept.SetCount(k);
    RemapIndices(map);
    colorTable = kept;
}

void CvIndexedImage::LimitColors(uint32_t maxColors) {
    RemoveUnusedColors();
    const uint32_t n = std::min(colorTable.GetCount(), kMaxEntries);
    if (n <= std::max(maxColors, 1u)) return;
    uint32_t counts[kMaxEntries] = {};
    CountIndexUsage(counts);
    // map[i] is where entry i's pixels go; merged entries point at their destination, followed to the end below.
    uint8_t map[kMaxEntries];
    bool active[kMaxEntries] = {};
    for (uint32_t i = 0; i < n; ++i) map[i] = uint8_t(i), active[i] = true;
    for (uint32_t left = n; left > std::max(maxColors, 1u); --left) {
        uint32_t source = n;
        for (uint32_t i = 0; i < n; ++i)
            if (active[i] && (source == n || counts[i] < counts[source])) source = i;
        uint32_t into = n, best = UINT32_MAX;
        for (uint32_t i = 0; i < n; ++i) {
            if (!active[i] || i == source) continue;
            uint32_t distance = CvColorTable::Distance(colorTable.Entry(source), colorTable.Entry(i));
            if (distance < best) best = distance, into = i;
        }
        active[source] = false;
        map[source] = uint8_t(into);
        counts[into] += counts[source];
    }
    for (uint32_t i = 0; i < n; ++i)
        while (!active[map[i]]) map[i] = map[map[i]];
    RemapIndices(map);
    RemoveUnusedColors();
}

void CvIndexedImage::ChooseMergePair(uint32_t* counts, uint32_t candidates, uint8_t* index, uint8_t* into) const {
    if (!counts || !index || !into) CV_THROW(kCvErrBadArgument);
    const uint32_t entries = std::min(colorTable.GetCount(), kMaxEntries);
    const uint32_t n = std::min({candidates, entries, 255u});
    *index = *into = 0;
    uint32_t chosen[kMaxEntries], chosenCount[kMaxEntries];
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t e = uint32_t(std::min_element(counts, counts + entries) - counts);
        chosen[k] = e;
        chosenCount[k] = counts[e];
        counts[e] = 0x7FFFFFFF;
    }
    // Cost = count x distance; the best cost is kept as a 32-bit float would hold it.
    uint64_t best = 0;
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t target = colorTable.FindNearestOther(chosen[k]);
        const uint64_t cost =
            uint64_t(chosenCount[k]) * CvColorTable::Distance(colorTable.Entry(chosen[k]), colorTable.Entry(target));
        if (k == 0 || cost < best) {
            best = RoundToFloat(cost);
            *index = uint8_t(chosen[k]);
            *into = uint8_t(target);
        }
    }
}
