#include <gtest/gtest.h>

#include <algorithm>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/HostImage.h"
#include "cli/ProcessJobs.h"
#include "cli/SettingsDescriptor.h"
#include "cli/SizeTarget.h"

namespace {
HalcyneOptions Parse(std::vector<std::string> arguments) {
    return ParseCommandLine(arguments);
}

void ExpectUsageError(std::vector<std::string> arguments, const std::string& phrase) {
    try {
        ParseCommandLine(arguments);
        ADD_FAILURE() << "accepted " << arguments.back();
    } catch (const UsageError& error) {
        EXPECT_NE(std::string(error.what()).find(phrase), std::string::npos) << error.what();
    }
}
}  // namespace

TEST(CommandLine, FlagsBecomeSettingsAndUnsetOnesStayUnset) {
    HalcyneOptions options = Parse({"in.png", "-o", "out.gif", "--colors", "64", "-d", "5", "-i", "--transparency",
                                    "index=0,5,7", "--background", "1,2,3", "--comment", "hi"});
    EXPECT_EQ(options.inputs, (std::vector<std::string>{"in.png"}));
    EXPECT_EQ(options.output, "out.gif");
    EXPECT_EQ(options.colors, 64);
    EXPECT_EQ(options.dither, 5);
    EXPECT_EQ(options.interlaced, true);
    EXPECT_EQ(options.transparency, TransparencyChoice::Indexed);
    EXPECT_EQ(options.transparentIndexes, (std::vector<int>{0, 5, 7}));
    EXPECT_EQ(options.backgroundRgb, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(options.comment, "hi");
    EXPECT_FALSE(options.palette.has_value());
    EXPECT_FALSE(options.basePalette.has_value());

    EXPECT_FALSE(options.lossy.has_value());
    EXPECT_FALSE(options.maxSize.has_value());
    for (auto [size, bytes] : {std::pair{"1234", 1234u}, {"20K", 20480u}, {"3m", 3145728u}, {"4095M", 4293918720u}})
        EXPECT_EQ(Parse({"in.png", "--lossy", "40", "--max-size", size}).maxSize, bytes) << size;
    EXPECT_EQ(Parse({"in.png", "--lossy", "40"}).lossy, 40);

    HalcyneOptions plain = Parse({"in.png", "-o", "out.gif", "-t", "alpha=2", "--background", "White"});
    EXPECT_EQ(plain.transparency, TransparencyChoice::Alpha);
    EXPECT_EQ(plain.alphaPlane, 2);
    EXPECT_EQ(plain.backgroundName, "White");
}

TEST(CommandLine, OutOfRangeAndMalformedValuesAreRefused) {
    ExpectUsageError({"in.png", "-o", "o.gif", "--colors", "1"}, "2 to 256");
    ExpectUsageError({"in.png", "-o", "o.gif", "--colors", "257"}, "2 to 256");
    ExpectUsageError({"in.png", "-o", "o.gif", "--colors", "64x"}, "not '64x'");
    ExpectUsageError({"in.png", "-o", "o.gif", "--dither", "11"}, "0 to 10");
    ExpectUsageError({"in.png", "-o", "o.gif", "--dither"}, "needs a value");
    ExpectUsageError({"in.png", "-o", "o.gif", "--lossy", "101"}, "0 to 100");
    for (const char* size : {"0", "12X", "5G", "-1", "K", "4096M", "99999999999"})
        ExpectUsageError({"in.png", "-o", "o.gif", "--max-size", size}, "--max-size takes a size in bytes");
    ExpectUsageError({"in.png", "--max-size", "9K", "--dialog"}, "exclude");
    ExpectUsageError({"in.png", "-o", "o.gif", "-t", "index=256"}, "0 to 255");
    ExpectUsageError({"in.png", "-o", "o.gif", "-t", "sometimes"}, "--transparency takes");
    ExpectUsageError({"in.png", "-o", "o.gif", "--background", "1,2"}, "three numbers");
    ExpectUsageError({"in.png", "-o", "o.gif", "--comment", std::string(256, 'c')}, "255");
    ExpectUsageError({"in.png", "-o", "o.gif", "--frobnicate"}, "unknown option");
    ExpectUsageError({"-o", "o.gif"}, "no input");
    ExpectUsageError({"-"}, "only input, with -o");
    ExpectUsageError({"-", "b.png", "-o", "out/"}, "only input");
    ExpectUsageError({"a.png", "b.png", "-o", "-"}, "takes one input");
    ExpectUsageError({"a.png", "-o", "o.gif", "-p", "Netscape", "--palette-file", "p.act"}, "exclude");
    ExpectUsageError({"a.png", "--last-settings", "--no-prefs"}, "exclude");
    ExpectUsageError({"a.png", "b.png", "-j", "0"}, "1 to 256");
    EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(CommandLine, OutputsGoIntoTheFolderBesideTheInputsOrToTheOneFileNamed) {
    auto outputs = [](std::vector<std::string> arguments) {
        std::vector<std::string> names;
        for (const ConversionJob& job : PlanConversions(Parse(arguments))) names.push_back(job.output);
        return names;
    };
    EXPECT_EQ(outputs({"a.png", "in/b.jpg", "c.ppm", "-o", "out/"}),
              (std::vector<std::string>{"out/a.gif", "out/b.gif", "out/c.gif"}));
    EXPECT_EQ(outputs({"a.png", "in/b.jpg"}), (std::vector<std::string>{"a.gif", "in/b.gif"}));
    EXPECT_EQ(outputs({"in/b.jpg", "-o", "x.gif"}), (std::vector<std::string>{"x.gif"}));
    EXPECT_EQ(outputs({"-", "-o", "-"}), (std::vector<std::string>{"-"}));
    for (auto arguments : {std::vector<std::string>{"a.png", "b.png", "-o", "x.gif"},
                           std::vector<std::string>{"a.png", "d/a.jpg", "-o", "out/"}}) {
        try {
            PlanConversions(Parse(arguments));
            ADD_FAILURE() << "accepted " << arguments[1];
        } catch (const UsageError& error) {
            EXPECT_TRUE(std::string(error.what()).find("names a folder") != std::string::npos ||
                        std::string(error.what()).find("both be written to out/a.gif") != std::string::npos)
                << error.what();
        }
    }
}

TEST(HostImage, AlphaBecomesTheTransparencyPlaneAfterTheColourSamples) {
    InputImage rgba;
    rgba.width = 2;
    rgba.height = 1;
    rgba.channels = 4;
    rgba.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    SimImage host = ToHostImage(std::move(rgba));
    EXPECT_EQ(host.mode, plugInModeRGBColor);
    EXPECT_EQ(host.PlaneCount(), 4);
    EXPECT_EQ(host.color, (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
    ASSERT_EQ(host.planes.size(), 1u);
    EXPECT_EQ(host.planes[0], (std::vector<uint8_t>{4, 8}));

    InputImage grey;
    grey.width = 2;
    grey.height = 1;
    grey.channels = 1;
    grey.pixels = {9, 10};
    SimImage greyHost = ToHostImage(std::move(grey));
    EXPECT_EQ(greyHost.mode, plugInModeGrayScale);
    EXPECT_EQ(greyHost.PlaneCount(), 1);
    EXPECT_EQ(greyHost.color, (std::vector<uint8_t>{9, 10}));
    EXPECT_TRUE(greyHost.planes.empty());
}

TEST(SettingsDescriptor, RecordsEveryDefaultUnlessTheLastSettingsAreWanted) {
    HalcyneOptions options = ParseCommandLine({"in.png", "-o", "o.gif", "-c", "16", "-t", "index=3,4", "--lossy", "9"});
    const std::vector<SimDescriptorItem> expected = {
        SimDescriptorItem::Integer(MakeOSType("Dpth"), 16),
        SimDescriptorItem::Text(MakeOSType("Plt "), "Fine"),
        SimDescriptorItem::Bool(MakeOSType("Intr"), false),
        SimDescriptorItem::Text(MakeOSType("bpal"), "None"),
        SimDescriptorItem::Enumerated(MakeOSType("tran"), MakeOSType("Cvtn"), MakeOSType("indx")),
        SimDescriptorItem::Integer(MakeOSType("itrn"), 3),
        SimDescriptorItem::Integer(MakeOSType("itrn"), 4),
        SimDescriptorItem::Integer(MakeOSType("Dthr"), 0),
        SimDescriptorItem::Integer(MakeOSType("Lssy"), 9),
        SimDescriptorItem::Integer(MakeOSType("R   "), 128),
        SimDescriptorItem::Integer(MakeOSType("G   "), 128),
        SimDescriptorItem::Integer(MakeOSType("B   "), 128),
        SimDescriptorItem::Text(MakeOSType("comm"), ""),
    };
    EXPECT_EQ(SettingsDescriptor(options, true), expected);

    options.lastSettings = true;
    EXPECT_EQ(
        SettingsDescriptor(options, true),
        (std::vector<SimDescriptorItem>{expected[0], expected[3], expected[4], expected[5], expected[6], expected[8]}));
    // No lossy coding is recorded as the plug-in records it: without the key.
    options.lossy = 0;
    EXPECT_EQ(SettingsDescriptor(options, true).size(), 5u);
}

// The search against made-up file sizes: what it chooses, that the last file made to fit is the one chosen (the
// command keeps only that one), and how many files it makes.
TEST(SizeTarget, ChoosesTheLowestLevelThenTheMostColoursThatFit) {
    // Whole 64-colour steps, then 10 bytes a lossy level: 4000 bytes for 129..192 colours at level 100.
    const auto stepped = [](int colors, int lossy) {
        return uint64_t(1000 + 1000 * ((colors + 63) / 64) + 10 * (100 - lossy));
    };
    struct Case {
        const char* name;
        uint64_t target;
        int colors, lossy;
        int chosenColors, chosenLossy;  // 0 colours: nothing fits
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SizeChoice> made;
        const MakeSizedFile make = [&](int colors, int lossy) {
            made.push_back({colors, lossy, stepped(colors, lossy)});
            return made.back().bytes;
        };
        if (c.chosenColors == 0) {
            try {
                FindBestFit(c.target, c.colors, c.lossy, make);
                ADD_FAILURE() << "a file was chosen";
            } catch (const SizeNotReached& failure) {
                EXPECT_EQ(failure.smallest.colors, 2);
                EXPECT_EQ(failure.smallest.lossy, 100);
                EXPECT_EQ(failure.smallest.bytes, 2000u);
            }
        } else {
            const SizeChoice choice = FindBestFit(c.target, c.colors, c.lossy, make);
            EXPECT_EQ(std::pair(choice.colors, choice.lossy), std::pair(c.chosenColors, c.chosenLossy));
            EXPECT_EQ(choice.bytes, stepped(c.chosenColors, c.chosenLossy));
            auto lastFit =
                std::find_if(made.rbegin(), made.rend(), [&](const SizeChoice& m) { return m.bytes <= c.target; });
            ASSERT_NE(lastFit, made.rend());
            EXPECT_EQ(std::pair(lastFit->colors, lastFit->lossy), std::pair(c.chosenColors, c.chosenLossy));
        }
        EXPECT_LE(int(made.size()), c.mostFiles);
    }
}

// Each conversion process gets every flag and its own input alone, also where a flag's value names an input.
TEST(CommandLine, EachConversionProcessGetsTheFlagsAndItsOwnInput) {
    const std::vector<std::string> arguments = {"a.png", "--comment", "b.png", "b.png", "-j", "2", "-o", "out/"};
    const HalcyneOptions options = Parse(arguments);
    EXPECT_EQ(ArgumentsForOneInput(arguments, options.inputArguments, 0),
              (std::vector<std::string>{"a.png", "--comment", "b.png", "-j", "2", "-o", "out/"}));
    EXPECT_EQ(ArgumentsForOneInput(arguments, options.inputArguments, 1),
              (std::vector<std::string>{"--comment", "b.png", "b.png", "-j", "2", "-o", "out/"}));
}
