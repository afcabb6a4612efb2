// AutomationError is how every failure reaches a caller: the rich error
// information of the automation platform (number, source, description, help
// file, help context). The runtime errors of the classes' language keep their
// classic numbers and texts, with the library's name as source.
//
// Errors are values; they may be copied and thrown from any thread.

#ifndef ORVO_AUTOMATION_ERROR_HPP_
#define ORVO_AUTOMATION_ERROR_HPP_

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "orvo/export.hpp"

namespace orvo {

// The source of errors that the library raises itself.
inline constexpr const char* kLibraryName = "OrvoMPrintExport";

// Runtime error numbers of the classes' language.
enum RuntimeErrorNumber : std::int32_t {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  kObjectNotSet = 91,
  kInvalidUseOfNull = 94,
  kObjectRequired = 424,
  kCannotCreateObject = 429,
  kMemberNotSupported = 438,
  kArgumentNotOptional = 449,
  kWrongNumberOfArguments = 450,
};

// HRESULT-style numbers, as signed 32-bit values.
constexpr std::int32_t HResult(std::uint32_t value) {
  return static_cast<std::int32_t>(value);
}

class ORVO_EXPORT AutomationError : public std::exception {
 public:
  AutomationError(std::int32_t number, std::string source, std::string description,
                  std::string helpFile = {}, std::int32_t helpContext = 0);

  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }
  const std::string& helpFile() const { return helpFile_; }
  std::int32_t helpContext() const { return helpContext_; }
  // The database's own code for the failure, beside the number, for a host
  // that must tell a busy store (try again) from a full disk or a damaged
  // file (call an operator): SQLite's extended result code ("5" busy, "13"
  // full, "11" corrupt, ...), PostgreSQL's SQLSTATE ("40P01", "53100",
  // "08006", ...); "" for a failure that did not come from a database.
  const std::string& nativeCode() const { return nativeCode_; }
  // This error, with `code` as its database's own code.
  AutomationError WithNativeCode(std::string code) &&;

  // "<description> (number N, source S)".
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
  std::string helpFile_;
  std::int32_t helpContext_;
  std::string nativeCode_;
  std::string what_;
};

// The classic text of a runtime error number ("Overflow", "Type mismatch", ...),
// or "Application-defined or object-defined error" for numbers without one.
ORVO_EXPORT std::string RuntimeErrorText(std::int32_t number);

// A runtime error with its classic text and the library as source.
ORVO_EXPORT AutomationError RuntimeError(std::int32_t number);

// A runtime error with its number and the library as source, but a description
// of the caller's that says more than the classic text.
ORVO_EXPORT AutomationError RuntimeError(std::int32_t number, std::string description);

// A text that a caller gave, as a description quotes it: between double
// quotes, its first 60 characters and "..." for the rest, each control
// character and each byte that begins no UTF-8 character written as \xNN.
// A description stays short, readable UTF-8 whatever the caller sent: a
// megabyte, a NUL, stray bytes.
std::string QuotedForError(std::string_view text);

// A message that may hold a caller's words, whole and unquoted, shown as
// QuotedForError shows a text but for its line breaks, which stay: fit for a
// terminal whatever the words were.
std::string EscapedForError(std::string_view text);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_ERROR_HPP_
