#include <gtest/gtest.h>

#include <string>

#include "cvcode2/CvString.h"

TEST(CvString, LongStringKeepsFullLengthWithLengthByteCapped) {
    std::string text(300, 'x');
    CvString s(text.c_str());
    EXPECT_EQ(s.Length(), 300u);
    EXPECT_EQ(s.PStr()[0], 255);
    EXPECT_EQ(std::string(s.CStr()), text);
}

TEST(CvString, CompareFollowsFirstDifferenceThenLength) {
    EXPECT_EQ(CvString("abc").Compare(CvString("abd")), -1);
    EXPECT_EQ(CvString("abc").Compare(CvString("ab")), 1);
    EXPECT_EQ(CvString("ab").Compare(CvString("abc")), -1);
    EXPECT_EQ(CvString().Compare(CvString()), 0);
    // Characters compare as unsigned bytes.
    EXPECT_GT(CvString("\xE9").Compare(CvString("e")), 0);
    EXPECT_TRUE(CvString("a") < CvString("b"));
    EXPECT_TRUE(CvString("same") == CvString("same"));
}

TEST(CvString, PascalConstructionAndConcatenationKeepBothForms) {
    const unsigned char pascal[] = {3, 'G', 'I', 'F', 'X'};
    CvString s(pascal);
    EXPECT_STREQ(s.CStr(), "GIF");
    s += CvString("89a");
    EXPECT_STREQ(s.CStr(), "GIF89a");
    EXPECT_EQ(s.PStr()[0], 6);
    CvString twice = s + s;
    EXPECT_STREQ(twice.CStr(), "GIF89aGIF89a");
    s += s;  // appending to itself must read the old characters
    EXPECT_STREQ(s.CStr(), "GIF89aGIF89a");
    s.SetLength(3);
    EXPECT_STREQ(s.CStr(), "GIF");
}

TEST(PlainStrings, CompareUsesSignedBytesForCStringsAndUnsignedForPascal) {
    EXPECT_EQ(CvStrCompare("abc", "abd"), -1);
    EXPECT_EQ(CvStrCompare("abcd", "ab"), 2);
    EXPECT_LT(CvStrCompare("\xE9", "e"), 0);  // signed: 0xE9 is negative
    const unsigned char a[] = {1, 0xE9}, b[] = {1, 'e'};
    EXPECT_GT(CvPStrCompare(a, b), 0);
    unsigned char copy[256];
    CvPStrCopy(copy, a);
    EXPECT_EQ(CvPStrCompare(copy, a), 0);
}
