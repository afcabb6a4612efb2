// The error a call raises, for tests that check more than that it raises.

#ifndef ORVO_TESTS_SUPPORT_ERROR_OF_HPP_
#define ORVO_TESTS_SUPPORT_ERROR_OF_HPP_

#include <gtest/gtest.h>

#include "orvo/automation/error.hpp"

namespace orvo::testing {

// The error `f` raises; a test failure (and a blank error) when it raises none.
template <class F>
AutomationError ErrorOf(F&& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e;
  }
  ADD_FAILURE() << "no AutomationError was raised";
  return AutomationError(0, "", "");
}

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_ERROR_OF_HPP_
