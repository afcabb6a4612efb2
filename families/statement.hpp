// A statement text written whole, as the classes send it, with named holes
// for its values: "select fdata from T_PrintExport where fbilltype={type}
// and fbillid=0 and FPreparerId={user}". Fill puts each value into its hole:
// a number in decimal, a text with its own quotes doubled (the pattern writes
// the quotes around the hole, so a value without a quote gives the text
// exactly), or a text taken as it is (a name checked before, a value read
// back from the store). Blanks stand in the pattern exactly as they run.
//
// Pure functions; any thread.

#ifndef ORVO_FAMILIES_STATEMENT_HPP_
#define ORVO_FAMILIES_STATEMENT_HPP_

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

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

struct Hole {
  Hole(std::string_view holeName, std::int32_t number);
  Hole(std::string_view holeName, Quoted text);
  Hole(std::string_view holeName, Verbatim text);

  std::string_view name;
  std::string value;
};

// `pattern` with every "{name}" replaced by the value of the hole of that
// name. A hole the pattern names but `holes` lacks is a fault of the caller
// (std::logic_error); values are never scanned for holes themselves.
std::string Fill(std::string_view pattern, std::span<const Hole> holes);
inline std::string Fill(std::string_view pattern, std::initializer_list<Hole> holes) {
  return Fill(pattern, std::span<const Hole>(holes.begin(), holes.size()));
}

// The hole of that name among `holes`; std::logic_error when there is none.
const Hole& HoleNamed(std::span<const Hole> holes, std::string_view name);

// Whether `pattern` has the hole `name`.
bool HasHole(std::string_view pattern, std::string_view name);

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_STATEMENT_HPP_
