// Identity and late-bound dispatch. One table describes a type library: its
// name, identifier and version, each class (name, class identifier, interface,
// ProgID) and each member (name, DISPID, parameters with types, optional flags
// and defaults, result type). Dispatch::Invoke finds a member by name or DISPID
// in that table, checks and converts the arguments, fills omitted optional
// ones with their defaults and calls the member's thunk. The class registry
// creates objects by ProgID or class identifier.
//
// The tables are immutable after start-up and may be read from any thread; an
// object is used on the thread that created it.

#ifndef ORVO_AUTOMATION_DISPATCH_HPP_
#define ORVO_AUTOMATION_DISPATCH_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "orvo/automation/variant.hpp"

namespace orvo {

class Dispatch;

// Declared types of parameters and results.
enum class ParamType {
  None,        // a member without result
  Boolean,
  Integer,     // 16-bit
  Long,        // 32-bit
  Double,
  String,
  Variant,
  Dictionary,  // an object argument that must be a Dictionary
  Vector,      // an object argument that must be a Vector
  Connection,  // a data-access connection, passed by reference
  Object,      // any object
};

std::string_view ParamTypeName(ParamType type);

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
// and is handed back to the caller.
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

struct ClassInfo {
  std::string name;           // "clsPrintSetupQuery"
  std::string clsid;          // "{0338DDFC-...}"
  std::string interfaceName;  // "_clsPrintSetupQuery"
  std::string iid;
  std::string progId;         // "OrvoMPrintExport.clsPrintSetupQuery"
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

// Base of every object that answers late-bound calls.
class Dispatch : public std::enable_shared_from_this<Dispatch> {
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
Variant CoerceArgument(const Variant& value, ParamType type);

// Creates objects by ProgID or class identifier. One registry per process;
// classes are entered at start-up, before objects are created. The registry
// keeps a pointer to each entered ClassInfo, which must outlive its entry (the
// class tables are static). Any thread may use it.
class ClassRegistry {
 public:
  static ClassRegistry& Instance();

  // Enters a class; a class already entered under the same identifier is
  // replaced.
  void Register(const ClassInfo& info);
  void Unregister(std::string_view clsid);

  // The class with this ProgID (any case) or class identifier (with or
  // without braces, any case); null when there is none.
  const ClassInfo* Find(std::string_view progIdOrClsid) const;

 private:
  mutable std::mutex mutex_;
  std::vector<const ClassInfo*> classes_;
};

// Creates an object by ProgID or class identifier; raises 429 "ActiveX
// component can't create object" for a name that no class answers to.
std::shared_ptr<Dispatch> CreateObject(std::string_view progIdOrClsid);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_DISPATCH_HPP_
