// The engine's small building blocks: errors, lockable buffers, strings, lists, progress tasks, bit and row flips
// and resampling, each checked where a caller would trip (lengths past 255, nested locks, self-appends, stop
// requests, odd bit phases and padding). Lines are walked by the mask edits.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/NoStartProgressProxy.h"
#include "cvcode2/CvBuffer.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFlip.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvProgressTask.h"
#include "cvcode2/CvResize.h"
#include "cvcode2/CvString.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/RecordingIndicator.h"
#include "tests/support/Transcript.h"

namespace {
// Counts what reaches the class, to check that nested locks stay in the base.
struct CountingBuffer : CvBuffer {
    int locks = 0, unlocks = 0;
    uint8_t* DoLock() override { return ++locks, CvBuffer::DoLock(); }
    void DoUnlock() override { ++unlocks, CvBuffer::DoUnlock(); }
};

void RunTask(CvProgressIndicator* indicator, const char* caption, uint32_t steps) {
    CvProgressTask task(indicator);
    task.Start(0, steps, caption);
    try {
        for (uint32_t i = 1; i <= steps; ++i) CV_PROGRESS(task, i);
    } catch (const CvErrorCode& error) {
        task.ReportError(error);
        throw;
    }
    task.Finish();
}
}  // namespace

// Names and captions past 255 characters are cut there; a rethrow keeps the first raiser's code and place.
TEST(CvErrorCode, LongNamesAreCutAt255AndARethrowKeepsTheFirstRaiser) {
    const std::string path(300, 'p');
    CvErrorCode error(21, 7, path.c_str(), 42);
    EXPECT_EQ(error.file[0], 255);
    EXPECT_EQ(std::string(error.FileName()), path.substr(0, 255));
    const CvErrorCode outer(CvErrorCode(28, 5, "first.cpp", 10), "cleanup.cpp", 99);
    EXPECT_EQ(std::make_tuple(outer.code, outer.detail, std::string(outer.FileName()), outer.line),
              std::make_tuple(28u, 5u, std::string("first.cpp"), 10u));
    CvProgressTask first(nullptr), second(nullptr);
    first.Start(0, 1, path.c_str());
    EXPECT_EQ(std::string(first.Caption()), path.substr(0, 255));
    EXPECT_EQ(second.Id(), first.Id() + 1);
}

TEST(CvBuffer, OnlyOutermostLockReachesTheClassAndScopedLocksUnlockOnEveryWayOut) {
    CountingBuffer buffer;
    uint8_t* memory = buffer.Allocate(16);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(buffer.Lock(), memory);
    buffer.Unlock();
    buffer.Unlock();
    EXPECT_EQ(buffer.unlocks, 0);
    buffer.Unlock();
    EXPECT_EQ(std::make_pair(buffer.locks, buffer.unlocks), std::make_pair(1, 1));
    try {
        CvBufferLock lock(buffer);
        lock.Data()[0] = 1;
        throw CvErrorCode(21, "test", 1);
    } catch (const CvErrorCode&) {
    }
    EXPECT_EQ(buffer.LockCount(), 0);
    buffer.Free();
    EXPECT_EQ(ErrorOf([&] { buffer.Lock(); }), 27u);  // no memory: an invalid state
}

// Both forms, comparisons and appends, observed as the lines of tests/data/transcripts/cvcode2/Strings.txt. A string
// past 255 characters keeps them all but its Pascal length says 255. The first difference decides, then the length;
// characters compare as unsigned bytes, but plain C strings as signed bytes (0xE9 is negative), Pascal ones unsigned.
TEST(CvString, KeepsBothFormsComparesAndAppendsToItself) {
    Transcript t("cvcode2/Strings");
    const std::string text(300, 'x');
    CvString longOne(text.c_str());
    EXPECT_EQ(std::string(longOne.CStr()), text);
    const auto compare = [](const char* a, const char* b) { return CvString(a).Compare(CvString(b)); };
    t("300 characters: length", longOne.Length(), "Pascal length", longOne.PStr()[0]);
    t("compare abc abd, abc ab, ab abc, e9 e:", compare("abc", "abd"), compare("abc", "ab"), compare("ab", "abc"),
      compare("\xE9", "e"), "empty", CvString().Compare(CvString()), "less, equal", CvString("a") < CvString("b"),
      CvString("same") == CvString("same"));
    const unsigned char pascal[] = {3, 'G', 'I', 'F', 'X'};
    CvString s(pascal);
    s += CvString("89a");
    t("appended", s.CStr(), s.PStr()[0], "doubled", (s + s).CStr());
    s += s;  // appending to itself must read the old characters
    t("appended to itself", s.CStr());
    s.SetLength(3);
    t("cut to 3", s.CStr());
    const unsigned char a[] = {1, 0xE9}, b[] = {1, 'e'};
    unsigned char copy[256];
    CvPStrCopy(copy, a);
    t("C strings abc abd, abcd ab, e9 e:", CvStrCompare("abc", "abd"), CvStrCompare("abcd", "ab"),
      CvStrCompare("\xE9", "e"), "Pascal e9 e", CvPStrCompare(a, b), "copy", CvPStrCompare(copy, a));
}

// Nodes inserted anywhere and removed at either end keep their order and the links both ways.
TEST(CvList, KeepsOrderAcrossInsertAndRemove) {
    int a = 1, b = 2, c = 3, d = 4;
    CvList list;
    list.Append(&a);
    list.Append(&c);
    list.InsertAfter(list.Head(), &b);
    list.InsertAfter(list.Tail(), &d);
    EXPECT_EQ(list.ItemAt(1), &b);
    list.RemoveAt(0);
    list.Remove(list.Tail());
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ((std::vector<void*>{list.Head()->item, list.Tail()->item, list.Head()->previous, list.Tail()->next}),
              (std::vector<void*>{&b, &c, nullptr, nullptr}));
}

// Other tasks neither start nor stop on the target; their reports reach it (so a dialog keeps handling its
// messages), and a stop it asks for then waits for the remapping's first report. Finishing sends one last update.
TEST(NoStartProgressProxy, OnlyRemappingStartsOnTheTargetAndCanBeStopped) {
    RecordingIndicator dialog;
    dialog.stopAt = 2;  // the dialog asks to stop during the other task
    NoStartProgressProxy proxy(&dialog);
    EXPECT_NO_THROW(RunTask(&proxy, "Reducing", 3));
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"update 1", "update 2", "update 3"}));
    dialog.calls.clear();
    EXPECT_EQ(ErrorOf([&] { RunTask(&proxy, "Remapping", 3); }), 3u);  // stops at its first report
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"start Remapping", "error 3"}));
    dialog.calls.clear();
    dialog.stop = true;
    EXPECT_EQ(ErrorOf([&] { RunTask(&proxy, "Remapping", 3); }), 3u);
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"start Remapping", "update 1", "error 3"}));
    RecordingIndicator quiet;
    NoStartProgressProxy second(&quiet);
    RunTask(&second, "Remapping", 2);
    RunTask(&second, "Quantizing", 2);
    EXPECT_EQ(quiet.calls, (std::vector<std::string>{"start Remapping", "update 1", "update 2", "update 2", "finish",
                                                     "update 1", "update 2"}));
    // Percentages round to the nearest and survive the largest counts.
    for (auto [done, total, percent] :
         {std::array<uint32_t, 3>{1, 3, 33}, {2, 3, 67}, {3, 3, 100}, {0, 0, 0}, {0xFFFFFFFFu, 0xFFFFFFFFu, 100}})
        EXPECT_EQ(ProgressPercent(done, total), int(percent)) << done << "/" << total;
}

TEST(CvFlip, FlipBitsReversesPixelsKeepingPaddingAndCopyBitsMatchesABitByBitCopy) {
    // A 9-pixel row with pixel 0 and the 7 padding bits of byte 1 set, then two 3-pixel rows of 2 bytes: 1 1 0 (+ a
    // set padding bit) and 0 1 0. Pixel 8 is then set, every padding bit and spare byte untouched.
    uint8_t rows[6] = {0x80, 0x7F, 0xD0, 0x00, 0x40, 0x00};
    CvFlip::FlipBits(rows, 2, 9, 1);
    CvFlip::FlipBits(rows + 2, 2, 3, 2);
    EXPECT_EQ(std::vector<uint8_t>(rows, rows + 6), (std::vector<uint8_t>{0x00, 0xFF, 0x70, 0x00, 0x40, 0x00}));
    // CopyBits at every pair of bit phases matches a bit-by-bit copy.
    uint8_t source[6] = {0xA5, 0x3C, 0xF0, 0x0F, 0x99, 0x66};
    for (uint32_t from = 0; from < 9; ++from)
        for (uint32_t to = 0; to < 9; ++to)
            for (uint32_t n : {1u, 5u, 8u, 13u, 30u}) {
                std::vector<uint8_t> dst(6, 0x5A);
                std::vector<uint8_t> expected = dst;
                for (uint32_t i = 0; i < n; ++i) {
                    const bool bit = source[(from + i) / 8] & (0x80 >> ((from + i) % 8));
                    const uint8_t mask = uint8_t(0x80 >> ((to + i) % 8));
                    uint8_t& byte = expected[(to + i) / 8];
                    byte = uint8_t(bit ? byte | mask : byte & ~mask);
                }
                CvFlip::CopyBits(source, from, dst.data(), to, n);
                ASSERT_EQ(dst, expected) << from << " " << to << " " << n;
            }
}

TEST(CvResize, AreaSumTruncatesEveryContributionAverageRoundsTheAreaMean) {
    const uint8_t src[4] = {0, 255, 255, 0};
    uint8_t dst[1] = {99};
    CvResize::ResizeAreaSum(src, dst, 1, 1, 1, 2, 1, 2, 2, 1, 1, false);
    EXPECT_EQ(dst[0], 126);
    // Enlarging repeats each pixel, in both rows; a second channel byte beyond `channels` is left alone.
    const uint8_t two[4] = {10, 7, 200, 7};
    std::vector<uint8_t> big(16, 0xEE);
    CvResize::ResizeAreaSum(two, big.data(), 1, 2, 2, 4, 8, 2, 1, 4, 2, false);
    EXPECT_EQ(big, (std::vector<uint8_t>{10, 0xEE, 10, 0xEE, 200, 0xEE, 200, 0xEE,  //
                                         10, 0xEE, 10, 0xEE, 200, 0xEE, 200, 0xEE}));
    // The average is the rounded area mean.
    CvResize::ResizeAverage(src, dst, 1, 1, 1, 2, 1, 2, 2, 1, 1);
    EXPECT_EQ(dst[0], 128);
    // 3 -> 2: the middle pixel is split evenly, (0 x 2 + 90 x 1) / 3 and (90 x 1 + 180 x 2) / 3.
    const uint8_t row[3] = {0, 90, 180};
    uint8_t out[2];
    CvResize::ResizeAverage(row, out, 1, 1, 1, 3, 2, 3, 1, 2, 1);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 2), (std::vector<uint8_t>{30, 150}));
}
