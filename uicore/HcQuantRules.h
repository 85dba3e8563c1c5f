// The quantization dialog's rules that need no window: the size line, the colour count typed by the user, and
// where the two panes go when the dialog grows. Each is a pure function of its arguments.
#pragma once

#include <cstdint>
#include <string>

#include "uicore/HcUiTypes.h"

// "RGB %uK / GIF %uK": the raw size is width × height × 3 bytes in whole kilobytes (rounded to nearest), at least 1.
std::string QuantSizeInfo(uint32_t width, uint32_t height, uint32_t gifKilobytes);
// A compressed size in whole kilobytes, rounded to nearest, at least 1.
uint32_t GifKilobytes(uint32_t bytes);

// The colour count the edit's text asks for: its leading decimal number (at most 9 characters read) clamped to
// 2..256, the comparison made without sign, so "-5" asks for 256. 0 when the text holds no number yet (an emptied
// edit while the user types): nothing is asked then.
uint32_t ColorsFromText(const std::string& text);

struct HcPanePair {
    HcPixelRect first, second;
};
// The panes for a client area grown by (extraWidth, extraHeight) past its opening size: each pane grows by half the
// extra width (rounded toward zero), the second moving right by the first's growth, and both take all extra height.
HcPanePair PlacePanePair(const HcPanePair& opening, int32_t extraWidth, int32_t extraHeight);
