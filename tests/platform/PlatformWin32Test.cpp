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
#include <utility>

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

// What the box showed when the test answered it.
struct BoxSeen {
    std::wstring title;
    std::wstring firstFilter;
    int filterCount = 0;
    bool readOnlyShown = true;
    HWND owner = nullptr;
};

std::wstring TextOf(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// Notes what the box shows, types `name` into its file-name field and presses its Save or Open button.
void TypeAndAccept(HWND box, const std::string& name, BoxSeen& seen) {
    seen.title = TextOf(box);
    seen.owner = GetWindow(box, GW_OWNER);
    const HWND filters = GetDlgItem(box, cmb1);
    seen.filterCount = int(SendMessageW(filters, CB_GETCOUNT, 0, 0));
    seen.firstFilter.resize(size_t(SendMessageW(filters, CB_GETLBTEXTLEN, 0, 0)) + 1);
    seen.firstFilter.resize(size_t(SendMessageW(filters, CB_GETLBTEXT, 0, LPARAM(seen.firstFilter.data()))));
    const HWND readOnly = GetDlgItem(box, chx1);
    seen.readOnlyShown = readOnly && IsWindowVisible(readOnly);
    HWND field = GetDlgItem(box, cmb13);
    if (!field) field = GetDlgItem(box, edt1);
    SetWindowTextW(field, Platform::Utf16FromUtf8(name)->c_str());
    PressDialogButton(box, IDOK);
}

struct FileBoxTest : ::testing::Test {
    // The box had the caption, the one filter, no read-only box and the host window as its owner.
    void ExpectBox(const BoxSeen& seen, const std::wstring& title, const std::wstring& filter) const {
        EXPECT_EQ(seen.title, title);
        EXPECT_EQ(seen.owner, host.Handle());
        EXPECT_EQ(std::pair(seen.filterCount, seen.firstFilter), std::pair(1, filter));
        EXPECT_FALSE(seen.readOnlyShown);
    }
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

    BoxSeen seen;
    const std::string typed = folder + "\\" + kJapaneseName;
    BenchOnModal answer(L"Save As", [&](HWND box) { TypeAndAccept(box, typed, seen); });
    CvFileLocator chosen;
    ASSERT_TRUE(AskOutputFile(record, chosen));
    ASSERT_TRUE(answer.Ran());
    ExpectBox(seen, L"Save As", L"GIF files");
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

    BoxSeen seen;
    BenchOnModal answer(L"Load Palette", [&](HWND box) { TypeAndAccept(box, palette, seen); });
    std::string path;
    ASSERT_TRUE(Platform::AskOpenPath(request, path));
    ExpectBox(seen, L"Load Palette", L"Palette files");
    EXPECT_EQ(path, palette);

    BenchAnswerBox cancel(L"Load Palette", IDCANCEL);
    EXPECT_FALSE(Platform::AskOpenPath(request, path));
    EXPECT_TRUE(cancel.Answered());
}
