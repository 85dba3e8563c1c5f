// The Open box as a person meets it: a real system box owned by the host window, answered from inside its loop by
// typing a path in a folder named outside the system's code page; the path comes back as UTF-8. The Save As box is
// answered in the whole session (HcSessionTest), where it adds the extension to the name typed.
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

// Loading a palette: the file picked reaches the readers (tested in cvcode2/) and names the palette, a failure
// shows the alert and still names it, and Cancel names nothing.
TEST(FileBoxTest, OpenLoadsAndNamesThePalettePickedAlertsAFailureAndCancelNamesNothing) {
    const BenchHostWindow host(400, 300);
    const std::string folder = MakeScratchDir("boxes") + "\\" + kGreekName + " " + kEmojiName;
    std::filesystem::create_directories(std::filesystem::u8path(folder));
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
        EXPECT_EQ(box.Texts(), L"Palette files");  // no read-only box
        EXPECT_EQ(box.Owner(), host.Handle());
        EXPECT_EQ(table ? table->GetCount() : 0u, pick.colours);
        EXPECT_EQ(name, pick.name);
        EXPECT_EQ(alert.Texts(), pick.alert);
    }
}

}  // namespace
