#include <cctype>

#include "ado/errors.hpp"
#include "orvo/ado/connection.hpp"

#include "orvo/automation/ascii.hpp"

namespace orvo::ado {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ascii::ToLower(c);
  return out;
}

}  // namespace

ConnectionString ConnectionString::Parse(std::string_view text) {
  ConnectionString result;
  result.text_ = std::string(text);
  std::size_t i = 0;
  while (i < text.size()) {
    // The key runs to "="; a segment without one is malformed unless blank.
    const std::size_t semicolon = text.find(';', i);
    const std::size_t equals = text.find('=', i);
    if (equals == std::string_view::npos ||
        (semicolon != std::string_view::npos && semicolon < equals)) {
      const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
      const std::string_view segment = Trim(text.substr(i, end - i));
      if (!segment.empty()) {
        throw InvalidArgumentError("ADODB.Connection",
                                   "The data source text has an entry without "
                                   "\"=\": \"" +
                                       std::string(segment) + "\"");
      }
      i = end + 1;
      continue;
    }
    const std::string key = Lower(Trim(text.substr(i, equals - i)));
    // A value may be quoted (with the quote doubled inside) to hold a ";".
    std::size_t v = equals + 1;
    while (v < text.size() && (text[v] == ' ' || text[v] == '\t')) ++v;
    std::string value;
    std::size_t next;
    if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
      const char quote = text[v];
      std::size_t k = v + 1;
      for (; k < text.size(); ++k) {
        if (text[k] == quote) {
          if (k + 1 < text.size() && text[k + 1] == quote) {
            value += quote;
            ++k;
            continue;
          }
          break;
        }
        value += text[k];
      }
      if (k >= text.size()) {
        throw InvalidArgumentError("ADODB.Connection", "The value of \"" + key +
                                                           "\" in the data source text has no "
                                                           "closing quote");
      }
      next = text.find(';', k + 1);
    } else {
      next = text.find(';', v);
      const std::size_t end = next == std::string_view::npos ? text.size() : next;
      value = std::string(Trim(text.substr(v, end - v)));
    }
    if (!key.empty()) result.values_[key] = std::move(value);
    i = next == std::string_view::npos ? text.size() : next + 1;
  }
  return result;
}

std::string ConnectionString::Get(std::string_view key) const {
  const auto it = values_.find(Lower(key));
  return it == values_.end() ? std::string() : it->second;
}

bool ConnectionString::Has(std::string_view key) const {
  return values_.find(Lower(key)) != values_.end();
}

std::string ConnectionString::Provider() const {
  std::string provider = Get("Provider");
  return provider.empty() ? std::string("SQLite") : provider;
}

}  // namespace orvo::ado
