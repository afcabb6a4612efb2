// Data source texts: ConnectionString::Parse, ShownText and the identity by
// which the pool tells two texts of one store apart. The whole input is read
// as a data source text; when it holds two line breaks, its three lines A, V
// and B are also read as "A;Password=V;B", a password in a text around it.
// What must hold:
//   - Parse gives a ConnectionString or raises 0x800A0BB9; nothing else;
//   - the shown text parses again to the same keys and values, less the
//     secrets (Password, sslpassword), and with the secrets put back it has
//     the identity of the text it came from;
//   - the password never shows, in the shown text nor in the error about a
//     malformed text, wherever the text around it is malformed: what either
//     says is the same whatever the password's letters and digits are.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ado/connection_string.hpp"
#include "ado/errors.hpp"
#include "automation/ascii.hpp"
#include "fuzz/property.hpp"
#include "orvo/automation/error.hpp"

namespace {

using orvo::AutomationError;
using orvo::ado::ConnectionString;
using orvo::fuzz::Expect;

bool IsSecret(std::string_view key) {
  return orvo::ascii::EqualsIgnoreCase(key, "Password") ||
         orvo::ascii::EqualsIgnoreCase(key, "sslpassword");
}

std::string QuotedValue(std::string_view value) {
  std::string quoted = "\"";
  for (const char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// The text parsed, or nullopt when Parse refused it (its error in `error`).
std::optional<ConnectionString> Parsed(std::string_view text, std::string& error) {
  try {
    return ConnectionString::Parse(text);
  } catch (const AutomationError& refused) {
    Expect(refused.number() == orvo::ado::kErrInvalidArgument,
           "a malformed data source text raises 0x800A0BB9", text, refused.description());
    error = refused.description();
    return std::nullopt;
  }
}

void CheckShown(std::string_view text, const ConnectionString& parsed) {
  const std::string shown = parsed.ShownText();
  std::string error;
  const std::optional<ConnectionString> again = Parsed(shown, error);
  Expect(again.has_value(), "the shown text parses", text, shown);
  std::vector<std::string> keys;
  std::string secrets;
  for (const std::string& key : parsed.Keys()) {
    if (IsSecret(key)) {
      secrets += ";" + key + "=" + QuotedValue(parsed.Get(key));
      continue;
    }
    keys.push_back(key);
    Expect(again->Get(key) == parsed.Get(key), "the shown text keeps every value", text, shown);
  }
  Expect(again->Keys() == keys, "the shown text keeps every key but the secrets, in order", text,
         shown);

  const orvo::ado::DataSourceIdentity identity = orvo::ado::IdentityOf(text);
  const orvo::ado::DataSourceIdentity rebuilt = orvo::ado::IdentityOf(shown + secrets);
  Expect(identity.key == rebuilt.key && identity.followsDirectory == rebuilt.followsDirectory,
         "the shown text with its secrets put back is the same store", text, shown + secrets);
}

bool HasQuote(std::string_view text) {
  return text.find_first_of("\"'") != std::string_view::npos;
}

// "A;Password=V;B": the password V must show nowhere. Its letters and digits
// decide nothing about how the text reads, so the text with them changed must
// give the same error, or the same shown text as the text without V. Around
// texts holding quotes could make V part of another value, and a V holding
// a semicolon is two entries; neither is a password.
void CheckPassword(std::string_view input, std::string_view a, std::string_view v,
                   std::string_view b) {
  if (v.find(';') != std::string_view::npos || HasQuote(a) || HasQuote(b)) return;
  std::string lower(v);
  for (char& c : lower) c = orvo::ascii::ToLower(c);
  // A piece of a text that names a password is never shown, whatever it holds.
  if (lower.find("password") != std::string::npos) return;
  std::string other(v);
  for (char& c : other) {
    if (orvo::ascii::IsLetter(c) || orvo::ascii::IsDigit(c) ||
        static_cast<unsigned char>(c) >= 0x80)
      c = c == 'q' ? 'z' : 'q';
  }
  const auto around = [&](std::string_view value) {
    return std::string(a) + ";Password=" + std::string(value) + ";" + std::string(b);
  };
  const std::string text = around(v);
  std::string error;
  std::string otherError;
  const std::optional<ConnectionString> parsed = Parsed(text, error);
  const std::optional<ConnectionString> otherParsed = Parsed(around(other), otherError);
  Expect(parsed.has_value() == otherParsed.has_value(),
         "a password's letters decide nothing about the text", input, error + otherError);
  if (!parsed) {
    Expect(error == otherError, "no error shows a password", input, error);
    return;
  }
  // Without the password the text around it parses alike, and shows alike.
  const std::string without = std::string(a) + ";" + std::string(b);
  const std::optional<ConnectionString> rest = Parsed(without, error);
  Expect(rest.has_value(), "a password entry makes no text around it malformed", input, without);
  Expect(parsed->ShownText() == rest->ShownText(), "the shown text leaves the password out", input,
         parsed->ShownText());
  CheckShown(text, *parsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = orvo::fuzz::TextOf(data, size);
  std::string error;
  if (const std::optional<ConnectionString> parsed = Parsed(text, error)) CheckShown(text, *parsed);

  const std::size_t first = text.find('\n');
  const std::size_t second = first == std::string_view::npos ? first : text.find('\n', first + 1);
  if (second != std::string_view::npos) {
    CheckPassword(text, text.substr(0, first), text.substr(first + 1, second - first - 1),
                  text.substr(second + 1));
  }
  return 0;
}
