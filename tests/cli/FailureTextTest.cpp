// The command's texts for failures its runs in HalcyneCommandTest seldom reach: every file error code in words, the
// system decoders' failures, a wholly transparent picture's warning and a cancel's account of what was left undone.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>

#include "cli/FailureText.h"
#include "hostsim/HostSimulator.h"
#include "tests/support/TestPaths.h"

// The file layer's codes in words: the rows of tests/data/cli/file-error-texts.txt.
TEST(FailureText, FileErrorsNameTheFileAndACause) {
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
}

// The system decoders' failures keep the readers' wording; a cancel tells how much of the command was left undone.
TEST(FailureText, DecodeFailuresAndCancels) {
    EXPECT_EQ(DecodeFailureText("a.png", "PNG", DecodeFailure::Damaged, 0x88982F61u),
              "a.png: not a readable PNG image (damaged or incomplete data, system code 0x88982F61)");
    EXPECT_EQ(DecodeFailureText("a.tif", "TIFF", DecodeFailure::Unsupported, 0x88982F80u),
              "a.tif: a TIFF image of a kind that cannot be read (system code 0x88982F80)");
    EXPECT_EQ(CancelledText("in.png", 0), "cancelled; no file was written for in.png.");
    EXPECT_EQ(CancelledText("in.png", 1),
              "cancelled; no file was written for in.png, and the input after it was not "
              "converted.");
    EXPECT_EQ(CancelledText("in.png", 2),
              "cancelled; no file was written for in.png, and the 2 inputs after it were "
              "not converted.");
}
