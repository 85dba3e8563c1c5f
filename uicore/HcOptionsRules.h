// The options dialog's window-free rules: the image info texts, the comment's share of the file size, the names
// of the mask planes and where the four tool buttons lie. Every result depends on its arguments alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "uicore/HcUiTypes.h"

constexpr size_t kCommentEditLimit = 2000;  // characters the comment edit takes
constexpr size_t kCommentReadLimit = 1997;  // characters read back from it when the dialog ends
constexpr size_t kCommentKeptLimit = 255;   // bytes the settings (a Str255) keep

// Bits per pixel a palette of `entries` colours is written with: 8 above 128, 7 for 65..128, ... 1 up to 2.
int PaletteBitDepth(uint32_t entries);
// "%d x %d pixels" and "%d colors used, %d bit" (the depth of the palette's size).
std::string ImageSizeText(uint32_t width, uint32_t height);
std::string ColorUseText(uint32_t used, uint32_t entries);
// "File Size: %d Bytes".
std::string FileSizeText(uint64_t bytes);

// Whether a byte of the system's code page starts a two-byte character.
using HcLeadByteTest = std::function<bool(uint8_t)>;
// The comment as the settings keep it: its first 255 bytes, or fewer where the 255th would cut a two-byte
// character of the code page in half.
std::string KeptComment(const std::string& text, const HcLeadByteTest& isLeadByte = {});
// Bytes a comment of n bytes adds to the file: nothing when empty, else its extension with its sub-blocks.
uint32_t CommentExtensionSize(size_t n);

struct HcPlaneItem {
    std::string name;
    uint32_t plane;  // the position in the run's extra planes
};
// "Layer Transparency" first when the layer has one, "Layer Mask" next when it has one, then "Channel %d" with
// the plane's position.
std::vector<HcPlaneItem> MaskPlaneItems(uint32_t planeCount, bool hasTransparency, bool hasLayerMask);

// The pencil, picker, edge brush and hand buttons in a row below the pane: at 96 DPI 26 x 22 pixels, 25 apart, 15
// from the dialog's left edge and 10 below the pane; scaled alike at other resolutions.
class HcToolBar {
public:
    static constexpr int kCount = 4;
    static constexpr int32_t kWidth = 26, kHeight = 22;  // the buttons' pictures

    explicit HcToolBar(int32_t dpi = 96);
    void PlaceBelowPane(int32_t paneBottom) { top = paneBottom + gapBelowPane; }
    void MoveBy(int32_t dy) { top += dy; }
    HcPixelRect Rect(int tool) const { return HcPixelRect::At(left + tool * step, top, width, height); }
    // The rectangle of all four.
    HcPixelRect Bounds() const { return {left, top, top + height, left + (kCount - 1) * step + width}; }
    // The tool under the point (the lower one where two buttons touch), or -1.
    int HitTest(HcPoint point) const;

private:
    int32_t width, height, step, left, gapBelowPane;
    int32_t top = 0;
};
