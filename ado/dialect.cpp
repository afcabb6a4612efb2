#include "ado/dialect.hpp"

#include <cstddef>
#include <vector>

#include "ado/tokenizer.hpp"

namespace orvo::ado {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string QuoteName(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

std::string Folded(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// Words that join two selects into one compound result.
bool JoinsSelects(const Token& t) {
  return t.Is("union") || t.Is("except") || t.Is("intersect");
}

// Words that end a select list at its own nesting level.
bool EndsSelectList(const Token& t) {
  static constexpr std::string_view kWords[] = {"from",  "into",  "where",  "group",     "having",
                                                "order", "union", "except", "intersect", "limit"};
  for (std::string_view word : kWords) {
    if (t.kind == TokenKind::Identifier && t.Is(word)) return true;
  }
  return false;
}

class Adapter {
 public:
  Adapter(std::string_view text, const DialectSpelling& spelling)
      : spelling_(spelling), tokens_(Tokenize(text)) {
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (tokens_[i].Significant()) sig_.push_back(i);
    }
    replaced_.assign(tokens_.size(), false);
    replacement_.resize(tokens_.size());
    dropped_.assign(tokens_.size(), false);
    before_.resize(tokens_.size());
    after_.resize(tokens_.size());
  }

  std::string Run() {
    // One scope per parenthesis level: a select's LIMIT goes after the last
    // token of the scope that the select opens.
    std::vector<Scope> scopes(1);
    std::size_t statementStart = 0;  // significant position of the statement's first token
    for (std::size_t k = 0; k < sig_.size(); ++k) {
      const std::size_t i = sig_[k];
      if (dropped_[i]) continue;
      const Token& t = tokens_[i];
      if (t.Is("(")) {
        scopes.back().last = i;
        scopes.emplace_back();
        continue;
      }
      if (t.Is(")")) {
        if (scopes.size() > 1) {
          Close(scopes.back());
          scopes.pop_back();
        }
        scopes.back().last = i;
        continue;
      }
      if (t.Is(";") && scopes.size() == 1) {
        Close(scopes.back());
        scopes.back() = Scope{};
        statementStart = k + 1;
        continue;
      }
      Scope& scope = scopes.back();
      if (JoinsSelects(t)) {
        WrapSelect(scope);
        scope.compound = true;
      } else if (t.Is("order") && scope.compound) {
        // The order of a compound is the whole result's.
        WrapSelect(scope);
      }
      scope.last = i;
      Rewrite(k, scope, k == statementStart, scopes.size() == 1);
    }
    while (!scopes.empty()) {
      Close(scopes.back());
      scopes.pop_back();
    }
    return Render();
  }

 private:
  struct Scope {
    std::size_t last = kNone;    // token index of the scope's last significant token
    std::string limit;           // the N of a "top N" to place at its select's end
    std::size_t select = kNone;  // token index of the select that "top N" belongs to
    bool compound = false;       // selects joined by union, except or intersect
  };

  const Token* Sig(std::size_t k) const { return k < sig_.size() ? &tokens_[sig_[k]] : nullptr; }

  void Replace(std::size_t i, std::string text) {
    replaced_[i] = true;
    replacement_[i] = std::move(text);
  }

  void Close(Scope& scope) {
    if (scope.compound) {
      WrapSelect(scope);
    } else if (!scope.limit.empty() && scope.last != kNone) {
      after_[scope.last] += " LIMIT " + scope.limit;
    }
    scope.limit.clear();
  }

  // Inside a compound a LIMIT would apply to the whole result: the select
  // with the "top N" becomes a subquery of its own that takes the LIMIT.
  void WrapSelect(Scope& scope) {
    if (scope.limit.empty()) return;
    before_[scope.select] += "select * from (";
    after_[scope.last] += " LIMIT " + scope.limit + ")";
    scope.limit.clear();
  }

  void Rewrite(std::size_t k, Scope& scope, bool startsStatement, bool topLevel) {
    const std::size_t i = sig_[k];
    const Token& t = tokens_[i];
    const Token* next = Sig(k + 1);
    switch (t.kind) {
      case TokenKind::Identifier:
        if (t.Is("select")) {
          AnnotateSelect(k, scope, topLevel);
        } else if (spelling_.hexThroughDecode && t.Is("x") && i + 1 < tokens_.size() &&
                   tokens_[i + 1].kind == TokenKind::String && tokens_[i + 1].closed &&
                   tokens_[i + 1].text.front() == '\'') {
          Replace(i, "decode(");
          after_[i + 1] += ", 'hex')";
        } else if (t.Is("isnull") && next != nullptr && next->Is("(")) {
          Replace(i, std::string(spelling_.isnullFunction));
        } else if (t.Is("delete") && startsStatement && next != nullptr && next->IsName() &&
                   !next->Is("from")) {
          after_[i] += " FROM";
        } else if (!replaced_[i] && t.text.find_first_of("#@") != std::string_view::npos) {
          // The original server read "#temp" and "a@b" as names; the
          // backends read "#" and "@" as the start of a marker or an
          // operator. Quoted, the name is the one a bare name would be.
          Replace(i, QuoteName(spelling_.foldBrackets ? Folded(std::string(t.text))
                                                      : std::string(t.text)));
        }
        break;
      case TokenKind::BracketIdentifier:
        if (t.closed) Replace(i, QuoteName(spelling_.foldBrackets ? Folded(t.Name()) : t.Name()));
        break;
      case TokenKind::String:
        if (t.closed && t.text.front() != '\'') {
          Replace(i, std::string(t.text.substr(1)));  // N'...'
        }
        break;
      case TokenKind::Number:
        if (i + 1 < tokens_.size() && tokens_[i + 1].kind == TokenKind::Identifier) {
          after_[i] += ' ';
        }
        break;
      case TokenKind::Variable:
        if (t.Is("@@IDENTITY")) Replace(i, std::string(spelling_.identityExpression));
        break;
      case TokenKind::Marker:
        if (spelling_.numberedMarkers) Replace(i, "$" + std::to_string(++markers_));
        SeparateMarker(i);
        break;
      default:
        break;
    }
  }

  // A blank between a marker and a number or name glued to it, which the
  // database would otherwise read as part of the marker: SQLite reads "?1"
  // as its marker number 1, the server "$11" as marker 11, and "a$1" or
  // "$$1" as no marker at all ("@$1" is a variable to the tokenizer).
  void SeparateMarker(std::size_t i) {
    const auto glues = [](const Token& t) {
      return t.kind == TokenKind::Identifier || t.kind == TokenKind::Number ||
             t.kind == TokenKind::Variable;
    };
    if (i + 1 < tokens_.size() && glues(tokens_[i + 1])) after_[i] += ' ';
    if (spelling_.numberedMarkers && i > 0 &&
        (glues(tokens_[i - 1]) || tokens_[i - 1].Is("$") || tokens_[i - 1].Is("@"))) {
      before_[i] += ' ';
    }
  }

  // Handles what follows a SELECT: DISTINCT/ALL, TOP N, and the select list.
  // The names of a select list matter to the caller only in the result: a
  // subquery's are the outer query's own business, and stay as written.
  void AnnotateSelect(std::size_t k, Scope& scope, bool topLevel) {
    std::size_t j = k + 1;
    if (Sig(j) != nullptr && (Sig(j)->Is("distinct") || Sig(j)->Is("all"))) ++j;
    if (Sig(j) != nullptr && Sig(j)->Is("top")) j = TakeTop(k, j, scope);
    while (Sig(j) != nullptr) {
      const std::size_t begin = j;
      int depth = 0;
      for (; Sig(j) != nullptr; ++j) {
        const Token& t = *Sig(j);
        if (depth == 0 && (t.Is(",") || t.Is(")") || t.Is(";") || EndsSelectList(t))) break;
        if (t.Is("(")) ++depth;
        if (t.Is(")")) --depth;
      }
      if (topLevel) AnnotateItem(begin, j);
      if (Sig(j) == nullptr || !Sig(j)->Is(",")) break;
      ++j;
    }
  }

  // "top N" or "top (N)" at significant position j of the select at `select`:
  // drops it (with the blanks after it) and leaves N for the select's end.
  // Returns the position after it.
  std::size_t TakeTop(std::size_t select, std::size_t j, Scope& scope) {
    std::size_t number = j + 1;
    std::size_t end = j + 1;
    if (Sig(j + 1) != nullptr && Sig(j + 1)->Is("(")) {
      number = j + 2;
      end = j + 3;
      if (Sig(end) == nullptr || !Sig(end)->Is(")")) return j;
    }
    if (Sig(number) == nullptr || Sig(number)->kind != TokenKind::Number) return j;
    if (Sig(end + 1) != nullptr && Sig(end + 1)->Is("percent")) return j;
    scope.limit = std::string(Sig(number)->text);
    scope.select = sig_[select];
    std::size_t i = sig_[j];
    for (; i <= sig_[end]; ++i) dropped_[i] = true;
    for (; i < tokens_.size() && tokens_[i].kind == TokenKind::Whitespace; ++i) dropped_[i] = true;
    return end + 1;
  }

  // One select-list item spanning significant positions [begin, end).
  void AnnotateItem(std::size_t begin, std::size_t end) {
    const std::size_t count = end - begin;
    if (count == 0) return;
    const std::size_t lastToken = sig_[end - 1];
    if (count == 1 && Sig(begin)->Is("@@IDENTITY")) {
      after_[lastToken] += spelling_.identityAlias;
      return;
    }
    const Token& last = tokens_[lastToken];
    if (spelling_.quotedAliases && count >= 3 && Sig(end - 2)->Is("as") &&
        last.kind == TokenKind::Identifier) {
      Replace(lastToken, QuoteName(last.text));
      return;
    }
    // A plain column reference: name, or up to three names joined by dots.
    if (count % 2 == 0 || count > 5) return;
    for (std::size_t p = 0; p < count; ++p) {
      const Token& t = *Sig(begin + p);
      if (p % 2 == 0 ? !(t.IsName() && t.closed) : !t.Is(".")) return;
    }
    after_[lastToken] += " AS " + QuoteName(tokens_[lastToken].Name());
  }

  std::string Render() const {
    std::string out;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (dropped_[i]) continue;
      Append(out, before_[i]);
      Append(out, replaced_[i] ? std::string_view(replacement_[i]) : tokens_[i].text);
      Append(out, after_[i]);
    }
    return out;
  }

  // Two quoted texts or names that a rewrite put side by side ('a'N'b' as
  // 'a''b', [a][b] as "a""b") would read as one holding a quote: a blank
  // keeps them two.
  static void Append(std::string& out, std::string_view piece) {
    if (!out.empty() && !piece.empty() && (out.back() == '\'' || out.back() == '"') &&
        piece.front() == out.back()) {
      out += ' ';
    }
    out += piece;
  }

  const DialectSpelling& spelling_;
  std::vector<Token> tokens_;
  std::vector<std::size_t> sig_;  // indices of the significant tokens
  std::vector<bool> replaced_;
  std::vector<std::string> replacement_;
  std::vector<bool> dropped_;
  std::vector<std::string> before_;
  std::vector<std::string> after_;
  int markers_ = 0;  // markers numbered so far
};

}  // namespace

std::string AdaptStatement(std::string_view text, const DialectSpelling& spelling) {
  return Adapter(text, spelling).Run();
}

}  // namespace orvo::ado
