// The engine's small building blocks: errors, lockable buffers, strings, lists and progress tasks.
// Each is checked where a caller would trip: lengths past 255, nested locks, self-appends, stop requests.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/NoStartProgressProxy.h"
#include "cvcode2/CvBuffer.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvProgressTask.h"
#include "cvcode2/CvString.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/RecordingIndicator.h"

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
    const CvErrorCode outer(CvErrorCode(28, "first.cpp", 10), "cleanup.cpp", 99);
    EXPECT_EQ(std::make_pair(outer.code, outer.detail), std::make_pair(28u, 0u));
    EXPECT_STREQ(outer.FileName(), "first.cpp");
    EXPECT_EQ(outer.line, 10u);
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

TEST(CvString, KeepsBothFormsComparesAndAppendsToItself) {
    const std::string text(300, 'x');
    CvString longOne(text.c_str());
    EXPECT_EQ(longOne.Length(), 300u);
    EXPECT_EQ(longOne.PStr()[0], 255);
    EXPECT_EQ(std::string(longOne.CStr()), text);
    // The first difference decides, then the length; characters compare as unsigned bytes.
    EXPECT_EQ(CvString("abc").Compare(CvString("abd")), -1);
    EXPECT_EQ(CvString("abc").Compare(CvString("ab")), 1);
    EXPECT_EQ(CvString("ab").Compare(CvString("abc")), -1);
    EXPECT_EQ(CvString().Compare(CvString()), 0);
    EXPECT_GT(CvString("\xE9").Compare(CvString("e")), 0);
    EXPECT_TRUE(CvString("a") < CvString("b"));
    EXPECT_TRUE(CvString("same") == CvString("same"));
    const unsigned char pascal[] = {3, 'G', 'I', 'F', 'X'};
    CvString s(pascal);
    s += CvString("89a");
    EXPECT_STREQ(s.CStr(), "GIF89a");
    EXPECT_EQ(s.PStr()[0], 6);
    EXPECT_STREQ((s + s).CStr(), "GIF89aGIF89a");
    s += s;  // appending to itself must read the old characters
    EXPECT_STREQ(s.CStr(), "GIF89aGIF89a");
    s.SetLength(3);
    EXPECT_STREQ(s.CStr(), "GIF");
    // Plain C strings compare as signed bytes (0xE9 is negative), Pascal strings as unsigned.
    EXPECT_EQ(CvStrCompare("abc", "abd"), -1);
    EXPECT_EQ(CvStrCompare("abcd", "ab"), 2);
    EXPECT_LT(CvStrCompare("\xE9", "e"), 0);
    const unsigned char a[] = {1, 0xE9}, b[] = {1, 'e'};
    EXPECT_GT(CvPStrCompare(a, b), 0);
    unsigned char copy[256];
    CvPStrCopy(copy, a);
    EXPECT_EQ(CvPStrCompare(copy, a), 0);
}

TEST(CvList, KeepsOrderAcrossInsertAndRemove) {
    int a = 1, b = 2, c = 3, d = 4;
    CvList list;
    list.Append(&a);
    list.Append(&c);
    list.InsertAfter(list.Head(), &b);
    list.InsertAfter(list.Tail(), &d);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.ItemAt(1), &b);
    EXPECT_EQ(list.Tail()->item, &d);
    list.RemoveAt(0);
    EXPECT_EQ(list.Head()->item, &b);
    EXPECT_EQ(list.Head()->previous, nullptr);
    list.Remove(list.Tail());
    EXPECT_EQ(list.Tail()->item, &c);
    EXPECT_EQ(list.Tail()->next, nullptr);
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
    for (auto [done, total, percent] : {std::array<uint32_t, 3>{1, 3, 33}, {2, 3, 67}, {3, 3, 100}, {0, 0, 0},
                                        {0xFFFFFFFFu, 0xFFFFFFFFu, 100}})
        EXPECT_EQ(ProgressPercent(done, total), int(percent)) << done << "/" << total;
}
