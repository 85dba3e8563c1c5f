// The format-specific information an image can carry: the file layer's global and frame settings.
// An image owns its info object and deletes it with itself; Clone returns a new object of the same class.
#pragma once

class CvImgFmtInfo {
public:
    virtual ~CvImgFmtInfo() = default;
    // Copies the NUL-terminated format name into `buffer`.
    virtual void GetFormatName(char* buffer) const = 0;
    virtual CvImgFmtInfo* Clone() const = 0;
};

// Format-neutral bases of the settings that travel with an image file (global) and with one frame.
class CvImgFmtGlobalInfo : public CvImgFmtInfo {
public:
    CvImgFmtGlobalInfo* Clone() const override = 0;
};

class CvImgFmtFrameInfo : public CvImgFmtInfo {
public:
    CvImgFmtFrameInfo* Clone() const override = 0;
};
