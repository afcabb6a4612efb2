// The identity of a data source text, by what its text resolves to rather
// than by the text: a relative database file is the file in the current
// directory at the time of the request, so a host that changes its
// directory reaches the file it names now and not the one the text named
// first. Two spellings of one data source are one store.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ado/backend.hpp"
#include "ado/connection_string.hpp"
#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

// Keys that no connection reads; every other key may change what is opened
// or how (the file or server, the way it is opened, the timeout), so texts
// that differ in one are other stores.
bool LeavesConnectionAlone(std::string_view key) {
  return ascii::EqualsIgnoreCase(key, "Language") || ascii::EqualsIgnoreCase(key, "Provider");
}

// A file's path made absolute against the current directory, without the "."
// steps. ".." steps stay: through a symbolic link they lead elsewhere than
// their text suggests.
std::string AbsoluteFile(const std::string& file) {
  if (file.empty() || file == ":memory:") return file;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  // Without a current directory the text stays as it is, and opening it
  // fails as it would have anyway.
  if (error) return file;
  std::filesystem::path resolved;
  for (const std::filesystem::path& step : absolute) {
    if (!step.empty() && step != ".") resolved /= step;
  }
  return resolved.string();
}

std::string Lower(std::string text) {
  for (char& c : text) c = ascii::ToLower(c);
  return text;
}

}  // namespace

DataSourceIdentity IdentityOf(std::string_view text) {
  const ConnectionString parsed = ConnectionString::Parse(text);
  const BackendInfo* backend = FindBackend(parsed.Provider());
  const std::string_view fileKey = backend != nullptr ? backend->fileKey : std::string_view();
  DataSourceIdentity identity{Lower(parsed.Provider()), false};
  std::vector<std::string> names = parsed.Keys();
  for (std::string& name : names) name = Lower(name);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (LeavesConnectionAlone(name)) continue;
    std::string value = parsed.Get(name);
    if (!fileKey.empty() && ascii::EqualsIgnoreCase(name, fileKey)) {
      identity.followsDirectory =
          identity.followsDirectory || !std::filesystem::path(value).is_absolute();
      value = AbsoluteFile(value);
    }
    // Each value with its length, so that no value can pass for two.
    identity.key += '\n';
    identity.key += name;
    identity.key += '=';
    identity.key += std::to_string(value.size());
    identity.key += ':';
    identity.key += value;
  }
  return identity;
}

}  // namespace orvo::ado
