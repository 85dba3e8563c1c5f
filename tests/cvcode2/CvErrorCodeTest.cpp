#include <gtest/gtest.h>

#include <string>

#include "cvcode2/CvErrorCode.h"

TEST(CvErrorCode, LongFileNameIsCutAt255AndReadsBackBothWays) {
    std::string path(300, 'p');
    CvErrorCode error(21, 7, path.c_str(), 42);
    EXPECT_EQ(error.file[0], 255);
    EXPECT_EQ(std::string(error.FileName()), path.substr(0, 255));
}

TEST(CvErrorCode, RethrowKeepsTheFirstRaiser) {
    try {
        try {
            throw CvErrorCode(28, "first.cpp", 10);
        } catch (const CvErrorCode& inner) {
            throw CvErrorCode(inner, "cleanup.cpp", 99);
        }
    } catch (const CvErrorCode& outer) {
        EXPECT_EQ(outer.code, 28u);
        EXPECT_EQ(outer.detail, 0u);
        EXPECT_STREQ(outer.FileName(), "first.cpp");
        EXPECT_EQ(outer.line, 10u);
    }
}
