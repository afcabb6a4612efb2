#include "orvo/automation/error.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(RuntimeErrorTest, CarriesClassicOrOwnTextAndLibrarySource) {
  const AutomationError e = RuntimeError(kTypeMismatch);
  EXPECT_EQ(e.number(), 13);
  EXPECT_STREQ(e.what(), "Type mismatch (number 13, source OrvoMPrintExport)");
  const AutomationError own = RuntimeError(kInvalidProcedureCall, "Bad template id");
  EXPECT_EQ(own.number(), 5);
  EXPECT_EQ(own.description(), "Bad template id");
  EXPECT_EQ(own.source(), "OrvoMPrintExport");

  EXPECT_EQ(RuntimeErrorText(429), "ActiveX component can't create object");
  EXPECT_EQ(RuntimeErrorText(438), "Object doesn't support this property or method");
  EXPECT_EQ(RuntimeErrorText(450), "Wrong number of arguments or invalid property assignment");
  EXPECT_EQ(RuntimeErrorText(1234), "Application-defined or object-defined error");
}

}  // namespace
}  // namespace orvo
