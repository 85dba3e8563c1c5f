// The quantization dialog's rules that need no window: the size line, the colour count typed by the user, and
// where the two panes go when the dialog grows. Each is a pure function of its arguments.
#include "uicore/HcQuantRules.h"

#include <cstdio>
#include <cstdlib>

std::string QuantSizeInfo(uint32_t width, uint32_t height, uint32_t gifKilobytes) {
    const uint64_t rawBytes = uint64_t(width) * height * 3 + 512;
    const uint64_t rawKilobytes = rawBytes < 1024 ? 1 : rawBytes / 1024;
    char text[64];
    std::snprintf(text, sizeof text, "RGB %uK / GIF %uK", unsigned(rawKilobytes), unsigned(gifKilobytes));
    return text;
}

uint32_t GifKilobytes(uint32_t bytes) {
    const uint64_t kilobytes = (uint64_t(bytes) + 512) / 1024;
    return kilobytes < 1 ? 1 : uint32_t(kilobytes);
}

uint32_t ColorsFromText(const std::string& text) {
    const std::string head = text.substr(0, 9);
    // A number that does not fit 32 bits is as out of range as any other large count.
    char* end = nullptr;
    const long long typed = std::strtoll(head.c_str(), &end, 10);
    if (end == head.c_str()) return 0;
    const uint32_t colors = uint32_t(typed);
    if (colors < 2) return 2;
    if (colors > 256) return 256;
    return colors;
}

HcPanePair PlacePanePair(const HcPanePair& opening, int32_t extraWidth, int32_t extraHeight) {
    const int32_t growth = extraWidth / 2;
    HcPanePair placed = opening;
    placed.first.right += growth;
    placed.first.bottom += extraHeight;
    placed.second.left += growth;
    placed.second.right += 2 * growth;
    placed.second.bottom += extraHeight;
    return placed;
}
