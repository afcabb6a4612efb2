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

// A caller's text in a description: short, readable UTF-8, whatever it was.
TEST(QuotedForErrorTest, ShowsAShortReadableTextOfAnyInput) {
  EXPECT_EQ(QuotedForError("O'Brien \"x\" 存放🧾"), "\"O'Brien \"x\" 存放🧾\"");
  EXPECT_EQ(QuotedForError(std::string("a\0b\tc\x7f", 6)), "\"a\\x00b\\x09c\\x7F\"");
  // Stray bytes and a cut character, each byte on its own.
  EXPECT_EQ(QuotedForError("\xff\xe4\xb8"), "\"\\xFF\\xE4\\xB8\"");
  // Sixty characters, never part of one, then "..." for the rest.
  std::string chinese;
  for (int i = 0; i < 100000; ++i) chinese += "中";
  std::string sixty;
  for (int i = 0; i < 60; ++i) sixty += "中";
  EXPECT_EQ(QuotedForError(chinese), "\"" + sixty + "...\"");
  EXPECT_EQ(QuotedForError(sixty), "\"" + sixty + "\"");
  // C1 controls, which some terminals act on, by their bytes.
  EXPECT_EQ(QuotedForError("\xc2\x9b\xc2\xa0"), "\"\\xC2\\x9B\xc2\xa0\"");
}

// A whole message holding a caller's words: every line of it, each word fit
// for a terminal.
TEST(EscapedForErrorTest, KeepsTheLinesAndShowsControlsAndStrayBytesAsCodes) {
  EXPECT_EQ(EscapedForError("no option is named --a\x1b[2J\nRun with --help\t\xff"),
            "no option is named --a\\x1B[2J\nRun with --help\\x09\\xFF");
  const std::string long_text(1000, 'x');
  EXPECT_EQ(EscapedForError(long_text), long_text);
}

}  // namespace
}  // namespace orvo
