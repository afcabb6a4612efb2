// The conditions of an operation's statement, each with the values bound to
// its markers, joined into a WHERE clause: the filters an operator gives
// become bound values, never text of the statement.
//
// A value type; any thread.

#ifndef ORVO_OPERATE_CONDITIONS_HPP_
#define ORVO_OPERATE_CONDITIONS_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "ado/bound_value.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::operate {

struct Conditions {
  std::vector<std::string> texts;
  std::vector<ado::BoundValue> values;

  // A condition of the store's own words, without markers.
  void Add(const std::string& text) { texts.push_back(text); }
  // `column` = value.
  void Add(const std::string& column, std::int32_t value) {
    texts.push_back(column + " = ?");
    values.push_back({ado::adInteger, Variant(value)});
  }
  // A condition with one marker, and its value.
  void AddWith(const std::string& text, const Variant& value) {
    texts.push_back(text);
    values.push_back({ado::adVariant, value});
  }
  void AddFrom(const Conditions& other) {
    texts.insert(texts.end(), other.texts.begin(), other.texts.end());
    values.insert(values.end(), other.values.begin(), other.values.end());
  }
  std::string Where() const {
    std::string where;
    for (const std::string& text : texts) where += (where.empty() ? " where " : " and ") + text;
    return where;
  }
};

}  // namespace orvo::operate

#endif  // ORVO_OPERATE_CONDITIONS_HPP_
