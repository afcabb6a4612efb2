#include "families/statement.hpp"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "automation/ascii.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::families {

namespace {

std::string QuotesDoubled(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

// A decimal number as the database reads it written in a statement; nothing
// for any other text (empty, a name, a hexadecimal number).
std::optional<Variant> NumberOf(std::string_view text) {
  if (text.empty()) return std::nullopt;
  bool whole = true;
  bool number = true;
  bool digit = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (ascii::IsDigit(c)) {
      digit = true;
    } else if (c == '.' || c == 'e' || c == 'E' || ((c == '+' || c == '-') && i > 0)) {
      whole = false;
    } else {
      number = false;
    }
  }
  if (!number || !digit || !ascii::IsDigit(text.front())) return std::nullopt;
  if (whole) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value <= std::numeric_limits<std::int32_t>::max()) {
      return Variant(static_cast<std::int32_t>(value));
    }
    return Variant(static_cast<double>(value));
  }
  char* end = nullptr;
  const std::string copy(text);
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  return Variant(value);
}

// Calls `text(part)` for each run of fixed text of `pattern` and
// `hole(name)` for each "{name}", in order.
template <class Text, class HoleAt>
void Walk(std::string_view pattern, Text&& text, HoleAt&& hole) {
  std::size_t at = 0;
  for (std::size_t open; (open = pattern.find('{', at)) != std::string_view::npos;) {
    const std::size_t close = pattern.find('}', open);
    if (close == std::string_view::npos) break;
    text(pattern.substr(at, open - at));
    hole(pattern.substr(open + 1, close - open - 1), open, close);
    at = close + 1;
  }
  text(pattern.substr(at));
}

bool IsWordCharacter(char c) {
  return ascii::IsLetter(c) || ascii::IsDigit(c) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

Hole::Hole(std::string_view holeName, std::int32_t number)
    : name_(holeName), kind_(Kind::Number), number_(number) {}
Hole::Hole(std::string_view holeName, Quoted text)
    : name_(holeName), kind_(Kind::Quoted), text_(text.text) {}
Hole::Hole(std::string_view holeName, Verbatim text)
    : name_(holeName), kind_(Kind::Verbatim), text_(text.text) {}
Hole::Hole(std::string_view holeName, Deferred number)
    : name_(holeName), kind_(Kind::Deferred), deferred_(number) {}

std::int32_t Hole::Number() const {
  if (kind_ == Kind::Deferred) {
    number_ = deferred_.find(deferred_.source);
    kind_ = Kind::Number;
  }
  return number_;
}

std::string Hole::Written() const {
  switch (kind_) {
    case Kind::Number:
    case Kind::Deferred:
      return std::to_string(Number());
    case Kind::Quoted:
      return QuotesDoubled(text_);
    case Kind::Verbatim:
      break;
  }
  return text_;
}

std::optional<Variant> Hole::Bound(bool quoted) const {
  if (kind_ == Kind::Number || kind_ == Kind::Deferred) {
    return quoted ? Variant(std::to_string(Number())) : Variant(Number());
  }
  if (quoted) return Variant(text_);
  // A text that stands in the statement as it is binds only where it reads
  // as a number there.
  return kind_ == Kind::Verbatim ? NumberOf(text_) : std::nullopt;
}

const Hole& HoleNamed(std::span<const Hole> holes, std::string_view name,
                      std::span<const Hole> more) {
  const Hole* found = nullptr;
  for (const Hole& hole : holes) {
    if (hole.Name() == name) found = &hole;
  }
  if (found != nullptr) return *found;
  for (const Hole& hole : more) {
    if (hole.Name() == name) found = &hole;
  }
  if (found == nullptr) {
    throw std::logic_error("the statement has a hole {" + std::string(name) +
                           "} that no value fills");
  }
  return *found;
}

std::string Fill(std::string_view pattern, std::span<const Hole> holes,
                 std::span<const Hole> more) {
  std::string text;
  text.reserve(pattern.size() + 32);
  Walk(
      pattern, [&](std::string_view part) { text.append(part); },
      [&](std::string_view name, std::size_t, std::size_t) {
        text.append(HoleNamed(holes, name, more).Written());
      });
  return text;
}

// A pattern read once: its runs of fixed text, each followed by a hole but
// the last, and the shape in which every hole is a marker.
struct CompiledPattern {
  struct Piece {
    std::string_view text;  // with the quotes around a quoted hole left out
    std::string_view hole;
    bool hasHole = false;
    bool quoted = false;  // the pattern writes quotes around the hole
    bool glued = false;   // a word follows the hole
  };
  std::string pattern;
  std::vector<Piece> pieces;  // views into `pattern`
  std::string shape;
  bool wellFormed = false;  // the shape is well-formed UTF-8
};

namespace {

using Piece = CompiledPattern::Piece;

// The shape of `pieces`: a marker for each hole, or the hole's value written
// out where `unbound(piece)` gives the hole because it cannot be bound.
template <class Unbound>
std::string ShapeOf(const std::vector<Piece>& pieces, Unbound&& unbound) {
  std::string shape;
  for (const Piece& piece : pieces) {
    shape.append(piece.text);
    if (!piece.hasHole) continue;
    if (const Hole* hole = unbound(piece)) {
      shape.append(hole->Written());
      continue;
    }
    shape += '?';
    if (piece.glued) shape += ' ';
  }
  return shape;
}

std::shared_ptr<const CompiledPattern> Compile(std::string_view pattern) {
  auto compiled = std::make_shared<CompiledPattern>();
  compiled->pattern = std::string(pattern);
  const std::string_view own = compiled->pattern;
  // A bound value takes the quotes the pattern writes around its hole (a
  // quoted hole is always bound): the opening one is the last character of
  // the run of text before it, the closing one the first of the run after.
  bool dropQuote = false;
  Walk(
      own,
      [&](std::string_view text) {
        if (dropQuote && !text.empty()) text.remove_prefix(1);
        dropQuote = false;
        compiled->pieces.push_back(Piece{.text = text, .hole = {}});
      },
      [&](std::string_view name, std::size_t open, std::size_t close) {
        Piece& piece = compiled->pieces.back();
        piece.quoted =
            open > 0 && own[open - 1] == '\'' && close + 1 < own.size() && own[close + 1] == '\'';
        if (piece.quoted && !piece.text.empty()) piece.text.remove_suffix(1);
        piece.hole = name;
        piece.hasHole = true;
        dropQuote = piece.quoted;
        // A marker glued to a word ("{id}and") keeps the two apart.
        const std::size_t next = close + (piece.quoted ? 2 : 1);
        piece.glued = next < own.size() && IsWordCharacter(own[next]);
      });
  compiled->shape = ShapeOf(compiled->pieces, [](const Piece&) -> const Hole* { return nullptr; });
  compiled->wellFormed = IsValidUtf8(compiled->shape);
  return compiled;
}

// How many patterns this thread has read.
thread_local std::uint64_t patternsRead = 0;

// `pattern` compiled, read only when this thread has not read it lately. The
// classes run a few dozen patterns of static storage, several in one call:
// each keeps a place of its own, found by its address, so that two patterns
// of one call never take turns in a place and are read again on every run.
// A pattern changed in place is read again. A thread that has read more
// patterns than are kept starts afresh; a statement shares what it was made
// with, so it stays intact. The place is the thread's until its next lookup.
const std::shared_ptr<const CompiledPattern>& SlotOf(std::string_view pattern) {
  constexpr std::size_t kPatternsKept = 1024;
  thread_local std::unordered_map<const char*, std::shared_ptr<const CompiledPattern>> kept;
  auto place = kept.find(pattern.data());
  if (place == kept.end()) {
    if (kept.size() >= kPatternsKept) kept.clear();
    place = kept.try_emplace(pattern.data()).first;
  }
  std::shared_ptr<const CompiledPattern>& slot = place->second;
  if (!slot || slot->pattern != pattern) {
    slot = Compile(pattern);
    ++patternsRead;
  }
  return slot;
}

}  // namespace

FilledStatement::FilledStatement(std::string_view pattern, std::span<const Hole> holes,
                                 std::span<const Hole> more)
    : pattern_(pattern), holes_(holes), more_(more), compiled_(SlotOf(pattern)) {
  // A value for each hole the pattern writes, at most; none for a pattern without holes.
  const std::size_t mostValues = compiled_->pieces.size() - 1;
  const bool spilled = mostValues > kValuesHeld;
  if (spilled) moreValues_.reserve(mostValues);
  bool everyHoleBound = true;
  for (const Piece& piece : compiled_->pieces) {
    if (!piece.hasHole) continue;
    std::optional<Variant> bound = HoleNamed(holes, piece.hole, more).Bound(piece.quoted);
    if (!bound) {
      everyHoleBound = false;
      continue;
    }
    ado::BoundValue value{ado::adVariant, std::move(*bound)};
    if (spilled) {
      moreValues_.push_back(std::move(value));
    } else {
      values_[valueCount_++] = std::move(value);
    }
  }
  if (everyHoleBound) {
    // The same shape for every statement of the pattern: shared, not built.
    sharedShape_ = true;
    return;
  }
  // A value that must stand in the text gives a shape of this statement's own.
  ownShape_ = ShapeOf(compiled_->pieces, [&](const Piece& piece) -> const Hole* {
    const Hole& hole = HoleNamed(holes, piece.hole, more);
    return hole.Bound(piece.quoted) ? nullptr : &hole;
  });
}

std::span<const ado::BoundValue> FilledStatement::Values() const {
  if (!moreValues_.empty()) return moreValues_;
  return std::span<const ado::BoundValue>(values_.data(), valueCount_);
}

bool FilledStatement::ShapeKnownWellFormed() const {
  // A shape of this statement's own holds values and is checked where it runs.
  return sharedShape_ && compiled_->wellFormed;
}

std::string_view FilledStatement::Shape() const {
  return sharedShape_ ? std::string_view(compiled_->shape) : std::string_view(ownShape_);
}

std::uint64_t PatternsReadByThisThread() {
  return patternsRead;
}

}  // namespace orvo::families
