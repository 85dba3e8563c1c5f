// Remapping an RGB image to a given palette through an octree of candidate entries: a pixel takes the nearest
// entry among those sharing its longest run of leading colour bits, not necessarily the nearest of the palette.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

class CvImage;
class CvIndexedImage;

class CvQuantRemap : public CvProgressTask {
public:
    explicit CvQuantRemap(CvProgressIndicator* indicator = nullptr);
    ~CvQuantRemap();
    CvQuantRemap(const CvQuantRemap&) = delete;
    CvQuantRemap& operator=(const CvQuantRemap&) = delete;

    // At most 256 entries (kCvErrBadArgument otherwise).
    void SetPalette(const CvColorTable& table);
    // Only undithered remapping exists: callers pass 0.
    void SetDither(uint8_t value);
    void SetSource(const CvImage* image);
    // Fills `destination` (the source's size, kCvErrSizeMismatch otherwise) or a new image, which the caller then owns.
    CvIndexedImage* Remap(CvIndexedImage* destination);

private:
    struct Node;
    struct NodeDeleter {
        void operator()(Node* node) const;
    };
    using NodePtr = std::unique_ptr<Node, NodeDeleter>;

    static NodePtr NewNode();
    void BuildTree();
    uint8_t Nearest(const uint8_t* rgb) const;
    void MapRows(CvIndexedImage& out);

    uint16_t paletteSize = 256;
    CvColorTable palette;
    const CvImage* source = nullptr;
    std::unique_ptr<CvIndexedImage> result;
    NodePtr tree;
};
