// Progress reporting for long engine steps: a task announces a caption and a range, reports its position,
// and learns from its indicator whether to stop. A task without an indicator runs silently and never stops.
#pragma once

#include <cstdint>

#include "cvcode2/CvErrorCode.h"

class CvColorTable;
class CvProgressTask;

class CvProgressIndicator {
public:
    virtual ~CvProgressIndicator() = default;
    virtual void Start(CvProgressTask* task) = 0;
    virtual void Step(CvProgressTask* task) = 0;  // part of the interface; nothing calls it
    virtual void Finish(CvProgressTask* task) = 0;
    // True asks the task to stop.
    virtual bool Update(CvProgressTask* task) = 0;
    virtual void Error(CvProgressTask* task, CvErrorCode error) = 0;
};

class CvProgressTask {
public:
    explicit CvProgressTask(CvProgressIndicator* indicator);

    void Start(uint32_t minimum, uint32_t maximum, const char* caption);
    // Records the position; true when the indicator asks to stop (callers then throw kCvErrCancelled).
    bool SetProgress(uint32_t value);
    void ReportError(const CvErrorCode& error);
    void Finish();

    uint32_t Id() const { return id; }
    uint32_t Minimum() const { return minimum; }
    uint32_t Current() const { return current; }
    uint32_t Maximum() const { return maximum; }
    const char* Caption() const { return caption; }
    CvProgressIndicator* Indicator() const { return indicator; }
    // For a task kept across runs that report to different indicators.
    void SetIndicator(CvProgressIndicator* value) { indicator = value; }
    const CvColorTable* Palette() const { return palette; }
    void SetPalette(const CvColorTable* table) { palette = table; }

private:
    uint32_t id;
    uint32_t minimum = 0;
    uint32_t current = 0;
    uint32_t maximum = 0;
    CvProgressIndicator* indicator;
    const CvColorTable* palette = nullptr;
    char caption[256] = {};
};

// Throws the stop request when a task's report asks for it.
#define CV_PROGRESS(task, value)                                  \
    do {                                                          \
        if ((task).SetProgress(value)) CV_THROW(kCvErrCancelled); \
    } while (0)

// The percentage a progress bar shows: 100 × current / maximum, rounded to the nearest whole number.
int ProgressPercent(uint32_t current, uint32_t maximum);
