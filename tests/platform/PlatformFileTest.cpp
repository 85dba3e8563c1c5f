// The platform's file layer: folders made with their parents, the system's error numbers as the file codes, and
// names outside the system's code page reaching the files whole while stored names keep the code page.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "platform/Platform.h"
#include "platform/PlatformFile.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WideNames.h"

#if defined(_WIN32)
#include <windows.h>

#include "cvcode2/CvLoadPalette.h"
#include "platform/Utf16.h"
#endif

TEST(PlatformFile, MakeFolderPathMakesEveryMissingFolder) {
    const std::string base = MakeScratchDir("folders");
    const std::string deep = base + "/a/b/c";
    EXPECT_EQ(Platform::MakeFolderPath(deep.c_str()), 0);
    EXPECT_EQ(Platform::MakeFolderPath(deep.c_str()), EEXIST);
}

#if defined(_WIN32)
// The Windows build meets the same conditions under the system's own numbers; through the same C library numbers
// the file layer must see the codes the native build sees (a full disk is 22, never the file-exists code).
TEST(PlatformFileWindows, SystemErrorsBecomeTheNativeCodes) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {112, kCvErrFileDiskFull},    // ERROR_DISK_FULL
        {39, kCvErrFileDiskFull},     // ERROR_HANDLE_DISK_FULL
        {2, kCvErrFileNotFound},      // ERROR_FILE_NOT_FOUND
        {3, kCvErrFileNotFound},      // ERROR_PATH_NOT_FOUND
        {5, kCvErrFileBadMode},       // ERROR_ACCESS_DENIED
        {32, kCvErrFileBadMode},      // ERROR_SHARING_VIOLATION
        {4, kCvErrFileTooMany},       // ERROR_TOO_MANY_OPEN_FILES
        {17, kCvErrFileCrossDevice},  // ERROR_NOT_SAME_DEVICE
        {6, kCvErrFileIo},            // ERROR_INVALID_HANDLE
        {80, kCvErrFileExists},       // ERROR_FILE_EXISTS
        {8, 2},                       // ERROR_NOT_ENOUGH_MEMORY: out of memory
    };
    for (const auto& [windowsError, code] : cases)
        EXPECT_EQ(CvFileErrorForSystemError(Platform::ErrnoForWindowsError(windowsError)), code) << windowsError;
    EXPECT_EQ(Platform::ErrnoForWindowsError(0x7777), 0);
}

// Names no single-byte code page holds; the emoji is a surrogate pair in UTF-16.
const std::string kWideNames[] = {kGreekName, kJapaneseName, kEmojiName + " art"};

// The name the system holds, read back through the wide API: the UTF-8 path reached the file whole.
bool SystemHasFile(const std::string& utf8Path) {
    const std::optional<std::wstring> wide = Platform::Utf16FromUtf8(utf8Path);
    return wide && GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(PlatformFileWindows, FilesAndFoldersNamedOutsideTheCodePageAreReachedByTheirRealNames) {
    const std::string base = MakeScratchDir("wide");
    for (const std::string& name : kWideNames) {
        const std::string folder = base + "\\" + name + "\\" + name;
        EXPECT_EQ(Platform::MakeFolderPath(folder.c_str()), 0) << name;
        const std::string path = folder + "\\" + name + ".act";
        CvFile file(CvFileLocator(path.c_str()));
        file.Open(kCvFileWrite);
        for (int i = 0; i < 10; ++i) file.Write("\x01\x02\x03", 3);
        file.Close();
        ASSERT_TRUE(SystemHasFile(path)) << name;
        EXPECT_EQ(LoadACT(path)->GetCount(), 9u) << name;  // buffered reading reaches it too

        const std::string moved = folder + "\\" + name + " 2.act";
        EXPECT_EQ(Platform::RenameReplacing(path.c_str(), moved.c_str()), 0) << name;
        EXPECT_TRUE(SystemHasFile(moved) && !SystemHasFile(path)) << name;
        EXPECT_EQ(Platform::FileRemove(moved.c_str()), 0) << name;
        EXPECT_EQ(Platform::FolderRemove(folder.c_str()), 0) << name;
        EXPECT_FALSE(SystemHasFile(folder)) << name;
    }
}

TEST(PlatformFileWindows, ANameThatIsNotUtf8IsAnErrorNotAGuess) {
    const std::string bad = MakeScratchDir("bad") + "\\caf\xE9.gif";  // a code-page byte, not UTF-8
    errno = 0;
    EXPECT_EQ(Platform::FdOpen(bad.c_str(), Platform::FileAccess::WriteCreate), -1);
    EXPECT_EQ(errno, EINVAL);
    CvFile file(CvFileLocator(bad.c_str()));
    EXPECT_EQ(ErrorOf([&] { file.Open(kCvFileWrite); }), kCvErrFileWrongMode);  // EINVAL in Open
    EXPECT_EQ(ErrorOf([&] { file.CreateEmpty(); }), 21u);                       // EINVAL outside Open
    EXPECT_EQ(file.Delete(), -1);
    EXPECT_EQ(Platform::MakeFolder(bad.c_str()), EINVAL);
    EXPECT_EQ(Platform::RenameReplacing(bad.c_str(), "x"), EINVAL);
    EXPECT_EQ(Platform::FileOpenForReading(bad.c_str()), nullptr);
}

TEST(PlatformTextWindows, Utf8AndUtf16RoundTripAndBrokenTextIsRefused) {
    const std::string emoji = "\xF0\x9F\x8E\xA8";
    EXPECT_EQ(Platform::Utf16FromUtf8(emoji), std::wstring(L"\xD83C\xDFA8"));
    EXPECT_EQ(Platform::Utf8FromUtf16(L"\xD83C\xDFA8"), emoji);
    EXPECT_EQ(Platform::Utf16FromUtf8(""), std::wstring());
    for (const std::string broken : {"\xE9", "\xF0\x9F\x8E",
                                     "a\xC0\xAF"
                                     "b"})
        EXPECT_FALSE(Platform::Utf16FromUtf8(broken)) << broken;
    EXPECT_FALSE(Platform::Utf8FromUtf16(L"a\xD83C"));  // a lone surrogate
}

// Stored names keep the byte format the preferences file always had: one byte a character in the code page.
TEST(PlatformTextWindows, StoredNamesTakeTheSystemCodePage) {
    EXPECT_EQ(Platform::StoredText("Netscape 2.act"), "Netscape 2.act");
    EXPECT_EQ(Platform::StoredText("caf\xE9"), "caf\xE9");  // already code-page bytes: kept
    if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
    EXPECT_EQ(Platform::StoredText("Caf\xC3\xA9.act"), "Caf\xE9.act");
    const std::string greek = Platform::StoredText(kWideNames[0]);
    EXPECT_EQ(greek.size(), 6u);
    EXPECT_EQ(Platform::StoredText(kWideNames[1]), "????");
}
#endif
