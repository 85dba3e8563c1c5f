// Palette import from ACT colour tables and from GIF files.
// A returned table is owned by the caller; on failure nothing is returned and nothing is left open.
#pragma once

#include <memory>
#include <string>

#include "cvcode2/CvColorTable.h"

class CvFileLocator;

// Up to 256 colours from the first 768 bytes. A shorter file of k complete colours gives k - 1 of them;
// fewer than 2 complete colours is bad data (kCvErrBadData). A file that cannot be opened is kCvErrHost.
std::unique_ptr<CvColorTable> LoadACT(const std::string& path);

// `table` becomes the GIF's global table (as stored, padding included), or else the first non-empty local table
// of its frames; with neither it is left as it was. A GIF without a global table and without frames is bad data
// (kCvErrBadData).
void CvLoadPaletteFromGIF(const CvFileLocator& locator, CvColorTable& table);
// The palette of a GIF file, empty when the file has no colour table at all.
std::unique_ptr<CvColorTable> LoadGIFPalette(const std::string& path);

// The palette of an ACT or a GIF file as its name ends in ".ACT" or ".GIF" (letters in either case);
// null for any other name, without touching the file.
std::unique_ptr<CvColorTable> LoadPaletteFile(const std::string& path);
