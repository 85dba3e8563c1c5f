// Loading a palette through the real Open box, answered from inside its loop: the file picked reaches the readers
// (tested in cvcode2/) and names the palette, a failure shows the alert, and Cancel names nothing.
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

    // Loads `path` through the box. `alertText` receives the alert's message when one is expected.
    std::unique_ptr<CvColorTable> Load(const std::string& path, std::wstring* alertText = nullptr) {
        BenchAnswerFileBox box(L"Load Palette", path);
        std::wstring shownText;
        BenchOnModal alert(
            L"ALERT",
            [&](HWND alertBox) {
                shownText = StaticTexts(alertBox);
                SaveScreenshot(CaptureClient(alertBox), "load-palette-alert");
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

TEST_F(WnHcLoadColorTableTest, ThePickedFileIsLoadedAndNamedAndAFailureIsAlerted) {
    const struct {
        const char* name;
        std::string bytes;
        uint32_t colours;  // 0: nothing loaded
        bool alerted;
    } files[] = {
        {"ten.act", ActBytes(10), 9, false},  // a short table loses its last colour
        {"Web Safe.ACT", ActBytes(256) + "tail", 256, false},
        {"tiny.Gif", TinyGif(), 4, false},
        {"broken.gif", "GIF is what this is not", 0, true},
        {"colours.txt", ActBytes(256), 0, false},  // another kind: nothing, silently
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        std::wstring alertText;
        const std::unique_ptr<CvColorTable> table = Load(WriteFile(dir + "\\" + file.name, file.bytes),
                                                         file.alerted ? &alertText : nullptr);
        EXPECT_EQ(table ? table->GetCount() : 0u, file.colours);
        EXPECT_EQ(name, file.name);
        EXPECT_EQ(alertText, file.alerted ? L"Could Not Load Palette" : L"");
    }
    uint8_t r, g, b;
    Load(dir + "\\tiny.Gif")->GetEntry(1, r, g, b);
    EXPECT_EQ(BenchRgb(r, g, b), BenchRgb(0, 250, 0)) << "the GIF's table as stored";
    name = "unchanged";
    EXPECT_EQ(Load(""), nullptr);
    EXPECT_EQ(name, "unchanged");
}

}  // namespace
