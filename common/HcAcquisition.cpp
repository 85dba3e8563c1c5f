// Start and Continue: the host's planes of the whole filter rectangle, read one request at a time into the
// source image and the extra planes. Every host value is checked before it sizes or addresses memory.
// A host that hands the colour planes back when asked for one plane after them is asked again for the colour
// planes together with that plane, which such hosts deliver correctly.
#include <cstring>
#include <memory>
#include <new>

#include "common/hcmain.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRGBImage.h"
#include "hostapi/FilterHost.h"

namespace {

// A host that hands over something other than what was asked for cannot be read safely.
[[noreturn]] void BadDelivery(int line) {
    throw CvErrorCode(kCvErrHost, uint32_t(int32_t(paramErr)), "hcmain", line);
}

void RequestPlanes(FilterRecord& filter, int16_t lo, int16_t hi) {
    filter.inLoPlane = filter.outLoPlane = lo;
    filter.inHiPlane = filter.outHiPlane = hi;
}

void RequestNothing(FilterRecord& filter) {
    filter.inRect = Rect{};
    filter.outRect = Rect{};
}

CvIndexedImage* NewGreyRampImage(uint32_t width, uint32_t height) {
    CvColorTable ramp(256);
    for (uint32_t i = 0; i < 256; ++i) ramp.SetEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
    return new CvIndexedImage(width, height, &ramp);
}

// Copies `rows` rows of `rowBytes` bytes from the host's buffer into the image.
void CopyDelivered(const FilterRecord& filter, CvRealImage& image, uint32_t rowBytes, uint32_t rows) {
    if (rowBytes > image.RowBytes()) BadDelivery(__LINE__);
    CvPixelLock lock(image);
    const uint8_t* source = static_cast<const uint8_t*>(filter.inData);
    for (uint32_t y = 0; y < rows; ++y)
        std::copy(source + size_t(y) * size_t(filter.inRowBytes),
                  source + size_t(y) * size_t(filter.inRowBytes) + rowBytes,
                  lock.Pixels() + size_t(y) * image.RowBytes());
}

// Copies `count` planes from `first` on out of pixels of `stride` interleaved planes; a whole delivery (count ==
// stride) goes row by row as it is.
void CopyPlanes(const FilterRecord& filter, CvRealImage& image, uint32_t width, uint32_t rows, int first, int count,
                int stride) {
    if (count == stride) return CopyDelivered(filter, image, width * uint32_t(count), rows);
    if (width * uint32_t(count) > image.RowBytes()) BadDelivery(__LINE__);
    CvPixelLock lock(image);
    for (uint32_t y = 0; y < rows; ++y) {
        const uint8_t* in = static_cast<const uint8_t*>(filter.inData) + size_t(y) * size_t(filter.inRowBytes) + first;
        uint8_t* out = lock.Pixels() + size_t(y) * image.RowBytes();
        for (uint32_t x = 0; x < width; ++x, in += stride, out += count) std::copy(in, in + count, out);
    }
}

int ColorPlaneCount(int16_t mode) {
    return mode == plugInModeRGBColor ? 3 : 1;
}

// The colour planes become the source image of the host's mode. `planes` may hold one more plane asked for with
// them (RGB and Grayscale only), which is left for StoreExtraPlane.
void StoreColorPlanes(HcGlobals& globals, const FilterRecord& filter, uint32_t width, uint32_t height, int planes) {
    switch (filter.imageMode) {
        case plugInModeRGBColor: {
            if (planes < 3) BadDelivery(__LINE__);
            auto image = std::make_unique<CvRGBImage>(width, height);
            CopyPlanes(filter, *image, width, height, 0, 3, planes);
            delete globals.rgbImage;
            globals.rgbImage = image.release();
            break;
        }
        case plugInModeGrayScale: {
            if (planes < 1) BadDelivery(__LINE__);
            std::unique_ptr<CvIndexedImage> image(NewGreyRampImage(width, height));
            CopyPlanes(filter, *image, width, height, 0, 1, planes);
            delete globals.indexedImage;
            globals.indexedImage = image.release();
            break;
        }
        case plugInModeBitmap: {
            if (planes != 1) BadDelivery(__LINE__);
            // Bitmap planes arrive packed, one bit a pixel, as the image keeps them.
            auto bitmap = std::make_unique<CvBitmapImage>(width, height);
            CopyDelivered(filter, *bitmap, (width + 7) / 8, height);
            std::unique_ptr<CvIndexedImage> indexed(bitmap->ToIndexed());
            indexed->RemoveUnusedColors();
            delete globals.indexedImage;
            globals.indexedImage = indexed.release();
            break;
        }
        default: BadDelivery(__LINE__);
    }
}

// The delivery's last plane (the only one, or the one asked for with the colour planes) joins the extra planes.
void StoreExtraPlane(HcGlobals& globals, const FilterRecord& filter, uint32_t width, uint32_t height, int planes) {
    if (!globals.extraPlanes) BadDelivery(__LINE__);
    auto plane = std::make_unique<CvGrayscaleImage>(width, height);
    CopyPlanes(filter, *plane, width, height, planes - 1, 1, planes);
    globals.extraPlanes->Append(plane.get());
    plane.release();
}

// Whether a delivery asked for as one plane after the colour planes holds the colour planes read before: the same
// bytes at the start of every row (a plane that truly equals them is only asked for once more).
bool IsColorDeliveredAgain(const HcGlobals& globals, const FilterRecord& filter, uint32_t width, uint32_t height) {
    const CvRealImage* color = filter.imageMode == plugInModeRGBColor
                                   ? static_cast<const CvRealImage*>(globals.rgbImage)
                               : filter.imageMode == plugInModeGrayScale ? globals.indexedImage
                                                                         : nullptr;
    const uint32_t colorBytes = width * uint32_t(ColorPlaneCount(filter.imageMode));
    if (!color || color->GetWidth() != width || color->GetHeight() != height || width == 0 ||
        int64_t(filter.inRowBytes) < int64_t(colorBytes))
        return false;
    CvPixelLock lock(*color);
    const uint8_t* delivered = static_cast<const uint8_t*>(filter.inData);
    for (uint32_t y = 0; y < height; ++y)
        if (std::memcmp(delivered + size_t(y) * size_t(filter.inRowBytes), lock.Row(y), colorBytes) != 0) return false;
    return true;
}

int32_t AbsolutePlaneCount(const FilterRecord& filter) {
    return int32_t(filter.absLayerPlanes) + filter.absTransparencyMask + filter.absLayerMasks +
           filter.absInvertedLayerMasks + filter.absNonLayerPlanes;
}

}  // namespace

int16_t DoStart(HcCallRecord& record) {
    FilterRecord& filter = FilterOf(record);
    HcGlobals& globals = record.runData;
    CvImage::DeleteImageList(globals.extraPlanes, true);
    delete globals.extraPlanes;
    globals.extraPlanes = CvAllocated(new (std::nothrow) CvList, "hcmain", __LINE__);

    globals.usingAbsolutePlanes = globals.hostSupportsAbsolute && filter.absLayerPlanes != 0;
    if (globals.usingAbsolutePlanes) {
        RequestPlanes(filter, 0, int16_t(filter.absLayerPlanes - 1));
    } else if (filter.imageMode == plugInModeRGBColor) {
        RequestPlanes(filter, 0, 2);
    } else if (filter.imageMode >= plugInModeBitmap && filter.imageMode <= plugInModeIndexedColor) {
        RequestPlanes(filter, 0, 0);
    } else {
        return filterBadMode;  // the property list offers the filter for Grayscale and RGB only
    }
    filter.inRect = filter.filterRect;
    filter.outRect = Rect{};
    filter.cannotUndo = true;
    globals.allPlanesRead = false;
    return noErr;
}

int16_t DoContinue(HcCallRecord& record) {
    FilterRecord& filter = FilterOf(record);
    HcGlobals& globals = record.runData;
    const Rect& rect = filter.inRect;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int planes = filter.inHiPlane - filter.inLoPlane + 1;
    if (width < 0 || height < 0 || planes < 1 || filter.inLoPlane < 0) BadDelivery(__LINE__);
    if (width > 0 && height > 0 &&
        (!filter.inData || filter.inRowBytes < 0 || int64_t(filter.inRowBytes) < int64_t(width) * planes))
        BadDelivery(__LINE__);

    if (filter.inLoPlane == 0) {
        StoreColorPlanes(globals, filter, uint32_t(width), uint32_t(height), planes);
        if (planes > ColorPlaneCount(filter.imageMode))
            StoreExtraPlane(globals, filter, uint32_t(width), uint32_t(height), planes);
    } else {
        if (planes != 1) BadDelivery(__LINE__);
        if (IsColorDeliveredAgain(globals, filter, uint32_t(width), uint32_t(height))) {
            Log(kLogWarning, "plane %d came back as the colour planes: asking for it with them", int(filter.inLoPlane));
            RequestPlanes(filter, 0, filter.inHiPlane);
            return noErr;
        }
        StoreExtraPlane(globals, filter, uint32_t(width), uint32_t(height), planes);
    }

    int32_t next = filter.inHiPlane + 1;
    int32_t last = globals.usingAbsolutePlanes ? AbsolutePlaneCount(filter) - 1 : filter.planes - 1;
    if (next <= last) {
        RequestPlanes(filter, int16_t(next), int16_t(next));
        return noErr;
    }
    RequestNothing(filter);
    globals.allPlanesRead = true;
    return noErr;
}
