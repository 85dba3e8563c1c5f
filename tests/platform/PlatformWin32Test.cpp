// The Save As box as a person meets it: the real system box, owned by the host window, answered by typing a name
// outside the system's code page and pressing the box's own button; the path comes back as UTF-8.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "common/HcExport.h"
#include "cvcode2/CvFile.h"
#include "hostapi/FilterHost.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WideNames.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"

namespace {

// The Open box, and a name the box reads back in UTF-8, are WnHcLoadColorTableTest's.
TEST(FileBoxTest, SaveAsTakesANameOutsideTheCodePageAndAddsTheGifExtensionOrIsCancelled) {
    BenchHostWindow host(400, 300);
    const std::string folder = MakeScratchDir("boxes") + "\\" + kGreekName + " " + kEmojiName;
    std::filesystem::create_directories(std::filesystem::u8path(folder));
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

}  // namespace
