#pragma once

#include <gtest/gtest.h>
#include <optional>

namespace brinmor::test {

// Runs the action and hands back the exception of kind E it raised; records a failure and
// gives none when it raised nothing. Other kinds pass through and fail the test.
template <class E, class F> std::optional<E> Raised(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return std::nullopt;
}

} // namespace brinmor::test
