// Palette import from ACT colour tables (and, with the GIF container, from GIF files).
// A returned table is owned by the caller; on failure nothing is returned and nothing is left open.
#pragma once

#include <memory>
#include <string>

#include "cvcode2/CvColorTable.h"

// Up to 256 colours from the first 768 bytes. A shorter file of k complete colours gives k - 1 of them;
// fewer than 2 complete colours is bad data (28). A file that cannot be opened is error 1.
std::unique_ptr<CvColorTable> LoadACT(const std::string& path);
