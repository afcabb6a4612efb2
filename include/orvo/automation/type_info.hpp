// The tables that describe a type library for late binding: its name,
// identifier and version, each class (name, class identifier, interface,
// ProgID, how to create one) and each member (name, DISPID, parameters with
// types, optional flags and defaults, result type, and the thunk that calls
// it). Dispatch::Invoke reads them; ClassRegistry finds classes in them.
//
// The tables are immutable after start-up and may be read from any thread.

#ifndef ORVO_AUTOMATION_TYPE_INFO_HPP_
#define ORVO_AUTOMATION_TYPE_INFO_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/automation/variant.hpp"
#include "orvo/export.hpp"

namespace orvo {

class Dispatch;

// Declared types of parameters and results.
enum class ParamType {
  None,  // a member without result
  Boolean,
  Integer,  // 16-bit
  Long,     // 32-bit
  Double,
  String,
  Variant,
  Dictionary,  // an object argument that must be a Dictionary
  Vector,      // an object argument that must be a Vector
  Connection,  // a data-access connection, passed by reference
  Object,      // any object
};

ORVO_EXPORT std::string_view ParamTypeName(ParamType type);

// Fields without a default of their own carry "{}" so that tables may leave
// trailing fields out without -Wmissing-field-initializers.
struct ParamInfo {
  std::string name;
  ParamType type = ParamType::Variant;
  bool optional = false;
  // The value an omitted optional parameter takes. Left Empty, the type's own
  // default applies: "" for a string, 0 for a number, False for a Boolean,
  // Missing for a VARIANT.
  Variant defaultValue{};
  bool byRef = false;
};

enum class MemberKind { Method, PropertyGet };

// Calls a member on an object with arguments already converted to the member's
// parameter types, one per parameter. A by-reference argument may be replaced
// and is handed back to the caller; the others are only read, since they may
// be the caller's own.
using MemberThunk = Variant (*)(Dispatch& self, std::vector<Variant>& args);

struct MemberInfo {
  std::string name;
  std::int32_t dispid = 0;
  MemberKind kind = MemberKind::Method;
  std::vector<ParamInfo> params{};
  ParamType result = ParamType::None;
  // Null for a member that the class lists but does not implement: calling it
  // raises 438 "Object doesn't support this property or method".
  MemberThunk thunk = nullptr;
};

struct ORVO_EXPORT ClassInfo {
  std::string name;           // "clsPrintSetupQuery"
  std::string clsid;          // "{0338DDFC-...}"
  std::string interfaceName;  // "_clsPrintSetupQuery"
  std::string iid;
  std::string progId;  // "OrvoMPrintExport.clsPrintSetupQuery"
  std::vector<MemberInfo> members;
  // Makes a new instance; null for classes that cannot be created by callers.
  std::function<std::shared_ptr<Dispatch>()> create{};

  // The member with this name (compared without regard to case) or DISPID;
  // null when there is none.
  const MemberInfo* FindMember(std::string_view memberName) const;
  const MemberInfo* FindMember(std::int32_t dispid) const;
};

struct TypeLibInfo {
  std::string name;
  std::string libid;
  int majorVersion = 0;
  int minorVersion = 0;
  std::uint32_t lcid = 0;
  std::vector<const ClassInfo*> classes;
};

}  // namespace orvo

#endif  // ORVO_AUTOMATION_TYPE_INFO_HPP_
