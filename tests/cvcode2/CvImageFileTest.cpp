#include "cvcode2/CvImageFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "tests/support/TestPaths.h"

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

int Tag(const CvImgFmtGlobalInfo* info) { return static_cast<const NamedInfo*>(info)->tag; }

}  // namespace

TEST(CvImageFile, HeaderGoesBeforeTheFirstFrameAndTheTrailerAfterTheLast) {
    std::string path = MakeScratchDir("imagefile") + "/frames";
    LetterFile file;
    file.SetPath(path.c_str());
    file.SetScreenSize(10, 20);
    file.SetGlobalInfo(new NamedInfo(5));
    file.SetFrameCount(2);
    file.Open(kCvFileWrite);
    EXPECT_EQ(file.calls, "");  // the global info set before Open is kept
    file.WriteFrame(nullptr, nullptr);
    EXPECT_EQ(file.GetLength(), 2u);
    file.WriteFrame(nullptr, nullptr);
    EXPECT_EQ(file.GetLength(), 4u);
    CvImgFmtGlobalInfo* copy = file.GetGlobalInfo();
    EXPECT_EQ(Tag(copy), 5);
    delete copy;
    file.Close();
    EXPECT_EQ(ReadFileBytes(path), "HFFT");
    EXPECT_EQ(file.calls, "reset ");
    EXPECT_EQ(file.GetFrameCount(), 0u);
    EXPECT_EQ(file.GetGlobalInfo(), nullptr);
    EXPECT_EQ(file.ScreenWidth(), 10u);
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
    CvImgFmtGlobalInfo* copy = file.GetGlobalInfo();
    EXPECT_EQ(Tag(copy), 7);
    delete copy;
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
    try {
        file.Open(kCvFileRead);
        FAIL() << "read a header from an empty file";
    } catch (const CvErrorCode& error) {
        EXPECT_EQ(error.code, kCvErrFileEnd);
    }
    EXPECT_TRUE(file.IsOpen());
    file.Close();
}
