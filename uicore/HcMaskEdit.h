// The transparency edits of the options dialog's pane on a frame's mask: the index picker, the pencil and the
// edge brush, and showing edited pixels. A pixel is transparent when its mask bit equals the mask's polarity.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "uicore/HcPreviewTypes.h"

class CvBitmapImage;
class CvGIFFrame;

enum class HcPickMode { OnlyThis, Add, Remove };

// Shift adds the index to the transparent ones, Ctrl makes it opaque, a plain click makes it the only one.
HcPickMode HcPickModeFor(bool shift, bool ctrl);
// Applies the picker to the palette index of an image pixel and returns that index; outside the image it does
// nothing and returns -1.
int HcPickIndex(CvGIFFrame& frame, HcPoint pixel, HcPickMode mode);
// The same pick on the flags of the transparent indexes the settings keep for the "Color" mode, so that they name
// what the frame shows.
void HcPickFlags(uint8_t flags[256], uint8_t index, HcPickMode mode);

// The mask pixels one move of a stroke changed, each listed once, and their bounds.
struct HcMaskChange {
    std::vector<HcPoint> pixels;
    HcPixelBounds bounds;
    bool Empty() const { return pixels.empty(); }
};

// One pencil or edge-brush stroke from mouse down to mouse up. It does not touch the frame's transparency flag:
// whoever ends the stroke brings the flag in line with the mask.
class HcMaskStroke {
public:
    enum class Brush { Pencil, EdgeBrush };

    // A stroke starting at an image point, inside the image or not; mouse down then paints it with LineTo(start).
    // The edge brush keeps a copy of the mask as it is now (failure raises kCvErrNoMemory).
    HcMaskStroke(CvGIFFrame& frame, Brush brush, HcPoint start);
    ~HcMaskStroke();
    HcMaskStroke(const HcMaskStroke&) = delete;
    HcMaskStroke& operator=(const HcMaskStroke&) = delete;

    // Paints every point of the line from the last point to `to`, both included: transparent, or opaque with
    // `opaque`. `to` becomes the last point.
    // Pencil: each line point inside the image takes the value.
    // Edge brush: each image pixel of the 5 x 5 square around a line point takes the value when it lies on the
    // image's outermost ring, or when one of its four neighbours had the value as the stroke began; so a stroke
    // grows or shrinks the transparent region by at most one pixel. A mask of another size than at the stroke's
    // start raises kCvErrSizeMismatch.
    HcMaskChange LineTo(HcPoint to, bool opaque);

private:
    CvGIFFrame& frame;
    HcPoint last;
    std::unique_ptr<CvBitmapImage> snapshot;  // the mask as the stroke began; only the edge brush has one
};

// Shows mask pixels in the full buffer: the frame's background colour where transparent, elsewhere the palette
// colour of the pixel's index. Points outside the image or the buffer are skipped.
void HcShowMaskPixels(const CvGIFFrame& frame, const std::vector<HcPoint>& pixels, const HcBgrxBuffer& full);
