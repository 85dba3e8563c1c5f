// Octree remap: each node lists, in index order, the palette entries whose leading colour bits lead to it.
// The tree has at most five levels below the root; ties between candidates go to the lower index.
#include "cvcode2/CvQuantRemap.h"

#include <new>

#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvTempBuffer.h"

namespace {
constexpr uint32_t kLevels = 5;  // bits 7 down to 3 of each channel

// Child number at the level of bit `bit`: red, green, blue bits as a 3-bit number.
inline uint32_t ChildOf(const uint8_t* rgb, uint32_t bit) {
    return (rgb[0] >> bit & 1) << 2 | (rgb[1] >> bit & 1) << 1 | (rgb[2] >> bit & 1);
}
}  // namespace

// Candidates are kept as an index list rather than 256 flags, so a pixel scans only its node's entries.
struct CvQuantRemap::Node {
    NodePtr children[8];
    uint8_t childMask;
    uint16_t candidateCount;
    uint8_t candidates[256];
};

void CvQuantRemap::NodeDeleter::operator()(Node* node) const {
    delete node;
}

CvQuantRemap::NodePtr CvQuantRemap::NewNode() {
    Node* node = CvAllocated(new (std::nothrow) Node());
    return NodePtr(node);
}

CvQuantRemap::CvQuantRemap(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

CvQuantRemap::~CvQuantRemap() = default;

void CvQuantRemap::SetPalette(const CvColorTable& table) {
    CV_ASSERT(table.GetCount() <= 256);
    if (table.GetCount() > 256) CV_THROW(kCvErrBadArgument);
    palette = table;
    paletteSize = uint16_t(table.GetCount());
}

void CvQuantRemap::SetDither(uint8_t value) {
    CV_ASSERT(value == 0);
    (void)value;
}

void CvQuantRemap::SetSource(const CvImage* image) {
    CV_ASSERT(image != nullptr);
    if (!image) CV_THROW(kCvErrBadArgument);
    source = image;
}

void CvQuantRemap::BuildTree() {
    tree = NewNode();
    for (uint32_t i = 0; i < paletteSize; ++i) {
        const uint8_t* rgb = palette.Entry(i);
        Node* node = tree.get();
        node->candidates[node->candidateCount++] = uint8_t(i);
        for (uint32_t level = 0; level < kLevels; ++level) {
            const uint32_t child = ChildOf(rgb, 7 - level);
            if (!node->children[child]) {
                node->children[child] = NewNode();
                node->childMask = uint8_t(node->childMask | 1u << child);
            }
            node = node->children[child].get();
            node->candidates[node->candidateCount++] = uint8_t(i);
        }
    }
}

uint8_t CvQuantRemap::Nearest(const uint8_t* rgb) const {
    const Node* node = tree.get();
    for (uint32_t level = 0; level < kLevels; ++level) {
        const uint32_t child = ChildOf(rgb, 7 - level);
        if (!(node->childMask >> child & 1)) break;
        node = node->children[child].get();
    }
    uint8_t best = node->candidates[0];
    uint32_t bestDistance = CvColorTable::Distance(rgb, palette.Entry(best));
    for (uint32_t k = 1; k < node->candidateCount; ++k) {
        const uint32_t d = CvColorTable::Distance(rgb, palette.Entry(node->candidates[k]));
        if (d < bestDistance) {
            bestDistance = d;
            best = node->candidates[k];
        }
    }
    return best;
}

void CvQuantRemap::MapRows(CvIndexedImage& out) {
    const uint32_t width = out.GetWidth(), height = out.GetHeight();
    Start(0, height, "Remapping...");
    if (width == 0 || height == 0) {
        Finish();
        return;
    }
    // The source is read through GetRGB, one row at a time, so any image class can be remapped.
    CvTempBuffer row(uint64_t(width) * 3);
    CvPixelLock lock(out);
    for (uint32_t y = 0; y < height; ++y) {
        source->GetRGB(0, y, y + 1, width, 0, 0, width * 3, 3, 0, 1, 2, row.Data());
        uint8_t* indices = lock.Row(y);
        for (uint32_t x = 0; x < width; ++x) indices[x] = Nearest(row.Data() + 3 * size_t(x));
        CV_PROGRESS(*this, Current() + 1);
    }
    Finish();
}

CvIndexedImage* CvQuantRemap::Remap(CvIndexedImage* destination) {
    const bool ready = source != nullptr && paletteSize > 0 && paletteSize == palette.GetCount();
    CV_ASSERT(ready);
    if (!ready) CV_THROW(kCvErrBadArgument);
    const uint32_t width = source->GetWidth(), height = source->GetHeight();
    if (destination) {
        const bool sameSize = destination->GetWidth() == width && destination->GetHeight() == height;
        CV_ASSERT(sameSize);
        if (!sameSize) CV_THROW(kCvErrSizeMismatch);
        destination->colorTable = palette;
    } else {
        result.reset(CvAllocated(new (std::nothrow) CvIndexedImage(width, height, &palette)));
        destination = result.get();
    }
    BuildTree();
    MapRows(*destination);
    result.release();
    return destination;
}
