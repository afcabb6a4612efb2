// The pool knows a data source by what its text resolves to, not by the text:
// a relative database file is the file in the current directory at the time
// of the request, so a host that changes its directory reaches the file it
// names now and not the one the text named first. Two spellings of one data
// source share one connection, which keeps a unit of work from opening the
// same file twice and waiting on itself.

#include "orvo/host/connection_pool.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "orvo/ado/connection_string.hpp"
#include "orvo/automation/ascii.hpp"

namespace orvo::host {

namespace {

// Keys the host reads from a data source text but no connection does; every
// other key may change what is opened or how (the file, the way it is
// opened, the timeout), so texts that differ in one get connections of their
// own.
bool LeavesConnectionAlone(std::string_view key) {
  return ascii::EqualsIgnoreCase(key, "Language") || ascii::EqualsIgnoreCase(key, "Provider");
}

bool NamesFile(const ado::ConnectionString& parsed, std::string_view key) {
  return ascii::EqualsIgnoreCase(parsed.Provider(), "SQLite") &&
         ascii::EqualsIgnoreCase(key, "Data Source");
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

// The key of a data source text, and whether the key depends on the current
// directory (a relative database file), so that it must be worked out anew
// at each request.
std::string DataSourceKey(const std::string& sDsn, bool& followsDirectory) {
  const ado::ConnectionString parsed = ado::ConnectionString::Parse(sDsn);
  followsDirectory = false;
  std::string key = parsed.Provider();
  for (char& c : key) c = ascii::ToLower(c);
  std::vector<std::string> names = parsed.Keys();
  for (std::string& name : names) {
    for (char& c : name) c = ascii::ToLower(c);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (LeavesConnectionAlone(name)) continue;
    std::string value = parsed.Get(name);
    if (NamesFile(parsed, name)) {
      followsDirectory = followsDirectory || !std::filesystem::path(value).is_absolute();
      value = AbsoluteFile(value);
    }
    // Each value with its length, so that no value can pass for two.
    key += '\n';
    key += name;
    key += '=';
    key += std::to_string(value.size());
    key += ':';
    key += value;
  }
  return key;
}

}  // namespace

std::shared_ptr<ado::Connection> ConnectionPool::Connection(const std::string& sDsn) {
  // A host names its data source with the same text call after call: the
  // text it named last is known without reading it again.
  if (last_ && sDsn == lastText_ && !last_->Broken()) {
    last_->SetObserver(observer_);
    return last_;
  }
  bool followsDirectory = false;
  const std::string key = DataSourceKey(sDsn, followsDirectory);
  auto found = connections_.find(key);
  // A connection whose rollback failed may still be inside its transaction:
  // every later call on it would fail, so a new one takes its place.
  if (found != connections_.end() && found->second->Broken()) {
    connections_.erase(found);
    found = connections_.end();
  }
  if (found == connections_.end()) {
    // A data source that cannot be opened raises here and leaves the pool as
    // it was.
    std::shared_ptr<ado::Connection> connection = ado::Connection::Open(sDsn);
    found = connections_.emplace(key, std::move(connection)).first;
  }
  found->second->SetObserver(observer_);
  last_ = followsDirectory ? nullptr : found->second;
  lastText_ = followsDirectory ? std::string() : sDsn;
  return found->second;
}

void ConnectionPool::Close() {
  last_.reset();
  lastText_.clear();
  connections_.clear();
}

}  // namespace orvo::host
