// The format-specific information an image can carry (the file layer's global and frame settings).
// An image owns its info object and deletes it with itself; Clone gives an independent copy.
#pragma once

class CvImgFmtInfo {
public:
    virtual ~CvImgFmtInfo() = default;
    // Copies a NUL-terminated format name into `buffer`.
    virtual void GetFormatName(char* buffer) const = 0;
    virtual CvImgFmtInfo* Clone() const = 0;
};

// Format-neutral bases of the file layer's settings objects.
class CvImgFmtGlobalInfo : public CvImgFmtInfo {};
class CvImgFmtFrameInfo : public CvImgFmtInfo {};
