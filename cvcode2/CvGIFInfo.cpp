// GIF global and frame settings and comments. The global info owns its comments: every list item is a
// CvGIFComment it created or was given, deleted with it.
#include "cvcode2/CvGIFInfo.h"

#include <cstring>
#include <memory>
#include <new>

#include "cvcode2/CvErrorCode.h"

CvGIFComment::CvGIFComment(uint32_t n, const uint8_t* data) {
    Assign(n, data);
}

void CvGIFComment::Clear() {
    delete[] bytes;
    bytes = nullptr;
    length = capacity = 0;
}

void CvGIFComment::Assign(uint32_t n, const uint8_t* data) {
    length = 0;
    AppendBytes(n, data);
}

void CvGIFComment::AppendBytes(uint32_t n, const uint8_t* data) {
    if (n == 0) return;
    if (n > UINT32_MAX - length) CV_THROW(kCvErrNoMemory);
    if (length + n > capacity) {
        uint64_t grown = uint64_t(capacity) * 2;
        if (grown < uint64_t(length) + n) grown = uint64_t(length) + n;
        if (grown > UINT32_MAX) grown = UINT32_MAX;
        auto* larger = CvAllocated(new (std::nothrow) uint8_t[grown]);
        if (length) std::memcpy(larger, bytes, length);
        delete[] bytes;
        bytes = larger;
        capacity = uint32_t(grown);
    }
    std::memcpy(bytes + length, data, n);
    length += n;
}

CvGIFComment* CvGIFComment::Clone() const {
    std::unique_ptr<CvGIFComment> copy(CvAllocated(new (std::nothrow) CvGIFComment));
    copy->Assign(length, bytes);
    return copy.release();
}

void CvGIFGlobalInfo::GetFormatName(char* buffer) const {
    std::strcpy(buffer, "GIF");
}

void CvGIFGlobalInfo::AddComment(CvGIFComment* comment) {
    std::unique_ptr<CvGIFComment> owned(comment);
    comments.Append(owned.get());
    owned.release();
}

void CvGIFGlobalInfo::AddComment(uint32_t length, const uint8_t* bytes) {
    std::unique_ptr<CvGIFComment> comment(CvAllocated(new (std::nothrow) CvGIFComment));
    comment->Assign(length, bytes);
    AddComment(comment.release());
}

void CvGIFGlobalInfo::ClearComments() {
    for (CvListNode* node = comments.Head(); node; node = node->next) delete static_cast<CvGIFComment*>(node->item);
    comments.RemoveAll();
}

CvGIFGlobalInfo* CvGIFGlobalInfo::Clone() const {
    std::unique_ptr<CvGIFGlobalInfo> copy(CvAllocated(new (std::nothrow) CvGIFGlobalInfo));
    copy->is89a = is89a;
    copy->hasGlobalColorTable = hasGlobalColorTable;
    copy->colorResolution = colorResolution;
    copy->globalColorTableSize = globalColorTableSize;
    copy->globalColorTable = globalColorTable;
    copy->sortFlag = sortFlag;
    copy->backgroundIndex = backgroundIndex;
    copy->hasLoopExtension = hasLoopExtension;
    copy->loopCount = loopCount;
    copy->pixelAspectRatio = pixelAspectRatio;
    for (CvListNode* node = comments.Head(); node; node = node->next)
        copy->AddComment(static_cast<const CvGIFComment*>(node->item)->Clone());
    return copy.release();
}

void CvGIFFrameInfo::GetFormatName(char* buffer) const {
    std::strcpy(buffer, "GIF");
}

CvGIFFrameInfo* CvGIFFrameInfo::Clone() const {
    CvGIFFrameInfo* copy = CvAllocated(new (std::nothrow) CvGIFFrameInfo(*this));
    return copy;
}
