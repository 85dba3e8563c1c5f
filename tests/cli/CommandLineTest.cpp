// The command's own pieces without a process: its flags, the outputs it plans, the image it hands the host, the
// settings it records, the size search and the arguments each conversion process gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/HostImage.h"
#include "cli/ProcessJobs.h"
#include "cli/SettingsDescriptor.h"
#include "cli/SizeTarget.h"
#include "tests/support/MessageOf.h"
#include "tests/support/RecordingText.h"
#include "tests/support/TestPaths.h"

namespace {

using Arguments = std::vector<std::string>;

HalcyneOptions Parse(const Arguments& arguments) {
    return ParseCommandLine(arguments);
}

// "a b  c" -> {"a", "b", "c"}.
Arguments Words(const std::string& line) {
    Arguments words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string UsageMessage(const Arguments& arguments) {
    return MessageOf<UsageError>([&] { PlanConversions(Parse(arguments)); });
}

}  // namespace

// The rows of tests/data/cli/recorded-flags.txt: what the flags set reaches the plug-in's recording, and what they
// leave unset stays unset.
TEST(CommandLine, FlagsBecomeTheRecordedSettings) {
    for (const std::vector<std::string>& row : DataTable("cli/recorded-flags.txt")) {
        SCOPED_TRACE(row.at(0));
        EXPECT_EQ(SettingsDescriptor(Parse(Words(row[0])), true),
                  RecordingItems(Arguments(row.begin() + 1, row.end())));
    }
    for (auto [size, bytes] : {std::pair{"1234", 1234u}, {"20K", 20480u}, {"3m", 3145728u}, {"4095M", 4293918720u}})
        EXPECT_EQ(Parse({"in.png", "--max-size", size}).maxSize, bytes) << size;
    EXPECT_FALSE(Parse({"in.png"}).maxSize);
    EXPECT_TRUE(Parse({"--help"}).help);
}

// The cases are rows of tests/data/cli/usage-refusals.txt.
TEST(CommandLine, OutOfRangeMalformedAndClashingFlagsAreRefused) {
    const auto expectRefused = [](const Arguments& arguments, const std::string& phrase) {
        const std::string message = UsageMessage(arguments);
        EXPECT_NE(message.find(phrase), std::string::npos) << arguments.back() << ": " << message;
    };
    for (const std::vector<std::string>& row : DataTable("cli/usage-refusals.txt")) {
        expectRefused(Words(row.at(0)), row.at(1));
    }
    expectRefused({"a.png", "-o", "o.gif", "--comment", std::string(256, 'c')}, "255");
}

TEST(CommandLine, OutputsGoIntoTheFolderBesideTheInputsOrToTheOneFileNamed) {
    const auto outputs = [](const Arguments& arguments) {
        Arguments names;
        for (const ConversionJob& job : PlanConversions(Parse(arguments))) names.push_back(job.output);
        return names;
    };
    EXPECT_EQ(outputs({"a.png", "in/b.jpg", "c.ppm", "-o", "out/"}),
              (Arguments{"out/a.gif", "out/b.gif", "out/c.gif"}));
    EXPECT_EQ(outputs({"a.png", "in/b.jpg"}), (Arguments{"a.gif", "in/b.gif"}));
    EXPECT_EQ(outputs({"in/b.jpg", "-o", "x.gif"}), Arguments{"x.gif"});
    EXPECT_EQ(outputs({"-", "-o", "-"}), Arguments{"-"});
}

// Each conversion process gets every flag and its own input alone, also where a flag's value names an input.
TEST(CommandLine, EachConversionProcessGetsTheFlagsAndItsOwnInput) {
    const Arguments arguments = {"a.png", "--comment", "b.png", "b.png", "-j", "2", "-o", "out/"};
    const HalcyneOptions options = Parse(arguments);
    EXPECT_EQ(ArgumentsForOneInput(arguments, options.inputArguments, 0),
              (Arguments{"a.png", "--comment", "b.png", "-j", "2", "-o", "out/"}));
    EXPECT_EQ(ArgumentsForOneInput(arguments, options.inputArguments, 1),
              (Arguments{"--comment", "b.png", "b.png", "-j", "2", "-o", "out/"}));
}

TEST(HostImage, AlphaBecomesTheTransparencyPlaneAfterTheColourSamples) {
    const struct {
        int channels;
        std::vector<uint8_t> pixels, color;
        std::vector<std::vector<uint8_t>> planes;
        int mode;
    } cases[] = {
        {4, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 5, 6, 7}, {{4, 8}}, plugInModeRGBColor},
        {1, {9, 10}, {9, 10}, {}, plugInModeGrayScale},
    };
    for (const auto& c : cases) {
        InputImage image;
        image.width = 2, image.height = 1, image.channels = c.channels, image.pixels = c.pixels;
        const SimImage host = ToHostImage(std::move(image));
        EXPECT_EQ(host.mode, c.mode);
        EXPECT_EQ(host.PlaneCount(), c.channels);
        EXPECT_EQ(host.color, c.color);
        EXPECT_EQ(host.planes, c.planes);
    }
}

// The search against made-up file sizes: what it chooses, that the last file made to fit is the one chosen (the
// command keeps only that one), and how many files it makes.
TEST(SizeTarget, ChoosesTheLowestLevelThenTheMostColoursThatFit) {
    // Whole 64-colour steps, then 10 bytes a lossy level: 4000 bytes for 129..192 colours at level 100.
    const auto stepped = [](int colors, int lossy) {
        return uint64_t(1000 + 1000 * ((colors + 63) / 64) + 10 * (100 - lossy));
    };
    const struct {
        const char* name;
        uint64_t target;
        int colors, lossy;
        int chosenColors, chosenLossy;  // 0 colours: nothing fits, the smallest is 2 colours at level 100
        int mostFiles;
    } cases[] = {
        {"fits at once", 6000, 256, 0, 256, 0, 1},
        {"fits at once, the level given", 5500, 256, 50, 256, 50, 1},
        {"needs a lossy level", 5500, 256, 0, 256, 50, 9},
        {"needs fewer colours", 4100, 256, 0, 192, 90, 18},
        {"needs fewer colours from the level given", 4100, 256, 95, 192, 95, 14},
        {"two colours at level 100 are too large", 1999, 256, 0, 0, 0, 3},
        {"two colours asked for, too large", 1999, 2, 0, 0, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SizeChoice> made;
        const MakeSizedFile make = [&](int colors, int lossy) {
            made.push_back({colors, lossy, stepped(colors, lossy)});
            return made.back().bytes;
        };
        SizeChoice choice{};
        try {
            choice = FindBestFit(c.target, c.colors, c.lossy, make);
        } catch (const SizeNotReached& failure) {
            choice = {0, 0, 0};
            EXPECT_EQ(std::tuple(failure.smallest.colors, failure.smallest.lossy, failure.smallest.bytes),
                      std::tuple(2, 100, uint64_t(2000)));
        }
        EXPECT_EQ(std::pair(choice.colors, choice.lossy), std::pair(c.chosenColors, c.chosenLossy));
        EXPECT_LE(int(made.size()), c.mostFiles);
        if (c.chosenColors == 0) continue;
        EXPECT_EQ(choice.bytes, stepped(c.chosenColors, c.chosenLossy));
        const auto lastFit =
            std::find_if(made.rbegin(), made.rend(), [&](const SizeChoice& m) { return m.bytes <= c.target; });
        ASSERT_NE(lastFit, made.rend());
        EXPECT_EQ(std::pair(lastFit->colors, lastFit->lossy), std::pair(c.chosenColors, c.chosenLossy));
    }
}
