// The format-independent part of image files: opening for reading or writing and the frame cursor.
// globalInfo is owned; Close always leaves the frame fields cleared and the format's frame index reset.
#include "cvcode2/CvImageFile.h"

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

CvImageFile::~CvImageFile() {
    delete globalInfo;
}

void CvImageFile::SetScreenSize(uint32_t width, uint32_t height) {
    screenWidth = width;
    screenHeight = height;
}

CvImgFmtGlobalInfo* CvImageFile::GetGlobalInfo() const {
    return globalInfo ? globalInfo->Clone() : nullptr;
}

void CvImageFile::SetGlobalInfo(CvImgFmtGlobalInfo* info) {
    if (info == globalInfo) return;
    delete globalInfo;
    globalInfo = info;
}

void CvImageFile::ClearFrameFields() {
    frameCount = 0;
    headerDone = 0;
    currentFrame = 0;
    frameInfoRead = 0;
    delete globalInfo;
    globalInfo = nullptr;
}

void CvImageFile::Open(uint16_t mode, bool closeOnClose, int32_t handle) {
    CV_ASSERT(!((mode & kCvFileRead) && (mode & kCvFileWrite)));
    if (mode & kCvFileRead) {
        ClearFrameFields();
        CvFile::Open(mode, closeOnClose, handle);
        if (!headerDone) {
            ReadHeader();
            ScanFrames();
            headerDone = 1;
            if (frameCount > 0) SeekFrame(0);  // a file without frames has no frame 0 to seek
        }
        return;
    }
    CvFile::Open(mode, closeOnClose, handle);
    if (!globalInfo) globalInfo = NewGlobalInfo();
}

void CvImageFile::WriteFrame(CvIndexedImage* image, CvImgFmtFrameInfo* frameInfo) {
    CV_ASSERT(IsOpen() && (Mode() & kCvFileWrite) && currentFrame < frameCount);
    if (!headerDone) {
        WriteHeader();
        headerDone = 1;
    }
    WriteFrameData(image, frameInfo);
    if (++currentFrame == frameCount) WriteTrailer();
}

void CvImageFile::Close() {
    try {
        CvFile::Close();
    } catch (const CvErrorCode& error) {
        ClearFrameFields();
        ResetFrames();
        CV_RETHROW(error);
    }
    ClearFrameFields();
    ResetFrames();
}
