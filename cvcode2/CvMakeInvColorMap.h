// The inverse colour map: for each of the 32768 colour cells, the index of the nearest palette entry.
// Nearest is by squared RGB distance from the cell colour; ties go to the lowest index.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"

// Fills the kCellCount bytes of `map` from a non-empty palette of at most 256 entries.
void MakeInvColorMap(const CvColorTable* palette, uint8_t* map);
