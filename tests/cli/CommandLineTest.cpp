// The command's own pieces without a process: its flags, the settings it records and the size search (what the
// command makes of them, the outputs it plans and the image it hands the host among them, is HalcyneCommandTest's).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/SettingsDescriptor.h"
#include "cli/SizeTarget.h"
#include "tests/support/MessageOf.h"
#include "tests/support/RecordingText.h"
#include "tests/support/TestPaths.h"

namespace {

using Arguments = std::vector<std::string>;

// "a b  c" -> {"a", "b", "c"}.
Arguments Words(const std::string& line) {
    Arguments words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string UsageMessage(const Arguments& arguments) {
    return MessageOf<UsageError>([&] { PlanConversions(ParseCommandLine(arguments)); });
}

}  // namespace

// The rows of tests/data/cli/recorded-flags.txt: what the flags set reaches the plug-in's recording, and what they
// leave unset stays unset.
TEST(CommandLine, FlagsBecomeTheRecordedSettings) {
    for (const std::vector<std::string>& row : DataTable("cli/recorded-flags.txt")) {
        SCOPED_TRACE(row.at(0));
        EXPECT_EQ(SettingsDescriptor(ParseCommandLine(Words(row[0])), true),
                  RecordingItems(Arguments(row.begin() + 1, row.end())));
    }
    for (auto [size, bytes] : {std::pair{"1234", 1234u}, {"20K", 20480u}, {"3m", 3145728u}, {"4095M", 4293918720u}})
        EXPECT_EQ(ParseCommandLine({"in.png", "--max-size", size}).maxSize, bytes) << size;
    EXPECT_FALSE(ParseCommandLine({"in.png"}).maxSize);
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
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
