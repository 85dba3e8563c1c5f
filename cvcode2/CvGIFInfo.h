// The settings that travel with a GIF file (CvGIFGlobalInfo) and with one of its frames (CvGIFFrameInfo), and the
// comment text they carry. Every object owns what it points to, and Clone copies all of it.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvImgFmtInfo.h"
#include "cvcode2/CvList.h"

// A comment's bytes, without terminator. Appending grows the storage geometrically, so a comment read one
// sub-block at a time costs linear time.
class CvGIFComment {
public:
    CvGIFComment() = default;
    CvGIFComment(uint32_t length, const uint8_t* bytes);
    CvGIFComment(const CvGIFComment&) = delete;
    CvGIFComment& operator=(const CvGIFComment&) = delete;
    ~CvGIFComment() { Clear(); }

    void Assign(uint32_t length, const uint8_t* bytes);
    void AppendBytes(uint32_t length, const uint8_t* bytes);
    void Clear();
    CvGIFComment* Clone() const;
    uint32_t Length() const { return length; }
    const uint8_t* Bytes() const { return bytes; }

private:
    uint32_t length = 0;
    uint32_t capacity = 0;
    uint8_t* bytes = nullptr;
};

class CvGIFGlobalInfo : public CvImgFmtGlobalInfo {
public:
    CvGIFGlobalInfo() = default;
    CvGIFGlobalInfo(const CvGIFGlobalInfo&) = delete;
    CvGIFGlobalInfo& operator=(const CvGIFGlobalInfo&) = delete;
    ~CvGIFGlobalInfo() override { ClearComments(); }

    void GetFormatName(char* buffer) const override;
    CvGIFGlobalInfo* Clone() const override;

    // Takes ownership of `comment`.
    void AddComment(CvGIFComment* comment);
    // Copies the bytes into a new comment at the end of the list.
    void AddComment(uint32_t length, const uint8_t* bytes);
    void ClearComments();
    uint32_t CommentCount() const { return comments.Count(); }
    const CvGIFComment* CommentAt(uint32_t index) const {
        return static_cast<const CvGIFComment*>(comments.ItemAt(index));
    }

    uint8_t is89a = 1;
    uint8_t hasGlobalColorTable = 0;
    uint8_t colorResolution = 8;
    uint16_t globalColorTableSize = 0;  // entries the file announced; the writer goes by the table itself
    CvColorTable globalColorTable;
    uint8_t sortFlag = 0;
    uint8_t backgroundIndex = 0;
    uint8_t hasLoopExtension = 1;
    uint16_t loopCount = 0;  // 0 loops forever
    uint8_t pixelAspectRatio = 0;
    CvList comments;  // of CvGIFComment*, owned, in file order
};

class CvGIFFrameInfo : public CvImgFmtFrameInfo {
public:
    void GetFormatName(char* buffer) const override;
    CvGIFFrameInfo* Clone() const override;

    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t hasLocalColorTable = 1;
    CvColorTable localColorTable;
    uint8_t sortFlag = 0;
    uint8_t interlaced = 0;
    uint8_t codeSize = 8;  // as the writer computed it or the file stored it
    uint8_t hasGraphicControl = 1;
    uint16_t delayTime = 0;  // hundredths of a second
    uint8_t userInputFlag = 0;
    uint32_t disposalMethod = 0;
    uint8_t transparentFlag = 0;
    uint8_t transparentIndex = 0;
};
