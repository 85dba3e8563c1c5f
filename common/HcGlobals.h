// The run data kept between host calls (HcGlobals) and the working record of one call (HcCallRecord).
// HcGlobals owns its lists, planes and images for one run; every pointer is null when not in use.
#pragma once

#include <cstdint>

#include "common/hcsettings.h"

class CvList;
class CvRGBImage;
class CvBitmapImage;
class CvIndexedImage;
class CvGIFFrame;

struct HcDialogRect {
    int32_t left, top, height, width;
};

struct HcGlobals {
    HcSettings settings;
    HcSettings* settingsPtr;
    uint8_t prefFlag1, prefFlag2, prefFlag3;
    HcPaletteEntry* paletteList;
    HcStr255 paletteName;
    HcStr255 basePaletteName;
    HcColorEntry* colorList;
    uint8_t prefMode;
    bool showDialog;
    CvRGBImage* rgbImage;
    CvBitmapImage* bitmapImage;
    CvIndexedImage* indexedImage;
    CvList* extraPlanes;  // CvGrayscaleImage* items, in delivery order
    CvGIFFrame* gifFrame;
    bool allPlanesRead;
    bool hostChecked;
    bool hostSupportsAbsolute;
    bool hostHasDescriptors;
    bool hostHasAdvanceState;
    bool hostHasDocumentInfo;
    bool hostHasHandleProcs;
    bool usingAbsolutePlanes;
    bool hasTransparencyPlane;
    bool hasLayerMaskPlane;
    HcDialogRect quantDialogRect;
    HcDialogRect optionsDialogRect;
    uint16_t preservedColors;  // the reduced palette's first entries that are kept base colours (Quantize)
};

struct HcCallRecord {
    int16_t result;
    void* filterRecord;  // a FilterRecord, or an AboutRecord for the About selector
    int16_t selector;
    HcGlobals* globals;  // always the embedded run data below
    HcGlobals runData;
};
