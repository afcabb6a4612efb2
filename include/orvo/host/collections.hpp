// The collection objects in which results are returned and arguments passed:
// Dictionary (keys compared exactly, insertion order kept), Vector (items
// numbered from 1) and the stateless Utility routines.
//
// A collection is owned by whoever holds it (shared_ptr); one built by a
// method belongs to the caller. Used on one thread.

#ifndef ORVO_HOST_COLLECTIONS_HPP_
#define ORVO_HOST_COLLECTIONS_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "orvo/automation/dispatch.hpp"
#include "orvo/export.hpp"

namespace orvo {

class ORVO_EXPORT Dictionary : public Dispatch {
 public:
  const ClassInfo& TypeInfo() const override;

  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  // The value stored under `key`, Empty for a key never stored.
  Variant Value(std::string_view key) const;
  // Stores under `key`; a key already present keeps its place and gets the new value.
  void SetValue(std::string_view key, Variant value);
  // Stores a reference to an object (a Vector or Dictionary).
  void SetObject(std::string_view key, std::shared_ptr<Dispatch> object);
  bool Exists(std::string_view key) const;

  // Entries in insertion order.
  const std::vector<std::pair<std::string, Variant>>& Entries() const { return entries_; }

 private:
  const Variant* Find(std::string_view key) const;

  std::vector<std::pair<std::string, Variant>> entries_;
  // Each key's position, kept only once the dictionary is large.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const {
      return std::hash<std::string_view>{}(key);
    }
  };
  std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> index_;
};

class ORVO_EXPORT Vector : public Dispatch {
 public:
  Vector() = default;
  // A vector holding `items`, in their order.
  explicit Vector(std::vector<Variant> items) : items_(std::move(items)) {}
  const ClassInfo& TypeInfo() const override;

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  void Add(Variant item) { items_.push_back(std::move(item)); }
  // The item at `index`, from 1 to Count; raises 9 "Subscript out of range" otherwise.
  const Variant& Item(std::int32_t index) const;

  const std::vector<Variant>& Items() const { return items_; }

 private:
  std::vector<Variant> items_;
};

class ORVO_EXPORT Utility {
 public:
  // The value, or `defaultValue` when the value is Null.
  static Variant ValueOrDefault(const Variant& value, const Variant& defaultValue);
  // Replaces each placeholder %n (n from 1, one or more digits) by the text of
  // the n-th argument. A placeholder without such an argument, and a "%" not
  // followed by a digit, are kept as they stand.
  static std::string FormatText(std::string_view text, const std::vector<Variant>& args);
};

// Enters Dictionary and Vector in the class registry, so that they can be
// created by ProgID ("zeb10.Dictionary", "zeb10.Vector") or class identifier.
// Called once at start-up; calling it again changes nothing.
ORVO_EXPORT void RegisterCollectionClasses();

}  // namespace orvo

#endif  // ORVO_HOST_COLLECTIONS_HPP_
