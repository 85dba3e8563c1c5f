// Mode choice by palette names: a saved palette named as the palette is fixed; otherwise a base palette name
// other than "None" preserves base colours; otherwise adaptive. "Fine" makes the adaptive entries fine ones. The engine
// never outlives one call.
#include "common/Quantize.h"

#include <cstring>

#include "common/HcLayerTrans.h"
#include "common/NoStartProgressProxy.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvIndexedImage.h"

namespace {
bool NameIs(const unsigned char* name, const char* text) {
    return name[0] == std::strlen(text) && std::memcmp(name + 1, text, name[0]) == 0;
}

// The saved palette of that name with at least one colour (an empty one cannot serve), or null.
const HcPaletteEntry* UsablePalette(const HcGlobals& globals, const unsigned char* name) {
    const HcPaletteEntry* entry = FindPalette(globals, name);
    return entry && entry->count > 0 ? entry : nullptr;
}

CvColorTable ColorsOf(const HcPaletteEntry& entry) {
    const uint32_t count = entry.count > 256 ? 256 : entry.count;
    CvColorTable table(count);
    for (uint32_t i = 0; i < count; ++i) table.SetEntry(i, entry.colors[i][0], entry.colors[i][1], entry.colors[i][2]);
    return table;
}
}  // namespace

const char kPaletteFine[] = "Fine";

QuantParams QuantParamsFromSettings(const HcGlobals& globals) {
    QuantParams params;
    params.colors = globals.settings.colors;
    params.dither = globals.settings.dither;
    const HcPaletteEntry* fixed = nullptr;
    if (globals.paletteName[0] && !NameIs(globals.paletteName, kPaletteCustom))
        fixed = UsablePalette(globals, globals.paletteName);
    params.fine = !fixed && NameIs(globals.paletteName, kPaletteFine);
    if (fixed) {
        params.mode = QuantMode::FixedPalette;
        params.palette = ColorsOf(*fixed);
    } else if (globals.basePaletteName[0] && !NameIs(globals.basePaletteName, kPaletteNone)) {
        params.mode = QuantMode::PreserveBase;
        const HcPaletteEntry* base =
            NameIs(globals.basePaletteName, kPaletteCustom) ? nullptr : UsablePalette(globals, globals.basePaletteName);
        if (base) params.palette = ColorsOf(*base);
    } else {
        params.mode = QuantMode::Adaptive;
    }
    return params;
}

void Quantize(HcGlobals& globals, CvProgressIndicator* indicator) {
    HcLayerTrans layer(&globals);
    CvImage* source = layer.GetImage();
    if (!source) CV_THROW(kCvErrBadArgument);
    NoStartProgressProxy proxy(indicator);
    QuantEngine engine(indicator ? &proxy : nullptr);
    engine.SetSource(source);
    engine.SetParams(QuantParamsFromSettings(globals));
    CvIndexedImage*& out = globals.indexedImage;
    if (out && (out->GetWidth() != source->GetWidth() || out->GetHeight() != source->GetHeight())) {
        delete out;
        out = nullptr;
    }
    if (!out) out = CvNewImage<CvIndexedImage>(source->GetWidth(), source->GetHeight());
    engine.Run(out);
}
