#include "bench/server.hpp"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "ado/connection_string.hpp"
#include "automation/ascii.hpp"
#include "bench/site.hpp"

namespace orvo::bench {

namespace {

// The data source keys that libpq spells otherwise; every other key the
// server reads is libpq's own (sslmode, options, ...).
constexpr std::pair<std::string_view, std::string_view> kLibpqSpellings[] = {
    {"Host", "host"},
    {"Port", "port"},
    {"Database", "dbname"},
    {"User ID", "user"},
    {"Password", "password"}};
// Keys that the component reads itself; the server never sees them.
constexpr std::string_view kComponentKeys[] = {"Provider", "Language"};

// The binary forms of the server's types that the baselines read.
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kInt8 = 20;
constexpr Oid kTimestamp = 1114;
constexpr Oid kBytea = 17;

std::uint64_t BigEndian(const char* in, int size) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(in[i]);
  return value;
}

// A value for a data source text: quoted when it holds what would end it.
std::string Quoted(const std::string& value) {
  if (value.find_first_of(";\"'") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string ServerDataSource() {
  const char* text = std::getenv("ORVO_TEST_PG");
  return text == nullptr ? std::string() : std::string(text);
}

std::string InSchema(const std::string& dataSource, const std::string& schema) {
  const std::string options = ado::ConnectionString::Parse(dataSource).Get("options");
  return dataSource +
         ";options=" + Quoted((options.empty() ? "" : options + " ") + "-c search_path=" + schema);
}

void ServerValues::MakeRoom() const {
  if (count_ == kMost) throw std::length_error("more values than a baseline binds");
}

ServerValues& ServerValues::Set(const char* data, std::size_t size, int format) {
  MakeRoom();
  values_[count_] = data;
  lengths_[count_] = static_cast<int>(size);
  formats_[count_] = format;
  ++count_;
  return *this;
}

ServerValues& ServerValues::Int(std::int32_t value) {
  MakeRoom();
  char* out = numbers_[count_].data();
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 3; i >= 0; --i) out[3 - i] = static_cast<char>(bits >> (8 * i));
  return Set(out, 4, 1);
}

ServerValues& ServerValues::Text(const std::string& text) {
  return Set(text.c_str(), text.size(), 0);
}

ServerValues& ServerValues::Binary(const void* data, std::size_t size) {
  static constexpr char kEmpty = 0;
  return Set(size == 0 ? &kEmpty : static_cast<const char*>(data), size, 1);
}

ServerValues& ServerValues::Null() {
  return Set(nullptr, 0, 0);
}

ServerValues& ServerValues::Copied(const CopiedValue& value) {
  switch (value.kind) {
    case CopiedValue::Kind::Integer:
      return Int(static_cast<std::int32_t>(value.integer));
    case CopiedValue::Kind::Text:
      return Text(value.bytes);
    case CopiedValue::Kind::Blob:
      return Binary(value.bytes.data(), value.bytes.size());
    default:
      return Null();
  }
}

Server::Server(const std::string& dataSource) {
  const ado::ConnectionString parsed = ado::ConnectionString::Parse(dataSource);
  std::vector<std::string> keys;
  std::vector<std::string> values;
  for (const std::string& key : parsed.Keys()) {
    bool ours = false;
    for (std::string_view component : kComponentKeys) {
      ours = ours || ascii::EqualsIgnoreCase(component, key);
    }
    if (ours) continue;
    std::string name;
    for (char c : key) name += ascii::ToLower(c);
    for (const auto& [spelled, libpq] : kLibpqSpellings) {
      if (ascii::EqualsIgnoreCase(spelled, key)) name = libpq;
    }
    keys.push_back(name);
    values.push_back(parsed.Get(key));
  }
  keys.emplace_back("client_encoding");
  values.emplace_back("UTF8");
  std::vector<const char*> keywords;
  std::vector<const char*> settings;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    keywords.push_back(keys[i].c_str());
    settings.push_back(values[i].c_str());
  }
  keywords.push_back(nullptr);
  settings.push_back(nullptr);
  conn_ = PQconnectdbParams(keywords.data(), settings.data(), 0);
  if (PQstatus(conn_) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(conn_);
    PQfinish(conn_);
    throw std::runtime_error("cannot reach the PostgreSQL server: " + message);
  }
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
}

Server::~Server() {
  PQfinish(conn_);
}

ServerResult Server::Check(PGresult* raw) {
  ServerResult result(raw);
  const ExecStatusType status = PQresultStatus(raw);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(conn_));
  }
  return result;
}

void Server::Exec(const std::string& sql) {
  Check(PQexec(conn_, sql.c_str()));
}

Server& Server::Kept(const std::string& dataSource) {
  static std::unordered_map<std::string, std::unique_ptr<Server>> kept;
  std::unique_ptr<Server>& server = kept[dataSource];
  if (!server) server = std::make_unique<Server>(dataSource);
  return *server;
}

Server::Statement Server::Prepare(const char* sql) {
  if (const auto found = prepared_.find(sql); found != prepared_.end()) return found->second;
  Statement statement{"bench_" + std::to_string(prepared_.size() + 1)};
  Check(PQprepare(conn_, statement.name.c_str(), sql, 0, nullptr));
  prepared_.emplace(sql, statement);
  return statement;
}

ServerResult Server::Run(const Statement& statement, const ServerValues& values) {
  return Check(PQexecPrepared(conn_, statement.name.c_str(), values.Count(), values.Values(),
                              values.Lengths(), values.Formats(), 1));
}

void Server::Copy(const std::string& table, const std::string& columns, const std::string& data) {
  PGresult* started = PQexec(conn_, ("COPY " + table + " (" + columns + ") FROM STDIN").c_str());
  if (PQresultStatus(started) != PGRES_COPY_IN) Check(started);
  PQclear(started);
  if (PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) != 1 ||
      PQputCopyEnd(conn_, nullptr) != 1) {
    throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(conn_));
  }
  for (PGresult* result = PQgetResult(conn_); result != nullptr; result = PQgetResult(conn_)) {
    Check(result);
  }
}

std::int32_t IntOf(const ServerResult& result, int row, int column) {
  if (PQgetisnull(result.get(), row, column) != 0) return 0;
  const char* data = PQgetvalue(result.get(), row, column);
  switch (PQftype(result.get(), column)) {
    case kInt2:
      return static_cast<std::int16_t>(BigEndian(data, 2));
    case kInt8:
      return static_cast<std::int32_t>(BigEndian(data, 8));
    default:
      return static_cast<std::int32_t>(BigEndian(data, 4));
  }
}

std::string TextOf(const ServerResult& result, int row, int column) {
  return std::string(PQgetvalue(result.get(), row, column),
                     static_cast<std::size_t>(PQgetlength(result.get(), row, column)));
}

Bytes BytesOf(const ServerResult& result, int row, int column) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(PQgetvalue(result.get(), row, column));
  return Bytes(data, data + PQgetlength(result.get(), row, column));
}

std::vector<CopiedValue> RowOf(const ServerResult& result, int row) {
  const int count = PQnfields(result.get());
  std::vector<CopiedValue> copied(static_cast<std::size_t>(count));
  for (int column = 0; column < count; ++column) {
    CopiedValue& value = copied[static_cast<std::size_t>(column)];
    if (PQgetisnull(result.get(), row, column) != 0) continue;
    const char* data = PQgetvalue(result.get(), row, column);
    const auto length = static_cast<std::size_t>(PQgetlength(result.get(), row, column));
    switch (PQftype(result.get(), column)) {
      case kInt2:
      case kInt4:
      case kInt8:
        value.kind = CopiedValue::Kind::Integer;
        value.integer = IntOf(result, row, column);
        break;
      case kTimestamp:
        // Microseconds from the server's epoch.
        value.kind = CopiedValue::Kind::Integer;
        value.integer = static_cast<std::int64_t>(BigEndian(data, 8));
        break;
      case kBytea:
        value.kind = CopiedValue::Kind::Blob;
        value.bytes.assign(data, length);
        break;
      default:
        value.kind = CopiedValue::Kind::Text;
        value.bytes.assign(data, length);
        break;
    }
  }
  return copied;
}

}  // namespace orvo::bench
