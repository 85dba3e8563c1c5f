// The end of the export: the frame's transparency, freeing the sources, the Save As box and the GIF file.
// Returns the Finish result; everything it cannot do reaches the entry as a CvErrorCode.
#pragma once

#include <cstdint>

#include "common/HCWriteSingleFile.h"
#include "common/HcGlobals.h"

class CvFileLocator;
class CvGIFFrame;

extern const char kSaveAsTitle[];   // "Save As"
extern const char kGifFilter[];     // "GIF files|*.gif"
extern const char kGifExtension[];  // "GIF"

// The Save As box, owned by the host window: puts the chosen path (UTF-8) into `file`; false when cancelled.
bool AskOutputFile(HcCallRecord& record, CvFileLocator& file);

// The frame's transparency as the file will carry it: the flag and the graphic control follow the mask, and the
// frame picks the index its transparent pixels share.
void SettleTransparency(CvGIFFrame& frame);
// The lossy coding the settings ask for, with the kept base colours of the last reduction; its error goes on as far
// as the picture is dithered.
HcLossyCoding LossyCodingFor(const HcGlobals& globals);
// The bytes ExportFrame writes for this frame, its comment aside: a settled copy is counted, the frame stays.
uint32_t CountExportedFrame(const CvGIFFrame& frame, const HcLossyCoding& lossy);

// Makes the frame from the reduced image when no dialog made one, applies the settings to it, chooses its
// transparent index and frees the source images; when `ok`, saves the preferences, asks for the file and writes
// it. 0 when the file was written, 1 when the user cancelled (or `ok` is false).
int16_t ExportFrame(HcCallRecord& record, bool ok);
