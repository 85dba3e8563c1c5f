// Progress tasks: ids from one process-wide counter, captions cut to 255 characters, reports to the indicator.
// Nothing here ever stops a task by itself; only an indicator's answer does.
#include "cvcode2/CvProgressTask.h"

#include <cmath>
#include <cstring>

#include "cvcode2/CvLog.h"

namespace {
uint32_t gNextTaskId = 0;
}

CvProgressTask::CvProgressTask(CvProgressIndicator* indicator_) : id(++gNextTaskId), indicator(indicator_) {}

void CvProgressTask::Start(uint32_t minimum_, uint32_t maximum_, const char* caption_) {
    CV_ASSERT(caption_ != nullptr);
    minimum = minimum_;
    maximum = maximum_;
    size_t length = caption_ ? std::strlen(caption_) : 0;
    if (length > 255) length = 255;
    if (length) std::memcpy(caption, caption_, length);
    caption[length] = 0;
    if (indicator) indicator->Start(this);
    current = 0;
}

bool CvProgressTask::SetProgress(uint32_t value) {
    current = value;
    return indicator ? indicator->Update(this) : false;
}

void CvProgressTask::ReportError(const CvErrorCode& error) {
    if (indicator) indicator->Error(this, error);
}

void CvProgressTask::Finish() {
    if (indicator) indicator->Finish(this);
}

int ProgressPercent(uint32_t current, uint32_t maximum) {
    if (maximum == 0) return 0;
    return int(std::lround(100.0 * double(current) / double(maximum)));
}
