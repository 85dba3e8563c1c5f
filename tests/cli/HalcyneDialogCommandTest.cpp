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

// Presses one button on each visible top-level window of the process once it has been up for a moment (so it is
// painted), saving a screenshot of it first; remembers the captions.
class AnswerEveryWindow {
public:
    AnswerEveryWindow(int button, const std::string& shotName) : button_(button), shotName_(shotName) {}
    void operator()(uint32_t processId) {
        process_ = processId;
        EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
    }
    const std::vector<std::string>& Captions() const { return captions_; }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        reinterpret_cast<AnswerEveryWindow*>(self)->Consider(window);
        return TRUE;
    }

    void Consider(HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != process_ || !IsWindowVisible(window) || ++sightings_[window] != 6) return;
        char caption[256] = {};
        GetWindowTextA(window, caption, sizeof caption);
        captions_.push_back(caption);
        SaveScreenshot(CaptureClient(window), shotName_ + "-" + std::to_string(captions_.size()));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
    }

    int button_;
    std::string shotName_;
    uint32_t process_ = 0;
    std::map<HWND, int> sightings_;
    std::vector<std::string> captions_;
};

}  // namespace

TEST(HalcyneDialogCommand, CancellingTheWindowsWritesNothingAndSaysSo) {
    const std::string dir = MakeScratchDir("dialog-command");
    fs::copy_file(kPicture, fs::u8path(dir + "\\in.ppm"));
    AnswerEveryWindow person(IDCANCEL, "dialog-command-cancel");
    const std::string errors = dir + "\\errors.txt";
    EXPECT_EQ(RunBesideTests("halcyne.exe", {"--dialog", dir + "\\in.ppm", "--colors", "16", "--no-prefs"},
                             std::ref(person), errors),
              kExitCancelled);
    EXPECT_FALSE(person.Captions().empty()) << "no window of the run was seen";
    EXPECT_FALSE(fs::exists(fs::u8path(dir + "\\in.gif")));
    EXPECT_NE(ReadFileBytes(errors).find("cancelled; no file was written for " + dir + "\\in.ppm"), std::string::npos)
        << ReadFileBytes(errors);
    fs::remove_all(fs::u8path(dir));
}

TEST(HalcyneDialogCommand, GoingOnThroughTheDialogsWritesWhatTheFlagsWriteWithoutThem) {
    const std::string dir = MakeScratchDir("dialog-command-on");
    const std::string input = dir + "\\in.ppm";
    fs::copy_file(kPicture, fs::u8path(input));
    ASSERT_EQ(RunBesideTests("halcyne.exe", {input, "-o", dir + "\\scripted.gif", "--colors", "4", "--no-prefs"}), 0);
    AnswerEveryWindow person(IDOK, "dialog-command-next");
    EXPECT_EQ(RunBesideTests("halcyne.exe", {"--dialog", input, "-o", dir + "\\out.gif", "--colors", "4", "--no-prefs"},
                             std::ref(person)),
              0);
    EXPECT_EQ(ReadFileBytes(dir + "\\out.gif"), ReadFileBytes(dir + "\\scripted.gif"));
    EXPECT_FALSE(person.Captions().empty()) << "no dialog was seen";
    fs::remove_all(fs::u8path(dir));
}
