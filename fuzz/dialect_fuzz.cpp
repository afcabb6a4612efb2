// Statement texts as the backends read them: the tokenizer, the dialect
// adapter with SQLite's and PostgreSQL's spellings, and the parameterizer
// whose shapes the backends adapt and prepare. The input is one statement
// text. What must hold, beyond running clean under the sanitizers:
//   - the tokens cover the text exactly, and a quoted name reads back to
//     the text it came from;
//   - adapting never changes a quoted text, a quoted name or a comment
//     (a [bracketed] name becomes the same name "quoted"), never closes a
//     quote the text left open nor opens one it closed, and keeps every
//     marker, numbered in order where the backend numbers them;
//   - a shape with its lifted literals put back is the text's own tokens,
//     and it has one marker per slot, before and after adapting.

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/dialect.hpp"
#include "ado/parameterize.hpp"
#include "ado/postgres/postgres_backend.hpp"
#include "ado/sqlite/sqlite_backend.hpp"
#include "ado/tokenizer.hpp"
#include "fuzz/property.hpp"

namespace {

using orvo::ado::DialectSpelling;
using orvo::ado::LiftedValue;
using orvo::ado::Slot;
using orvo::ado::Token;
using orvo::ado::TokenKind;
using orvo::fuzz::Expect;

// A name between `open` and `close`, its closing character doubled inside.
std::string Enclosed(std::string_view name, char open, char close) {
  std::string text(1, open);
  for (const char c : name) {
    text += c;
    if (c == close) text += close;
  }
  return text + close;
}

std::string Folded(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// Whether `wanted` appears in `in`, in its order, other items between.
bool Subsequence(const std::vector<std::string>& wanted, const std::vector<std::string>& in) {
  std::size_t at = 0;
  for (const std::string& item : in) {
    if (at < wanted.size() && item == wanted[at]) ++at;
  }
  return at == wanted.size();
}

void CheckTokens(std::string_view text, const std::vector<Token>& tokens) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    Expect(!t.text.empty() && t.text.data() == text.data() + at,
           "the tokens cover the text in order", text, t.text);
    at += t.text.size();
    // An open quote or comment runs to the end of the text.
    Expect(t.closed || i + 1 == tokens.size(), "only the last token is left open", text, t.text);
    if (t.kind == TokenKind::BracketIdentifier && t.closed) {
      Expect(Enclosed(t.Name(), '[', ']') == t.text, "a [name] reads back as written", text,
             t.text);
    }
    if (t.kind == TokenKind::QuotedIdentifier && t.closed) {
      Expect(Enclosed(t.Name(), '"', '"') == t.text, "a \"name\" reads back as written", text,
             t.text);
    }
  }
  Expect(at == text.size(), "the tokens cover the whole text", text);
}

// What adapting must keep of the text's tokens, in their order.
struct Kept {
  std::vector<std::string> strings;   // quoted texts, N'..' as '..'
  std::vector<std::string> names;     // quoted names, [..] as ".."
  std::vector<std::string> comments;  // as written
  std::size_t markers = 0;
  bool open = false;  // the text ends inside a quote or comment
};

Kept KeptOf(const std::vector<Token>& tokens, const DialectSpelling* spelling) {
  Kept kept;
  for (const Token& t : tokens) {
    if (!t.closed) {
      kept.open = true;
      continue;
    }
    switch (t.kind) {
      case TokenKind::String:
        kept.strings.emplace_back(t.text.front() == '\'' ? t.text : t.text.substr(1));
        break;
      case TokenKind::BracketIdentifier:
        kept.names.push_back(Enclosed(
            spelling != nullptr && spelling->foldBrackets ? Folded(t.Name()) : t.Name(), '"', '"'));
        break;
      case TokenKind::QuotedIdentifier:
        kept.names.emplace_back(t.text);
        break;
      case TokenKind::Comment:
        kept.comments.emplace_back(t.text);
        break;
      case TokenKind::Marker:
        ++kept.markers;
        break;
      default:
        break;
    }
  }
  return kept;
}

// A token that the databases would read as part of a marker glued to it.
bool Glues(const Token& t) {
  return t.kind == TokenKind::Identifier || t.kind == TokenKind::Number ||
         t.kind == TokenKind::Variable;
}

// The numbers of the "$n" markers of an adapted text, in order; 0 for one
// with a number or name glued after it. The server reads "$1.f" as marker 1
// and a field of it, as the original server read "?.f", where the tokenizer
// reads the number "1.".
std::vector<long> NumberedMarkers(const std::vector<Token>& tokens) {
  std::vector<long> numbers;
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::Punctuation || tokens[i].text != "$" ||
        tokens[i + 1].kind != TokenKind::Number) {
      continue;
    }
    const std::string_view number = tokens[i + 1].text;
    const std::string_view rest =
        number.substr(std::min(number.find_first_not_of("0123456789"), number.size()));
    const bool glued =
        rest.empty() ? i + 2 < tokens.size() && Glues(tokens[i + 2]) : rest.front() != '.';
    numbers.push_back(glued ? 0 : std::strtol(std::string(number).c_str(), nullptr, 10));
  }
  return numbers;
}

// Whether a "?" has a number or name glued after it ("?1" is SQLite's
// marker number 1).
bool GluedMarker(const std::vector<Token>& tokens) {
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].kind == TokenKind::Marker && Glues(tokens[i + 1])) return true;
  }
  return false;
}

// Adapts `text` and checks what the adapted text kept of its tokens.
void CheckAdapted(std::string_view text, const std::vector<Token>& tokens,
                  const DialectSpelling& spelling, const char* backend) {
  const std::string adapted = orvo::ado::AdaptStatement(text, spelling);
  const std::vector<Token> out = orvo::ado::Tokenize(adapted);
  const Kept before = KeptOf(tokens, &spelling);
  const Kept after = KeptOf(out, nullptr);
  const std::string detail = std::string(backend) + ": " + adapted;
  Expect(Subsequence(before.strings, after.strings), "adapting keeps every quoted text", text,
         detail);
  Expect(Subsequence(before.names, after.names), "adapting keeps every quoted name", text, detail);
  Expect(Subsequence(before.comments, after.comments), "adapting keeps every comment", text,
         detail);
  Expect(before.open == after.open, "adapting leaves a quote open exactly when the text does", text,
         detail);
  if (!spelling.numberedMarkers) {
    Expect(after.markers == before.markers, "adapting keeps every marker", text, detail);
    Expect(!GluedMarker(out), "no number or name is glued to a marker", text, detail);
  } else {
    Expect(after.markers == 0, "every marker is numbered", text, detail);
    // A "$" of the text's own would read as one more; only texts without one
    // tell the numbers apart.
    if (text.find('$') == std::string_view::npos) {
      std::vector<long> expected;
      for (std::size_t n = 1; n <= before.markers; ++n) expected.push_back(static_cast<long>(n));
      Expect(NumberedMarkers(out) == expected, "markers are numbered 1, 2, ... in their order",
             text, detail);
    }
  }
}

// The literal of a token as the parameterizer reads it matches `value`.
bool SameLiteral(const Token& original, const LiftedValue& value) {
  switch (value.kind) {
    case LiftedValue::Kind::Integer: {
      std::int64_t integer = 0;
      const char* end = original.text.data() + original.text.size();
      const auto read = std::from_chars(original.text.data(), end, integer);
      return original.kind == TokenKind::Number && read.ec == std::errc() && read.ptr == end &&
             integer == value.integer;
    }
    case LiftedValue::Kind::Real:
      return original.kind == TokenKind::Number &&
             std::strtod(std::string(original.text).c_str(), nullptr) == value.real;
    case LiftedValue::Kind::Text: {
      if (original.kind != TokenKind::String || !original.closed) return false;
      const std::string_view body =
          original.text.front() == '\'' ? original.text : original.text.substr(1);
      return Enclosed(value.text, '\'', '\'') == body;
    }
  }
  return false;
}

void CheckShape(std::string_view text, const std::vector<Token>& tokens) {
  orvo::ado::Parameterizer parameterizer;
  parameterizer.Parameterize(text);
  const std::string& shape = parameterizer.Shape();
  const std::span<const Slot> slots = parameterizer.Slots();
  const std::vector<Token> shaped = orvo::ado::Tokenize(shape);

  // Walk the text and the shape side by side, blanks aside: every token is
  // the same but where a marker stands for a lifted literal.
  std::vector<const Token*> original;
  std::vector<const Token*> marked;
  for (const Token& t : tokens) {
    if (t.kind != TokenKind::Whitespace) original.push_back(&t);
  }
  for (const Token& t : shaped) {
    if (t.kind != TokenKind::Whitespace) marked.push_back(&t);
  }
  Expect(original.size() == marked.size(), "a shape has the text's tokens", text, shape);
  std::size_t slot = 0;
  std::size_t callers = 0;
  std::size_t lifted = 0;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    const Token& was = *original[i];
    const Token& is = *marked[i];
    if (is.kind == TokenKind::Marker) {
      Expect(slot < slots.size(), "a shape has a slot for every marker", text, shape);
      const Slot& s = slots[slot++];
      if (!s.lifted) {
        Expect(was.kind == TokenKind::Marker && s.index == callers++,
               "the caller's markers keep their order", text, shape);
        continue;
      }
      Expect(s.index == lifted++, "lifted literals are bound in their order", text, shape);
      Expect(SameLiteral(was, parameterizer.Lifted(s.index)),
             "a lifted literal is the value the text wrote", text, shape);
      continue;
    }
    Expect(was.kind == is.kind && was.text == is.text && was.closed == is.closed,
           "a shape keeps every token it does not lift", text, shape);
  }
  Expect(slot == slots.size(), "a shape has no slot without a marker", text, shape);

  // The backends adapt the shape: its markers must survive as markers.
  CheckAdapted(shape, shaped, orvo::ado::kSqliteSpelling, "SQLite shape");
  CheckAdapted(shape, shaped, orvo::ado::kPostgresSpelling, "PostgreSQL shape");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = orvo::fuzz::TextOf(data, size);
  const std::vector<Token> tokens = orvo::ado::Tokenize(text);
  CheckTokens(text, tokens);
  CheckAdapted(text, tokens, orvo::ado::kSqliteSpelling, "SQLite");
  CheckAdapted(text, tokens, orvo::ado::kPostgresSpelling, "PostgreSQL");
  CheckShape(text, tokens);
  return 0;
}
