#include "cvcode2/CvImageFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ErrorOf.h"

namespace {

struct NamedInfo : CvImgFmtGlobalInfo {
    explicit NamedInfo(int tag_) : tag(tag_) {}
    void GetFormatName(char* buffer) const override { std::strcpy(buffer, "TEST"); }
    CvImgFmtGlobalInfo* Clone() const override { return new NamedInfo(tag); }
    int tag;
};

// A format that writes one letter per block and records every call the base class makes.
class LetterFile : public CvImageFile {
public:
    std::string calls;

    void ScanFrames() override {
        calls += "scan ";
        frameCount = 3;
    }
    void ReadHeader() override {
        calls += "header ";
        SetGlobalInfo(new NamedInfo(7));
        ReadByte();
    }
    void WriteHeader() override { WriteByte('H'); }
    void WriteFrameData(CvIndexedImage*, CvImgFmtFrameInfo*) override { WriteByte('F'); }
    void WriteTrailer() override { WriteByte('T'); }
    void ResetFrames() override { calls += "reset "; }
    CvImgFmtFrameInfo* ReadFrameInfo() override { return nullptr; }
    CvIndexedImage* ReadFrameImage() override { return nullptr; }
    void SeekFrame(uint32_t n) override {
        calls += "seek" + std::to_string(n) + " ";
        currentFrame = n;
    }
    CvImgFmtGlobalInfo* NewGlobalInfo() override {
        calls += "newglobal ";
        return new NamedInfo(0);
    }
    CvImgFmtFrameInfo* NewFrameInfo(const CvIndexedImage*) override { return nullptr; }
};

// The tag of the copy of the global info the file hands out.
int GlobalTag(LetterFile& file) {
    std::unique_ptr<CvImgFmtGlobalInfo> copy(file.GetGlobalInfo());
    return static_cast<const NamedInfo&>(*copy).tag;
}

}  // namespace

TEST(CvImageFile, HeaderGoesBeforeTheFirstFrameAndTheTrailerAfterTheLast) {
    std::string path = MakeScratchDir("imagefile") + "/frames";
    LetterFile file;
    file.SetPath(path.c_str());
    file.SetGlobalInfo(new NamedInfo(5));
    file.SetFrameCount(2);
    file.Open(kCvFileWrite);
    EXPECT_EQ(file.calls, "");  // the global info set before Open is kept
    file.WriteFrame(nullptr, nullptr);
    EXPECT_EQ(file.GetLength(), 2u);
    file.WriteFrame(nullptr, nullptr);
    EXPECT_EQ(file.GetLength(), 4u);
    EXPECT_EQ(GlobalTag(file), 5);
    file.Close();
    EXPECT_EQ(ReadFileBytes(path), "HFFT");
    EXPECT_EQ(file.calls, "reset ");
    EXPECT_EQ(file.GetFrameCount(), 0u);
    EXPECT_EQ(file.GetGlobalInfo(), nullptr);
}

TEST(CvImageFile, CountOnlyWritingMakesDefaultsAndMeasures) {
    LetterFile file;
    file.SetFrameCount(1);
    file.Open(kCvFileWrite | kCvFileCountOnly);
    file.WriteFrame(nullptr, nullptr);
    EXPECT_EQ(file.GetLength(), 3u);
    file.Close();
    EXPECT_EQ(file.calls, "newglobal reset ");
}

TEST(CvImageFile, OpeningForReadingReadsTheHeaderIndexesAndSeeksFrameZero) {
    std::string path = MakeScratchDir("imagefile") + "/read";
    std::ofstream(path, std::ios::binary) << "x";
    LetterFile file;
    file.SetPath(path.c_str());
    file.Open(kCvFileRead);
    EXPECT_EQ(file.calls, "header scan seek0 ");
    EXPECT_EQ(file.GetFrameCount(), 3u);
    EXPECT_EQ(GlobalTag(file), 7);
    file.Close();
    file.calls.clear();
    file.Open(kCvFileRead);  // a closed file reads its header again
    EXPECT_EQ(file.calls, "header scan seek0 ");
    file.Close();
}

TEST(CvImageFile, AFailedHeaderLeavesTheFileOpenForTheCallerToClose) {
    std::string path = MakeScratchDir("imagefile") + "/empty";
    std::ofstream(path, std::ios::binary).flush();
    LetterFile file;
    file.SetPath(path.c_str());
    EXPECT_EQ(ErrorOf([&] { file.Open(kCvFileRead); }), kCvErrFileEnd);
    EXPECT_TRUE(file.IsOpen());
    file.Close();
}
