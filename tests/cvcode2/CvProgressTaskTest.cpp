#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/NoStartProgressProxy.h"
#include "cvcode2/CvProgressTask.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/RecordingIndicator.h"

namespace {
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

TEST(CvProgressTask, CaptionIsCutAt255AndIdsIncrease) {
    std::string caption(300, 'c');
    CvProgressTask first(nullptr), second(nullptr);
    first.Start(0, 1, caption.c_str());
    EXPECT_EQ(std::string(first.Caption()), caption.substr(0, 255));
    EXPECT_EQ(second.Id(), first.Id() + 1);
}

// Other tasks neither start nor stop on the target; their reports reach it (so a dialog keeps handling its
// messages), and a stop it asks for then waits for the remapping's first report.
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
}

TEST(NoStartProgressProxy, FinishSendsOneLastUpdateThenFinish) {
    RecordingIndicator dialog;
    NoStartProgressProxy proxy(&dialog);
    RunTask(&proxy, "Remapping", 2);
    RunTask(&proxy, "Quantizing", 2);
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"start Remapping", "update 1", "update 2", "update 2", "finish",
                                                      "update 1", "update 2"}));
}

TEST(ProgressPercent, RoundsToNearest) {
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(2, 3), 67);
    EXPECT_EQ(ProgressPercent(3, 3), 100);
    EXPECT_EQ(ProgressPercent(0, 0), 0);
    EXPECT_EQ(ProgressPercent(0xFFFFFFFFu, 0xFFFFFFFFu), 100);
}
