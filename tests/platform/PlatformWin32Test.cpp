// The Save As and Open boxes as a person meets them: real system boxes owned by the host window, answered from
// inside their loops by typing a path in a folder named outside the system's code page; the path comes back as UTF-8.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/HcExport.h"
#include "cvcode2/CvFile.h"
#include "hostapi/FilterHost.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WideNames.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcLoadColorTable.h"

namespace {

struct FileBoxTest : ::testing::Test {
    FileBoxTest() { std::filesystem::create_directories(std::filesystem::u8path(folder)); }

    BenchHostWindow host{400, 300};
    const std::string folder = MakeScratchDir("boxes") + "\\" + kGreekName + " " + kEmojiName;
};

TEST_F(FileBoxTest, SaveAsTakesANameOutsideTheCodePageAndAddsTheGifExtensionOrIsCancelled) {
    PlatformData platform{intptr_t(host.Handle())};
    FilterRecord filter{};
    filter.platformData = &platform;
    HcCallRecord record{};
    record.filterRecord = &filter;
    record.selector = filterSelectorFinish;
    for (const std::string& typed : {folder + "\\" + kJapaneseName, std::string()}) {  // empty: Cancel
        BenchAnswerBox answer(L"Save As", typed);
        CvFileLocator chosen;
        EXPECT_EQ(AskOutputFile(record, chosen), !typed.empty());
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(answer.Texts(), L"GIF files");  // the one filter, no read-only box
        EXPECT_EQ(answer.Owner(), host.Handle());
        const std::string path = chosen.HasPath() ? chosen.Path() : "", expected = typed.empty() ? "" : typed + ".gif";
        EXPECT_EQ(_stricmp(path.c_str(), expected.c_str()), 0) << path;  // the extension in either case
    }
}

// Loading a palette: the file picked reaches the readers (tested in cvcode2/) and names the palette, a failure
// shows the alert and still names it, and Cancel names nothing.
TEST_F(FileBoxTest, OpenLoadsAndNamesThePalettePickedAlertsAFailureAndCancelNamesNothing) {
    std::ofstream(std::filesystem::u8path(folder + "\\Web Safe.ACT")) << std::string(768, '\x40');
    std::ofstream(std::filesystem::u8path(folder + "\\broken.gif")) << "GIF is what this is not";
    const struct {
        const char* file;  // nullptr: the box is cancelled
        uint32_t colours;  // 0: nothing loaded
        const char* name;
        const wchar_t* alert;
    } picks[] = {
        {"Web Safe.ACT", 256, "Web Safe.ACT", L""},
        {"broken.gif", 0, "broken.gif", L"Could Not Load Palette"},  // named even though it failed
        {nullptr, 0, "unchanged", L""},
    };
    for (const auto& pick : picks) {
        SCOPED_TRACE(pick.name);
        std::string name = "unchanged";
        BenchAnswerBox box(L"Load Palette", pick.file ? folder + "\\" + pick.file : "");
        BenchAnswerBox alert(L"ALERT", IDOK);
        const std::unique_ptr<CvColorTable> table = WnHcLoadColorTable(host.Handle(), &name);
        EXPECT_TRUE(box.Answered());
        EXPECT_EQ(box.Texts(), L"Palette files");  // no read-only box
        EXPECT_EQ(box.Owner(), host.Handle());
        EXPECT_EQ(table ? table->GetCount() : 0u, pick.colours);
        EXPECT_EQ(name, pick.name);
        EXPECT_EQ(alert.Texts(), pick.alert);
    }
}

}  // namespace
