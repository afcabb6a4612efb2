#include "orvo/automation/error.hpp"

#include <utility>

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

}  // namespace orvo
