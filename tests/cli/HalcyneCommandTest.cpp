// The halcyne command end to end: command lines and what each leaves behind (exit status, files, messages) against
// a reviewed transcript (runs that end together or by a signal among them), GIF files that independent readers agree
// on, and the Windows commands' bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/GifInspect.h"
#include "tests/support/ModuleFacts.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Transcript.h"
#include "tests/support/WideNames.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string Data(const std::string& name) {
    return std::string(HC_TEST_DATA_DIR) + "/" + name;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// The input `name` made in `folder`: the file of that name under tests/data, or else the PNG of its stem there
// converted by ImageMagick to the format its extension names.
std::string MadeInput(const std::string& name, const std::string& folder) {
    const std::string path = folder + "/" + fs::path(name).filename().string();
    const std::string png = Data(fs::path(name).stem().string() + ".png");
    if (fs::exists(Data(name)))
        fs::copy_file(Data(name), path);
    else
        EXPECT_EQ(std::system(("convert " + Quoted(png) + " " + Quoted(path)).c_str()), 0) << path;
    return path;
}

// The files below `folder` but the `inputs`, each with its length and hash; each GIF among them, the first time
// its bytes are seen, read alike by giflib, Pillow and ImageMagick.
std::string FilesLeft(const std::string& folder, const std::set<std::string>& inputs, std::set<std::string>& seen) {
    std::vector<std::string> files;
    for (const std::string& name : NamesInFolder(folder, true)) {
        const std::string path = folder + "/" + name, bytes = ReadFileBytes(path);
        if (inputs.count(name)) continue;
        files.push_back(name + " " + LengthAndHash(bytes));
        if (bytes.rfind("GIF8", 0) != 0 || !seen.insert(LengthAndHash(bytes)).second) continue;
        SCOPED_TRACE(name);
        const GifReading giflib = ReadWithGiflib(path), pillow = ReadWithPillow(path);
        EXPECT_EQ(giflib.indices, pillow.indices);
        EXPECT_EQ(giflib.transparentIndex, pillow.transparentIndex);
        EXPECT_EQ(ReadRgbaWithImageMagick(path), ExpectedRgba(giflib));
    }
    return Transcript::Listed(files);
}

}  // namespace

// The rows of transcripts/cli/command-runs.txt, one preferences folder for them all: each a shell line run in a
// folder of its own ({out}, also the temporary folder) that holds kept.gif ("old") and the row's {in:NAME} inputs
// (MadeInput); "halcyne" is the command, {data} tests/data, {dir} the test's folder with text.gif (a text file) and
// noise.ppm and its copy noise2.ppm, large enough for a progress line and for a write a signal can interrupt. The
// outcome is the exit status, every other file left in {out}, and the messages (" / " between lines).
TEST(HalcyneCommand, CommandLinesLeaveTheirFilesAndMessages) {
    // The command's own configuration folder, so the user's preferences are never touched.
    const std::string dir = MakeScratchDir("halcyne-command"), config = dir + "/config";
    fs::create_directories(config);
    std::ofstream noise(dir + "/noise.ppm", std::ios::binary);
    noise << "P6\n1024 1024\n255\n";
    for (uint32_t i = 0, state = 12345; i < 3 * 1024 * 1024; ++i)
        noise.put(char((state = state * 1103515245u + 12345u) >> 24));
    noise.close();
    fs::copy_file(dir + "/noise.ppm", dir + "/noise2.ppm");
    fs::copy_file(Data("formats/notanimage.txt"), dir + "/text.gif");
    const std::string out = dir + "/out";
    std::set<std::string> seen;
    Transcript::Replay("cli/command-runs", [&](const std::string&, const Transcript::Step& step) {
        fs::remove_all(out);
        fs::create_directories(out);
        std::ofstream(out + "/kept.gif") << "old";
        std::set<std::string> inputs;
        std::string line;
        for (std::string word : step.words) {
            if (word.rfind("{in:", 0) == 0) {
                word = fs::path(MadeInput(word.substr(4, word.size() - 5), out)).filename().string();
                inputs.insert(word);
            }
            line += " " + (word == "halcyne" ? Quoted(ExecutableDir() + "/halcyne") : word);
        }
        const std::pair<std::string, std::string> places[] = {
            {"{out}", out}, {"{dir}", dir}, {"{data}", HC_TEST_DATA_DIR}};
        for (const auto& [name, path] : places) line = Replaced(line, name, Quoted(path));
        SCOPED_TRACE(line);
        // Standard error with standard output, as a person at the terminal sees them.
        const ShellResult result = Shell("(cd " + Quoted(out) + "; export TMPDIR=" + Quoted(out) +
                                         " XDG_CONFIG_HOME=" + Quoted(config) + ";" + line + ") 2>&1");
        // Timings and the plug-in's source lines in its log vary from run to run and edit to edit.
        std::string said = std::regex_replace(result.output, std::regex(" [0-9]+\\.[0-9]+ s\n"), " # s\n");
        said = std::regex_replace(said, std::regex("\\.cpp:[0-9]+"), ".cpp:#");
        for (const auto& [name, path] : places) said = Replaced(said, path, name);
        said = said.empty() ? "(silent)" : Replaced(said.substr(0, said.size() - 1), "\n", " / ");
        return Transcript::Line(result.status, "|", FilesLeft(out, inputs, seen), "|", said);
    });
}

// The Windows commands (under Wine, 64- and 32-bit) write the native command's bytes: from a PAM read by our own
// reader on both, from PNGs read by the system's decoder there and libpng here, and from a GIF read by our reader.
TEST(HalcyneCommand, WindowsCommandsWriteTheSameBytes) {
    std::vector<std::string> windowsCommands;
    for (const char* variable : {"HALCYNE_WIN64_BIN", "HALCYNE_WIN32_BIN"})
        if (const char* bin = std::getenv(variable))
            windowsCommands.push_back(Quoted(Data("../../scripts/wine-run.sh")) + " " +
                                      Quoted(bin + std::string("/halcyne.exe")));
    if (windowsCommands.empty()) GTEST_SKIP() << "HALCYNE_WIN64_BIN and HALCYNE_WIN32_BIN name no Windows build";
    const std::string dir = MakeScratchDir("halcyne-wine"), halcyne = Quoted(ExecutableDir() + "/halcyne") + " ";
    const std::string flags = " --colors 48 --dither 7 --interlace --comment same --no-prefs";
    for (const std::string& input :
         {MadeInput("chelsea-alpha.pam", dir), Data("chelsea-alpha.png"), Data("formats/rgba16.png"),
          Data("formats/graya8.png"), Data("gif/im-frames.gif")}) {
        ASSERT_EQ(Shell(halcyne + Quoted(input) + " -o " + Quoted(dir + "/native.gif") + flags).status, 0);
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
    ASSERT_EQ(Shell(halcyne + Quoted(Data("formats/rgb.ppm")) + " -o " + Quoted(dir + "/native.gif") + palette).status,
              0);
    for (const std::string& wine : windowsCommands)
        for (const std::string& output : {input + " " + kGreekName + ".gif", input + ".gif"}) {
            SCOPED_TRACE(wine + " " + output);
            fs::remove(output);
            const std::string to = output == input + ".gif" ? "" : " -o " + Quoted(output);
            ASSERT_EQ(Shell("LANG=C.UTF-8 " + wine + " " + Quoted(input + ".ppm") + to + palette).status, 0);
            EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(dir + "/native.gif"));
        }
}
