// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <string>

// The message of the `E` that `action` throws; fails the test when it throws
// nothing. Any other exception escapes and fails the test as well.
template <typename E, typename F> std::string ThrownMessage(F&& action)
{
    try {
        action();
    } catch (const E& error) {
        return error.what();
    }
    ADD_FAILURE() << "no exception was thrown";
    return {};
}
