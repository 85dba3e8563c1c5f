// The Save As and Open boxes as a person meets them: real system boxes, owned by the host window, answered by
// typing a name outside the system's code page and pressing the box's own button; the path comes back as UTF-8.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <dlgs.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/HcExport.h"
#include "cvcode2/CvFile.h"
#include "hostapi/FilterHost.h"
#include "platform/Platform.h"
#include "platform/Utf16.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WideNames.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"

namespace fs = std::filesystem;

namespace {

// Checks that the box is the host window's, with the one filter and no read-only box; then types `name` into its
// file-name field and presses its Save or Open button.
void CheckAndAnswer(HWND box, HWND owner, const std::wstring& filter, const std::string& name) {
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    const HWND filters = GetDlgItem(box, cmb1);
    EXPECT_EQ(SendMessageW(filters, CB_GETCOUNT, 0, 0), 1);
    std::wstring first(size_t(SendMessageW(filters, CB_GETLBTEXTLEN, 0, 0)) + 1, L'\0');
    first.resize(size_t(SendMessageW(filters, CB_GETLBTEXT, 0, LPARAM(first.data()))));
    EXPECT_EQ(first, filter);
    const HWND readOnly = GetDlgItem(box, chx1);
    EXPECT_FALSE(readOnly && IsWindowVisible(readOnly));
    HWND field = GetDlgItem(box, cmb13);
    if (!field) field = GetDlgItem(box, edt1);
    SetWindowTextW(field, Platform::Utf16FromUtf8(name)->c_str());
    PressDialogButton(box, IDOK);
}

struct FileBoxTest : ::testing::Test {
    BenchHostWindow host{400, 300};
    std::string folder = MakeScratchDir("boxes") + "\\" + kGreekName + " " + kEmojiName;
    void SetUp() override { fs::create_directories(fs::u8path(folder)); }
};

}  // namespace

TEST_F(FileBoxTest, SaveAsTakesANameOutsideTheCodePageAndAddsTheGifExtension) {
    PlatformData platform{intptr_t(host.Handle())};
    FilterRecord filter{};
    filter.platformData = &platform;
    HcCallRecord record{};
    record.filterRecord = &filter;
    record.selector = filterSelectorFinish;

    const std::string typed = folder + "\\" + kJapaneseName;
    BenchOnModal answer(L"Save As", [&](HWND box) { CheckAndAnswer(box, host.Handle(), L"GIF files", typed); });
    CvFileLocator chosen;
    ASSERT_TRUE(AskOutputFile(record, chosen));
    ASSERT_TRUE(answer.Ran());
    const std::string path = chosen.Path();
    EXPECT_EQ(path.substr(0, typed.size()), typed);
    std::string extension = path.substr(typed.size());
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(extension, ".gif");

    BenchAnswerBox cancel(L"Save As", IDCANCEL);
    CvFileLocator none;
    EXPECT_FALSE(AskOutputFile(record, none));
    EXPECT_TRUE(cancel.Answered());
    EXPECT_FALSE(none.HasPath());
}

// The name is typed with its extension: Wine's Open box ends the process when a name typed without one must exist.
TEST_F(FileBoxTest, OpenFindsAPaletteNamedOutsideTheCodePage) {
    const std::string palette = folder + "\\" + kJapaneseName + ".act";
    std::ofstream(fs::u8path(palette), std::ios::binary) << std::string(768, '\x7F');
    Platform::FileBoxRequest request;
    request.owner = intptr_t(host.Handle());
    request.title = "Load Palette";
    request.filter = "Palette files|*.ACT;*.GIF";
    request.suggestedName = "*.ACT;*.GIF";
    request.defaultExtension = "ACT";

    BenchOnModal answer(L"Load Palette",
                        [&](HWND box) { CheckAndAnswer(box, host.Handle(), L"Palette files", palette); });
    std::string path;
    ASSERT_TRUE(Platform::AskOpenPath(request, path));
    EXPECT_EQ(path, palette);

    BenchAnswerBox cancel(L"Load Palette", IDCANCEL);
    EXPECT_FALSE(Platform::AskOpenPath(request, path));
    EXPECT_TRUE(cancel.Answered());
}
