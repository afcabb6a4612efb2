// A statement text written whole, as the classes send it, with named holes
// for its values: "select fdata from T_PrintExport where fbilltype={type}
// and fbillid=0 and FPreparerId={user}". Each value goes into its hole: a
// number in decimal, a text with its own quotes doubled (the pattern writes
// the quotes around the hole, so a value without a quote gives the text
// exactly), or a text taken as it is (a name checked before, a value read
// back from the store). Blanks stand in the pattern exactly as they run.
//
// Fill gives the text. FilledStatement gives what the connection runs
// (ado::ShapedStatement): the pattern with a marker in each hole whose value
// the database can take bound (numbers, and texts that fill a quoted hole
// whole), those values, and the text for whoever observes it; names stay in
// the shape as they are.
//
// Any thread: each keeps the patterns it read lately, so that a pattern is
// read once and its shape shared by every statement whose holes are all
// bound. A FilledStatement refers to the holes it was made with and lives no
// longer than they do: it is made and run in one expression.

#ifndef ORVO_FAMILIES_STATEMENT_HPP_
#define ORVO_FAMILIES_STATEMENT_HPP_

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/shaped_statement.hpp"

namespace orvo::families {

// A text that goes between the quotes its pattern writes around the hole.
struct Quoted {
  std::string_view text;
};
// A text that goes into its hole as it is: only for names and values that
// have been checked, or that the store gave back.
struct Verbatim {
  std::string_view text;
};

// A number found only when a statement's text or values need it, once:
// `find(source)`. For a value the host is asked for, so that it is asked
// (and its journal records the asking) only for a pattern with the hole.
// The hole keeps the number it found, so a hole holding one is used on one
// thread, as the holes of a call are.
struct Deferred {
  std::int32_t (*find)(const void* source);
  const void* source;
};

class Hole {
 public:
  Hole(std::string_view holeName, std::int32_t number);
  Hole(std::string_view holeName, Quoted text);
  Hole(std::string_view holeName, Verbatim text);
  Hole(std::string_view holeName, Deferred number);

  std::string_view Name() const { return name_; }
  // The value as it stands in the statement's text.
  std::string Written() const;
  // The value as the database takes it when it is bound in place of the
  // hole; `quoted` when the pattern writes quotes around the hole. Nothing
  // when it must stand in the text.
  std::optional<Variant> Bound(bool quoted) const;

 private:
  enum class Kind { Number, Quoted, Verbatim, Deferred };
  // The number of a Number, or of a Deferred once found.
  std::int32_t Number() const;

  std::string_view name_;
  mutable Kind kind_;  // a Deferred becomes a Number when it is found
  mutable std::int32_t number_ = 0;
  Deferred deferred_{};
  std::string text_;  // of a Quoted or Verbatim value, as given
};

// `pattern` with every "{name}" replaced by the value of the hole of that
// name. A hole the pattern names but `holes` lacks is a fault of the caller
// (std::logic_error); values are never scanned for holes themselves.
// `more` are looked in after `holes`.
std::string Fill(std::string_view pattern, std::span<const Hole> holes,
                 std::span<const Hole> more = {});
inline std::string Fill(std::string_view pattern, std::initializer_list<Hole> holes) {
  return Fill(pattern, std::span<const Hole>(holes.begin(), holes.size()));
}

struct CompiledPattern;

class FilledStatement final : public ado::ShapedStatement {
 public:
  FilledStatement(std::string_view pattern, std::span<const Hole> holes,
                  std::span<const Hole> more = {});
  FilledStatement(std::string_view pattern, std::initializer_list<Hole> holes)
      : FilledStatement(pattern, std::span<const Hole>(holes.begin(), holes.size())) {}

  std::string_view Shape() const override;
  std::span<const ado::BoundValue> Values() const override;
  std::string Text() const override { return Fill(pattern_, holes_, more_); }
  bool ShapeKnownWellFormed() const override;

 private:
  std::string_view pattern_;
  std::span<const Hole> holes_;
  std::span<const Hole> more_;
  std::shared_ptr<const CompiledPattern> compiled_;  // read once per thread, shared
  bool sharedShape_ = false;                         // every hole is a marker: the pattern's shape
  std::string ownShape_;  // else this statement's, with values written in
  // The values bound in place of holes, in marker order: held in the
  // statement itself, as nearly every pattern has no more holes than this,
  // or all of them in `moreValues_` when its pattern may need more.
  static constexpr std::size_t kValuesHeld = 4;
  std::array<ado::BoundValue, kValuesHeld> values_{};
  std::size_t valueCount_ = 0;
  std::vector<ado::BoundValue> moreValues_;
};

// The hole of that name among `holes`, else among `more`; std::logic_error
// when there is none.
const Hole& HoleNamed(std::span<const Hole> holes, std::string_view name,
                      std::span<const Hole> more = {});

// How many times this thread has read a pattern: once for each pattern it
// runs, and again only when the text at its address has changed or the
// thread has run more patterns than it keeps.
std::uint64_t PatternsReadByThisThread();

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_STATEMENT_HPP_
