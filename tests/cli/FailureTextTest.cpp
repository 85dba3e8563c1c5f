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
