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
#include "tests/support/WideNames.h"

namespace fs = std::filesystem;

namespace {

struct CommandResult {
    int status;
    std::string output;  // standard error and standard output together
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string Data(const std::string& name) {
    return std::string(HC_TEST_DATA_DIR) + "/" + name;
}

// The command line with its own configuration folder, so the user's preferences are never touched.
std::string HalcyneLine(const std::string& arguments, const std::string& configFolder) {
    return "XDG_CONFIG_HOME=" + Quoted(configFolder) + " " + Quoted(ExecutableDir() + "/halcyne") + " " + arguments;
}

// Runs a shell command; its standard error (and standard output, unless redirected) is collected.
CommandResult Shell(const std::string& line) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("(" + line + ") 2>&1").c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
    const int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

bool Has(const std::string& text, const std::string& phrase) {
    return text.find(phrase) != std::string::npos;
}

// A noisy RGB picture large enough for a progress line and for a write that lasts a while.
std::string WriteNoisePpm(const std::string& path, int width, int height) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    uint32_t state = 12345;
    for (long i = 0; i < 3L * width * height; ++i) out.put(char((state = state * 1103515245u + 12345u) >> 24));
    return path;
}

struct CommandFixture : ::testing::Test {
    std::string dir = MakeScratchDir("halcyne-command");
    std::string config = dir + "/config";
    void SetUp() override { fs::create_directories(config); }

    CommandResult Halcyne(const std::string& arguments) const { return Shell(HalcyneLine(arguments, config)); }
    // `png` in `extension`'s format, made by ImageMagick in the test's folder (resized when `size` is given).
    std::string Converted(const std::string& png, const std::string& extension, const std::string& size = "") {
        fs::create_directories(dir + "/in");
        const std::string path = dir + "/in/" + fs::path(png).stem().string() + "." + extension;
        const std::string resize = size.empty() ? "" : " -resize " + size;
        EXPECT_EQ(std::system(("convert " + Quoted(Data(png)) + resize + " " + Quoted(path)).c_str()), 0) << path;
        return path;
    }
    // A file holding "old", to show a failed run leaves it alone.
    std::string OldFile(const std::string& name) const {
        std::ofstream(dir + "/" + name) << "old";
        return dir + "/" + name;
    }
};

}  // namespace

// The inputs are the rows of tests/data/cli/command-inputs.txt.
TEST_F(CommandFixture, EveryInputKindBecomesAGifThatIndependentReadersAgreeOn) {
    for (const std::vector<std::string>& row : DataTable("cli/command-inputs.txt")) {
        SCOPED_TRACE(row.at(0));
        const size_t to = row[0].find(" > ");
        const std::string input =
            to == std::string::npos ? Data(row[0]) : Converted(row[0].substr(0, to), row[0].substr(to + 3));
        const std::string output = dir + "/" + fs::path(input).stem().string() + ".gif";
        const std::string flags = row.at(1) == "-" ? "" : row[1];
        const CommandResult result = Halcyne(Quoted(input) + " -o " + Quoted(output) + " " + flags);
        ASSERT_EQ(result.status, 0) << result.output;
        const GifReading giflib = ReadWithGiflib(output), pillow = ReadWithPillow(output);
        EXPECT_EQ(giflib.indices, pillow.indices);
        EXPECT_EQ(giflib.transparentIndex, pillow.transparentIndex);
        EXPECT_EQ(giflib.transparentIndex >= 0, row.at(2) == "transparent");
        EXPECT_EQ(ReadRgbaWithImageMagick(output), ExpectedRgba(giflib));
    }
}

// The rows of tests/data/cli/command-refusals.txt.
TEST_F(CommandFixture, BadInputIsRefusedAndLeavesTheOutputAlone) {
    const std::string output = OldFile("kept.gif"), camera = Quoted(Data("camera.png"));
    fs::copy_file(Data("formats/notanimage.txt"), dir + "/text.gif");
    const auto filled = [&](std::string text) {
        for (const auto& [name, value] :
             {std::pair<std::string, std::string>{"{dir}", dir}, {"{data}", HC_TEST_DATA_DIR}, {"{out}", output}})
            for (size_t at; (at = text.find(name)) != std::string::npos;) text.replace(at, name.size(), value);
        return text;
    };
    for (const std::vector<std::string>& row : DataTable("cli/command-refusals.txt")) {
        SCOPED_TRACE(row.at(0));
        const std::string shellFirst = row.size() > 3 ? row[3] + " " : "";
        const CommandResult result = Shell(shellFirst + HalcyneLine(filled(row[0]) + " -o " + Quoted(output), config));
        EXPECT_EQ(result.status, std::stoi(row.at(1)));
        EXPECT_TRUE(Has(result.output, filled(row.at(2)))) << result.output;
        EXPECT_EQ(Has(result.output, "No file was written"), row[1] == "1") << result.output;
        EXPECT_EQ(ReadFileBytes(output), "old");
    }
    // Nothing staged or temporary is left beside the output.
    EXPECT_EQ(NamesInFolder(dir), (std::vector<std::string>{"config", "kept.gif", "text.gif"}));
    const CommandResult unwritable = Halcyne(camera + " -o " + Quoted(dir + "/no/such/folder/x.gif"));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(Has(unwritable.output, "does not exist")) << unwritable.output;
    EXPECT_FALSE(fs::exists(dir + "/no"));
}

// --max-size writes the file the settings it prints write, within the size, the fewest changes from the flags
// first (which settings the search picks is SizeTarget's test).
TEST_F(CommandFixture, MaxSizeWritesTheBestFileThatFits) {
    // Small pictures: the search makes up to 18 files.
    const std::string input = Converted("chelsea.png", "png", "200x133");
    const std::string alpha = Converted("chelsea-alpha.png", "png", "200x133");
    const auto size = [&](const std::string& flags) {
        EXPECT_EQ(Halcyne(Quoted(input) + " -o " + Quoted(dir + "/probe.gif") + " -q " + flags).status, 0);
        return fs::file_size(dir + "/probe.gif");
    };
    const uintmax_t plain = size(""), strongest = size("--lossy 100"), twoColours = size("--colors 2 --lossy 100");
    const struct {
        const char* name;
        uintmax_t target;
        bool fewerColours, lossy;
    } cases[] = {
        {"fits at once", plain, false, false},
        {"needs a lossy level", (plain + strongest) / 2, false, true},
        {"needs fewer colours", strongest * 3 / 4, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = dir + "/fit.gif";
        const CommandResult fit =
            Halcyne(Quoted(input) + " -o " + Quoted(output) + " --max-size " + std::to_string(c.target));
        ASSERT_EQ(fit.status, 0) << fit.output;
        EXPECT_LE(fs::file_size(output), c.target);
        int colors = 0, lossy = 0;
        const size_t at = fit.output.find("halcyne: " + input + ": ");
        ASSERT_NE(at, std::string::npos) << fit.output;
        ASSERT_EQ(std::sscanf(fit.output.c_str() + at + input.size() + 11, "%d colours, lossy %d", &colors, &lossy), 2)
            << fit.output;
        EXPECT_EQ(colors < 256, c.fewerColours) << fit.output;
        EXPECT_EQ(lossy > 0, c.lossy) << fit.output;
        EXPECT_TRUE(
            Has(fit.output, std::to_string(fs::file_size(output)) + " bytes (at most " + std::to_string(c.target)))
            << fit.output;
        // What it printed makes the same file; one level less, or one colour more, would not fit.
        const auto with = [&](int n, int level) {
            return size("--colors " + std::to_string(n) + " --lossy " + std::to_string(level));
        };
        with(colors, lossy);
        EXPECT_EQ(ReadFileBytes(dir + "/probe.gif"), ReadFileBytes(output));
        EXPECT_TRUE(lossy == 0 || with(colors, lossy - 1) > c.target);
        EXPECT_TRUE(colors == 256 || with(colors + 1, 100) > c.target);
    }

    // Too small even for two colours at the strongest level: nothing written, and the smallest size told.
    const std::string kept = OldFile("kept.gif");
    const CommandResult tooSmall = Halcyne(Quoted(input) + " -o " + Quoted(kept) + " --max-size 1K");
    EXPECT_EQ(tooSmall.status, 1);
    EXPECT_TRUE(Has(tooSmall.output, "within 1024 bytes: the smallest, with 2 colours at lossy 100, has " +
                                         std::to_string(twoColours) + " bytes"))
        << tooSmall.output;
    EXPECT_EQ(ReadFileBytes(kept), "old");
    EXPECT_EQ(Halcyne(Quoted(input) + " -o " + Quoted(kept) + " --max-size 1k2").status, 2);

    // Several inputs: each gets the target on its own; -q keeps the choices quiet.
    const std::string target = std::to_string(strongest * 3 / 4);
    fs::create_directories(dir + "/out");
    const CommandResult several =
        Halcyne(Quoted(input) + " " + Quoted(alpha) + " -o " + Quoted(dir + "/out/") + " --max-size " + target);
    ASSERT_EQ(several.status, 0) << several.output;
    for (const char* name : {"chelsea.gif", "chelsea-alpha.gif"})
        EXPECT_LE(fs::file_size(dir + "/out/" + name), std::stoul(target)) << name;
    EXPECT_TRUE(Has(several.output, alpha + ": ")) << several.output;
    EXPECT_GE(ReadWithGiflib(dir + "/out/chelsea-alpha.gif").transparentIndex, 0);
    EXPECT_EQ(Halcyne(Quoted(input) + " -o " + Quoted(dir + "/q.gif") + " -q --max-size " + target).output, "");
}

// The Windows commands (under Wine, 64- and 32-bit) write the native command's bytes: from a PAM read by our own
// reader on both, from PNGs read by the system's decoder there and libpng here, and from a GIF read by our reader.
TEST_F(CommandFixture, WindowsCommandsWriteTheSameBytes) {
    std::vector<std::string> windowsCommands;
    for (const char* variable : {"HALCYNE_WIN64_BIN", "HALCYNE_WIN32_BIN"})
        if (const char* bin = std::getenv(variable))
            windowsCommands.push_back(Quoted(Data("../../scripts/wine-run.sh")) + " " +
                                      Quoted(bin + std::string("/halcyne.exe")));
    if (windowsCommands.empty()) GTEST_SKIP() << "HALCYNE_WIN64_BIN and HALCYNE_WIN32_BIN name no Windows build";
    const std::string flags = " --colors 48 --dither 7 --interlace --comment same --no-prefs";
    for (const std::string& input :
         {Converted("chelsea-alpha.png", "pam"), Data("chelsea-alpha.png"), Data("formats/rgba16.png"),
          Data("formats/graya8.png"), Data("gif/im-frames.gif")}) {
        ASSERT_EQ(Halcyne(Quoted(input) + " -o " + Quoted(dir + "/native.gif") + flags).status, 0);
        for (const std::string& wine : windowsCommands) {
            SCOPED_TRACE(wine + " " + input);
            ASSERT_EQ(Shell(wine + " " + Quoted(input) + " -o " + Quoted(dir + "/windows.gif") + flags).status, 0);
            EXPECT_EQ(ReadFileBytes(dir + "/windows.gif"), ReadFileBytes(dir + "/native.gif"));
        }
    }
    // Names outside the system's code page arrive whole through the wide command line: the input's, the palette
    // file's and the output's, named by -o or made beside the input from its own name.
    const std::string folder = dir + "/" + kGreekName + " " + kEmojiName, input = folder + "/" + kJapaneseName;
    fs::create_directories(folder);
    fs::copy_file(Data("formats/rgb.ppm"), input + ".ppm");
    fs::copy_file(Data("gif/im-frames.gif"), folder + "/" + kGreekName + ".gif");
    const std::string palette = " --palette-file " + Quoted(folder + "/" + kGreekName + ".gif") + " --no-prefs";
    ASSERT_EQ(Halcyne(Quoted(Data("formats/rgb.ppm")) + " -o " + Quoted(dir + "/native.gif") + palette).status, 0);
    for (const std::string& wine : windowsCommands)
        for (const std::string& output : {input + " " + kGreekName + ".gif", input + ".gif"}) {
            SCOPED_TRACE(wine + " " + output);
            fs::remove(output);
            const std::string to = output == input + ".gif" ? "" : " -o " + Quoted(output);
            ASSERT_EQ(Shell("LANG=C.UTF-8 " + wine + " " + Quoted(input + ".ppm") + to + palette).status, 0);
            EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(dir + "/native.gif"));
        }
}

TEST_F(CommandFixture, TheSameCommandLineWritesTheSameFileWhateverRanBefore) {
    const std::string camera = Quoted(Data("camera.png")), chelsea = Quoted(Data("chelsea-alpha.png"));
    const auto write = [&](const std::string& input, const std::string& name, const std::string& flags = "") {
        const CommandResult result = Halcyne(input + " -o " + Quoted(dir + "/" + name) + " " + flags);
        EXPECT_EQ(result.status, 0) << result.output;
        return ReadFileBytes(dir + "/" + name);
    };
    const std::string first = write(camera, "first.gif"), firstAlpha = write(chelsea, "first-alpha.gif");
    // An earlier run stores very different settings in the preferences file.
    write(chelsea, "other.gif",
          "--colors 7 --dither 9 --palette Netscape --lossy 100 --base-palette System --interlace --comment junk "
          "--background 1,2,3 -t index=1,2");
    // Asked for, the stored settings fill in what the flags leave out: the 7 colours and the lossy level of the
    // run before.
    const std::string last = write(chelsea, "last.gif", "--last-settings");
    EXPECT_EQ(ReadWithGiflib(dir + "/last.gif").palette.size(), 8u * 3);
    EXPECT_EQ(ReadWithGiflib(dir + "/last.gif").comment, "junk");
    EXPECT_LT(last.size(), write(chelsea, "last-exact.gif", "--last-settings --lossy 0").size());
    EXPECT_EQ(write(camera, "again.gif"), first);
    EXPECT_EQ(write(chelsea, "again-alpha.gif"), firstAlpha);
    EXPECT_EQ(write(chelsea, "fresh-alpha.gif", "--no-prefs"), firstAlpha);
}

TEST_F(CommandFixture, SeveralInputsFolderOutputAndPipes) {
    const std::string inputs = Quoted(Data("camera.png")) + " " + Quoted(Data("formats/notanimage.txt")) + " " +
                               Quoted(Data("rocket.jpg")) + " " + Quoted(dir + "/missing.png") + " " +
                               Quoted(Data("formats/rgb.ppm"));
    // One after another or three at once: the same files, and the same messages in the inputs' order.
    std::string messages;
    std::vector<std::string> gifs;
    for (const std::string jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        fs::remove_all(dir + "/out");
        fs::create_directories(dir + "/out");
        const CommandResult result = Halcyne(inputs + " -o " + Quoted(dir + "/out/") + " -q -j " + jobs);
        EXPECT_EQ(result.status, 1);  // two inputs are no images; the others are still written
        EXPECT_EQ(NamesInFolder(dir + "/out"), (std::vector<std::string>{"camera.gif", "rgb.gif", "rocket.gif"}));
        std::vector<std::string> written;
        for (const std::string& name : NamesInFolder(dir + "/out"))
            written.push_back(ReadFileBytes(dir + "/out/" + name));
        if (jobs == "1") messages = result.output, gifs = written;
        EXPECT_EQ(result.output, messages);
        EXPECT_EQ(written, gifs);
    }
    EXPECT_LT(messages.find("notanimage.txt: not a PNG, JPEG"), messages.find("missing.png: cannot open")) << messages;

    // Without -o each GIF goes beside its input.
    fs::copy_file(Data("camera.png"), dir + "/a.png");
    fs::copy_file(Data("formats/rgb.ppm"), dir + "/b.ppm");
    ASSERT_EQ(Halcyne(Quoted(dir + "/a.png") + " " + Quoted(dir + "/b.ppm")).status, 0);
    EXPECT_EQ(ReadFileBytes(dir + "/a.gif"), gifs[0]);
    EXPECT_EQ(ReadFileBytes(dir + "/b.gif"), gifs[1]);

    // Standard input to standard output: the same bytes, nothing else on standard output, nothing staged left.
    fs::create_directories(dir + "/tmp");
    const CommandResult piped =
        Shell("TMPDIR=" + Quoted(dir + "/tmp") + " " +
              HalcyneLine("- -o - < " + Quoted(Data("camera.png")) + " > " + Quoted(dir + "/piped.gif"), config));
    ASSERT_EQ(piped.status, 0) << piped.output;
    EXPECT_EQ(ReadFileBytes(dir + "/piped.gif"), gifs[0]);
    EXPECT_EQ(NamesInFolder(dir + "/tmp"), std::vector<std::string>{});
    const CommandResult notImage = Shell(HalcyneLine("- -o - < " + Quoted(Data("formats/notanimage.txt")), config));
    EXPECT_EQ(notImage.status, 1);
    EXPECT_TRUE(Has(notImage.output, "standard input: not a PNG")) << notImage.output;
    EXPECT_TRUE(Has(notImage.output, "Nothing was written to standard output."));

    // A progress line per large image, none with -q.
    const std::string noise = WriteNoisePpm(dir + "/noise.ppm", 1024, 1024);
    const CommandResult progress = Halcyne(Quoted(noise) + " -o " + Quoted(dir + "/noise.gif") + " --colors 16");
    EXPECT_TRUE(Has(progress.output, "converting " + noise + " (1024 x 1024)")) << progress.output;
    EXPECT_EQ(Halcyne(Quoted(noise) + " -o " + Quoted(dir + "/noise.gif") + " --colors 16 -q").output, "");
}

// The preferences folder: a missing one is made; without HOME or XDG_CONFIG_HOME there is none to make, and one
// that cannot be made costs a warning, not the GIF.
TEST_F(CommandFixture, APreferencesFolderIsMadeOrItsLackIsTold) {
    const std::string output = OldFile("kept.gif"), camera = Quoted(Data("camera.png"));
    const CommandResult made = Shell(HalcyneLine(camera + " -o " + Quoted(dir + "/made.gif"), dir + "/new/config"));
    EXPECT_EQ(made.status, 0) << made.output;
    EXPECT_TRUE(fs::exists(dir + "/new/config/Corvane/Halcyne Prefs"));
    const std::string homeless =
        "env -u HOME -u XDG_CONFIG_HOME " + Quoted(ExecutableDir() + "/halcyne") + " " + camera;
    const CommandResult refused = Shell(homeless + " -o " + Quoted(output));
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Has(refused.output, "neither HOME nor XDG_CONFIG_HOME is set")) << refused.output;
    EXPECT_EQ(Shell(homeless + " -o " + Quoted(dir + "/homeless.gif") + " --no-prefs").status, 0);

    // A file stands where the folder belongs.
    fs::create_directories(dir + "/blocked");
    std::ofstream(dir + "/blocked/Corvane") << "x";
    const CommandResult blocked = Shell(HalcyneLine(camera + " -o " + Quoted(dir + "/blocked.gif"), dir + "/blocked"));
    EXPECT_EQ(blocked.status, 0) << blocked.output;
    EXPECT_TRUE(Has(blocked.output, "warning: the settings were not stored in the preferences file " + dir +
                                        "/blocked/Corvane/Halcyne Prefs: "))
        << blocked.output;
    EXPECT_EQ(ReadFileBytes(dir + "/blocked.gif"), ReadFileBytes(dir + "/made.gif"));
}

// Thirty-two commands started together on one preferences folder, as a batch tool starts them: every one writes
// the GIF a lone run writes and says nothing, and the preferences file is the lone run's, whole, with nothing
// staged left beside it.
TEST_F(CommandFixture, CommandsRunningTogetherOnOnePreferencesFolderLoseNothing) {
    const std::string input = Quoted(Data("formats/rgba16.png"));
    ASSERT_EQ(Halcyne(input + " -o " + Quoted(dir + "/lone.gif")).status, 0);
    const std::string prefs = config + "/Corvane/Halcyne Prefs", lonePrefs = ReadFileBytes(prefs);
    std::string together;
    for (int i = 0; i < 32; ++i) {
        const std::string run = dir + "/run" + std::to_string(i);
        together +=
            "(" + HalcyneLine(input + " -o " + Quoted(run + ".gif") + " > " + Quoted(run + ".log") + " 2>&1", config) +
            "; echo $? >> " + Quoted(run + ".log") + ") & ";
    }
    Shell(together + "wait");
    for (int i = 0; i < 32; ++i) {
        SCOPED_TRACE(i);
        const std::string run = dir + "/run" + std::to_string(i);
        EXPECT_EQ(ReadFileBytes(run + ".log"), "0\n");
        EXPECT_EQ(ReadFileBytes(run + ".gif"), ReadFileBytes(dir + "/lone.gif"));
    }
    EXPECT_EQ(ReadFileBytes(prefs), lonePrefs);
    EXPECT_EQ(NamesInFolder(config + "/Corvane"), std::vector<std::string>{"Halcyne Prefs"});
}

TEST_F(CommandFixture, ASignalDuringTheWriteLeavesNothingBehind) {
    const std::string input = WriteNoisePpm(dir + "/noise.ppm", 2000, 1500), output = dir + "/kept.gif";
    fs::copy_file(input, dir + "/noise2.ppm");
    // Private preferences (--no-prefs) live in the temporary folder, here the test's own, and go too. Several
    // inputs at once: the command passes the signal on to each conversion and ends after them.
    const struct {
        int signal;
        std::string arguments;
    } cases[] = {{SIGINT, Quoted(input) + " -o " + Quoted(output) + " -q"},
                 {SIGTERM, Quoted(input) + " -o " + Quoted(output) + " -q --no-prefs"},
                 {SIGINT, Quoted(input) + " " + Quoted(dir + "/noise2.ppm") + " -o " + Quoted(dir + "/") + " -q -j 2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        OldFile("kept.gif");
        const std::string line = "exec env TMPDIR=" + Quoted(dir) + " " + HalcyneLine(c.arguments, config);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // The plug-in's temporary file appears when the write begins.
        const auto writing = [&] {
            const std::vector<std::string> names = NamesInFolder(dir);
            return std::any_of(names.begin(), names.end(), [](const std::string& n) {
                return n.size() > 4 && n.compare(n.size() - 4, 4, ".tmp") == 0;
            });
        };
        bool seen = false;
        for (int i = 0; i < 600000 && !(seen = writing()) && waitpid(child, nullptr, WNOHANG) == 0; ++i) usleep(200);
        ASSERT_TRUE(seen) << "the command ended before its write was seen";
        kill(child, c.signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 128 + c.signal);
        EXPECT_EQ(ReadFileBytes(output), "old");
        EXPECT_EQ(NamesInFolder(dir), (std::vector<std::string>{"config", "kept.gif", "noise.ppm", "noise2.ppm"}));
    }
}
