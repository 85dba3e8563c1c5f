// The options dialog's window-free rules: the image info texts, the comment's share of the file size, the names
// of the mask planes and where the four tool buttons lie. Every result depends on its arguments alone.
#include "uicore/HcOptionsRules.h"

#include <cstdio>

#include "uicore/HcDialogPlacement.h"

int PaletteBitDepth(uint32_t entries) {
    int bits = 1;
    while (bits < 8 && entries > (1u << bits)) ++bits;
    return bits;
}

std::string ImageSizeText(uint32_t width, uint32_t height) {
    char text[64];
    std::snprintf(text, sizeof text, "%u x %u pixels", width, height);
    return text;
}

std::string ColorUseText(uint32_t used, uint32_t entries) {
    char text[64];
    std::snprintf(text, sizeof text, "%u colors used, %d bit", used, PaletteBitDepth(entries));
    return text;
}

std::string FileSizeText(uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "File Size: %llu Bytes", static_cast<unsigned long long>(bytes));
    return text;
}

std::string KeptComment(const std::string& text, const HcLeadByteTest& isLeadByte) {
    size_t kept = 0;
    while (kept < text.size()) {
        const bool pair = isLeadByte && kept + 1 < text.size() && isLeadByte(uint8_t(text[kept]));
        if (kept + (pair ? 2 : 1) > kCommentKeptLimit) break;
        kept += pair ? 2 : 1;
    }
    return text.substr(0, kept);
}

uint32_t CommentExtensionSize(size_t n) {
    if (n == 0) return 0;
    // Introducer and label, the text in sub-blocks of at most 255 bytes with a length byte each, terminator.
    return uint32_t(3 + n + (n + 254) / 255);
}

std::vector<HcPlaneItem> MaskPlaneItems(uint32_t planeCount, bool hasTransparency, bool hasLayerMask) {
    std::vector<HcPlaneItem> items;
    for (uint32_t plane = 0; plane < planeCount; ++plane) {
        if (plane == 0 && hasTransparency) {
            items.push_back({"Layer Transparency", plane});
        } else if (plane == (hasTransparency ? 1u : 0u) && hasLayerMask) {
            items.push_back({"Layer Mask", plane});
        } else {
            items.push_back({"Channel " + std::to_string(plane), plane});
        }
    }
    return items;
}

HcToolBar::HcToolBar(int32_t dpi)
    : width(ScaleForDpi(kWidth, dpi)),
      height(ScaleForDpi(kHeight, dpi)),
      step(ScaleForDpi(25, dpi)),
      left(ScaleForDpi(15, dpi)),
      gapBelowPane(ScaleForDpi(10, dpi)) {}

int HcToolBar::HitTest(HcPoint point) const {
    for (int tool = 0; tool < kCount; ++tool)
        if (Rect(tool).Contains(point)) return tool;
    return -1;
}
