// The halcyne command end to end: real images in, GIF files that independent readers accept out,
// and bad input refused with a message, an exit status and no output file touched.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/GifInspect.h"
#include "tests/support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

struct CommandResult {
    int status;
    std::string output;  // standard error and standard output together
};

// Runs the command with its own configuration folder, so the user's preferences are never touched.
CommandResult Halcyne(const std::string& arguments, const std::string& configFolder) {
    std::string command =
        "XDG_CONFIG_HOME='" + configFolder + "' '" + ExecutableDir() + "/halcyne' " + arguments + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
    int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Data(const std::string& name) {
    return std::string(HC_TEST_DATA_DIR) + "/" + name;
}

struct CommandFixture : ::testing::Test {
    std::string dir = MakeScratchDir("halcyne-command");
    std::string config = dir + "/config";
    void SetUp() override { fs::create_directories(config); }
};

}  // namespace

TEST_F(CommandFixture, EveryInputKindBecomesAGifThatIndependentReadersAgreeOn) {
    struct Case {
        const char* input;
        const char* flags;
        bool transparent;  // inputs with alpha default to alpha transparency, others to none, unless chosen
    } cases[] = {
        {"astronaut.png", "--colors 64 --dither 5", false},
        {"chelsea-alpha.png", "--colors 32 --interlace --comment hello", true},
        {"camera.png", "--colors 16", false},
        {"rocket.jpg", "--colors 256 --dither 10", false},
        {"formats/rgba16.png", "", true},
        {"formats/palette-trns.png", "--transparency none", false},
        {"formats/rgb.ppm", "--colors 2", false},
        {"chelsea-alpha.png", "--palette Fine --colors 64 --dither 5", true},
        {"rocket.jpg", "--palette Fine --dither 0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::string output = dir + "/" + fs::path(c.input).stem().string() + ".gif";
        CommandResult result = Halcyne("'" + Data(c.input) + "' -o '" + output + "' " + c.flags, config);
        ASSERT_EQ(result.status, 0) << result.output;
        GifReading giflib = ReadWithGiflib(output);
        GifReading pillow = ReadWithPillow(output);
        EXPECT_EQ(giflib.indices, pillow.indices);
        EXPECT_EQ(giflib.transparentIndex, pillow.transparentIndex);
        EXPECT_EQ(giflib.transparentIndex >= 0, c.transparent);
        EXPECT_EQ(ReadRgbaWithImageMagick(output), ExpectedRgba(giflib));
    }
}

TEST_F(CommandFixture, BadInputIsRefusedAndLeavesTheOutputAlone) {
    std::string output = dir + "/kept.gif";
    { std::ofstream(output) << "old"; }
    struct Case {
        std::string arguments;
        int status;
        const char* phrase;
    } cases[] = {
        {"'" + dir + "/missing.png'", 1, "cannot open"},
        {"'" + Data("formats/notanimage.txt") + "'", 1, "not a PNG, JPEG"},
        {"'" + Data("formats/truncated.png") + "'", 1, "not a readable PNG"},
        {"'" + Data("formats/truncated.jpg") + "'", 1, "not a readable JPEG"},
        {"'" + Data("camera.png") + "' --colors 300", 2, "2 to 256"},
        {"'" + Data("camera.png") + "' --dither 11", 2, "0 to 10"},
        {"'" + Data("camera.png") + "' --palette Nowhere", 1, "unknown palette"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        CommandResult result = Halcyne(c.arguments + " -o '" + output + "'", config);
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.output.find(c.phrase), std::string::npos) << result.output;
        EXPECT_EQ(ReadFileBytes(output), "old");
    }
    CommandResult unwritable = Halcyne("'" + Data("camera.png") + "' -o '" + dir + "/no/such/folder/x.gif'", config);
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.output.find("does not exist"), std::string::npos) << unwritable.output;
    EXPECT_FALSE(fs::exists(dir + "/no"));
}

TEST_F(CommandFixture, WindowsCommandWritesTheSameBytes) {
    const char* windowsBin = std::getenv("HALCYNE_WIN64_BIN");
    if (!windowsBin) GTEST_SKIP() << "HALCYNE_WIN64_BIN names no Windows build";
    std::string input = dir + "/chelsea.pam";
    ASSERT_EQ(std::system(("convert '" + Data("chelsea-alpha.png") + "' '" + input + "'").c_str()), 0);
    const std::string flags = " --colors 48 --dither 7 --interlace --comment same --no-prefs";
    CommandResult native = Halcyne("'" + input + "' -o '" + dir + "/native.gif'" + flags, config);
    ASSERT_EQ(native.status, 0) << native.output;
    std::string command = "'" HC_TEST_DATA_DIR "/../../scripts/wine-run.sh' '" + std::string(windowsBin) +
                          "/halcyne.exe' '" + input + "' -o '" + dir + "/windows.gif'" + flags + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFileBytes(dir + "/windows.gif"), ReadFileBytes(dir + "/native.gif"));
}
