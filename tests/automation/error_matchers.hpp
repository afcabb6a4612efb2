// Test helper: asserts that a statement raises an AutomationError with a given
// number.

#ifndef ORVO_TESTS_AUTOMATION_ERROR_MATCHERS_HPP_
#define ORVO_TESTS_AUTOMATION_ERROR_MATCHERS_HPP_

#include <gtest/gtest.h>

#include "orvo/automation/error.hpp"

#define EXPECT_RUNTIME_ERROR(statement, expected)                                   \
  do {                                                                              \
    try {                                                                           \
      statement;                                                                    \
      ADD_FAILURE() << #statement " raised nothing, expected error " << (expected); \
    } catch (const ::orvo::AutomationError& e) {                                    \
      EXPECT_EQ(e.number(), (expected)) << #statement ": " << e.what();             \
    }                                                                               \
  } while (false)

#endif  // ORVO_TESTS_AUTOMATION_ERROR_MATCHERS_HPP_
