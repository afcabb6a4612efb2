// A statement its caller has already put in the form the database runs: its
// shape, a text with a marker ("?") wherever a value goes, and those values,
// in marker order; and the text as the caller wrote it, with every value in
// its place, written out only for whoever observes the statement. The
// classes run their statements so, so that no text is read again to find
// the values in it, and one prepared statement serves every value.
//
// Used for the length of one Execute, on the connection's thread.

#ifndef ORVO_ADO_SHAPED_STATEMENT_HPP_
#define ORVO_ADO_SHAPED_STATEMENT_HPP_

#include <span>
#include <string>
#include <string_view>

#include "ado/bound_value.hpp"
#include "orvo/ado/types.hpp"

namespace orvo::ado {

class ShapedStatement {
 public:
  virtual std::string_view Shape() const = 0;
  virtual std::span<const BoundValue> Values() const = 0;
  // The text as the caller wrote it: what observers see, and what would run
  // if the values stood in the text.
  virtual std::string Text() const = 0;
  // True when the shape was found to be well-formed UTF-8 when it was made:
  // a shape that many statements share is checked once, not on every run.
  // False when it is not known; the connection then checks it.
  virtual bool ShapeKnownWellFormed() const = 0;

 protected:
  ~ShapedStatement() = default;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_SHAPED_STATEMENT_HPP_
