// The halcyne command end to end: real images in, GIF files that independent readers accept out,
// and bad input refused with a message, an exit status and no output file touched.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/GifInspect.h"
#include "tests/support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

struct CommandResult {
    int status;
    std::string output;  // standard error and standard output together
};

// The command line with its own configuration folder, so the user's preferences are never touched.
std::string HalcyneLine(const std::string& arguments, const std::string& configFolder) {
    return "XDG_CONFIG_HOME='" + configFolder + "' '" + ExecutableDir() + "/halcyne' " + arguments;
}

// Runs a shell command; its standard error (and standard output, unless redirected) is collected.
CommandResult Shell(const std::string& line) {
    std::string command = "(" + line + ") 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
    int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

CommandResult Halcyne(const std::string& arguments, const std::string& configFolder) {
    return Shell(HalcyneLine(arguments, configFolder));
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

// `path` cut after `length` bytes.
std::string Cut(const std::string& path, uintmax_t length) {
    fs::resize_file(path, length);
    return path;
}

// The photograph with alpha (or without) in another format, made by ImageMagick in `folder`.
std::string Converted(const std::string& folder, const std::string& png, const std::string& extension) {
    fs::create_directories(folder);
    const std::string path = folder + "/" + fs::path(png).stem().string() + "." + extension;
    EXPECT_EQ(std::system(("convert '" + Data(png) + "' '" + path + "'").c_str()), 0) << path;
    return path;
}

TEST_F(CommandFixture, EveryInputKindBecomesAGifThatIndependentReadersAgreeOn) {
    struct Case {
        std::string input;
        const char* flags;
        bool transparent;  // inputs with alpha default to alpha transparency, others to none, unless chosen
    } cases[] = {
        {Data("astronaut.png"), "--colors 64 --dither 5", false},
        {Data("chelsea-alpha.png"), "--colors 32 --interlace --comment hello", true},
        {Data("camera.png"), "--colors 16", false},
        {Data("rocket.jpg"), "--colors 256 --dither 10", false},
        {Data("formats/rgba16.png"), "", true},
        {Data("formats/palette-trns.png"), "--transparency none", false},
        {Data("formats/rgb.ppm"), "--colors 2", false},
        {Data("chelsea-alpha.png"), "--palette Custom --colors 64 --dither 5", true},
        {Data("rocket.jpg"), "--palette Custom --dither 0", false},
        {Converted(dir + "/in", "chelsea-alpha.png", "gif"), "--colors 64", true},
        {Converted(dir + "/in", "chelsea-alpha.png", "webp"), "--dither 5", true},
        {Converted(dir + "/in", "chelsea-alpha.png", "tif"), "", true},
        {Converted(dir + "/in", "chelsea.png", "bmp"), "--colors 32", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::string output = dir + "/" + fs::path(c.input).stem().string() + ".gif";
        CommandResult result = Halcyne("'" + c.input + "' -o '" + output + "' " + c.flags, config);
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
    fs::copy_file(Data("formats/notanimage.txt"), dir + "/text.gif");
    struct Case {
        std::string arguments;
        int status;
        std::string phrase;
    } cases[] = {
        {"'" + dir + "/missing.png'", 1, "missing.png: cannot open the file: there is no such file"},
        {"'" + Data("formats/huge.ppm") + "'", 1, "the largest that can be converted is 32767 x 32767"},
        {"'" + Data("camera.png") + "' --palette-file '" + dir + "/text.gif'", 1,
         "cannot read " + dir + "/text.gif: it is not a GIF or ACT palette file"},
        {"'" + Data("formats/notanimage.txt") + "'", 1, "not a PNG, JPEG"},
        {"'" + Data("formats/truncated.png") + "'", 1, "not a readable PNG"},
        {"'" + Data("formats/truncated.jpg") + "'", 1, "not a readable JPEG"},
        {"'" + Cut(Converted(dir, "chelsea-alpha.png", "gif"), 200) + "'", 1, "not a readable GIF"},
        {"'" + Cut(Converted(dir, "chelsea-alpha.png", "webp"), 200) + "'", 1, "not a readable WebP"},
        {"'" + Cut(Converted(dir, "chelsea-alpha.png", "tif"), 200) + "'", 1, "not a readable TIFF"},
        {"'" + Cut(Converted(dir, "chelsea.png", "bmp"), 200) + "'", 1, "not a readable BMP"},
        {"'" + dir + "'", 1, "it is a folder, not an image"},
        {"'" + Data("camera.png") + "' --colors 300", 2, "2 to 256"},
        {"'" + Data("camera.png") + "' --dither 11", 2, "0 to 10"},
        {"'" + Data("camera.png") + "' --palette Nowhere", 1, "unknown palette"},
        {"'" + Data("camera.png") + "' --dialog", 2, "run it as 'scripts/halcyne --dialog ...'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        CommandResult result = Halcyne(c.arguments + " -o '" + output + "'", config);
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.output.find(c.phrase), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find("No file was written") != std::string::npos, c.status == 1) << result.output;
        EXPECT_EQ(ReadFileBytes(output), "old");
    }
    CommandResult unwritable = Halcyne("'" + Data("camera.png") + "' -o '" + dir + "/no/such/folder/x.gif'", config);
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.output.find("does not exist"), std::string::npos) << unwritable.output;
    EXPECT_FALSE(fs::exists(dir + "/no"));
}

namespace {

// The colours and level a --max-size run printed for `input`, or {0, 0}.
std::pair<int, int> ChosenSettings(const std::string& output, const std::string& input) {
    const size_t at = output.find("halcyne: " + input + ": ");
    int colors = 0, lossy = 0;
    if (at == std::string::npos ||
        std::sscanf(output.c_str() + at + 11 + input.size(), "%d colours, lossy %d", &colors, &lossy) != 2)
        return {0, 0};
    return {colors, lossy};
}

}  // namespace

// --max-size writes the file the settings it prints write, within the size, the fewest changes from the flags first.
TEST_F(CommandFixture, MaxSizeWritesTheBestFileThatFits) {
    // A small picture: the search makes up to 18 files.
    const std::string input = dir + "/chelsea.png";
    ASSERT_EQ(std::system(("convert '" + Data("chelsea.png") + "' -resize 200x133 '" + input + "'").c_str()), 0);
    const auto size = [&](const std::string& flags) {
        const std::string path = dir + "/probe.gif";
        EXPECT_EQ(Halcyne("'" + input + "' -o '" + path + "' -q " + flags, config).status, 0);
        return fs::file_size(path);
    };
    const uintmax_t plain = size(""), strongest = size("--lossy 100"), twoColours = size("--colors 2 --lossy 100");
    struct Case {
        const char* name;
        uintmax_t target;
        bool fewerColours, lossy;
    } cases[] = {
        {"fits at once", plain, false, false},
        {"needs a lossy level", (plain + strongest) / 2, false, true},
        {"needs fewer colours", strongest * 3 / 4, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = dir + "/fit.gif";
        CommandResult fit =
            Halcyne("'" + input + "' -o '" + output + "' --max-size " + std::to_string(c.target), config);
        ASSERT_EQ(fit.status, 0) << fit.output;
        EXPECT_LE(fs::file_size(output), c.target);
        const auto [colors, lossy] = ChosenSettings(fit.output, input);
        EXPECT_EQ(colors < 256, c.fewerColours) << fit.output;
        EXPECT_EQ(lossy > 0, c.lossy) << fit.output;
        EXPECT_NE(
            fit.output.find(std::to_string(fs::file_size(output)) + " bytes (at most " + std::to_string(c.target)),
            std::string::npos)
            << fit.output;
        // What it printed makes the same file; one level less, or one colour more, would not fit.
        EXPECT_EQ(size("--colors " + std::to_string(colors) + " --lossy " + std::to_string(lossy)),
                  fs::file_size(output));
        EXPECT_EQ(ReadFileBytes(dir + "/probe.gif"), ReadFileBytes(output));
        const auto with = [](int n, int level) {
            return "--colors " + std::to_string(n) + " --lossy " + std::to_string(level);
        };
        if (lossy > 0) {
            EXPECT_GT(size(with(colors, lossy - 1)), c.target);
        }
        if (colors < 256) {
            EXPECT_GT(size(with(colors + 1, 100)), c.target);
        }
    }

    // Too small even for two colours at the strongest level: nothing written, and the smallest size told.
    const std::string kept = dir + "/kept.gif";
    { std::ofstream(kept) << "old"; }
    CommandResult tooSmall = Halcyne("'" + input + "' -o '" + kept + "' --max-size 1K", config);
    EXPECT_EQ(tooSmall.status, 1);
    EXPECT_NE(tooSmall.output.find("within 1024 bytes: the smallest, with 2 colours at lossy 100, has " +
                                   std::to_string(twoColours) + " bytes"),
              std::string::npos)
        << tooSmall.output;
    EXPECT_EQ(ReadFileBytes(kept), "old");
    EXPECT_EQ(Halcyne("'" + input + "' -o '" + kept + "' --max-size 1k2", config).status, 2);

    // Several inputs: each gets the target on its own; -q keeps the choices quiet.
    fs::create_directories(dir + "/several");
    const std::string alpha = dir + "/chelsea-alpha.png", target = std::to_string(strongest * 3 / 4);
    ASSERT_EQ(std::system(("convert '" + Data("chelsea-alpha.png") + "' -resize 200x133 '" + alpha + "'").c_str()), 0);
    CommandResult several =
        Halcyne("'" + input + "' '" + alpha + "' -o '" + dir + "/several/' --max-size " + target, config);
    ASSERT_EQ(several.status, 0) << several.output;
    for (const char* name : {"chelsea.gif", "chelsea-alpha.gif"})
        EXPECT_LE(fs::file_size(dir + "/several/" + name), std::stoul(target)) << name;
    EXPECT_NE(ChosenSettings(several.output, alpha).first, 0) << several.output;
    EXPECT_EQ(ReadWithGiflib(dir + "/several/chelsea-alpha.gif").transparentIndex >= 0, true);
    EXPECT_EQ(Halcyne("'" + input + "' -o '" + dir + "/q.gif' -q --max-size " + target, config).output, "");
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
    // The same PNG read by the system's decoder there and by libpng here; a GIF read by our reader in both.
    for (const char* input : {"chelsea-alpha.png", "formats/rgba16.png", "formats/graya8.png", "gif/im-frames.gif"}) {
        SCOPED_TRACE(input);
        ASSERT_EQ(Halcyne("'" + Data(input) + "' -o '" + dir + "/native.gif'" + flags, config).status, 0);
        command = "'" HC_TEST_DATA_DIR "/../../scripts/wine-run.sh' '" + std::string(windowsBin) + "/halcyne.exe' '" +
                  Data(input) + "' -o '" + dir + "/windows.gif'" + flags + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(ReadFileBytes(dir + "/windows.gif"), ReadFileBytes(dir + "/native.gif"));
    }
}

namespace {

// A noisy RGB picture large enough for a progress line and for a write that lasts a while.
std::string WriteNoisePpm(const std::string& path, int width, int height) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    uint32_t state = 12345;
    for (long i = 0; i < 3L * width * height; ++i) {
        state = state * 1103515245u + 12345u;
        out.put(char(state >> 24));
    }
    return path;
}

bool HasTemporaryFile(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) return true;
    }
    return false;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(CommandFixture, TheSameCommandLineWritesTheSameFileWhateverRanBefore) {
    const std::string camera = "'" + Data("camera.png") + "'", chelsea = "'" + Data("chelsea-alpha.png") + "'";
    ASSERT_EQ(Halcyne(camera + " -o '" + dir + "/first.gif'", config).status, 0);
    ASSERT_EQ(Halcyne(chelsea + " -o '" + dir + "/first-alpha.gif'", config).status, 0);
    // An earlier run stores very different settings in the preferences file.
    CommandResult other =
        Halcyne(chelsea + " -o '" + dir + "/other.gif' --colors 7 --dither 9 --palette Netscape --lossy 100 " +
                    "--base-palette System --interlace --comment junk --background 1,2,3 -t index=1,2",
                config);
    ASSERT_EQ(other.status, 0) << other.output;
    // Asked for, the stored settings fill in what the flags leave out: the 7 colours of the run before.
    ASSERT_EQ(Halcyne(chelsea + " -o '" + dir + "/last.gif' --last-settings", config).status, 0);
    EXPECT_EQ(ReadWithGiflib(dir + "/last.gif").palette.size(), 8u * 3);
    EXPECT_EQ(ReadWithGiflib(dir + "/last.gif").comment, "junk");
    ASSERT_EQ(Halcyne(chelsea + " -o '" + dir + "/last-exact.gif' --last-settings --lossy 0", config).status, 0);
    EXPECT_LT(fs::file_size(dir + "/last.gif"), fs::file_size(dir + "/last-exact.gif")) << "and the lossy level";
    ASSERT_EQ(Halcyne(camera + " -o '" + dir + "/again.gif'", config).status, 0);
    ASSERT_EQ(Halcyne(chelsea + " -o '" + dir + "/again-alpha.gif'", config).status, 0);
    ASSERT_EQ(Halcyne(chelsea + " -o '" + dir + "/fresh-alpha.gif' --no-prefs", config).status, 0);
    EXPECT_EQ(ReadFileBytes(dir + "/again.gif"), ReadFileBytes(dir + "/first.gif"));
    EXPECT_EQ(ReadFileBytes(dir + "/again-alpha.gif"), ReadFileBytes(dir + "/first-alpha.gif"));
    EXPECT_EQ(ReadFileBytes(dir + "/fresh-alpha.gif"), ReadFileBytes(dir + "/first-alpha.gif"));
}

TEST_F(CommandFixture, SeveralInputsFolderOutputAndPipes) {
    const std::string inputs = "'" + Data("camera.png") + "' '" + Data("formats/notanimage.txt") + "' '" +
                               Data("rocket.jpg") + "' '" + dir + "/missing.png' '" + Data("formats/rgb.ppm") + "'";
    // One after another or three at once: the same files, and the same messages in the inputs' order.
    CommandResult folder;
    std::vector<std::string> gifs;
    for (const std::string jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        fs::remove_all(dir + "/out");
        fs::create_directories(dir + "/out");
        const CommandResult result = Halcyne(inputs + " -o '" + dir + "/out/' -q -j " + jobs, config);
        EXPECT_EQ(result.status, 1);  // two inputs are no images; the others are still written
        EXPECT_EQ(FolderNames(dir + "/out"), (std::vector<std::string>{"camera.gif", "rgb.gif", "rocket.gif"}));
        std::vector<std::string> written;
        for (const std::string& name : FolderNames(dir + "/out"))
            written.push_back(ReadFileBytes(dir + "/out/" + name));
        if (jobs == "1") {
            folder = result;
            gifs = written;
        }
        EXPECT_EQ(result.output, folder.output);
        EXPECT_EQ(written, gifs);
    }
    EXPECT_LT(folder.output.find("notanimage.txt: not a PNG, JPEG"), folder.output.find("missing.png: cannot open"))
        << folder.output;

    // Without -o each GIF goes beside its input.
    fs::copy_file(Data("camera.png"), dir + "/a.png");
    fs::copy_file(Data("formats/rgb.ppm"), dir + "/b.ppm");
    ASSERT_EQ(Halcyne("'" + dir + "/a.png' '" + dir + "/b.ppm'", config).status, 0);
    EXPECT_EQ(ReadFileBytes(dir + "/a.gif"), ReadFileBytes(dir + "/out/camera.gif"));
    EXPECT_EQ(ReadFileBytes(dir + "/b.gif"), ReadFileBytes(dir + "/out/rgb.gif"));

    // Standard input to standard output: the same bytes, and nothing else on standard output.
    CommandResult piped = Shell(HalcyneLine("- -o - < '" + Data("camera.png") + "' > '" + dir + "/piped.gif'", config));
    ASSERT_EQ(piped.status, 0) << piped.output;
    EXPECT_EQ(ReadFileBytes(dir + "/piped.gif"), ReadFileBytes(dir + "/out/camera.gif"));
    CommandResult notImage = Shell(HalcyneLine("- -o - < '" + Data("formats/notanimage.txt") + "'", config));
    EXPECT_EQ(notImage.status, 1);
    EXPECT_NE(notImage.output.find("standard input: not a PNG"), std::string::npos) << notImage.output;
    EXPECT_NE(notImage.output.find("Nothing was written to standard output."), std::string::npos);

    // A progress line per large image, none with -q.
    const std::string noise = WriteNoisePpm(dir + "/noise.ppm", 1024, 1024);
    CommandResult loud = Halcyne("'" + noise + "' '" + noise + "' -o '" + dir + "/out/' --colors 16", config);
    ASSERT_EQ(loud.status, 2);  // both would be out/noise.gif
    EXPECT_NE(loud.output.find("both be written"), std::string::npos) << loud.output;
    CommandResult progress = Halcyne("'" + noise + "' -o '" + dir + "/noise.gif' --colors 16", config);
    EXPECT_NE(progress.output.find("converting " + noise + " (1024 x 1024)"), std::string::npos) << progress.output;
    EXPECT_EQ(Halcyne("'" + noise + "' -o '" + dir + "/noise.gif' --colors 16 -q", config).output, "");
}

TEST_F(CommandFixture, FailuresNameTheFileAndTheCause) {
    const std::string output = dir + "/kept.gif";
    { std::ofstream(output) << "old"; }
    // A file size limit: the write fails, the old file stays, no temporary file is left.
    CommandResult limited =
        Shell("ulimit -f 10; " + HalcyneLine("'" + Data("astronaut.png") + "' -o '" + output + "'", config));
    EXPECT_EQ(limited.status, 1);
    EXPECT_NE(limited.output.find("cannot write " + output + ": the file would be larger than this process may write"),
              std::string::npos)
        << limited.output;
    EXPECT_NE(limited.output.find("No file was written; an existing " + output + " is unchanged."), std::string::npos);
    EXPECT_EQ(ReadFileBytes(output), "old");
    EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{"config", "kept.gif"}));

    // A missing configuration folder is made; without HOME or XDG_CONFIG_HOME there is none to make.
    CommandResult made = Halcyne("'" + Data("camera.png") + "' -o '" + dir + "/made.gif'", dir + "/new/config");
    EXPECT_EQ(made.status, 0) << made.output;
    EXPECT_TRUE(fs::exists(dir + "/new/config/Corvane/Halcyne Prefs"));
    CommandResult homeless = Shell("env -u HOME -u XDG_CONFIG_HOME '" + ExecutableDir() + "/halcyne' '" +
                                   Data("camera.png") + "' -o '" + output + "'");
    EXPECT_EQ(homeless.status, 1);
    EXPECT_NE(homeless.output.find("neither HOME nor XDG_CONFIG_HOME is set"), std::string::npos) << homeless.output;
    EXPECT_EQ(Shell("env -u HOME -u XDG_CONFIG_HOME '" + ExecutableDir() + "/halcyne' '" + Data("camera.png") +
                    "' -o '" + dir + "/homeless.gif' --no-prefs")
                  .status,
              0);

    // Preferences that cannot be stored (a file stands where their folder belongs) cost a warning, not the GIF.
    fs::create_directories(dir + "/blocked");
    std::ofstream(dir + "/blocked/Corvane") << "x";
    CommandResult blocked = Halcyne("'" + Data("camera.png") + "' -o '" + dir + "/blocked.gif'", dir + "/blocked");
    EXPECT_EQ(blocked.status, 0) << blocked.output;
    EXPECT_NE(blocked.output.find("warning: the settings were not stored in the preferences file " + dir +
                                  "/blocked/Corvane/Halcyne Prefs: "),
              std::string::npos)
        << blocked.output;
    EXPECT_EQ(ReadFileBytes(dir + "/blocked.gif"), ReadFileBytes(dir + "/made.gif"));
}

// Thirty-two commands started together on one preferences folder, as a batch tool starts them: every one writes
// the GIF a lone run writes and says nothing, and the preferences file is the lone run's, whole, with nothing
// staged left beside it.
TEST_F(CommandFixture, CommandsRunningTogetherOnOnePreferencesFolderLoseNothing) {
    const std::string input = "'" + Data("formats/rgba16.png") + "'";
    ASSERT_EQ(Halcyne(input + " -o '" + dir + "/lone.gif'", config).status, 0);
    const std::string prefs = config + "/Corvane/Halcyne Prefs";
    const std::string lonePrefs = ReadFileBytes(prefs);
    std::string together;
    for (int i = 0; i < 32; ++i) {
        const std::string run = dir + "/run" + std::to_string(i);
        together += "(" + HalcyneLine(input + " -o '" + run + ".gif' > '" + run + ".log' 2>&1", config) +
                    "; echo $? >> '" + run + ".log') & ";
    }
    Shell(together + "wait");
    for (int i = 0; i < 32; ++i) {
        SCOPED_TRACE(i);
        const std::string run = dir + "/run" + std::to_string(i);
        EXPECT_EQ(ReadFileBytes(run + ".log"), "0\n");
        EXPECT_EQ(ReadFileBytes(run + ".gif"), ReadFileBytes(dir + "/lone.gif"));
    }
    EXPECT_EQ(ReadFileBytes(prefs), lonePrefs);
    EXPECT_EQ(FolderNames(config + "/Corvane"), std::vector<std::string>{"Halcyne Prefs"});
}

TEST_F(CommandFixture, ASignalDuringTheWriteLeavesNothingBehind) {
    const std::string input = WriteNoisePpm(dir + "/noise.ppm", 2000, 1500);
    fs::copy_file(input, dir + "/noise2.ppm");
    const std::string output = dir + "/kept.gif";
    // Private preferences (--no-prefs) live in the temporary folder, here the test's own, and go too. Several
    // inputs at once: the command passes the signal on to each conversion and ends after them.
    const struct {
        int signal;
        std::string arguments;
    } cases[] = {{SIGINT, "'" + input + "' -o '" + output + "' -q"},
                 {SIGTERM, "'" + input + "' -o '" + output + "' -q --no-prefs"},
                 {SIGINT, "'" + input + "' '" + dir + "/noise2.ppm' -o '" + dir + "/' -q -j 2"}};
    for (const auto& c : cases) {
        const int signal = c.signal;
        SCOPED_TRACE(c.arguments);
        { std::ofstream(output) << "old"; }
        const std::string line = "exec env TMPDIR='" + dir + "' " + HalcyneLine(c.arguments, config);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // The plug-in's temporary file appears when the write begins.
        bool writing = false;
        for (int i = 0; i < 600000 && !writing && waitpid(child, nullptr, WNOHANG) == 0; ++i) {
            writing = HasTemporaryFile(dir);
            if (!writing) usleep(200);
        }
        ASSERT_TRUE(writing) << "the command ended before its write was seen";
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_EQ(ReadFileBytes(output), "old");
        EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{"config", "kept.gif", "noise.ppm", "noise2.ppm"}));
    }
}
