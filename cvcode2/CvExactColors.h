// The distinct colours of an image, when there are few enough: flat artwork keeps every one of its colours.
// The search gives up as soon as one colour more than the limit has been seen.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"

// True, with the colours in order of first appearance (rows top first), when the image has at most `limit`
// (1..256) distinct colours; false, with `colors` untouched, otherwise.
bool FindExactColors(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                     uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes, uint32_t limit, CvColorTable& colors);
