// GIF block structure: header, logical screen, padded colour tables, extensions, image descriptors, trailer.
// Every size written fits its 16-bit field, and every count read from the file is checked before it sizes anything.
#include "cvcode2/CvGIFFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwDecoder.h"
#include "cvcode2/CvLzwEncoder.h"
#include "cvcode2/CvProgressTask.h"

namespace {
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint32_t kMaxSide = 65535;
const char kLoopIdentifier[] = "NETSCAPE2.0";
// A frame up to this size is decoded whatever its data; a larger one must have data enough to fill it, so a
// short hostile file cannot make us allocate gigabytes for a frame it only claims.
constexpr uint64_t kPixelsWithoutEvidence = uint64_t(1) << 24;
// Codes are at least 3 bits wide and none decodes to more than the decoder's stack holds.
constexpr uint64_t kMinCodeBits = 3;
constexpr uint64_t kMostPixelsPerCode = 4097;

}  // namespace

CvGIFFile::~CvGIFFile() {
    ResetFrames();
}

CvGIFGlobalInfo& CvGIFFile::GifGlobal() const {
    auto* info = dynamic_cast<CvGIFGlobalInfo*>(globalInfo);
    if (!info) CV_THROW(kCvErrBadArgument);
    return *info;
}

// ---- Writing

void CvGIFFile::WriteColorTable(const CvColorTable& table, uint8_t sizeBits) {
    // Padded with black to the 2^sizeBits entries the packed byte announces.
    static const uint8_t kBlack[3 * 256] = {};
    Write(table.Entries(), 3 * table.GetCount());
    Write(kBlack, 3 * ((1u << sizeBits) - table.GetCount()));
}

void CvGIFFile::WriteLoopExtension(uint16_t loopCount) {
    const uint8_t head[3] = {kExtension, kApplicationLabel, 11};
    Write(head, 3);
    Write(kLoopIdentifier, 11);
    const uint8_t sub[2] = {3, 1};
    Write(sub, 2);
    WriteWord(loopCount);
    WriteByte(0);
}

void CvGIFFile::WriteComment(const CvGIFComment& comment) {
    const uint8_t head[2] = {kExtension, kCommentLabel};
    Write(head, 2);
    for (uint32_t done = 0; done < comment.Length();) {
        const uint32_t n = std::min<uint32_t>(255, comment.Length() - done);
        WriteByte(uint8_t(n));
        Write(comment.Bytes() + done, n);
        done += n;
    }
    WriteByte(0);
}

void CvGIFFile::WriteHeader() {
    CvGIFGlobalInfo& info = GifGlobal();
    if (screenWidth > kMaxSide || screenHeight > kMaxSide) CV_THROW(kCvErrSizeMismatch);
    if (info.hasGlobalColorTable && info.globalColorTable.GetCount() == 0) info.hasGlobalColorTable = 0;
    uint8_t packed = 0, sizeBits = 0;
    if (info.hasGlobalColorTable) {
        sizeBits = CodeSizeForColors(info.globalColorTable.GetCount());
        const uint8_t resolution = std::clamp<uint8_t>(info.colorResolution, 1, 8);
        packed = uint8_t(0x80 | (resolution - 1) << 4 | (info.sortFlag ? 0x08 : 0) | (sizeBits - 1));
    }
    Write("GIF", 3);
    Write(info.is89a ? "89a" : "87a", 3);
    WriteWord(uint16_t(screenWidth));
    WriteWord(uint16_t(screenHeight));
    const uint8_t rest[3] = {packed, info.backgroundIndex, info.pixelAspectRatio};
    Write(rest, 3);
    if (info.hasGlobalColorTable) WriteColorTable(info.globalColorTable, sizeBits);
    if (info.hasLoopExtension) WriteLoopExtension(info.loopCount);
    for (CvListNode* node = info.comments.Head(); node; node = node->next) {
        const auto* comment = static_cast<const CvGIFComment*>(node->item);
        if (comment->Length() > 0) WriteComment(*comment);
    }
}

void CvGIFFile::WriteGraphicControl(const CvGIFFrameInfo& info) {
    const uint8_t head[4] = {
        kExtension, kGraphicControlLabel, 4,
        uint8_t((info.disposalMethod & 7) << 2 | (info.userInputFlag ? 2 : 0) | (info.transparentFlag ? 1 : 0))};
    Write(head, 4);
    WriteWord(info.delayTime);
    const uint8_t tail[2] = {info.transparentIndex, 0};
    Write(tail, 2);
}

void CvGIFFile::WriteImageDescriptor(const CvGIFFrameInfo& info) {
    WriteByte(kImageSeparator);
    WriteWord(info.left);
    WriteWord(info.top);
    WriteWord(info.width);
    WriteWord(info.height);
    uint8_t packed = info.interlaced ? 0x40 : 0;
    if (!info.hasLocalColorTable) {
        WriteByte(packed);
        return;
    }
    const uint8_t sizeBits = CodeSizeForColors(info.localColorTable.GetCount());
    WriteByte(uint8_t(packed | 0x80 | (info.sortFlag ? 0x20 : 0) | (sizeBits - 1)));
    WriteColorTable(info.localColorTable, sizeBits);
}

void CvGIFFile::WriteFrameData(CvIndexedImage* image, CvImgFmtFrameInfo* frameInfoArg) {
    auto* argument = dynamic_cast<CvGIFFrameInfo*>(frameInfoArg);
    if (!image || !argument) CV_THROW(kCvErrBadArgument);
    // The encoder reads width x height pixels of the image: a frame larger than the image would read past it.
    if (argument->width > image->GetWidth() || argument->height > image->GetHeight() ||
        uint32_t(argument->left) + argument->width > screenWidth ||
        uint32_t(argument->top) + argument->height > screenHeight)
        CV_THROW(kCvErrSizeMismatch);
    // Both tables are checked before the first byte goes out.
    const uint8_t codeSize = CodeSizeForColors((frameCoding ? *frameCoding->table : image->colorTable).GetCount());
    if (argument->hasLocalColorTable) CodeSizeForColors(argument->localColorTable.GetCount());
    CvGIFFrameInfo* copy = argument->Clone();
    delete frameInfo;
    frameInfo = copy;
    frameInfo->codeSize = argument->codeSize = codeSize;

    if (frameInfo->hasGraphicControl) WriteGraphicControl(*frameInfo);
    WriteImageDescriptor(*frameInfo);
    CvPixelLock lock(*image);
    std::unique_ptr<CvLossyMatcher> matcher;
    if (lossy.level > 0) {
        const CvColorTable& shown =
            frameInfo->hasLocalColorTable ? frameInfo->localColorTable : GifGlobal().globalColorTable;
        matcher.reset(CvAllocated(new (std::nothrow) CvLossyMatcher(shown, lossy)));
    }
    const CvRowRewrite* rewrite = frameCoding && frameCoding->rows ? &frameCoding->rows : nullptr;
    CvProgressTask task(progress);
    auto code = [&](LzwEncoder& encoder, CvLossyMatcher* standIns, uint32_t rowsBefore) {
        encoder.Start(codeSize, standIns);
        encoder.EncodeImage(lock.Pixels(), frameInfo->width, frameInfo->height, image->RowBytes(),
                            frameInfo->interlaced, &task, rewrite, rowsBefore);
        if (!encoder.Stopped()) encoder.Finish();
    };
    if (!matcher) {
        task.Start(0, frameInfo->height, "Writing");
        LzwEncoder encoder(*this);
        code(encoder, nullptr, 0);
    } else {
        // Lossy coding is only there to make the file smaller: where its stream is not, the exact one goes out. The
        // exact coding stops as soon as it is sure to be longer, which is early where lossy coding saves much.
        task.Start(0, 2u * frameInfo->height, "Writing");
        std::vector<uint8_t> lossyStream, exactStream;
        LzwEncoder lossyEncoder(lossyStream), exactEncoder(exactStream);
        code(lossyEncoder, matcher.get(), 0);
        exactEncoder.StopAbove(lossyStream.size());
        code(exactEncoder, nullptr, frameInfo->height);
        WriteAll(exactEncoder.Stopped() ? lossyStream : exactStream);  // ties go to the exact stream
    }
    task.Finish();
}

void CvGIFFile::WriteAll(const std::vector<uint8_t>& bytes) {
    constexpr size_t kPart = size_t(1) << 30;  // Write takes 32-bit counts
    for (size_t done = 0; done < bytes.size(); done += kPart)
        Write(bytes.data() + done, uint32_t(std::min(kPart, bytes.size() - done)));
}

void CvGIFFile::WriteTrailer() {
    WriteByte(kTrailer);
}

CvImgFmtGlobalInfo* CvGIFFile::NewGlobalInfo() {
    CvGIFGlobalInfo* info = CvAllocated(new (std::nothrow) CvGIFGlobalInfo);
    info->is89a = 0;
    info->colorResolution = 0;
    info->hasLoopExtension = 0;
    return info;
}

CvImgFmtFrameInfo* CvGIFFile::NewFrameInfo(const CvIndexedImage* image) {
    if (!image) CV_THROW(kCvErrBadArgument);
    if (image->GetWidth() > kMaxSide || image->GetHeight() > kMaxSide) CV_THROW(kCvErrSizeMismatch);
    const uint8_t codeSize = CodeSizeForColors(image->colorTable.GetCount());
    std::unique_ptr<CvGIFFrameInfo> info(CvAllocated(new (std::nothrow) CvGIFFrameInfo));
    info->width = uint16_t(image->GetWidth());
    info->height = uint16_t(image->GetHeight());
    info->localColorTable = image->colorTable;
    info->codeSize = codeSize;
    info->hasGraphicControl = 0;
    info->disposalMethod = 1;
    return info.release();
}

// ---- Reading: header and frame index

void CvGIFFile::ReadColorTable(uint32_t entries, CvColorTable& table) {
    uint8_t rgb[3 * 256];
    ReadFully(rgb, 3 * entries);
    table.SetCount(entries);
    for (uint32_t i = 0; i < entries; ++i) table.SetEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
}

void CvGIFFile::ReadHeader() {
    CvGIFGlobalInfo* fresh = CvAllocated(new (std::nothrow) CvGIFGlobalInfo);
    fresh->hasLoopExtension = 0;
    SetGlobalInfo(fresh);
    CvGIFGlobalInfo& info = *fresh;
    Seek(0, 0);
    char text[3];
    ReadFully(text, 3);
    if (std::memcmp(text, "GIF", 3) != 0) CV_THROW(kCvErrGIFSignature);
    ReadFully(text, 3);
    if (std::memcmp(text, "87a", 3) != 0 && std::memcmp(text, "89a", 3) != 0) CV_THROW(kCvErrGIFVersion);
    info.is89a = text[1] == '9';
    screenWidth = ReadWord();
    screenHeight = ReadWord();
    const uint8_t packed = ReadByte();
    info.hasGlobalColorTable = packed >> 7;
    info.globalColorTableSize = info.hasGlobalColorTable ? uint16_t(2u << (packed & 7)) : 0;
    info.colorResolution = uint8_t(((packed >> 4) & 7) + 1);
    info.sortFlag = (packed >> 3) & 1;
    info.backgroundIndex = ReadByte();
    info.pixelAspectRatio = ReadByte();
    if (info.hasGlobalColorTable) ReadColorTable(info.globalColorTableSize, info.globalColorTable);
}

uint64_t CvGIFFile::SkipSubBlocksFrom(uint8_t length) {
    uint64_t skipped = 0;
    for (; length != 0; length = ReadByte()) {
        Seek(1, length);
        skipped += length;
    }
    return skipped;
}

void CvGIFFile::ScanFrames() {
    frameIndex.clear();
    pendingGraphicControl = 0;
    for (;;) {
        switch (ReadByte()) {
            case 0x00: break;  // stray padding between blocks
            case kExtension: ScanExtension(); break;
            case kImageSeparator: ScanImage(); break;
            case kTrailer: frameCount = uint32_t(frameIndex.size()); return;
            default: CV_THROW(kCvErrBadData);
        }
    }
}

void CvGIFFile::ScanExtension() {
    switch (ReadByte()) {
        case kGraphicControlLabel:
            // The last one before an image is the one that belongs to it.
            pendingGraphicControl = 1;
            pendingGraphicControlPos = Tell();
            SkipSubBlocks();
            break;
        case kCommentLabel: ScanComment(); break;
        case kApplicationLabel: ScanApplication(); break;
        default: SkipSubBlocks();
    }
}

void CvGIFFile::ScanComment() {
    std::unique_ptr<CvGIFComment> comment(CvAllocated(new (std::nothrow) CvGIFComment));
    uint8_t block[255];
    for (uint8_t length; (length = ReadByte()) != 0;) {
        ReadFully(block, length);
        comment->AppendBytes(length, block);
    }
    GifGlobal().AddComment(comment.release());
}

void CvGIFFile::ScanApplication() {
    const uint8_t size = ReadByte();
    if (size != 11) {
        SkipSubBlocksFrom(size);
        return;
    }
    char identifier[11];
    ReadFully(identifier, 11);
    if (std::memcmp(identifier, kLoopIdentifier, 11) != 0) {
        SkipSubBlocks();
        return;
    }
    const uint8_t length = ReadByte();
    if (length != 3) {
        SkipSubBlocksFrom(length);
        return;
    }
    ReadByte();  // sub-block identifier
    CvGIFGlobalInfo& info = GifGlobal();
    info.loopCount = ReadWord();
    info.hasLoopExtension = 1;
    SkipSubBlocks();
}

void CvGIFFile::ScanImage() {
    CvGIFFrameRecord record{pendingGraphicControl, pendingGraphicControlPos, Tell(), 0};
    Seek(1, 8);  // position and size
    const uint8_t packed = ReadByte();
    if (packed & 0x80) Seek(1, int32_t(3 * (2u << (packed & 7))));
    ReadByte();  // minimum code size, checked by the decoder
    record.dataBytes = SkipSubBlocks();
    try {
        frameIndex.push_back(record);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    pendingGraphicControl = 0;
}

// ---- Reading: frames

void CvGIFFile::SeekFrame(uint32_t n) {
    if (n >= frameIndex.size()) CV_THROW(kCvErrBadArgument);
    const CvGIFFrameRecord& record = frameIndex[n];
    Seek(0, int32_t(record.hasGraphicControl ? record.graphicControlPos : record.imagePos));
    currentFrame = n;
    frameInfoRead = 0;
}

void CvGIFFile::ReadGraphicControl(CvGIFFrameInfo& info) {
    if (ReadByte() != 4) CV_THROW(kCvErrBadData);
    const uint8_t packed = ReadByte();
    info.disposalMethod = (packed >> 2) & 7;
    info.userInputFlag = (packed >> 1) & 1;
    info.transparentFlag = packed & 1;
    info.delayTime = ReadWord();
    info.transparentIndex = ReadByte();
    SkipSubBlocks();
}

void CvGIFFile::ReadImageDescriptor(CvGIFFrameInfo& info) {
    info.left = ReadWord();
    info.top = ReadWord();
    info.width = ReadWord();
    info.height = ReadWord();
    const uint8_t packed = ReadByte();
    info.hasLocalColorTable = packed >> 7;
    info.interlaced = (packed >> 6) & 1;
    info.sortFlag = (packed >> 5) & 1;
    if (info.hasLocalColorTable) ReadColorTable(2u << (packed & 7), info.localColorTable);
    info.codeSize = ReadByte();
}

void CvGIFFile::ReadCurrentFrameInfo() {
    if (currentFrame >= frameIndex.size()) CV_THROW(kCvErrBadArgument);
    const CvGIFFrameRecord& record = frameIndex[currentFrame];
    delete frameInfo;
    frameInfo = nullptr;
    frameInfoRead = 0;
    std::unique_ptr<CvGIFFrameInfo> info(CvAllocated(new (std::nothrow) CvGIFFrameInfo));
    info->hasGraphicControl = record.hasGraphicControl;
    if (record.hasGraphicControl) {
        Seek(0, int32_t(record.graphicControlPos));
        ReadGraphicControl(*info);
    }
    Seek(0, int32_t(record.imagePos));
    ReadImageDescriptor(*info);
    frameInfo = info.release();
    frameInfoRead = 1;
}

CvImgFmtFrameInfo* CvGIFFile::ReadFrameInfo() {
    ReadCurrentFrameInfo();
    return frameInfo->Clone();
}

void CvGIFFile::CheckReadableFrame(const CvGIFFrameInfo& info, const CvGIFFrameRecord& record) const {
    if (info.left >= screenWidth || info.top >= screenHeight || uint32_t(info.left) + info.width > screenWidth ||
        uint32_t(info.top) + info.height > screenHeight)
        CV_THROW(kCvErrBadData);
    const uint64_t pixels = uint64_t(info.width) * info.height;
    if (pixels > kPixelsWithoutEvidence && pixels > record.dataBytes * 8 / kMinCodeBits * kMostPixelsPerCode)
        CV_THROW(kCvErrBadData);
}

CvIndexedImage* CvGIFFile::ReadFrameImage() {
    // Read afresh, so the position is right however the caller got here.
    ReadCurrentFrameInfo();
    const CvGIFFrameInfo& info = *frameInfo;
    CheckReadableFrame(info, frameIndex[currentFrame]);
    Seek(1, -1);  // back onto the code size byte
    const CvColorTable& table = info.hasLocalColorTable ? info.localColorTable : GifGlobal().globalColorTable;
    std::unique_ptr<CvIndexedImage> image(
        CvAllocated(new (std::nothrow) CvIndexedImage(uint32_t(info.width), uint32_t(info.height), &table)));
    {
        CvPixelLock lock(*image);
        LzwDecoder decoder(*this);
        decoder.Start();
        decoder.DecodeImage(lock.Pixels(), info.width, info.height, image->RowBytes(), info.interlaced);
    }
    image->SetFormatInfo(frameInfo);
    frameInfo = nullptr;
    frameInfoRead = 0;
    return image.release();
}

void CvGIFFile::ResetFrames() {
    frameIndex.clear();
    pendingGraphicControl = 0;
    delete frameInfo;
    frameInfo = nullptr;
}
