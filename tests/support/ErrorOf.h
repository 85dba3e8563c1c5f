// The error an action throws, for tests that pin exact error codes.
// Returns code 0 when the action throws nothing, so a missing failure shows as a mismatch.
#pragma once

#include <cstdint>

#include "cvcode2/CvErrorCode.h"

template <class Action>
CvErrorCode CaughtError(Action&& action) {
    try {
        action();
    } catch (const CvErrorCode& error) {
        return error;
    }
    return CvErrorCode(0, 0, __FILE__, __LINE__);
}

template <class Action>
uint32_t ErrorOf(Action&& action) {
    return CaughtError(action).code;
}
