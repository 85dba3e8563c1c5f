// The end of the export: the frame's transparency, freeing the sources, the Save As box and the GIF file.
// Returns the Finish result; everything it cannot do reaches the entry as a CvErrorCode.
#pragma once

#include <cstdint>

#include "common/HcGlobals.h"

class CvFileLocator;

extern const char kSaveAsTitle[];   // "Save As"
extern const char kGifFilter[];     // "GIF files|*.gif"
extern const char kGifExtension[];  // "GIF"

// The Save As box, owned by the host window: puts the chosen path (UTF-8) into `file`; false when cancelled.
bool AskOutputFile(HcCallRecord& record, CvFileLocator& file);

// Makes the frame from the reduced image when no dialog made one, applies the settings to it, chooses its
// transparent index and frees the source images; when `ok`, saves the preferences, asks for the file and writes
// it. 0 when the file was written, 1 when the user cancelled (or `ok` is false).
int16_t ExportFrame(HcCallRecord& record, bool ok);
