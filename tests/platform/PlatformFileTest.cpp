#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "cvcode2/CvFile.h"
#include "platform/PlatformFile.h"
#include "tests/support/TestPaths.h"

TEST(PlatformFile, MakeFolderPathMakesEveryMissingFolder) {
    const std::string base = MakeScratchDir("folders");
    const std::string deep = base + "/a/b/c";
    EXPECT_EQ(Platform::MakeFolderPath(deep.c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_EQ(Platform::MakeFolderPath(deep.c_str()), EEXIST);
}

#if defined(_WIN32)
// The Windows build meets the same conditions under the system's own numbers; the file layer must see the
// codes the native build sees (a full disk is 22, never the file-exists code).
TEST(PlatformFileWindows, SystemErrorsBecomeTheNativeCodes) {
    struct Case {
        uint32_t windowsError;
        int errnoValue;
        uint32_t code;
    } cases[] = {
        {112, ENOSPC, kCvErrFileDiskFull},   // ERROR_DISK_FULL
        {39, ENOSPC, kCvErrFileDiskFull},    // ERROR_HANDLE_DISK_FULL
        {2, ENOENT, kCvErrFileNotFound},     // ERROR_FILE_NOT_FOUND
        {3, ENOENT, kCvErrFileNotFound},     // ERROR_PATH_NOT_FOUND
        {5, EACCES, kCvErrFileBadMode},      // ERROR_ACCESS_DENIED
        {32, EACCES, kCvErrFileBadMode},     // ERROR_SHARING_VIOLATION
        {4, EMFILE, kCvErrFileTooMany},      // ERROR_TOO_MANY_OPEN_FILES
        {17, EXDEV, kCvErrFileCrossDevice},  // ERROR_NOT_SAME_DEVICE
        {6, EBADF, kCvErrFileIo},            // ERROR_INVALID_HANDLE
        {80, EEXIST, kCvErrFileExists},      // ERROR_FILE_EXISTS
        {8, ENOMEM, 2},                      // ERROR_NOT_ENOUGH_MEMORY
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Platform::ErrnoForWindowsError(c.windowsError), c.errnoValue) << c.windowsError;
        EXPECT_EQ(CvFileErrorForSystemError(Platform::ErrnoForWindowsError(c.windowsError)), c.code) << c.windowsError;
    }
    EXPECT_EQ(Platform::ErrnoForWindowsError(0x7777), 0);
}
#endif
