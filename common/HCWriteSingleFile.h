// Writes a prepared GIF frame as a one-frame GIF89a file, or counts the bytes that file would have.
// The caller's frame is never changed; a failed write leaves any earlier file of that name as it was.
#pragma once

#include <cstdint>

#include "cvcode2/CvLzwLossy.h"

class CvFileLocator;
class CvGIFComment;
class CvImage;
class CvProgressIndicator;

// The path of the count-only locator: never opened.
extern const char kCountOnlyPath[];

// How far the image data may stray from the frame's indices to save bytes: the lossy level (0: exactly), how much
// of its error the coding hands on (as CvLossyOptions::handOn) and how many of the palette's first entries are kept
// base colours. Those, and the background index the transparent pixels share, keep their pixels exactly and are
// given to no other pixel.
struct HcLossyCoding {
    uint8_t level = 0;
    uint16_t baseEntries = 0;
    uint8_t handOn = kCvLossyFullHandOn;
};

// Returns the file's length in bytes. `frameImage` must be a CvGIFFrame (error 27 otherwise); it is read, never
// copied, and its rows are coded as the file needs them. When writing by path, the file is
// written beside the target under another name and put in its place only once complete. With a nonzero `handle`
// the bytes go there instead (the handle stays open). Counting and writing the same frame give the same length,
// lossy or not. The coding of the rows reports to `progress`, which may stop it (kCvErrCancelled; nothing is left
// behind).
uint32_t HCWriteSingleFile(const CvFileLocator& locator, const CvImage& frameImage, const CvGIFComment* comment,
                           bool writeToFile, int32_t handle, bool createFirst, const HcLossyCoding& lossy,
                           CvProgressIndicator* progress = nullptr);
