// Turns the reduced image into the GIF file on disk: frame, transparency, Save As, scripting record, file.
// From the moment the sources are freed the frame alone holds the image; it is freed before returning.
#include "common/HcExport.h"

#include <algorithm>
#include <memory>
#include <string>

#include "common/HCWriteSingleFile.h"
#include "common/HcLayerTrans.h"
#include "common/HcScriptParams.h"
#include "common/hcmain.h"
#include "common/hcprefs.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"
#include "hostapi/FilterHost.h"
#include "platform/Platform.h"

const char kSaveAsTitle[] = "Save As";
const char kGifFilter[] = "GIF files|*.gif";
const char kGifExtension[] = "GIF";

namespace {

void MakeFrame(HcGlobals& globals) {
    if (globals.gifFrame) return;
    if (!globals.indexedImage) CV_THROW(kCvErrBadArgument);
    globals.gifFrame = CvAllocated(new (std::nothrow) CvGIFFrame(*globals.indexedImage));
    ApplyTransparencySettings(globals);
}

void FreeSources(HcCallRecord& record) {
    // FilterRecord.inData stays as the host set it: the host frees its input buffer through that field.
    HcGlobals& globals = record.runData;
    delete globals.rgbImage;
    globals.rgbImage = nullptr;
    delete globals.indexedImage;
    globals.indexedImage = nullptr;
    CvImage::DeleteImageList(globals.extraPlanes, true);
    delete globals.extraPlanes;
    globals.extraPlanes = nullptr;
}

void WriteFile(HcCallRecord& record, const CvFileLocator& file) {
    const HcStr255& text = record.runData.settings.comment;
    CvGIFComment comment(text[0], text + 1);
    HCWriteSingleFile(file, *record.runData.gifFrame, &comment, true, 0, true, LossyCodingFor(record.runData));
}

// Under a real host a failure to store the preferences ends the run before the file is asked for; an embedding
// host may take it as a warning and still get its file.
void StorePrefs(HcCallRecord& record) {
    try {
        SavePrefs(record);
    } catch (const CvErrorCode& error) {
        if (!Platform::GoOnWithoutPrefs(error.code, error.detail)) CV_RETHROW(error);
    }
}

}  // namespace

void SettleTransparency(CvGIFFrame& frame) {
    const bool transparent = frame.MaskHasTransparentPixels();
    frame.SetTransparency(transparent);
    frame.FrameInfo().hasGraphicControl = transparent ? 1 : 0;
    frame.ChooseTransparentIndex(false);
}

// An undithered picture hands on none of the lossy error, amount 1 half of it, amounts from 2 on all of it.
HcLossyCoding LossyCodingFor(const HcGlobals& globals) {
    return HcLossyCoding{globals.settings.lossy, globals.preservedColors,
                         uint8_t(std::min<uint8_t>(globals.settings.dither, kCvLossyFullHandOn))};
}

uint32_t CountExportedFrame(const CvGIFFrame& frame, const HcLossyCoding& lossy) {
    std::unique_ptr<CvGIFFrame> settled(static_cast<CvGIFFrame*>(frame.Clone()));
    if (!settled) CV_THROW(kCvErrNoMemory);
    SettleTransparency(*settled);
    CvFileLocator counting;
    counting.SetPath(kCountOnlyPath);
    return HCWriteSingleFile(counting, *settled, nullptr, false, 0, true, lossy);
}

bool AskOutputFile(HcCallRecord& record, CvFileLocator& file) {
    Platform::FileBoxRequest request;
    request.owner = OwnerWindow(record);
    request.title = kSaveAsTitle;
    request.filter = kGifFilter;
    request.defaultExtension = kGifExtension;
    request.pathCharacters = 260;
    request.fileTitleCharacters = 100;
    std::string path;
    if (!Platform::AskSavePath(request, path) || path.empty()) return false;
    file.SetPath(path.c_str());
    return true;
}

int16_t ExportFrame(HcCallRecord& record, bool ok) {
    HcGlobals& globals = record.runData;
    MakeFrame(globals);
    SettleTransparency(*globals.gifFrame);
    FreeSources(record);
    if (ok) {
        StorePrefs(record);
        CvFileLocator file;
        if (!AskOutputFile(record, file)) return 1;
        if (globals.hostHasDescriptors) WriteScriptParams(record);
        WriteFile(record, file);
    }
    delete globals.gifFrame;
    globals.gifFrame = nullptr;
    return ok ? 0 : 1;
}
