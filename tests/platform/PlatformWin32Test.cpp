// The Open box as a person meets it: a real system box answered from inside its loop. What it offers, its owner and
// a path named outside the system's code page are met in the quantization dialog's walk (WnHcQuantDlgTest); the Save
// As box in the whole session (HcSessionTest). Here what the dialog cannot show: the name a palette that fails to
// load still gives, and that Cancel gives none.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcLoadColorTable.h"

namespace {

// A file that fails to load shows the system's alert and still names the palette; Cancel names nothing and says
// nothing.
TEST(FileBoxTest, AFailedLoadIsAlertedAndStillNamedAndCancelNamesNothing) {
    const BenchHostWindow host(400, 300);
    const std::string broken = MakeScratchDir("boxes") + "\\broken.gif";
    std::ofstream(broken) << "GIF is what this is not";
    for (const bool cancel : {false, true}) {
        std::string name = "unchanged";
        BenchAnswerBox box(L"Load Palette", cancel ? "" : broken);
        BenchAnswerBox alert(L"ALERT", IDOK);
        EXPECT_EQ(WnHcLoadColorTable(host.Handle(), &name), nullptr);
        EXPECT_EQ(name, cancel ? "unchanged" : "broken.gif");
        EXPECT_EQ(alert.Texts(), cancel ? L"" : L"Could Not Load Palette");
    }
}

}  // namespace
