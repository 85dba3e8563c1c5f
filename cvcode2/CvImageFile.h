// A multi-frame image file on top of CvFile: header, frame count, logical screen, format settings and a frame cursor.
// The format (a subclass) reads and writes the blocks; this class keeps the order: header first, trailer after the last
// frame.
#pragma once

#include <cstdint>

#include "cvcode2/CvFile.h"
#include "cvcode2/CvImgFmtInfo.h"

class CvIndexedImage;

class CvImageFile : public CvFile {
public:
    CvImageFile() = default;
    virtual ~CvImageFile();

    // Index every frame of the file and set the frame count.
    virtual void ScanFrames() = 0;
    // Read the file header into a new global info.
    virtual void ReadHeader() = 0;
    virtual void WriteHeader() = 0;
    // Write one frame; the format may store what it derived (such as a code size) into `frameInfo`.
    virtual void WriteFrameData(CvIndexedImage* image, CvImgFmtFrameInfo* frameInfo) = 0;
    virtual void WriteTrailer() = 0;
    virtual void ResetFrames() {}
    virtual void SetFrameCount(uint32_t n) { frameCount = n; }
    virtual void SetScreenSize(uint32_t width, uint32_t height);
    // A new copy of the current frame's info, owned by the caller.
    virtual CvImgFmtFrameInfo* ReadFrameInfo() = 0;
    // The current frame as a new image, owned by the caller.
    virtual CvIndexedImage* ReadFrameImage() = 0;
    virtual void SeekFrame(uint32_t n) = 0;
    virtual CvImgFmtGlobalInfo* NewGlobalInfo() = 0;
    virtual CvImgFmtFrameInfo* NewFrameInfo(const CvIndexedImage* image) = 0;
    // A copy of the global info (owned by the caller), or null when there is none.
    virtual CvImgFmtGlobalInfo* GetGlobalInfo() const;
    // Takes ownership of `info`, deleting the old one.
    virtual void SetGlobalInfo(CvImgFmtGlobalInfo* info);

    // Mode must not hold both read and write. Reading reads the header, indexes the frames and seeks frame 0;
    // writing starts from NewGlobalInfo() when no global info was set.
    void Open(uint16_t mode, bool closeOnClose = true, int32_t handle = 0);
    // Header before the first frame, trailer after the one that reaches the frame count.
    void WriteFrame(CvIndexedImage* image, CvImgFmtFrameInfo* frameInfo);
    void Close();
    uint32_t GetFrameCount() const { return frameCount; }
    uint32_t ScreenWidth() const { return screenWidth; }
    uint32_t ScreenHeight() const { return screenHeight; }

protected:
    void ClearFrameFields();

    uint32_t frameCount = 0;
    uint32_t screenWidth = 0;
    uint32_t screenHeight = 0;
    uint8_t headerDone = 0;
    uint32_t currentFrame = 0;  // reading: the frame sought; writing: frames written so far
    uint8_t frameInfoRead = 0;
    CvImgFmtGlobalInfo* globalInfo = nullptr;
};
