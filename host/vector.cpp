// Vector is a plain list numbered from 1, as the scripts that read it count.

#include "host/collection_classes.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"

namespace orvo {

const Variant& Vector::Item(std::int32_t index) const {
  if (index < 1 || index > Count()) throw RuntimeError(kSubscriptOutOfRange);
  return items_[static_cast<std::size_t>(index - 1)];
}

const ClassInfo& Vector::TypeInfo() const {
  return host::VectorClass();
}

namespace host {
namespace {

Vector& Self(Dispatch& self) {
  return static_cast<Vector&>(self);
}

Variant CountThunk(Dispatch& self, std::vector<Variant>&) {
  return Self(self).Count();
}

Variant AddThunk(Dispatch& self, std::vector<Variant>& args) {
  Self(self).Add(args[0]);
  return Variant();
}

Variant ItemThunk(Dispatch& self, std::vector<Variant>& args) {
  return Self(self).Item(args[0].AsLong());
}

ClassInfo MakeVectorClass() {
  ClassInfo info;
  info.name = "Vector";
  info.clsid = "{09AFE6F7-5BDB-11D1-9C2A-127658000000}";
  info.interfaceName = "_Vector";
  info.iid = "{09AFE6F6-5BDB-11D1-9C2A-127658000000}";
  info.progId = "zeb10.Vector";
  info.members = {
      {"Count", 7, MemberKind::PropertyGet, {}, ParamType::Long, &CountThunk},
      {"Add",
       9,
       MemberKind::Method,
       {RequiredParam("item", ParamType::Variant)},
       ParamType::None,
       &AddThunk},
      {"Item",
       15,
       MemberKind::PropertyGet,
       {RequiredParam("index", ParamType::Long)},
       ParamType::Variant,
       &ItemThunk},
  };
  info.create = [] { return std::shared_ptr<Dispatch>(std::make_shared<Vector>()); };
  return info;
}

}  // namespace

const ClassInfo& VectorClass() {
  static const ClassInfo info = MakeVectorClass();
  return info;
}

}  // namespace host
}  // namespace orvo
