// Dictionary keeps its entries in a vector, in the order they were first
// stored; a key stored again keeps its position, so callers that fill a row
// and then correct one column see the columns in the order they were first
// written. A few entries (a row, a result) are found by looking at each; past
// kIndexedFrom a hash index from key to position finds any key at once.

#include "host/collection_classes.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"

namespace orvo {

namespace {
constexpr std::size_t kIndexedFrom = 16;
}

const Variant* Dictionary::Find(std::string_view key) const {
  if (entries_.size() < kIndexedFrom) {
    for (const auto& [name, value] : entries_) {
      if (name == key) return &value;
    }
    return nullptr;
  }
  const auto found = index_.find(key);
  return found == index_.end() ? nullptr : &entries_[found->second].second;
}

Variant Dictionary::Value(std::string_view key) const {
  const Variant* value = Find(key);
  return value != nullptr ? *value : Variant();
}

void Dictionary::SetValue(std::string_view key, Variant value) {
  if (const Variant* found = Find(key)) {
    *const_cast<Variant*>(found) = std::move(value);
    return;
  }
  // Most results hold a few entries: room for them at once rather than
  // growing one by one.
  if (entries_.empty()) entries_.reserve(4);
  // Append first: should the index fail to take the key, the entry is taken
  // back so the two never disagree.
  entries_.emplace_back(std::string(key), std::move(value));
  try {
    if (entries_.size() == kIndexedFrom) {
      for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].first, i);
    } else if (entries_.size() > kIndexedFrom) {
      index_.emplace(entries_.back().first, entries_.size() - 1);
    }
  } catch (...) {
    index_.clear();
    entries_.pop_back();
    if (entries_.size() >= kIndexedFrom) {
      for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].first, i);
    }
    throw;
  }
}

void Dictionary::SetObject(std::string_view key, std::shared_ptr<Dispatch> object) {
  // Storing "nothing" as an object is a caller's mistake: an Object entry
  // that points nowhere would only fail later, far from its cause.
  if (!object) throw RuntimeError(kObjectRequired);
  SetValue(key, Variant(std::move(object)));
}

bool Dictionary::Exists(std::string_view key) const {
  return Find(key) != nullptr;
}

const ClassInfo& Dictionary::TypeInfo() const {
  return host::DictionaryClass();
}

namespace host {
namespace {

Dictionary& Self(Dispatch& self) {
  return static_cast<Dictionary&>(self);
}

Variant CountThunk(Dispatch& self, std::vector<Variant>&) {
  return Self(self).Count();
}

Variant ValueThunk(Dispatch& self, std::vector<Variant>& args) {
  return Self(self).Value(args[0].AsString());
}

Variant SetValueThunk(Dispatch& self, std::vector<Variant>& args) {
  Self(self).SetValue(args[0].AsString(), args[1]);
  return Variant();
}

Variant SetObjectThunk(Dispatch& self, std::vector<Variant>& args) {
  Self(self).SetObject(args[0].AsString(), args[1].IsObject() ? args[1].AsObject() : nullptr);
  return Variant();
}

ClassInfo MakeDictionaryClass() {
  ClassInfo info;
  info.name = "Dictionary";
  info.clsid = "{09AFE6FD-5BDB-11D1-9C2A-127658000000}";
  info.interfaceName = "_Dictionary";
  info.iid = "{09AFE6FC-5BDB-11D1-9C2A-127658000000}";
  info.progId = "zeb10.Dictionary";
  info.members = {
      {"Count", 1, MemberKind::PropertyGet, {}, ParamType::Long, &CountThunk},
      {"Value",
       3,
       MemberKind::PropertyGet,
       {RequiredParam("key", ParamType::String)},
       ParamType::Variant,
       &ValueThunk},
      {"SetValue",
       4,
       MemberKind::Method,
       {RequiredParam("key", ParamType::String), RequiredParam("value", ParamType::Variant)},
       ParamType::None,
       &SetValueThunk},
      {"SetObject",
       5,
       MemberKind::Method,
       {RequiredParam("key", ParamType::String), RequiredParam("value", ParamType::Object)},
       ParamType::None,
       &SetObjectThunk},
  };
  info.create = [] { return std::shared_ptr<Dispatch>(std::make_shared<Dictionary>()); };
  return info;
}

}  // namespace

const ClassInfo& DictionaryClass() {
  static const ClassInfo info = MakeDictionaryClass();
  return info;
}

}  // namespace host
}  // namespace orvo
