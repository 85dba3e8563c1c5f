#include <gtest/gtest.h>

#include <cerrno>

#include "cli/FailureText.h"
#include "hostsim/HostSimulator.h"

// The file layer's codes in words, with the role deciding between a missing file and a missing folder.
TEST(FailureText, FileErrorsNameTheFileAndACause) {
    struct Case {
        uint32_t code, detail;
        FileRole role;
        const char* text;
    } cases[] = {
        {22, ENOSPC, FileRole::WrittenTo, "cannot write out.gif: the disk is full"},
        {1, ENOSPC, FileRole::WrittenTo, "cannot write out.gif: the disk is full"},
        {1, EFBIG, FileRole::WrittenTo, "cannot write out.gif: the file would be larger than this process may write"},
        {1, EROFS, FileRole::WrittenTo, "cannot write out.gif: the disk is read-only"},
        {14, EACCES, FileRole::WrittenTo, "cannot write out.gif: no permission to write in that folder"},
        {5, EACCES, FileRole::ReadFrom, "cannot read out.gif: no permission to read it"},
        {10, ENOENT, FileRole::WrittenTo, "cannot write out.gif: the folder does not exist"},
        {10, ENOENT, FileRole::ReadFrom, "cannot read out.gif: there is no such file"},
        {28, 0, FileRole::ReadFrom, "cannot read out.gif: it is not a GIF or ACT palette file"},
        {2, 0, FileRole::WrittenTo, "cannot write out.gif: there is not enough memory for an image this large"},
        {31, EEXIST, FileRole::WrittenTo, "cannot write out.gif: a file of that name appeared"},
        {99, 0, FileRole::WrittenTo, "cannot write out.gif: the plug-in reported error 99"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileErrorText("out.gif", c.code, c.detail, c.role).rfind(c.text, 0), 0u)
            << FileErrorText("out.gif", c.code, c.detail, c.role);
    EXPECT_EQ(NothingWrittenText("out.gif"), "No file was written; an existing out.gif is unchanged.");
    EXPECT_EQ(NothingWrittenText("-"), "Nothing was written to standard output.");
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
