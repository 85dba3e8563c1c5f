// The plug-in's colour reduction: turns the settings and the saved palettes into engine parameters and reduces
// the source (transparent pixels painted white) into the run data's indexed image, which it keeps or replaces.
#pragma once

#include "common/HcGlobals.h"
#include "quantengine/QuantEngine.h"

class CvProgressIndicator;

// The palette name that asks for the fine adaptive palette (full colours, nearest entries) instead of "Custom".
// A saved palette of that name still wins: it is used as a fixed palette.
extern const char kPaletteFine[];

// The engine parameters the settings ask for: a fixed palette, a base palette to preserve, or adaptive.
QuantParams QuantParamsFromSettings(const HcGlobals& globals);

// `indicator` may be null; when given, only the remapping reaches it and can stop the run (error 3).
void Quantize(HcGlobals& globals, CvProgressIndicator* indicator);
