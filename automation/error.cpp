#include "orvo/automation/error.hpp"

#include <cstdint>
#include <utility>

#include "orvo/automation/conversions.hpp"

namespace orvo {

AutomationError::AutomationError(std::int32_t number, std::string source, std::string description,
                                 std::string helpFile, std::int32_t helpContext)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      helpFile_(std::move(helpFile)),
      helpContext_(helpContext) {
  what_ = description_ + " (number " + std::to_string(number_) + ", source " + source_ + ")";
}

AutomationError AutomationError::WithNativeCode(std::string code) && {
  nativeCode_ = std::move(code);
  return std::move(*this);
}

std::string RuntimeErrorText(std::int32_t number) {
  switch (number) {
    case kInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case kOverflow:
      return "Overflow";
    case kSubscriptOutOfRange:
      return "Subscript out of range";
    case kTypeMismatch:
      return "Type mismatch";
    case kObjectNotSet:
      return "Object variable or With block variable not set";
    case kInvalidUseOfNull:
      return "Invalid use of Null";
    case kObjectRequired:
      return "Object required";
    case kCannotCreateObject:
      return "ActiveX component can't create object";
    case kMemberNotSupported:
      return "Object doesn't support this property or method";
    case kArgumentNotOptional:
      return "Argument not optional";
    case kWrongNumberOfArguments:
      return "Wrong number of arguments or invalid property assignment";
    default:
      return "Application-defined or object-defined error";
  }
}

AutomationError RuntimeError(std::int32_t number) {
  return AutomationError(number, kLibraryName, RuntimeErrorText(number));
}

AutomationError RuntimeError(std::int32_t number, std::string description) {
  return AutomationError(number, kLibraryName, std::move(description));
}

namespace {

// Appends `text` to `shown` as QuotedForError and EscapedForError show it,
// at most `most` characters of it; says whether all of it went in. C1
// controls (U+0080 to U+009F) are shown by their bytes too: some terminals
// act on them as on an escape.
bool AppendShown(std::string& shown, std::string_view text, std::size_t most, bool newlines) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++characters) {
    if (characters == most) return false;
    const auto byte = static_cast<std::uint8_t>(text[at]);
    const std::size_t length = Utf8CharacterLength(text, at);
    const bool control =
        (byte < 0x20 && !(newlines && byte == '\n')) || byte == 0x7F ||
        (byte == 0xC2 && length == 2 && static_cast<std::uint8_t>(text[at + 1]) < 0xA0);
    if (control || (byte >= 0x80 && length == 1)) {
      for (std::size_t i = at; i < at + length; ++i) {
        const auto each = static_cast<std::uint8_t>(text[i]);
        shown += "\\x";
        shown += kHex[each >> 4];
        shown += kHex[each & 15];
      }
    } else {
      shown.append(text.substr(at, length));
    }
    at += length;
  }
  return true;
}

}  // namespace

std::string QuotedForError(std::string_view text) {
  std::string shown = "\"";
  if (!AppendShown(shown, text, 60, false)) shown += "...";
  return shown + "\"";
}

std::string EscapedForError(std::string_view text) {
  std::string shown;
  AppendShown(shown, text, text.size(), true);
  return shown;
}

}  // namespace orvo
