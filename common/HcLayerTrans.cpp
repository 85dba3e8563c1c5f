// Cropping to the layer's opaque bounds and painting transparent pixels white for the reduction.
// The order of the extra planes never changes; a grayscale source is cropped like an RGB one.
#include "common/HcLayerTrans.h"

#include <memory>

#include "common/hcmain.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"
#include "hostapi/FilterHost.h"
#include "platform/Platform.h"

const char kEmptySelectionText[] =
    "There is no pixel data in your selection. Are you sure you want to save a completely transparent image?";
const char kEmptySelectionCaption[] = "Empty Selection";

namespace {

CvGrayscaleImage* TransparencyPlane(const HcGlobals& globals) {
    if (!globals.extraPlanes || !globals.extraPlanes->Head()) return nullptr;
    return static_cast<CvGrayscaleImage*>(globals.extraPlanes->Head()->item);
}

template <class Image>
void ReplaceByCrop(Image*& image, const CvRect& rect) {
    if (!image) return;
    Image* cropped = static_cast<Image*>(image->CopyRect(rect));
    delete image;
    image = cropped;
}

}  // namespace

void CropToLayer(HcCallRecord& record) {
    HcGlobals& globals = record.runData;
    CvGrayscaleImage* transparency = TransparencyPlane(globals);
    if (!globals.hasTransparencyPlane || !transparency) return;

    CvRect rect{};
    transparency->BoundingRect(&rect, 0);
    if (rect.left == rect.right || rect.top == rect.bottom) {
        Platform::ShowAlert(OwnerWindow(record), kEmptySelectionText, kEmptySelectionCaption,
                            Platform::AlertButtons::Ok, Platform::AlertIcon::Exclamation);
        rect = CvRect{};
    }
    if (rect.Width() == transparency->GetWidth() && rect.Height() == transparency->GetHeight()) return;

    ReplaceByCrop(globals.rgbImage, rect);
    ReplaceByCrop(globals.indexedImage, rect);
    for (uint32_t i = globals.extraPlanes->Count(); i > 0; --i) {
        auto* plane = static_cast<CvGrayscaleImage*>(globals.extraPlanes->Head()->item);
        std::unique_ptr<CvImage> cropped(plane->CopyRect(rect));
        globals.extraPlanes->Append(cropped.get());
        cropped.release();
        globals.extraPlanes->Remove(globals.extraPlanes->Head());
        delete plane;
    }
}

HcLayerTrans::~HcLayerTrans() {
    if (owned) delete image;
}

CvImage* HcLayerTrans::GetImage() {
    if (owned) delete image;
    owned = false;
    image = globals->rgbImage;
    CvGrayscaleImage* transparency = TransparencyPlane(*globals);
    if (!globals->hasTransparencyPlane || !transparency || !globals->rgbImage) return image;

    std::unique_ptr<CvBitmapImage> mask(transparency->ToBitmap());
    std::unique_ptr<CvRGBImage> painted(static_cast<CvRGBImage*>(globals->rgbImage->Clone()));
    static const uint8_t kWhite[3] = {255, 255, 255};
    painted->PaintMasked(mask.get(), kWhite);
    image = painted.release();
    owned = true;
    return image;
}

namespace {

// The plane the alpha setting names, falling back to the first one (the index follows); null when there is none.
CvGrayscaleImage* AlphaPlane(HcGlobals& globals) {
    HcSettings& settings = globals.settings;
    const uint32_t count = globals.extraPlanes ? globals.extraPlanes->Count() : 0;
    if (count == 0) return nullptr;
    if (settings.transAlphaIndex >= count) settings.transAlphaIndex = 0;
    return static_cast<CvGrayscaleImage*>(globals.extraPlanes->ItemAt(settings.transAlphaIndex));
}

}  // namespace

void ApplyTransparencySettings(HcGlobals& globals) {
    if (!globals.gifFrame) CV_THROW(kCvErrBadArgument);
    CvGIFFrame& frame = *globals.gifFrame;
    HcSettings& settings = globals.settings;
    frame.FrameInfo().interlaced = settings.interlaced ? 1 : 0;
    if (!globals.extraPlanes || globals.extraPlanes->Count() == 0) {
        if (settings.transparencyType == TransparencyType::alpha) settings.transparencyType = TransparencyType::none;
        settings.transAlphaIndex = 0;
    }
    frame.SetBackgroundColor(settings.bgColor);
    switch (settings.transparencyType) {
        case TransparencyType::indexed:
            frame.ClearTransparency();
            for (uint32_t i = 0; i < 256; ++i)
                if (settings.transIndexes[i] == 1) frame.MarkIndexTransparent(uint8_t(i));
            return;
        case TransparencyType::alpha:
            if (const CvGrayscaleImage* plane = AlphaPlane(globals)) {
                std::unique_ptr<CvBitmapImage> mask(plane->ToBitmap());
                std::unique_ptr<CvBitmapImage> old(frame.SetTransparencyMask(mask.get()));
                mask.release();
                return;
            }
            settings.transparencyType = TransparencyType::none;
            frame.ClearTransparency();
            return;
        default: frame.ClearTransparency(); return;
    }
}
