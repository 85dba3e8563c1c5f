// The independent readers agree with each other on files none of our code wrote,
// so a later disagreement with one of our files points at our file.
#include "tests/support/GifInspect.h"

#include <gtest/gtest.h>

namespace {
std::string Gif(const std::string& name) { return HC_TEST_DATA_DIR "/gif/" + name; }
}  // namespace

TEST(IndependentGifReaders, AgreeOnForeignFiles) {
    for (const char* name : {"pillow-comment-transparent.gif", "im-interlaced.gif", "im-16colours.gif"}) {
        SCOPED_TRACE(name);
        GifReading giflib = ReadWithGiflib(Gif(name));
        GifReading pillow = ReadWithPillow(Gif(name));
        EXPECT_EQ(giflib.width, pillow.width);
        EXPECT_EQ(giflib.height, pillow.height);
        EXPECT_EQ(giflib.interlaced, pillow.interlaced);
        EXPECT_EQ(giflib.transparentIndex, pillow.transparentIndex);
        EXPECT_EQ(giflib.comment, pillow.comment);
        EXPECT_EQ(giflib.indices, pillow.indices);
        EXPECT_EQ(ReadRgbaWithImageMagick(Gif(name)), ExpectedRgba(giflib));
    }
}

TEST(IndependentGifReaders, ReadTheKnownFacts) {
    GifReading reading = ReadWithGiflib(Gif("pillow-comment-transparent.gif"));
    EXPECT_EQ(reading.comment, "hello");
    EXPECT_EQ(reading.transparentIndex, 2);
    EXPECT_EQ(reading.backgroundIndex, 3);
    EXPECT_EQ(reading.indices, (std::vector<uint8_t>{0, 1, 2, 3, 0, 1}));
    EXPECT_TRUE(ReadWithPillow(Gif("im-interlaced.gif")).interlaced);
}
