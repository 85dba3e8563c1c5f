// The error an action throws, for tests that pin exact error codes.
// Returns code 0 (and detail 0) when the action throws nothing, so a missing failure shows as a mismatch.
#pragma once

#include <cstdint>
#include <utility>

#include "cvcode2/CvErrorCode.h"

using CodeDetail = std::pair<uint32_t, uint32_t>;

template <class Action>
CodeDetail ErrorAndDetail(Action&& action) {
    try {
        action();
    } catch (const CvErrorCode& error) {
        return {error.code, error.detail};
    }
    return {0, 0};
}

template <class Action>
uint32_t ErrorOf(Action&& action) {
    return ErrorAndDetail(action).first;
}
