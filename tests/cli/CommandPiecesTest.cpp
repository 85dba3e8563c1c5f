// The command's own pieces without a process: its flags, the settings it records, the size search, its texts for
// failures its runs seldom reach, and its image readers (every format and layout reads to the same asymmetric
// picture; every damaged or unreadable file is refused with its reader's reason and the file's name). What the command
// makes of them, the outputs it plans and the image it hands the host among them, is HalcyneCommandTest's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/FailureText.h"
#include "cli/InputImage.h"
#include "cli/SettingsDescriptor.h"
#include "cli/SizeTarget.h"
#include "hostsim/HostSimulator.h"
#include "tests/support/PngWriter.h"
#include "tests/support/RecordingText.h"
#include "tests/support/TestPaths.h"

namespace {

using Arguments = std::vector<std::string>;

// The message of the `Error` an action throws; "" when it throws nothing, so a missing refusal shows as a message
// without the expected words.
template <class Error, class Action>
std::string MessageOf(Action&& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

// "a b  c" -> {"a", "b", "c"}.
Arguments Words(const std::string& line) {
    Arguments words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Every fixture holds one 3 × 2 picture; these are its colours and alpha, row by row. The TIFF, WebP and GIF files
// and jpeg-inside.bmp were written once, from these values, by the code this test ran before: libtiff
// (TIFFWriteScanline in strips, TIFFWriteTile in 16 × 16 tiles; each 16-bit sample 257 times its 8-bit value plus
// one, which rounds back), libwebp's lossless coder with exact colours under full transparency, the plug-in's GIF
// writer (WriteOneFrameGif: the third entry transparent, offset-trns.gif's frame at (1, 1) on a 4 × 3 screen) and a
// bare 54-byte BMP header stating JPEG compression. gray1000.pgm holds the grey samples scaled to a maximum of 1000
// and rounded. The BMPs of the other layouts are the BMP reader's fuzz seeds.
const uint8_t kRgb[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}, {200, 100, 50}, {7, 8, 9}};
const uint8_t kAlpha[6] = {255, 128, 0, 1, 2, 3};
const uint8_t kGifAlpha[6] = {255, 255, 0, 255, 255, 255};  // a GIF's alpha is its transparent index

std::vector<uint8_t> Expected(int channels, const uint8_t* alpha) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 6; ++i) {
        pixels.insert(pixels.end(), kRgb[i], kRgb[i] + (channels <= 2 ? 1 : 3));
        if (channels % 2 == 0) pixels.push_back(alpha[i]);
    }
    return pixels;
}

// The rows of a table in tests/data/cli/; those after its "own readers" line only for the builds that read WebP,
// TIFF and BMP with their own readers (on Windows the system's decoders read them).
std::vector<std::vector<std::string>> Rows(const std::string& table) {
    std::vector<std::vector<std::string>> rows = DataTable("cli/" + table);
    const auto split = std::find(rows.begin(), rows.end(), std::vector<std::string>{"own readers"});
#if defined(HC_HAVE_WIC)
    rows.erase(split, rows.end());
#else
    if (split != rows.end()) rows.erase(split);
#endif
    return rows;
}

}  // namespace

// The rows of tests/data/cli/recorded-flags.txt: what the flags set reaches the plug-in's recording, and what they
// leave unset stays unset. The rows of tests/data/cli/usage-refusals.txt are refused with their phrase.
TEST(CommandLine, FlagsBecomeTheRecordedSettingsAndBadOnesAreRefused) {
    for (const std::vector<std::string>& row : DataTable("cli/recorded-flags.txt")) {
        SCOPED_TRACE(row.at(0));
        EXPECT_EQ(SettingsDescriptor(ParseCommandLine(Words(row[0])), true),
                  RecordingItems(Arguments(row.begin() + 1, row.end())));
    }
    for (auto [size, bytes] : {std::pair{"1234", 1234u}, {"20K", 20480u}, {"3m", 3145728u}, {"4095M", 4293918720u}})
        EXPECT_EQ(ParseCommandLine({"in.png", "--max-size", size}).maxSize, bytes) << size;
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    std::vector<std::vector<std::string>> refused = DataTable("cli/usage-refusals.txt");
    refused.push_back({"a.png -o o.gif --comment " + std::string(256, 'c'), "255"});
    for (const std::vector<std::string>& row : refused) {
        const std::string message = MessageOf<UsageError>([&] { PlanConversions(ParseCommandLine(Words(row.at(0)))); });
        EXPECT_NE(message.find(row.at(1)), std::string::npos) << row[0] << ": " << message;
    }
}

// The rows of tests/data/cli/size-target.txt: what the search chooses, that the last file made to fit is the one
// chosen (the command keeps only that one), and how many files it makes.
TEST(SizeTarget, ChoosesTheLowestLevelThenTheMostColoursThatFit) {
    const auto stepped = [](int colors, int lossy) {
        return uint64_t(1000 + 1000 * ((colors + 63) / 64) + 10 * (100 - lossy));
    };
    for (const std::vector<std::string>& row : DataTable("cli/size-target.txt")) {
        SCOPED_TRACE(row.at(0));
        const auto cell = [&](size_t i) { return std::stoi(row.at(i)); };
        const int chosenColors = cell(4), chosenLossy = cell(5);
        std::vector<SizeChoice> made;
        const MakeSizedFile make = [&](int colors, int lossy) {
            made.push_back({colors, lossy, stepped(colors, lossy)});
            return made.back().bytes;
        };
        SizeChoice choice{};
        try {
            choice = FindBestFit(uint64_t(cell(1)), cell(2), cell(3), make);
        } catch (const SizeNotReached& failure) {
            choice = {0, 0, 0};
            EXPECT_EQ(std::tuple(failure.smallest.colors, failure.smallest.lossy, failure.smallest.bytes),
                      std::tuple(2, 100, uint64_t(2000)));
        }
        EXPECT_EQ(std::pair(choice.colors, choice.lossy), std::pair(chosenColors, chosenLossy));
        EXPECT_LE(int(made.size()), cell(6));
        if (chosenColors == 0) continue;
        const auto lastFit =
            std::find_if(made.rbegin(), made.rend(), [&](const SizeChoice& m) { return m.bytes <= uint64_t(cell(1)); });
        ASSERT_NE(lastFit, made.rend());
        EXPECT_EQ(std::pair(lastFit->colors, lastFit->lossy), std::pair(chosenColors, chosenLossy));
    }
}

// The file layer's codes in words (the rows of tests/data/cli/file-error-texts.txt), the system decoders' failures
// in the readers' wording, and how much of the command a cancel left undone.
TEST(FailureText, FileErrorsDecodeFailuresAndCancelsNameTheFileAndACause) {
    const std::map<std::string, uint32_t> errors = {{"-", 0},          {"ENOSPC", ENOSPC}, {"EFBIG", EFBIG},
                                                    {"EROFS", EROFS},  {"EACCES", EACCES}, {"ENOENT", ENOENT},
                                                    {"EEXIST", EEXIST}};
    for (const std::vector<std::string>& row : DataTable("cli/file-error-texts.txt")) {
        const FileRole role = row.at(2) == "read" ? FileRole::ReadFrom : FileRole::WrittenTo;
        const std::string text = FileErrorText("out.gif", std::stoul(row[0]), errors.at(row.at(1)), role);
        EXPECT_EQ(text.rfind(row.at(3), 0), 0u) << text;
    }
    EXPECT_EQ(WarningText(SimAlert{"There is no pixel data ...", "Empty Selection", 0}, "in.png"),
              "warning: in.png is completely transparent; the GIF holds one transparent pixel");
    EXPECT_EQ(DecodeFailureText("a.png", "PNG", DecodeFailure::Damaged, 0x88982F61u),
              "a.png: not a readable PNG image (damaged or incomplete data, system code 0x88982F61)");
    EXPECT_EQ(DecodeFailureText("a.tif", "TIFF", DecodeFailure::Unsupported, 0x88982F80u),
              "a.tif: a TIFF image of a kind that cannot be read (system code 0x88982F80)");
    EXPECT_EQ(CancelledText("in.png", 0), "cancelled; no file was written for in.png.");
    EXPECT_EQ(CancelledText("in.png", 1),
              "cancelled; no file was written for in.png, and the input after it was not converted.");
    EXPECT_EQ(CancelledText("in.png", 2),
              "cancelled; no file was written for in.png, and the 2 inputs after it were not converted.");
}

// Every file of input-pictures.txt reads to the picture, within the row's tolerance; each file of
// input-refusals.txt is refused with its phrase, the message naming the file.
TEST(InputImage, EveryFormatReadsToTheSamePictureAndBadFilesAreRefused) {
    for (const std::vector<std::string>& row : Rows("input-pictures.txt")) {
        SCOPED_TRACE(row.at(0));
        const InputImage image = ReadImageFile(HC_TEST_DATA_DIR "/" + row.at(0));
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        const int channels = std::stoi(row.at(1)), tolerance = row.size() > 3 ? std::stoi(row[3]) : 0;
        ASSERT_EQ(image.channels, channels);
        const std::vector<uint8_t> expected =
            Expected(channels, row.size() > 2 && row[2] == "gif" ? kGifAlpha : kAlpha);
        ASSERT_EQ(image.pixels.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(image.pixels[i], expected[i], tolerance) << i;
    }
    // Too wide for the host's 16-bit sizes: refused from the header, before the pixels are decoded.
    const std::string scratch = MakeScratchDir("refused"), wide = scratch + "/wide.png";
    WritePngFile(wide, 40000, 1, std::vector<uint8_t>(40000 * 3, 7));
    std::vector<std::pair<std::string, std::string>> refused = {{wide, "32767"}};
    for (const std::vector<std::string>& row : Rows("input-refusals.txt")) {
        const bool cut = row.at(0).rfind("cut ", 0) == 0;
        const size_t name = cut ? row[0].find(' ', 4) + 1 : 0;
        std::string path = HC_TEST_DATA_DIR "/" + row[0].substr(name);
        if (cut) {  // a copy cut after the row's count of bytes
            const std::string bytes = ReadFileBytes(path);
            path = scratch + "/cut" + std::filesystem::path(path).extension().string();
            std::ofstream(path, std::ios::binary) << bytes.substr(0, std::stoul(row[0].substr(4)));
        }
        refused.emplace_back(path, row.at(1));
    }
    for (const auto& [path, phrase] : refused) {
        const std::string message = MessageOf<ImageReadError>([&] { ReadImageFile(path); });
        EXPECT_NE(message.find(phrase), std::string::npos) << path << " gave: " << message;
        EXPECT_NE(message.find(path), std::string::npos) << "the message names the file: " << message;
    }
}

#if defined(HC_HAVE_WIC)
TEST(InputImage, SystemDecodersTakeAnyName) {
    // A name outside the system's code page reaches the decoder whole.
    const std::filesystem::path copy =
        std::filesystem::u8path(MakeScratchDir("wic-name") + "/\xCE\xA0\xCE\xB1\xCE\xBB \xF0\x9F\x8E\xA8.tif");
    std::filesystem::copy_file(std::filesystem::u8path(HC_TEST_DATA_DIR "/formats/rgba.tif"), copy);
    EXPECT_EQ(ReadImageFile(copy.u8string()).pixels, Expected(4, kAlpha));
}
#endif
