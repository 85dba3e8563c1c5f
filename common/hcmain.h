// The filter entry: keeps the run data between host calls, dispatches the six selectors,
// and turns every failure into one alert and host result 1.
#pragma once

#include <cstdint>

#include "common/HcGlobals.h"

class CvErrorCode;

constexpr int kHalcyneVersionMajor = 4;
constexpr int kHalcyneVersionMinor = 0;

struct FilterRecord;

// The host's parameter block of a call other than About.
inline FilterRecord& FilterOf(HcCallRecord& record) {
    return *static_cast<FilterRecord*>(record.filterRecord);
}
// The host window that owns this call's dialogs and alerts (from the About record for About); 0 when none.
intptr_t OwnerWindow(const HcCallRecord& record);

// The body of the exported entry point. Lets no exception escape.
void HcEntry(int16_t selector, void* block, intptr_t* data, int16_t* result);

// The one alert for an error that reached the entry; silent for a cancel.
void ReportError(HcCallRecord& record, const CvErrorCode& error);
const char* SelectorName(int16_t selector);

int16_t DoParameters(HcCallRecord& record);
int16_t DoPrepare(HcCallRecord& record);
int16_t DoStart(HcCallRecord& record);
int16_t DoContinue(HcCallRecord& record);
int16_t DoFinish(HcCallRecord& record);
// The reduction of a run without dialogs: an RGB source through Quantize into indexedImage, a grey source's
// palette merged when it holds colours that are not grey.
void ReduceForExport(HcCallRecord& record);
