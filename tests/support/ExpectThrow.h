#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string_view>

namespace tapwise::testing {

/// Whether `action` raises an `E` whose message is exactly `expected`; what it did instead
/// otherwise. Use it through EXPECT_THROW_MSG.
template <class E, class Action>
::testing::AssertionResult ThrowsWithMessage(Action&& action, std::string_view expected) {
  try {
    action();
  } catch (const E& error) {
    if (std::string_view(error.what()) == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "message \"" << error.what() << "\", expected \"" << expected << "\"";
  } catch (const std::exception& error) {
    return ::testing::AssertionFailure() << "an exception of another type with \"" << error.what()
                                         << "\", expected \"" << expected << "\"";
  } catch (...) {
    return ::testing::AssertionFailure() << "an exception not derived from std::exception";
  }
  return ::testing::AssertionFailure() << "no exception, expected \"" << expected << "\"";
}

}  // namespace tapwise::testing

/// Expects `statement` to raise an exception of type `exception_type` (or a descendant) whose
/// `what()` is exactly `message`:
///
///     EXPECT_THROW_MSG(queue.Pop(), EListError, "List is empty");
#define EXPECT_THROW_MSG(statement, exception_type, message) \
  EXPECT_TRUE(::tapwise::testing::ThrowsWithMessage<exception_type>([&] { statement; }, message))
