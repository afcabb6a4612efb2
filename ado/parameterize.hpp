// Simple parameterisation: the literal values of a statement text, numbers
// and quoted texts, are lifted out and replaced by markers, so that one
// prepared statement serves every value of a text's shape and a cache of
// shapes stays small whatever values the classes write into their texts.
// Literals that decide what a statement is stay where they stand: those of a
// select list (they name the result's columns), of ORDER BY and GROUP BY
// (they may be positions), a TOP's count (the dialect turns it into a LIMIT),
// hexadecimal numbers and whole numbers past 64 bits, and every literal of a
// statement that is not a select, insert, update or delete (definitions and
// pragmas take no markers). Works on the tokens of the dialect adapter's
// tokenizer, so nothing inside a quoted name or a comment is touched.
//
// One Parameterizer per connection, reused for every statement it runs; what
// it gives back stays valid until its next Parameterize, and views into the
// text given, which the caller keeps alive meanwhile.

#ifndef ORVO_ADO_PARAMETERIZE_HPP_
#define ORVO_ADO_PARAMETERIZE_HPP_

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/tokenizer.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::ado {

// A literal lifted out of a text, as the database reads it.
struct LiftedValue {
  enum class Kind { Integer, Real, Text };
  Kind kind = Kind::Integer;
  std::int64_t integer = 0;
  double real = 0;
  std::string_view text;

  // As a Variant: a whole number past 32 bits becomes a Double.
  Variant ToVariant() const;
};

// What one marker of the shape is bound to: a lifted literal, or the
// caller's value at that position.
struct Slot {
  bool lifted = false;
  std::size_t index = 0;
};

class Parameterizer {
 public:
  void Parameterize(std::string_view text);

  // The text with every lifted literal replaced by "?".
  const std::string& Shape() const { return shape_; }
  // One per marker of the shape, in order.
  std::span<const Slot> Slots() const { return slots_; }
  const LiftedValue& Lifted(std::size_t index) const { return lifted_[index]; }

 private:
  void Lift(const Token& token);

  // Where a literal stands, per level of parentheses.
  struct Level {
    bool selectList = false;  // between SELECT and what ends its list
    bool positional = false;  // in ORDER BY or GROUP BY
  };

  std::vector<Level> levels_;
  std::string shape_;
  std::vector<LiftedValue> lifted_;
  std::vector<Slot> slots_;
  std::size_t callerMarkers_ = 0;
  // Texts whose doubled quotes were undone; a deque keeps them in place.
  std::deque<std::string> unquoted_;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_PARAMETERIZE_HPP_
