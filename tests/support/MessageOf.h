// The message of the `Error` an action throws, for tests that check what a refusal says.
// Returns "" when the action throws nothing, so a missing refusal shows as a message without the expected words.
#pragma once

#include <string>

template <class Error, class Action>
std::string MessageOf(Action&& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}
