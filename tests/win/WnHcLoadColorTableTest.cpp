// Loading a palette through the real Open box, answered from inside its loop: the file picked, in a folder named
// outside the system's code page, reaches the readers (tested in cvcode2/) and names the palette, a failure shows
// the alert and still names it, and Cancel names nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/TestPaths.h"
#include "tests/support/WideNames.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcLoadColorTable.h"

namespace {

TEST(WnHcLoadColorTableTest, ThePickedFileIsLoadedAndNamedAFailureIsAlertedAndCancelNamesNothing) {
    BenchHostWindow host(320, 200);
    const std::string dir = MakeScratchDir("loadpal") + "\\" + kGreekName + " " + kEmojiName;
    const auto file = [&](const char* name) { return std::ofstream(std::filesystem::u8path(dir + "\\" + name)); };
    std::filesystem::create_directories(std::filesystem::u8path(dir));
    file("Web Safe.ACT") << std::string(768, '\x40');
    file("broken.gif") << "GIF is what this is not";
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
        BenchAnswerBox box(L"Load Palette", pick.file ? dir + "\\" + pick.file : "");
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
