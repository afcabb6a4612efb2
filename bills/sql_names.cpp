#include "bills/sql_names.hpp"

#include <cstddef>

#include "orvo/automation/error.hpp"

namespace orvo::bills {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsIdentifierStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsIdentifierPart(char c) {
  return IsIdentifierStart(c) || IsDigit(c) || c == '@' || c == '#' || c == '$';
}

// Reads one name part at `pos`; false when there is none.
bool ReadPart(std::string_view text, std::size_t& pos) {
  if (pos >= text.size()) return false;
  if (text[pos] == '[') {
    const std::size_t close = text.find(']', pos + 1);
    if (close == std::string_view::npos || close == pos + 1) return false;
    pos = close + 1;
    return true;
  }
  if (!IsIdentifierStart(text[pos])) return false;
  while (pos < text.size() && IsIdentifierPart(text[pos])) ++pos;
  return true;
}

bool IsName(std::string_view text, int maxParts) {
  std::size_t pos = 0;
  for (int part = 1; part <= maxParts; ++part) {
    if (!ReadPart(text, pos)) return false;
    if (pos == text.size()) return true;
    if (text[pos] != '.') return false;
    ++pos;
  }
  return false;
}

bool IsNumber(std::string_view text) {
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  const std::size_t digits = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  if (pos == digits) return false;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fraction = ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    if (pos == fraction) return false;
  }
  return pos == text.size();
}

bool IsQuotedText(std::string_view text) {
  if (text.size() < 2 || text.front() != '\'' || text.back() != '\'') return false;
  const std::string_view inner = text.substr(1, text.size() - 2);
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != '\'') continue;
    if (i + 1 >= inner.size() || inner[i + 1] != '\'') return false;
    ++i;
  }
  return true;
}

[[noreturn]] void Refuse(std::string_view argument, std::string_view value,
                         std::string_view expected) {
  throw RuntimeError(kInvalidProcedureCall, std::string(argument) + " must be " +
                                                std::string(expected) + ", not \"" +
                                                std::string(value) + "\".");
}

}  // namespace

void RequireTableName(std::string_view argument, std::string_view name) {
  if (!IsName(name, 3)) Refuse(argument, name, "a table name");
}

void RequireColumnName(std::string_view argument, std::string_view name) {
  if (!IsName(name, 1)) Refuse(argument, name, "a column name");
}

void RequireLiteral(std::string_view argument, std::string_view value) {
  if (!IsNumber(value) && !IsQuotedText(value)) {
    Refuse(argument, value, "a number or a text between single quotes");
  }
}

std::string UnquotedName(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
    return std::string(name.substr(1, name.size() - 2));
  }
  return std::string(name);
}

}  // namespace orvo::bills
