#include <cstdio>
#include <ostream>

#include "orvo/automation/dispatch.hpp"
#include "orvo/component/type_library.hpp"
#include "tools/orvoprint/commands.hpp"

namespace orvoprint {

namespace {

std::string Hex(std::int32_t value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
  return text;
}

std::string DefaultText(const orvo::ParamInfo& param) {
  switch (param.type) {
    case orvo::ParamType::String:
      return " = \"\"";
    case orvo::ParamType::Long:
    case orvo::ParamType::Integer:
      return " = 0";
    default:
      return "";
  }
}

void PrintMember(const orvo::MemberInfo& member, std::ostream& out) {
  out << "  " << Hex(member.dispid, "0x%08X") << "  ";
  if (member.kind == orvo::MemberKind::PropertyGet) out << "Property Get ";
  out << member.name << "(";
  for (std::size_t i = 0; i < member.params.size(); ++i) {
    const orvo::ParamInfo& param = member.params[i];
    if (i > 0) out << ", ";
    if (param.optional) out << "[Optional ";
    if (param.byRef) out << "ByRef ";
    out << param.name << " As " << orvo::ParamTypeName(param.type);
    if (param.optional) out << DefaultText(param) << "]";
  }
  out << ")";
  if (member.result != orvo::ParamType::None) out << " As " << orvo::ParamTypeName(member.result);
  out << '\n';
}

void PrintClass(const orvo::ClassInfo& cls, std::ostream& out) {
  out << cls.name << "  " << cls.clsid << "  " << cls.progId << '\n';
  out << "  interface " << cls.interfaceName << "  " << cls.iid << '\n';
  for (const orvo::MemberInfo& member : cls.members) PrintMember(member, out);
}

}  // namespace

int RunMembers(const std::string& className, std::ostream& out) {
  const orvo::TypeLibInfo& library = orvo::TypeLibrary();
  if (!className.empty()) {
    for (const orvo::ClassInfo* cls : library.classes) {
      if (cls->name == className || cls->progId == className) {
        PrintClass(*cls, out);
        return 0;
      }
    }
    throw UsageError("no class is named " + className);
  }
  out << library.name << "  " << library.libid << "  version " << library.majorVersion << "."
      << library.minorVersion << ", locale " << Hex(static_cast<std::int32_t>(library.lcid), "0x%X")
      << '\n';
  for (const orvo::ClassInfo* cls : library.classes) {
    out << '\n';
    PrintClass(*cls, out);
  }
  return 0;
}

}  // namespace orvoprint
