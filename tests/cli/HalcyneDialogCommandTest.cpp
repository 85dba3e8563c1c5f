// The command with the plug-in's dialogs: a person who cancels whatever window the run shows (the dialogs, or the
// Save As box that asks when no -o names the file) gets no file and an exit status and message that say so; one who
// goes on through the dialogs as they opened gets, in the file -o names, what the same flags write without them.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/RunProgram.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchCapture.h"

namespace fs = std::filesystem;
namespace {

constexpr int kExitCancelled = 3;
// The 3 x 2 picture of the readers' tests.
constexpr const char* kPicture = HC_TEST_DATA_DIR "/formats/rgb.ppm";

// A person who presses `button` on each visible top-level window of the process once it has been up for a moment
// (so it is painted), saving a screenshot of it first. Called while the process runs; counts the windows answered.
struct AnswerEveryWindow {
    int button;
    std::string shotName;
    uint32_t process = 0;
    std::map<HWND, int> sightings = {};
    int answered = 0;

    void operator()(uint32_t processId) {
        process = processId;
        EnumWindows(Answer, reinterpret_cast<LPARAM>(this));
    }
    static BOOL CALLBACK Answer(HWND window, LPARAM context) {
        auto& self = *reinterpret_cast<AnswerEveryWindow*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != self.process || !IsWindowVisible(window) || ++self.sightings[window] != 6) return TRUE;
        SaveScreenshot(CaptureClient(window), self.shotName + "-" + std::to_string(++self.answered));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(self.button, BN_CLICKED), 0);
        return TRUE;
    }
};

}  // namespace

TEST(HalcyneDialogCommand, CancellingWritesNothingAndGoingOnWritesWhatTheFlagsWrite) {
    const std::string dir = MakeScratchDir("dialog-command"), input = dir + "\\in.ppm", errors = dir + "\\errors.txt";
    fs::copy_file(kPicture, fs::u8path(input));
    ASSERT_EQ(RunBesideTests("halcyne.exe", {input, "-o", dir + "\\scripted.gif", "--colors", "4", "--no-prefs"}), 0);
    // Cancelled without -o (the Save As box would have named the file), then gone on through into out.gif.
    for (const std::string& output : {std::string(), dir + "\\out.gif"}) {
        const bool cancel = output.empty();
        AnswerEveryWindow person{cancel ? IDCANCEL : IDOK, cancel ? "dialog-command-cancel" : "dialog-command-next"};
        std::vector<std::string> arguments = {"--dialog", input, "--colors", "4", "--no-prefs"};
        if (!cancel) arguments.insert(arguments.end(), {"-o", output});
        EXPECT_EQ(RunBesideTests("halcyne.exe", arguments, std::ref(person), errors), cancel ? kExitCancelled : 0);
        EXPECT_GT(person.answered, 0) << "no window of the run was seen";
        if (cancel) {
            EXPECT_NE(ReadFileBytes(errors).find("cancelled; no file was written for " + input), std::string::npos)
                << ReadFileBytes(errors);
        }
    }
    EXPECT_FALSE(fs::exists(fs::u8path(dir + "\\in.gif")));
    EXPECT_EQ(ReadFileBytes(dir + "\\out.gif"), ReadFileBytes(dir + "\\scripted.gif"));
    fs::remove_all(fs::u8path(dir));
}
