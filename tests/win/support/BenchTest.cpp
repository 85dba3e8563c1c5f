// The bench's own footing: windows report the resolution the bench was started at, and a module dialog shown over
// the host window is found and answered from inside its modal loop.
#include <gtest/gtest.h>

#include "common/HcUI.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/WnDpi.h"

namespace {

TEST(BenchDpi, WindowsReportTheDpiTheBenchStartedWith) {
    BenchHostWindow host(200, 100);
    EXPECT_EQ(WnWindowDpi(host.Handle()), BenchExpectedDpi());
    EXPECT_EQ(WnScaleForDpi(100, 96), 100);
    EXPECT_EQ(WnScaleForDpi(100, 144), 150);
    EXPECT_EQ(WnScaleForDpi(7, 120), 9);  // 8.75 rounds up

    BenchAnswerBox about(L"About Halcyne", IDOK);
    BenchModule();
    ShowAboutBox(reinterpret_cast<intptr_t>(host.Handle()));
    EXPECT_TRUE(about.Answered());
    EXPECT_NE(about.Texts().find(L"Halcyne"), std::wstring::npos);
}

}  // namespace
