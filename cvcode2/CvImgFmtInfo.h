// The format-neutral bases of the settings that travel with an image file (global) and with one frame.
// A format's classes derive from them; Clone always returns a new object of the same class, owned by the caller.
#pragma once

class CvImgFmtGlobalInfo {
public:
    // Copies the NUL-terminated format name into `buffer`.
    virtual void GetFormatName(char* buffer) const = 0;
    virtual ~CvImgFmtGlobalInfo() = default;
    virtual CvImgFmtGlobalInfo* Clone() const = 0;
};

class CvImgFmtFrameInfo {
public:
    virtual void GetFormatName(char* buffer) const = 0;
    virtual ~CvImgFmtFrameInfo() = default;
    virtual CvImgFmtFrameInfo* Clone() const = 0;
};
