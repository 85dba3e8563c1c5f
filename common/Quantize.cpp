// Mode choice by palette names: "Fine" or "Custom" is adaptive (fine or classic), another saved palette's name is
// fixed, a base name other than "None" preserves base colours. Only a reuse object keeps an engine beyond one call.
#include "common/Quantize.h"

#include <cstring>

#include "common/HcLayerTrans.h"
#include "common/NoStartProgressProxy.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"

namespace {
bool NameIs(const unsigned char* name, const char* text) {
    return name[0] == std::strlen(text) && std::memcmp(name + 1, text, name[0]) == 0;
}

// The saved palette of that name with at least one colour (an empty one cannot serve), or null.
const HcPaletteEntry* UsablePalette(const HcGlobals& globals, const unsigned char* name) {
    const HcPaletteEntry* entry = FindPalette(globals, name);
    return entry && entry->count > 0 ? entry : nullptr;
}

// The engine reports to the call's indicator and forgets it when the call ends, however it ends.
class IndicatorLoan {
public:
    IndicatorLoan(QuantEngine& engine, CvProgressIndicator* indicator) : engine(engine) {
        engine.SetIndicator(indicator);
    }
    ~IndicatorLoan() { engine.SetIndicator(nullptr); }
    IndicatorLoan(const IndicatorLoan&) = delete;
    IndicatorLoan& operator=(const IndicatorLoan&) = delete;

private:
    QuantEngine& engine;
};

}  // namespace

CvColorTable SavedPaletteColors(const HcPaletteEntry& entry) {
    const uint32_t count = entry.count > 256 ? 256 : entry.count;
    CvColorTable table(count);
    for (uint32_t i = 0; i < count; ++i) table.SetEntry(i, entry.colors[i][0], entry.colors[i][1], entry.colors[i][2]);
    return table;
}

QuantParams QuantParamsFromSettings(const HcGlobals& globals) {
    QuantParams params;
    params.colors = globals.settings.colors;
    params.dither = globals.settings.dither;
    params.fine = NameIs(globals.paletteName, kPaletteFine);
    const HcPaletteEntry* fixed = nullptr;
    if (globals.paletteName[0] && !NameIs(globals.paletteName, kPaletteCustom) && !params.fine)
        fixed = UsablePalette(globals, globals.paletteName);
    if (fixed) {
        params.mode = QuantMode::FixedPalette;
        params.palette = SavedPaletteColors(*fixed);
    } else if (globals.basePaletteName[0] && !NameIs(globals.basePaletteName, kPaletteNone)) {
        params.mode = QuantMode::PreserveBase;
        const HcPaletteEntry* base =
            NameIs(globals.basePaletteName, kPaletteCustom) ? nullptr : UsablePalette(globals, globals.basePaletteName);
        if (base) params.palette = SavedPaletteColors(*base);
    } else {
        params.mode = QuantMode::Adaptive;
    }
    return params;
}

bool QuantizeReuse::SourceKey::operator==(const SourceKey& other) const {
    return globals == other.globals && rgb == other.rgb && plane == other.plane && width == other.width &&
           height == other.height && planeWidth == other.planeWidth && planeHeight == other.planeHeight;
}

QuantizeReuse::QuantizeReuse() = default;

QuantizeReuse::~QuantizeReuse() = default;

void QuantizeReuse::Reset() {
    key = SourceKey();
    layer.reset();
    source = nullptr;
    engine.Forget();
}

// The plane only counts when the painting uses it, so that turning transparency on or off is a new source.
QuantizeReuse::SourceKey QuantizeReuse::KeyOf(const HcGlobals& globals) {
    SourceKey k;
    k.globals = &globals;
    k.rgb = globals.rgbImage;
    if (globals.rgbImage) {
        k.width = globals.rgbImage->GetWidth();
        k.height = globals.rgbImage->GetHeight();
    }
    if (globals.hasTransparencyPlane && globals.extraPlanes && globals.extraPlanes->Head()) {
        k.plane = static_cast<const CvGrayscaleImage*>(globals.extraPlanes->Head()->item);
        k.planeWidth = k.plane->GetWidth();
        k.planeHeight = k.plane->GetHeight();
    }
    return k;
}

CvImage* QuantizeReuse::Source(HcGlobals& globals) {
    const SourceKey now = KeyOf(globals);
    if (source && now == key) return source;
    Reset();
    layer = std::make_unique<HcLayerTrans>(&globals);
    source = layer->GetImage();
    if (source) key = now;
    return source;
}

void Quantize(HcGlobals& globals, CvProgressIndicator* indicator, QuantizeReuse* reuse) {
    QuantizeReuse once;
    QuantizeReuse& shared = reuse ? *reuse : once;
    CvImage* source = shared.Source(globals);
    if (!source) CV_THROW(kCvErrBadArgument);
    NoStartProgressProxy proxy(indicator);
    QuantEngine& engine = shared.engine;
    const IndicatorLoan loan(engine, indicator ? &proxy : nullptr);
    engine.KeepStages(reuse != nullptr);
    engine.SetSource(source);
    engine.SetParams(QuantParamsFromSettings(globals));
    CvIndexedImage*& out = globals.indexedImage;
    if (out && (out->GetWidth() != source->GetWidth() || out->GetHeight() != source->GetHeight())) {
        delete out;
        out = nullptr;
    }
    if (!out) out = CvAllocated(new (std::nothrow) CvIndexedImage(source->GetWidth(), source->GetHeight()));
    globals.preservedColors = 0;
    engine.Run(out);
    globals.preservedColors = uint16_t(engine.PreservedCount());
}
