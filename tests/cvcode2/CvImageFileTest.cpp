// The image-file base class's reading protocol: a header that fails to read leaves the file open, so the
// caller's Close still releases it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvImageFile.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestPaths.h"

namespace {

struct NamedInfo : CvImgFmtGlobalInfo {
    void GetFormatName(char* buffer) const override { std::strcpy(buffer, "TEST"); }
    CvImgFmtGlobalInfo* Clone() const override { return new NamedInfo; }
};

// A format whose header is one byte; frames are never read or written here.
class OneByteHeaderFile : public CvImageFile {
public:
    void ScanFrames() override { frameCount = 1; }
    void ReadHeader() override {
        SetGlobalInfo(new NamedInfo);
        ReadByte();
    }
    void WriteHeader() override {}
    void WriteFrameData(CvIndexedImage*, CvImgFmtFrameInfo*) override {}
    void WriteTrailer() override {}
    void ResetFrames() override {}
    CvImgFmtFrameInfo* ReadFrameInfo() override { return nullptr; }
    CvIndexedImage* ReadFrameImage() override { return nullptr; }
    void SeekFrame(uint32_t n) override { currentFrame = n; }
    CvImgFmtGlobalInfo* NewGlobalInfo() override { return new NamedInfo; }
    CvImgFmtFrameInfo* NewFrameInfo(const CvIndexedImage*) override { return nullptr; }
};

}  // namespace

TEST(CvImageFile, AFailedHeaderLeavesTheFileOpenForTheCallerToClose) {
    std::string path = MakeScratchDir("imagefile") + "/empty";
    std::ofstream(path, std::ios::binary).flush();
    OneByteHeaderFile file;
    file.SetPath(path.c_str());
    EXPECT_EQ(ErrorOf([&] { file.Open(kCvFileRead); }), kCvErrFileEnd);
    EXPECT_TRUE(file.IsOpen());
    file.Close();
}
