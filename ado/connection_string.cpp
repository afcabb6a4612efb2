#include "ado/connection_string.hpp"

#include <cctype>
#include <utility>

#include "ado/errors.hpp"
#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

constexpr const char* kSource = "ADODB.Connection";

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Reads the quoted value that starts at text[at]; the quote is doubled inside
// it. Returns the position after the closing quote.
std::size_t ReadQuoted(std::string_view text, std::size_t at, std::string_view key,
                       std::string& value) {
  const char quote = text[at];
  for (std::size_t k = at + 1; k < text.size(); ++k) {
    if (text[k] != quote) {
      value += text[k];
    } else if (k + 1 < text.size() && text[k + 1] == quote) {
      value += quote;
      ++k;
    } else {
      return k + 1;
    }
  }
  throw InvalidArgumentError(kSource, "The value of " + QuotedForError(key) +
                                          " in the data source text has no closing quote");
}

bool IsSecret(std::string_view key) {
  return ascii::EqualsIgnoreCase(key, "Password") || ascii::EqualsIgnoreCase(key, "sslpassword");
}

// A piece of a malformed text as an error shows it: never what may be part
// of a password.
std::string Shown(std::string_view piece) {
  std::string lower(piece);
  for (char& c : lower) c = ascii::ToLower(c);
  if (lower.find("password") != std::string::npos) return "(not shown: it names a password)";
  return QuotedForError(piece);
}

}  // namespace

ConnectionString ConnectionString::Parse(std::string_view text) {
  // Every database reads a value only up to a NUL: one cut there would name
  // another store, or another schema, than the text says.
  if (text.find('\0') != std::string_view::npos) {
    throw InvalidArgumentError(kSource, "The data source text holds a NUL character");
  }
  ConnectionString result;
  result.text_ = std::string(text);
  std::size_t i = 0;
  std::string lastKey;  // of the entry read last
  while (i < text.size()) {
    // The key runs to "="; a segment without one is malformed unless blank.
    const std::size_t semicolon = text.find(';', i);
    const std::size_t equals = text.find('=', i);
    if (equals == std::string_view::npos ||
        (semicolon != std::string_view::npos && semicolon < equals)) {
      const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
      const std::string_view segment = Trim(text.substr(i, end - i));
      if (!segment.empty()) {
        // After a password, it is most likely the rest of a password that
        // holds a ";" and was not quoted.
        const bool afterSecret = IsSecret(lastKey);
        throw InvalidArgumentError(
            kSource, "The data source text has an entry without \"=\": " +
                         (afterSecret ? std::string("(not shown: it follows a password; quote a "
                                                    "value that holds a \";\")")
                                      : Shown(segment)));
      }
      i = end + 1;
      continue;
    }
    const std::string_view key = Trim(text.substr(i, equals - i));
    if (key.empty()) {
      const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
      throw InvalidArgumentError(kSource, "The data source text has a value without a key: " +
                                              Shown(Trim(text.substr(i, end - i))));
    }
    // A value may be quoted (with the quote doubled inside) to hold a ";".
    std::size_t v = equals + 1;
    while (v < text.size() && IsBlank(text[v])) ++v;
    Entry entry{std::string(key), {}};
    std::size_t next;
    if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
      const std::size_t after = ReadQuoted(text, v, key, entry.value);
      next = text.find(';', after);
      const std::size_t end = next == std::string_view::npos ? text.size() : next;
      const std::string_view rest = Trim(text.substr(after, end - after));
      if (!rest.empty()) {
        throw InvalidArgumentError(
            kSource, "The value of " + QuotedForError(entry.key) +
                         " in the data source text has text after its "
                         "closing quote: " +
                         (IsSecret(entry.key) ? std::string("(not shown)") : Shown(rest)));
      }
    } else {
      next = text.find(';', v);
      const std::size_t end = next == std::string_view::npos ? text.size() : next;
      entry.value = std::string(Trim(text.substr(v, end - v)));
    }
    lastKey = entry.key;
    if (Entry* known = result.Find(entry.key)) {
      known->value = std::move(entry.value);
    } else {
      result.entries_.push_back(std::move(entry));
    }
    i = next == std::string_view::npos ? text.size() : next + 1;
  }
  return result;
}

const ConnectionString::Entry* ConnectionString::Find(std::string_view key) const {
  for (const Entry& entry : entries_) {
    if (ascii::EqualsIgnoreCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

ConnectionString::Entry* ConnectionString::Find(std::string_view key) {
  return const_cast<Entry*>(std::as_const(*this).Find(key));
}

std::string ConnectionString::Get(std::string_view key) const {
  const Entry* entry = Find(key);
  return entry == nullptr ? std::string() : entry->value;
}

bool ConnectionString::Has(std::string_view key) const {
  return Find(key) != nullptr;
}

std::vector<std::string> ConnectionString::Keys() const {
  std::vector<std::string> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.push_back(entry.key);
  return keys;
}

std::string ConnectionString::ShownText() const {
  std::string shown;
  for (const Entry& entry : entries_) {
    if (ascii::EqualsIgnoreCase(entry.key, "Password") ||
        ascii::EqualsIgnoreCase(entry.key, "sslpassword")) {
      continue;
    }
    const bool plain =
        entry.value.find_first_of(";\"'") == std::string::npos &&
        (entry.value.empty() || (!IsBlank(entry.value.front()) && !IsBlank(entry.value.back())));
    std::string value = entry.value;
    if (!plain) {
      value = "\"";
      for (char c : entry.value) value += c == '"' ? std::string("\"\"") : std::string(1, c);
      value += '"';
    }
    shown += (shown.empty() ? "" : ";") + entry.key + "=" + value;
  }
  return shown;
}

std::string ConnectionString::Provider() const {
  std::string provider = Get("Provider");
  return provider.empty() ? std::string("SQLite") : provider;
}

}  // namespace orvo::ado
