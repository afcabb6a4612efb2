#include "orvo/automation/error.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(RuntimeErrorTest, CarriesClassicTextAndLibrarySource) {
  const AutomationError e = RuntimeError(kTypeMismatch);
  EXPECT_EQ(e.number(), 13);
  EXPECT_EQ(e.source(), "OrvoMPrintExport");
  EXPECT_EQ(e.description(), "Type mismatch");
  EXPECT_STREQ(e.what(), "Type mismatch (number 13, source OrvoMPrintExport)");
}

TEST(RuntimeErrorTest, ClassicTexts) {
  EXPECT_EQ(RuntimeErrorText(5), "Invalid procedure call or argument");
  EXPECT_EQ(RuntimeErrorText(6), "Overflow");
  EXPECT_EQ(RuntimeErrorText(9), "Subscript out of range");
  EXPECT_EQ(RuntimeErrorText(91), "Object variable or With block variable not set");
  EXPECT_EQ(RuntimeErrorText(94), "Invalid use of Null");
  EXPECT_EQ(RuntimeErrorText(424), "Object required");
  EXPECT_EQ(RuntimeErrorText(429), "ActiveX component can't create object");
  EXPECT_EQ(RuntimeErrorText(438), "Object doesn't support this property or method");
  EXPECT_EQ(RuntimeErrorText(449), "Argument not optional");
  EXPECT_EQ(RuntimeErrorText(450), "Wrong number of arguments or invalid property assignment");
  EXPECT_EQ(RuntimeErrorText(1234), "Application-defined or object-defined error");
}

TEST(RuntimeErrorTest, OwnDescriptionKeepsNumberAndSource) {
  const AutomationError e = RuntimeError(kInvalidProcedureCall, "Bad template id");
  EXPECT_EQ(e.number(), 5);
  EXPECT_EQ(e.description(), "Bad template id");
  EXPECT_EQ(e.source(), "OrvoMPrintExport");
}

TEST(AutomationErrorTest, KeepsHelpInformationAndNegativeNumbers) {
  const AutomationError e(HResult(0x80040E14u), "Store", "Syntax error", "help.chm", 42);
  EXPECT_EQ(e.number(), -2147217900);
  EXPECT_EQ(e.helpFile(), "help.chm");
  EXPECT_EQ(e.helpContext(), 42);
  EXPECT_STREQ(e.what(), "Syntax error (number -2147217900, source Store)");
}

}  // namespace
}  // namespace orvo
