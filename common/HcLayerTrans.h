// The layer's transparency as the export sees it: cropping every image to the opaque part of the layer,
// and the image to reduce, whose transparent pixels are painted white so they do not pull on the palette.
#pragma once

#include "common/HcGlobals.h"

class CvImage;

extern const char kEmptySelectionText[];
extern const char kEmptySelectionCaption[];

// Warns about a layer without opaque pixels, then crops the source and every extra plane to the opaque bounds.
void CropToLayer(HcCallRecord& record);

// Runs without dialogs: the settings decide the frame's interlacing, background colour and transparent pixels.
// Writes back the fall-backs it takes (an alpha setting without planes becomes none; a missing plane index 0).
void ApplyTransparencySettings(HcGlobals& globals);

class HcLayerTrans {
public:
    explicit HcLayerTrans(HcGlobals* globals) : globals(globals) {}
    ~HcLayerTrans();
    HcLayerTrans(const HcLayerTrans&) = delete;
    HcLayerTrans& operator=(const HcLayerTrans&) = delete;

    // The RGB source, or a copy of it with transparent pixels white when the layer has transparency.
    CvImage* GetImage();

private:
    HcGlobals* globals;
    bool owned = false;
    CvImage* image = nullptr;
};
