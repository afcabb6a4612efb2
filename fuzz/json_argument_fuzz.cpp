// The command line's reading of a JSON argument (a Dictionary, a Vector or a
// VARIANT given as JSON): the word parsed as JSON, then read into a Variant
// by FromJson. The input is one command-line word. What must hold:
//   - reading gives a Variant, or refuses the word: a JSON fault (which
//     `call` reports as a usage error), std::invalid_argument for an
//     encoding it cannot read or nesting past 64 levels, or an
//     AutomationError; nothing else escapes;
//   - a word nested deeper than 64 levels is refused, never read;
//   - a value read prints as JSON that reads back to a value printing the
//     same, so the output of one call can be passed to the next; and a word
//     without the "$" encodings prints as the same JSON value it was.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/property.hpp"
#include "orvo/automation/error.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace {

using orvo::fuzz::Expect;
using orvoprint::OrderedJson;

// How deep arrays and objects nest, and whether an object of one "$" key
// (an encoding the reader turns into Empty, Bytes or a Date) is among them.
// Walked without recursion: the parser takes any depth.
struct Layout {
  std::size_t depth = 0;
  bool encodings = false;
};

Layout LayoutOf(const OrderedJson& json) {
  Layout layout;
  std::vector<std::pair<const OrderedJson*, std::size_t>> pending{{&json, 0}};
  while (!pending.empty()) {
    const auto [value, around] = pending.back();
    pending.pop_back();
    if (!value->is_structured()) continue;
    layout.depth = std::max(layout.depth, around + 1);
    if (value->is_object() && value->size() == 1 && !value->begin().key().empty() &&
        value->begin().key().front() == '$') {
      layout.encodings = true;
    }
    for (const OrderedJson& item : *value) pending.emplace_back(&item, around + 1);
  }
  return layout;
}

std::string Printed(const OrderedJson& json) {
  return json.dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view word = orvo::fuzz::TextOf(data, size);
  OrderedJson json;
  try {
    json = OrderedJson::parse(word);
  } catch (const OrderedJson::exception&) {
    return 0;  // no JSON: `call` reports it, or takes a VARIANT word as text
  }
  const Layout layout = LayoutOf(json);
  orvo::Variant value;
  try {
    value = orvoprint::FromJson(json);
  } catch (const std::invalid_argument&) {
    return 0;
  } catch (const orvo::AutomationError&) {
    return 0;
  }
  Expect(layout.depth <= static_cast<std::size_t>(orvoprint::kMaxJsonDepth),
         "nesting past the limit is refused", word);

  const OrderedJson printed = orvoprint::ToJson(value);
  if (!layout.encodings) {
    Expect(printed == json, "a word without encodings prints as the value it was", word,
           Printed(printed));
  }
  // What one call prints, the next reads: no refusal, and the same print.
  const orvo::Variant again = orvoprint::FromJson(printed);
  Expect(Printed(orvoprint::ToJson(again)) == Printed(printed),
         "a printed value reads back to the same value", word, Printed(printed));
  return 0;
}
