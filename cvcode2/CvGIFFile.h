// The GIF image file: writes and reads the GIF87a/GIF89a block structure and hands image data to the LZW codec.
// Reading indexes every image descriptor first; nothing read from the file is used as a size or position unchecked.
#pragma once

#include <cstdint>
#include <vector>

#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvImageFile.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwLossy.h"

class CvProgressIndicator;

enum CvGIFError : uint32_t {
    kCvErrGIFSignature = 32,  // the file does not start with "GIF"
    kCvErrGIFVersion = 33,    // the version is neither "87a" nor "89a"
};

// Where one frame's blocks are, as the scan found them.
struct CvGIFFrameRecord {
    uint8_t hasGraphicControl;
    uint32_t graphicControlPos;  // the graphic control extension's block-size byte
    uint32_t imagePos;           // just after the image separator
    uint64_t dataBytes;          // image data bytes in the frame's sub-blocks: bounds what the frame can decode to
};

class CvGIFFile : public CvImageFile {
public:
    CvGIFFile() = default;
    ~CvGIFFile() override;

    void ScanFrames() override;
    void ReadHeader() override;
    // Refuses (kCvErrSizeMismatch) a logical screen wider or higher than 65535, which the file could not state.
    void WriteHeader() override;
    // `frameInfo` must be a CvGIFFrameInfo; it receives the code size used. The frame must lie inside both the
    // image and the logical screen (else 21). The rows' coding reports to the progress indicator, if any, which
    // can stop it (kCvErrCancelled).
    void WriteFrameData(CvIndexedImage* image, CvImgFmtFrameInfo* frameInfo) override;
    // Not owned; null (the default) writes silently.
    void SetProgressIndicator(CvProgressIndicator* indicator) { progress = indicator; }
    void WriteTrailer() override;
    void ResetFrames() override;
    CvImgFmtFrameInfo* ReadFrameInfo() override;
    // The current frame decoded, carrying its CvGIFFrameInfo. A frame outside the logical screen, or one far larger
    // than its image data could ever fill, is bad data (kCvErrBadData) and allocates nothing.
    CvIndexedImage* ReadFrameImage() override;
    void SeekFrame(uint32_t n) override;
    CvImgFmtGlobalInfo* NewGlobalInfo() override;
    // Describes `image` at 0, 0 with a copy of its table; an image wider or higher than 65535 raises
    // kCvErrSizeMismatch.
    CvImgFmtFrameInfo* NewFrameInfo(const CvIndexedImage* image) override;
    virtual uint32_t IndexedFrameCount() const { return uint32_t(frameIndex.size()); }
    // How the frames written next may stray from their indices, judged in the colours of the table each frame
    // uses (its local table, else the global one). Level 0, the default, writes the indices exactly.
    void SetLossy(const CvLossyOptions& options) { lossy = options; }
    // How the frames written next are coded when not as their images' indices stand (the images stay as they are):
    // the rows as `rows` makes them, indices into `table`, whose size sets the code size. Not owned; null, the
    // default, codes each image's own indices for its own table.
    struct FrameCoding {
        const CvColorTable* table;
        CvRowRewrite rows;
    };
    void SetFrameCoding(const FrameCoding* coding) { frameCoding = coding; }

private:
    CvGIFGlobalInfo& GifGlobal() const;
    void WriteColorTable(const CvColorTable& table, uint8_t sizeBits);
    void WriteLoopExtension(uint16_t loopCount);
    void WriteComment(const CvGIFComment& comment);
    void WriteGraphicControl(const CvGIFFrameInfo& info);
    void WriteImageDescriptor(const CvGIFFrameInfo& info);
    void WriteAll(const std::vector<uint8_t>& bytes);

    void ReadColorTable(uint32_t entries, CvColorTable& table);
    // Skips data sub-blocks up to and including the terminator; returns the data bytes skipped.
    uint64_t SkipSubBlocks() { return SkipSubBlocksFrom(ReadByte()); }
    uint64_t SkipSubBlocksFrom(uint8_t length);
    void ScanExtension();
    void ScanComment();
    void ScanApplication();
    void ScanImage();
    // Reads the current frame's graphic control and image descriptor into the member info, from the record's
    // positions, so it can run any number of times; leaves the file just after the code size byte.
    void ReadCurrentFrameInfo();
    void ReadGraphicControl(CvGIFFrameInfo& info);
    void ReadImageDescriptor(CvGIFFrameInfo& info);
    void CheckReadableFrame(const CvGIFFrameInfo& info, const CvGIFFrameRecord& record) const;

    std::vector<CvGIFFrameRecord> frameIndex;
    uint8_t pendingGraphicControl = 0;
    uint32_t pendingGraphicControlPos = 0;
    CvGIFFrameInfo* frameInfo = nullptr;  // owned: the current frame's (reading) or the last written
    CvProgressIndicator* progress = nullptr;
    CvLossyOptions lossy;
    const FrameCoding* frameCoding = nullptr;
};
