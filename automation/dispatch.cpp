#include "orvo/automation/dispatch.hpp"

#include "automation/ascii.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"

namespace orvo {

namespace {

// The value an omitted optional parameter without a default of its own takes.
// Object parameters stay Empty: the member sees no object.
Variant TypeDefault(ParamType type) {
  switch (type) {
    case ParamType::Boolean:
      return false;
    case ParamType::Integer:
      return std::int16_t{0};
    case ParamType::Long:
      return std::int32_t{0};
    case ParamType::Double:
      return 0.0;
    case ParamType::String:
      return std::string();
    case ParamType::Variant:
      return Variant::Missing();
    case ParamType::None:
    case ParamType::Dictionary:
    case ParamType::Vector:
    case ParamType::Connection:
    case ParamType::Object:
      break;
  }
  return Variant();
}

// Whether `value` is already what a parameter of `type` takes, exactly as
// CoerceArgument would give it.
bool OfParamType(const Variant& value, ParamType type) {
  switch (type) {
    case ParamType::Boolean:
      return value.kind() == Variant::Kind::Boolean;
    case ParamType::Integer:
      return value.kind() == Variant::Kind::Integer;
    case ParamType::Long:
      return value.kind() == Variant::Kind::Long;
    case ParamType::Double:
      return value.kind() == Variant::Kind::Double;
    case ParamType::String:
      return value.kind() == Variant::Kind::String && IsValidUtf8(value.AsString());
    case ParamType::Variant:
      return !value.IsMissing();
    case ParamType::Dictionary:
    case ParamType::Vector:
    case ParamType::Connection:
    case ParamType::Object:
      return value.IsObject();
    case ParamType::None:
      break;
  }
  return false;
}

// Whether the caller's arguments can go to the member as they are: one of
// its parameter's type for every parameter, none by reference. A member
// then gets no copy of a long text or a body on every call; it writes to
// its arguments only where they are by reference, so the caller's stay as
// they were.
bool PassedAsTheyAre(const MemberInfo& member, const std::vector<Variant>& args) {
  if (args.size() != member.params.size()) return false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const ParamInfo& param = member.params[i];
    if (param.byRef || !OfParamType(args[i], param.type)) return false;
  }
  return true;
}

}  // namespace

std::string_view ParamTypeName(ParamType type) {
  switch (type) {
    case ParamType::None:
      return "";
    case ParamType::Boolean:
      return "Boolean";
    case ParamType::Integer:
      return "Integer";
    case ParamType::Long:
      return "Long";
    case ParamType::Double:
      return "Double";
    case ParamType::String:
      return "String";
    case ParamType::Variant:
      return "VARIANT";
    case ParamType::Dictionary:
      return "Dictionary";
    case ParamType::Vector:
      return "Vector";
    case ParamType::Connection:
      return "Connection";
    case ParamType::Object:
      return "Object";
  }
  __builtin_unreachable();  // every ParamType is named above
}

const MemberInfo* ClassInfo::FindMember(std::string_view memberName) const {
  for (const MemberInfo& m : members) {
    if (ascii::EqualsIgnoreCase(m.name, memberName)) return &m;
  }
  return nullptr;
}

const MemberInfo* ClassInfo::FindMember(std::int32_t dispid) const {
  for (const MemberInfo& m : members) {
    if (m.dispid == dispid) return &m;
  }
  return nullptr;
}

Variant CoerceArgument(const Variant& value, ParamType type) {
  switch (type) {
    case ParamType::Boolean:
      return CBool(value);
    case ParamType::Integer:
      return CInt(value);
    case ParamType::Long:
      return CLng(value);
    case ParamType::Double:
      return CDbl(value);
    case ParamType::String: {
      std::string text = CStr(value);
      // A malformed text would be stored as bytes that read back as other
      // characters, and so name another template next time.
      if (!IsValidUtf8(text)) {
        throw RuntimeError(kInvalidProcedureCall, "A text argument is not valid UTF-8.");
      }
      return text;
    }
    case ParamType::Variant:
      return value;
    case ParamType::Dictionary:
    case ParamType::Vector:
    case ParamType::Connection:
    case ParamType::Object:
      // Whether the object is of the class the parameter wants is the
      // member's check; this layer knows no concrete classes.
      if (!value.IsObject()) throw RuntimeError(kObjectRequired);
      return value;
    case ParamType::None:
      break;
  }
  throw RuntimeError(kInvalidProcedureCall, "A parameter cannot have the type None");
}

Variant Dispatch::Invoke(std::string_view member, std::vector<Variant>& args) {
  const MemberInfo* info = TypeInfo().FindMember(member);
  if (info == nullptr) throw RuntimeError(kMemberNotSupported);
  return InvokeMember(*info, args);
}

Variant Dispatch::Invoke(std::int32_t dispid, std::vector<Variant>& args) {
  const MemberInfo* info = TypeInfo().FindMember(dispid);
  if (info == nullptr) throw RuntimeError(kMemberNotSupported);
  return InvokeMember(*info, args);
}

Variant Dispatch::InvokeMember(const MemberInfo& member, std::vector<Variant>& args) {
  if (member.thunk == nullptr) throw RuntimeError(kMemberNotSupported);
  if (args.size() > member.params.size()) throw RuntimeError(kWrongNumberOfArguments);
  if (PassedAsTheyAre(member, args)) {
    Variant result = member.thunk(*this, args);
    if (member.result == ParamType::None) return Variant();
    return result;
  }

  std::vector<Variant> converted;
  converted.reserve(member.params.size());
  for (std::size_t i = 0; i < member.params.size(); ++i) {
    const ParamInfo& param = member.params[i];
    const bool omitted = i >= args.size() || args[i].IsMissing();
    if (!omitted) {
      converted.push_back(CoerceArgument(args[i], param.type));
    } else if (!param.optional) {
      throw RuntimeError(kArgumentNotOptional);
    } else if (!param.defaultValue.IsEmpty()) {
      converted.push_back(CoerceArgument(param.defaultValue, param.type));
    } else {
      converted.push_back(TypeDefault(param.type));
    }
  }

  Variant result = member.thunk(*this, converted);

  for (std::size_t i = 0; i < member.params.size(); ++i) {
    if (!member.params[i].byRef) continue;
    // Arguments the caller left out in between stay omitted.
    if (i >= args.size()) args.resize(i + 1, Variant::Missing());
    args[i] = std::move(converted[i]);
  }
  // Returned by name, so the result is moved out rather than copied.
  if (member.result == ParamType::None) return Variant();
  return result;
}

}  // namespace orvo
