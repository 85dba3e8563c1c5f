// A progress indicator for tests: records every call as text and asks to stop when told to.
// It never changes a task; only its answers to Update do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cvcode2/CvProgressTask.h"

struct RecordingIndicator : CvProgressIndicator {
    std::vector<std::string> calls;
    bool stop = false;             // stop at every report
    uint32_t stopAt = UINT32_MAX;  // or at the report of this position
    void Start(CvProgressTask* task) override { calls.push_back(std::string("start ") + task->Caption()); }
    void Step(CvProgressTask*) override { calls.push_back("step"); }
    void Finish(CvProgressTask*) override { calls.push_back("finish"); }
    bool Update(CvProgressTask* task) override {
        calls.push_back("update " + std::to_string(task->Current()));
        return stop || task->Current() == stopAt;
    }
    void Error(CvProgressTask*, CvErrorCode error) override { calls.push_back("error " + std::to_string(error.code)); }
};
