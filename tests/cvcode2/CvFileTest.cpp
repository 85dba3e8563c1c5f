// The file layer: counting writes, open failures mapped from the system error, reads past the end, adopted
// handles, denied access and a full device; each failure keeps its code and the system detail.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFile.h"
#include "platform/PlatformFile.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestPaths.h"

TEST(CvFileCountOnly, CountsWritesWithoutAPathAndAllowsNothingElse) {
    CvFile file;
    file.Open(kCvFileWrite | kCvFileCountOnly);
    file.Write("abc", 3);
    file.WriteWord(7);
    file.WriteLong(7);
    file.Write(nullptr, 0);
    EXPECT_EQ(file.GetLength(), 9u);
    uint8_t byte;
    EXPECT_EQ(ErrorOf([&] { file.Read(&byte, 1); }), kCvErrFileWrongMode);
    file.Close();
    EXPECT_FALSE(file.IsOpen());

    file.Open(kCvFileWrite | kCvFileCountOnly);  // counting never reads the bytes
    file.Write(&byte, 0xFFFFFFF0u);
    EXPECT_EQ(ErrorOf([&] { file.Write(&byte, 0x10); }), kCvErrFileRange);
    EXPECT_EQ(file.GetLength(), 0xFFFFFFF0u);
}

TEST(CvFileOpen, OpenFailuresMapTheSystemError) {
    CvFile missing;
    missing.SetPath((MakeScratchDir("file") + "/missing").c_str());
    EXPECT_EQ(ErrorAndDetail([&] { missing.Open(kCvFileRead); }), CodeDetail(kCvErrFileNotFound, ENOENT));
    EXPECT_EQ(ErrorOf([&] { missing.Open(kCvFileRead | kCvFileCountOnly); }), kCvErrFileBadMode);
    EXPECT_EQ(ErrorOf([&] { missing.Open(0); }), kCvErrFileBadMode);
    EXPECT_EQ(ErrorOf([&] { missing.Open(kCvFileRead | kCvFileWrite); }), kCvErrFileNotFound);  // not created
    EXPECT_FALSE(missing.IsOpen());
    CvFile nameless;
    EXPECT_EQ(ErrorOf([&] { nameless.Open(kCvFileRead); }), kCvErrFileNoPath);
    EXPECT_EQ(ErrorOf([&] { nameless.Delete(); }), kCvErrFileNoPath);
    EXPECT_EQ(ErrorOf([&] { nameless.CreateEmpty(); }), kCvErrFileNoPath);
}

// Reading past the end fails only when nothing comes. An image file (here a GIF) whose header fails to read stays
// open, so the caller's Close still releases it. A handle the file adopts is read from and outlives Close unless the
// file owns it.
TEST(CvFileRead, PastTheEndOnlyNothingFailsAndAdoptedHandlesOutliveCloseUnlessOwned) {
    CvFile file;
    file.SetPath(WriteScratchFile("short", "xyz").c_str());
    file.Open(kCvFileRead);
    char buffer[10] = {};
    EXPECT_EQ(file.Read(buffer, 10), 3u);
    EXPECT_EQ(ErrorOf([&] { file.Read(buffer, 10); }), kCvErrFileEnd);
    file.Seek(0, 0);
    EXPECT_EQ(ErrorOf([&] { file.ReadLong(); }), kCvErrFileEnd);  // three bytes are not a whole long
    file.Close();
    CvGIFFile image;
    image.SetPath(WriteScratchFile("empty", "").c_str());
    EXPECT_EQ(ErrorOf([&] { image.Open(kCvFileRead); }), kCvErrFileEnd);
    EXPECT_TRUE(image.IsOpen());
    image.Close();
    int fd = Platform::FdOpen(WriteScratchFile("h", "hello").c_str(), Platform::FileAccess::Read);
    ASSERT_GE(fd, 0);
    {
        CvFile borrowed;
        borrowed.Open(kCvFileRead, false, fd);
        EXPECT_EQ(borrowed.ReadByte(), 'h');
        borrowed.Close();
    }
    char next = 0;
    EXPECT_EQ(Platform::FdRead(fd, &next, 1), 1);
    EXPECT_EQ(next, 'e');
    CvFile owner;
    owner.Open(kCvFileRead, true, fd);
    owner.Close();
#if !defined(_WIN32)                      // the Windows run-time treats a stale descriptor as a fatal misuse
    EXPECT_NE(Platform::FdClose(fd), 0);  // already closed by the owner
#endif
}

// Access is denied by a read-only folder (POSIX) or a read-only file (Windows); an administrator passes both.
TEST(CvFileOpen, DeniedAccessIsMappedInAndOutsideOpen) {
    namespace fs = std::filesystem;
    const std::string locked = MakeScratchDir("file") + "/locked";
    fs::create_directory(locked);
    std::ofstream(locked + "/old") << "x";
    fs::permissions(locked + "/old", fs::perms::owner_read);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    bool folderEnforced = !std::ofstream(locked + "/probe");
    bool fileEnforced = !std::ofstream(locked + "/old", std::ios::app);
    for (const char* name : {"/new", "/old"}) {
        if (!(name[1] == 'n' ? folderEnforced : fileEnforced)) continue;
        CvFile file;
        file.SetPath((locked + name).c_str());
        EXPECT_EQ(ErrorAndDetail([&] { file.Open(kCvFileWrite); }), CodeDetail(kCvErrFileAccessDenied, EACCES)) << name;
        EXPECT_EQ(ErrorOf([&] { file.CreateEmpty(); }), kCvErrFileBadMode) << name;  // EACCES outside Open
    }
    fs::permissions(locked, fs::perms::owner_all);
    fs::permissions(locked + "/old", fs::perms::owner_all);
    if (!folderEnforced && !fileEnforced) GTEST_SKIP() << "access rights are not enforced for this user";
}

#if defined(__linux__)
TEST(CvFileWrite, AFullDeviceIsReportedWithTheSystemError) {
    CvFile file;
    file.SetPath("/dev/full");
    file.Open(kCvFileWrite);
    EXPECT_EQ(ErrorAndDetail([&] { file.Write("x", 1); }), CodeDetail(kCvErrFileDiskFull, ENOSPC));
    file.Close();
}
#endif
