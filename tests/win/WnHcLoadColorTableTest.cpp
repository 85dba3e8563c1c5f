// Loading a palette through the real Open box, answered from inside its loop: ACT and GIF files by their names in
// either case, a name of another kind, a file that fails with the alert answered by the test, and Cancel.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>

#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "win/WnHcLoadColorTable.h"

namespace {

std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// An ACT file of `colours` complete colours, colour i being (i, 2i, 255 - i).
std::string ActBytes(int colours) {
    std::string bytes;
    for (int i = 0; i < colours; ++i) bytes += {char(i), char(2 * i), char(255 - i)};
    return bytes;
}

// A 1 × 1 GIF with a global table of four colours: red, green, blue and a grey nobody uses.
std::string TinyGif() {
    // clang-format off
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x81, 0, 0,  // screen 1 × 1, global table of 4
        250, 0, 0, 0, 250, 0, 0, 0, 250, 90, 90, 90,           // the table
        ',', 0, 0, 0, 0, 1, 0, 1, 0, 0,                        // one image, no local table
        2, 2, 0x44, 0x01, 0,                                   // LZW: clear, index 0, end
        ';'};
    // clang-format on
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Generous: the first Open box of a fresh Wine prefix takes its time, and a watcher that gives up cancels every box.
constexpr std::chrono::milliseconds kBoxLimit(60000);

class WnHcLoadColorTableTest : public ::testing::Test {
protected:
    WnHcLoadColorTableTest() : host(320, 200), dir(MakeScratchDir("loadpal")) {}

    // Loads `path` through the box. `alertText` receives the alert's message when one is expected; the alert is
    // saved as a screenshot under `alertShot` when that is given.
    std::unique_ptr<CvColorTable> Load(const std::string& path, std::wstring* alertText = nullptr,
                                       const std::string& alertShot = "") {
        BenchAnswerFileBox box(L"Load Palette", path);
        std::wstring shownText;
        BenchOnModal alert(
            L"ALERT",
            [&](HWND alertBox) {
                shownText = StaticTexts(alertBox);
                if (!alertShot.empty()) SaveScreenshot(CaptureClient(alertBox), alertShot);
                PressDialogButton(alertBox, IDOK);
            },
            kBoxLimit);
        std::unique_ptr<CvColorTable> table = WnHcLoadColorTable(host.Handle(), &name);
        EXPECT_TRUE(box.Answered());
        EXPECT_EQ(box.Seen().filterName, L"Palette files");
        EXPECT_FALSE(box.Seen().readOnlyBoxShown);
        EXPECT_EQ(alert.Ran(), alertText != nullptr);
        if (alertText) *alertText = shownText;
        return table;
    }

    BenchHostWindow host;
    std::string dir;
    std::string name = "unchanged";
};

TEST_F(WnHcLoadColorTableTest, ActFilesLoadWhateverTheCaseOfTheirExtension) {
    std::unique_ptr<CvColorTable> ten = Load(WriteFile(dir + "\\ten.act", ActBytes(10)));
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(ten->GetCount(), 9u);
    uint8_t r, g, b;
    ten->GetEntry(8, r, g, b);
    EXPECT_EQ(r, 8);
    EXPECT_EQ(g, 16);
    EXPECT_EQ(b, 247);
    EXPECT_EQ(name, "ten.act");

    std::unique_ptr<CvColorTable> full = Load(WriteFile(dir + "\\Web Safe.ACT", ActBytes(256) + "tail"));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->GetCount(), 256u);
    EXPECT_EQ(name, "Web Safe.ACT");
}

TEST_F(WnHcLoadColorTableTest, GifFilesGiveTheirGlobalTableAsStored) {
    std::unique_ptr<CvColorTable> table = Load(WriteFile(dir + "\\tiny.Gif", TinyGif()));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 4u);
    uint8_t r, g, b;
    table->GetEntry(1, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 250);
    EXPECT_EQ(b, 0);
    table->GetEntry(3, r, g, b);
    EXPECT_EQ(r, 90);
    EXPECT_EQ(name, "tiny.Gif");
}

TEST_F(WnHcLoadColorTableTest, AFileThatCannotBeLoadedIsAlertedAndStillNamed) {
    std::wstring alertText;
    EXPECT_EQ(Load(WriteFile(dir + "\\broken.gif", "GIF is what this is not"), &alertText, "load-palette-alert"),
              nullptr);
    EXPECT_EQ(alertText, L"Could Not Load Palette");
    EXPECT_EQ(name, "broken.gif");

    EXPECT_EQ(Load(WriteFile(dir + "\\one.act", ActBytes(1) + "xy"), &alertText), nullptr);
    EXPECT_EQ(alertText, L"Could Not Load Palette");
    EXPECT_EQ(name, "one.act");
}

TEST_F(WnHcLoadColorTableTest, OtherNamesLoadNothingSilentlyAndCancelNamesNothing) {
    EXPECT_EQ(Load(WriteFile(dir + "\\colours.txt", ActBytes(256))), nullptr);
    EXPECT_EQ(name, "colours.txt");

    name = "unchanged";
    EXPECT_EQ(Load(""), nullptr);
    EXPECT_EQ(name, "unchanged");
}

}  // namespace
