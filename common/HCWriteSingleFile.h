// Writes a prepared GIF frame as a one-frame GIF89a file, or counts the bytes that file would have.
// The caller's frame is never changed; a failed write leaves any earlier file of that name as it was.
#pragma once

#include <cstdint>

class CvFileLocator;
class CvGIFComment;
class CvImage;
class CvProgressIndicator;

// The path of the count-only locator: never opened.
extern const char kCountOnlyPath[];

// Returns the file's length in bytes. `frameImage` must clone to a CvGIFFrame. When writing by path, the file is
// written beside the target under another name and put in its place only once complete. With a nonzero `handle`
// the bytes go there instead (the handle stays open). The coding of the rows reports to `progress`, which may
// stop it (error 3; nothing is left behind).
uint32_t HCWriteSingleFile(const CvFileLocator& locator, const CvImage& frameImage, const CvGIFComment* comment,
                           bool writeToFile, int32_t handle, bool createFirst, CvProgressIndicator* progress = nullptr);
