// Fine dithering: serpentine error diffusion over the rows, every pixel (with the error it receives) mapped to its
// truly nearest palette entry. Integer arithmetic only, so every build writes the same indices.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

class CvBitmapImage;
class CvNearestColor;

// What a diffusion asked of each palette entry: how many pixels it was given and the sum of their targets (the
// pixel with the error it received, held inside the palette's range), in 1/256 of a level.
struct CvDiffusionSums {
    uint32_t count[256];
    int64_t target[256][3];
};

struct CvFineDitherSetup {
    uint32_t strength;  // 0..16: how much of each pixel's error is passed on; 0 maps every pixel to its nearest entry
    const CvColorTable* palette;
    const uint8_t* source;  // red, green, blue, 3 bytes per pixel
    uint8_t* destination;   // one index byte per pixel
    uint32_t sourceRowBytes, destinationRowBytes;
    uint32_t width, height;
    const CvBitmapImage* mask;  // set bits: the pixel keeps the nearest entry of its own colour; null for none
    // Set (and then no mask): a pass that measures the palette rather than one a picture is made of. Every pixel
    // takes its nearest entry, even at a weak strength, and its target is added here; the sums start at zero.
    CvDiffusionSums* sums = nullptr;
};

// Remaps the whole image as the progress task "Remapping" (a stop request ends it with kCvErrCancelled after telling
// the indicator). Error 27 for a setup it cannot use safely, 21 for a mask of another size.
void FineDither(CvNearestColor& nearest, const CvFineDitherSetup& setup, CvProgressIndicator* indicator);
