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

std::string QuotedForError(std::string_view text) {
  constexpr std::size_t kMostCharacters = 60;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown = "\"";
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++characters) {
    if (characters == kMostCharacters) {
      shown += "...";
      break;
    }
    const auto byte = static_cast<std::uint8_t>(text[at]);
    const std::size_t length = Utf8CharacterLength(text, at);
    if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && length == 1)) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    } else {
      shown.append(text.substr(at, length));
    }
    at += length;
  }
  return shown + "\"";
}

}  // namespace orvo
