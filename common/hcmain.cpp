// The entry sequence of every host call: run data in a persistent block, selector dispatch, error reporting
// and run-end cleanup. A run that ends (Finish, or any failing call) frees everything and leaves *data at 0.
#include "common/hcmain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "common/HcExport.h"
#include "common/HcHandle.h"
#include "common/HcLayerTrans.h"
#include "common/HcScriptParams.h"
#include "common/HcUI.h"
#include "common/Quantize.h"
#include "common/hcprefs.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRGBImage.h"
#include "hostapi/FilterHost.h"
#include "platform/Platform.h"

namespace {

void RecordHostCapabilities(HcCallRecord& record) {
    FilterRecord& filter = FilterOf(record);
    HcGlobals& globals = record.runData;
    globals.hostSupportsAbsolute = filter.supportsAbsolute != 0;
    globals.hostHasDescriptors = filter.descriptorParameters != nullptr;
    globals.hostHasAdvanceState = filter.advanceState != nullptr;
    globals.hostHasDocumentInfo = filter.documentInfo != nullptr;
    globals.hostHasHandleProcs = filter.handleProcs != nullptr;
    globals.hostChecked = true;
}

int16_t DoAbout(HcCallRecord& record) {
    ShowAboutBox(OwnerWindow(record));
    return noErr;
}

int16_t Dispatch(HcCallRecord& record) {
    switch (record.selector) {
        case filterSelectorAbout: return DoAbout(record);
        case filterSelectorParameters: return DoParameters(record);
        case filterSelectorPrepare: return DoPrepare(record);
        case filterSelectorStart: return DoStart(record);
        case filterSelectorContinue: return DoContinue(record);
        case filterSelectorFinish: return DoFinish(record);
        default: return filterBadParameters;
    }
}

// The first call of a run: a fresh, empty run block in the host's data slot (the preferences are loaded into it
// afterwards).
HcCallRecord* CreateRun(intptr_t* data) {
    HcMasterBlock* handle = HcNewHandle(sizeof(HcCallRecord));
    if (!handle) return nullptr;
    auto* record = new (handle->data) HcCallRecord();
    *data = reinterpret_cast<intptr_t>(handle);
    return record;
}

void EndRun(HcCallRecord* record, intptr_t* data) {
    HcGlobals& globals = record->runData;
    FreePaletteList(globals.paletteList);
    FreeColorList(globals.colorList);
    CvImage::DeleteImageList(globals.extraPlanes, true);
    delete globals.extraPlanes;
    globals.extraPlanes = nullptr;
    delete globals.rgbImage;
    globals.rgbImage = nullptr;
    delete globals.indexedImage;
    globals.indexedImage = nullptr;
    delete globals.gifFrame;
    globals.gifFrame = nullptr;
    delete globals.bitmapImage;
    globals.bitmapImage = nullptr;
    record->~HcCallRecord();
    HcDisposeHandle(reinterpret_cast<HcMasterBlock*>(*data));
    *data = 0;
}

}  // namespace

namespace {
void ReportSafely(HcCallRecord& record, const CvErrorCode& error) {
    try {
        ReportError(record, error);
    } catch (...) {
        // Out of memory while alerting: the result 1 alone must do.
    }
}
}  // namespace

intptr_t OwnerWindow(const HcCallRecord& record) {
    if (!record.filterRecord) return 0;
    const PlatformData* platform = record.selector == filterSelectorAbout
                                       ? static_cast<const AboutRecord*>(record.filterRecord)->platformData
                                       : static_cast<const FilterRecord*>(record.filterRecord)->platformData;
    return platform ? platform->hwnd : 0;
}

const char* SelectorName(int16_t selector) {
    switch (selector) {
        case filterSelectorAbout: return "filterSelectorAbout";
        case filterSelectorParameters: return "filterSelectorParameters";
        case filterSelectorPrepare: return "filterSelectorPrepare";
        case filterSelectorStart: return "filterSelectorStart";
        case filterSelectorContinue: return "filterSelectorContinue";
        case filterSelectorFinish: return "filterSelectorFinish";
        default: return "unknown selector";
    }
}

void ReportError(HcCallRecord& record, const CvErrorCode& error) {
    Platform::NoteError(error.code, error.detail);
    if (error.code == kCvErrCancelled) return;
    char text[200];
    if (error.code == kCvErrNoMemory)
        std::snprintf(text, sizeof text, "Out of Memory");
    else
        std::snprintf(text, sizeof text, "Error executing Halcyne (%d)", int(error.code));
    Log(kLogError, "%s [%s:%u detail %u]", text, error.FileName(), unsigned(error.line), unsigned(error.detail));
    Platform::ShowAlert(OwnerWindow(record), text, "ALERT", Platform::AlertButtons::Ok, Platform::AlertIcon::None);
}

int16_t DoParameters(HcCallRecord& record) {
    HcGlobals& globals = record.runData;
    const PIDescriptorParameters* descriptors = FilterOf(record).descriptorParameters;
    bool replaying = globals.hostHasDescriptors && descriptors && descriptors->descriptor &&
                     descriptors->playInfo != plugInDialogDisplay;
    globals.showDialog = !replaying;
    return noErr;
}

int16_t DoPrepare(HcCallRecord& record) {
    HcGlobals& globals = record.runData;
    if (globals.hostSupportsAbsolute) FilterOf(record).wantsAbsolute = true;
    globals.usingAbsolutePlanes = true;
    globals.hasTransparencyPlane = false;
    globals.hasLayerMaskPlane = false;
    return noErr;
}

namespace {
bool HasNonGrey(const CvColorTable& table) {
    for (uint32_t i = 0; i < table.GetCount(); ++i) {
        const uint8_t* c = table.Entry(i);
        if (c[0] != c[1] || c[1] != c[2]) return true;
    }
    return false;
}

uint32_t UsedEntries(const CvIndexedImage& image) {
    uint32_t counts[256] = {};
    image.CountIndexUsage(counts);
    return CvIndexedImage::CountUsed(counts, std::min<uint32_t>(image.colorTable.GetCount(), 256));
}
}  // namespace

void ReduceForExport(HcCallRecord& record) {
    HcGlobals& globals = record.runData;
    if (FilterOf(record).imageMode == plugInModeRGBColor) {
        Quantize(globals, nullptr);
        return;
    }
    // A grey source is already indexed; only colours that are not grey (none from a grey ramp) get merged.
    CvIndexedImage* image = globals.indexedImage;
    if (!image || !image->HasPixels()) return;
    if (HasNonGrey(image->colorTable)) image->MergeSimilarColors(3);
    // A recorded colour count holds for grey documents too: without this a request for 16 colours wrote 256.
    // When nothing needs merging the image keeps its layout: the whole ramp, unused entries in place.
    if (UsedEntries(*image) > globals.settings.colors) image->LimitColors(globals.settings.colors);
}

int16_t DoFinish(HcCallRecord& record) {
    HcGlobals& globals = record.runData;
    if (!globals.allPlanesRead) return noErr;
    FilterRecord& filter = FilterOf(record);
    if (globals.hostSupportsAbsolute) {
        globals.hasTransparencyPlane = filter.absTransparencyMask != 0;
        globals.hasLayerMaskPlane = filter.absLayerMasks != 0 || filter.absInvertedLayerMasks != 0;
    }
    CropToLayer(record);
    if (globals.hostHasDescriptors) globals.showDialog = ReadScriptParams(record);
    bool ok = true;
    if (globals.showDialog && Platform::DialogsWanted())
        ok = RunDialogs(record);
    else
        ReduceForExport(record);
    return ExportFrame(record, ok);
}

void HcEntry(int16_t selector, void* block, intptr_t* data, int16_t* result) {
    *result = noErr;
    HcCallRecord* record = nullptr;
    bool fresh = *data == 0;
    if (fresh) {
        record = CreateRun(data);
        if (!record) {
            *result = memFullErr;
            return;
        }
    } else {
        record = static_cast<HcCallRecord*>(reinterpret_cast<HcMasterBlock*>(*data)->data);
    }
    record->globals = &record->runData;
    record->filterRecord = block;
    record->runData.settingsPtr = &record->runData.settings;
    record->result = noErr;
    record->selector = selector;

    try {
        try {
            if (fresh) LoadPrefs(*record);
            if (selector != filterSelectorAbout && !record->runData.hostChecked) RecordHostCapabilities(*record);
            Log(kLogTrace, "%s", SelectorName(selector));
            record->result = Dispatch(*record);
            if (record->result != noErr && record->result != 1)
                throw CvErrorCode(kCvErrHost, uint32_t(int32_t(record->result)), "hcmain", __LINE__);
        } catch (const std::bad_alloc&) {
            CV_THROW(kCvErrNoMemory);
        }
    } catch (const CvErrorCode& error) {
        ReportSafely(*record, error);
        record->result = 1;
    } catch (...) {
        // Nothing may cross into the host; an unexpected failure is still one alert and result 1.
        ReportSafely(*record, CvErrorCode(kCvErrHost, "hcmain", __LINE__));
        record->result = 1;
    }

    *result = record->result;
    if (*result != noErr || selector == filterSelectorFinish) EndRun(record, data);
    Log(kLogDebug, "*outResult = %d", int(*result));
}
