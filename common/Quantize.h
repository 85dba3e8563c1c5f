// The plug-in's colour reduction: turns the settings and the saved palettes into engine parameters and reduces
// the source (transparent pixels painted white) into the run data's indexed image, which it keeps or replaces.
// A reduction that reuses an earlier one's work writes exactly the bytes a fresh one would.
#pragma once

#include <memory>

#include "common/HcGlobals.h"
#include "quantengine/QuantEngine.h"

class CvGrayscaleImage;
class CvImage;
class CvProgressIndicator;
class HcLayerTrans;

// A saved palette's colours as a table (at most 256).
CvColorTable SavedPaletteColors(const HcPaletteEntry& entry);

// The engine parameters the settings ask for: a fixed palette, a base palette to preserve, or adaptive.
QuantParams QuantParamsFromSettings(const HcGlobals& globals);

// What the reductions of one source share: the painted source, its histograms and the last palette with its
// lookup. It notices another source image or transparency plane (by address and size); whoever changes the
// pixels of the same images in place must call Reset. A stopped or failed reduction leaves only whole stages.
class QuantizeReuse {
public:
    QuantizeReuse();
    ~QuantizeReuse();
    QuantizeReuse(const QuantizeReuse&) = delete;
    QuantizeReuse& operator=(const QuantizeReuse&) = delete;

    void Reset();

private:
    friend void Quantize(HcGlobals&, CvProgressIndicator*, QuantizeReuse*);
    struct SourceKey {
        const HcGlobals* globals = nullptr;
        const CvImage* rgb = nullptr;
        const CvGrayscaleImage* plane = nullptr;
        uint32_t width = 0, height = 0, planeWidth = 0, planeHeight = 0;
        bool operator==(const SourceKey& other) const;
    };
    static SourceKey KeyOf(const HcGlobals& globals);
    // The painted source of `globals`, made again only for another source.
    CvImage* Source(HcGlobals& globals);

    SourceKey key;
    std::unique_ptr<HcLayerTrans> layer;
    CvImage* source = nullptr;
    QuantEngine engine;
};

// `indicator` may be null; when given, only the remapping reaches it and can stop the run (kCvErrCancelled). With
// `reuse`, the stages whose inputs did not change since its last reduction are not computed again.
void Quantize(HcGlobals& globals, CvProgressIndicator* indicator, QuantizeReuse* reuse = nullptr);
