// Late-bound dispatch: Dispatch is the base of every object that answers
// calls by member name or DISPID. Invoke finds the member in the object's
// class table (orvo/automation/type_info.hpp), checks and converts the
// arguments, fills omitted optional ones with their defaults and calls the
// member's thunk.
//
// An object is used on the thread that created it.

#ifndef ORVO_AUTOMATION_DISPATCH_HPP_
#define ORVO_AUTOMATION_DISPATCH_HPP_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "orvo/automation/type_info.hpp"
#include "orvo/automation/variant.hpp"
#include "orvo/export.hpp"

namespace orvo {

// Base of every object that answers late-bound calls.
class ORVO_EXPORT Dispatch : public std::enable_shared_from_this<Dispatch> {
 public:
  virtual ~Dispatch() = default;

  // The class table entry that describes this object.
  virtual const ClassInfo& TypeInfo() const = 0;

  // Calls a member by name (any case) or by DISPID. Raises 438 for an unknown
  // member or one without implementation, 449 when a required argument is
  // missing, 450 when there are more arguments than parameters, and the
  // conversion's error when an argument does not convert to its type.
  // By-reference arguments are written back into `args`.
  Variant Invoke(std::string_view member, std::vector<Variant>& args);
  Variant Invoke(std::int32_t dispid, std::vector<Variant>& args);
  Variant Invoke(std::string_view member, std::vector<Variant>&& args) {
    return Invoke(member, args);
  }
  Variant Invoke(std::int32_t dispid, std::vector<Variant>&& args) { return Invoke(dispid, args); }

 private:
  Variant InvokeMember(const MemberInfo& member, std::vector<Variant>& args);
};

// Converts an argument to a parameter type the way late binding does; raises
// the conversion's error (13 for an object where none fits).
ORVO_EXPORT Variant CoerceArgument(const Variant& value, ParamType type);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_DISPATCH_HPP_
