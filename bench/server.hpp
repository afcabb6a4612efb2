// What the benchmarks need of a PostgreSQL server, written with libpq alone:
// the server named by ORVO_TEST_PG (scripts/with-postgres starts one), and a
// connection of libpq's own to it for building sites and for the baselines,
// which run the statements the classes run on the server, each prepared once
// with PQprepare and run with PQexecPrepared, values bound as the backend
// binds them (whole numbers and bytes in binary, texts as UTF-8) and results
// read in binary.
//
// Used on the benchmark's thread.

#ifndef ORVO_BENCH_SERVER_HPP_
#define ORVO_BENCH_SERVER_HPP_

#include <libpq-fe.h>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "orvo/automation/variant.hpp"

namespace orvo::bench {

struct CopiedValue;

// The data source text of the server to measure on, from ORVO_TEST_PG; ""
// when none is named, and the server is then not measured.
std::string ServerDataSource();

// A data source text with `schema` as the first of its search path, the
// server's own options of the text kept.
std::string InSchema(const std::string& dataSource, const std::string& schema);

class ServerResult {
 public:
  explicit ServerResult(PGresult* result = nullptr) : result_(result) {}
  ~ServerResult() { PQclear(result_); }
  ServerResult(ServerResult&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}
  ServerResult& operator=(ServerResult&& other) noexcept {
    std::swap(result_, other.result_);
    return *this;
  }
  ServerResult(const ServerResult&) = delete;
  ServerResult& operator=(const ServerResult&) = delete;

  PGresult* get() const { return result_; }
  int Rows() const { return PQntuples(result_); }

 private:
  PGresult* result_;
};

// The values of one run of a prepared statement, as libpq takes them.
class ServerValues {
 public:
  ServerValues() = default;
  // Values point into the object itself.
  ServerValues(const ServerValues&) = delete;
  ServerValues& operator=(const ServerValues&) = delete;

  ServerValues& Int(std::int32_t value);
  ServerValues& Text(const std::string& text);
  ServerValues& Binary(const void* data, std::size_t size);
  ServerValues& Null();
  // A value copied out of a row, bound back as it came: whole numbers in
  // binary, texts as texts, bytes in binary.
  ServerValues& Copied(const CopiedValue& value);

  int Count() const { return count_; }
  const char* const* Values() const { return values_.data(); }
  const int* Lengths() const { return lengths_.data(); }
  const int* Formats() const { return formats_.data(); }

 private:
  static constexpr int kMost = 16;
  void MakeRoom() const;
  ServerValues& Set(const char* data, std::size_t size, int format);

  int count_ = 0;
  std::array<const char*, kMost> values_{};
  std::array<int, kMost> lengths_{};
  std::array<int, kMost> formats_{};
  std::array<std::array<char, 4>, kMost> numbers_{};
};

class Server {
 public:
  // A statement prepared on this connection: its name.
  struct Statement {
    std::string name;
  };

  // Connects with the keys of a data source text (Provider=PostgreSQL;
  // Host=...); throws std::runtime_error with libpq's message when it cannot.
  explicit Server(const std::string& dataSource);
  // A connection to a data source kept for the program, as the library keeps
  // its pooled ones: the baselines' repetitions, like the members', run on a
  // session that ran before, with what it prepared then.
  static Server& Kept(const std::string& dataSource);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  PGconn* get() const { return conn_; }

  // Runs statements given as text; throws with the server's message.
  void Exec(const std::string& sql);
  // Prepares a statement once per connection (a text prepared before gives
  // its statement again); the server infers the types of its markers.
  Statement Prepare(const char* sql);
  // Runs a prepared statement with its values, results in binary.
  ServerResult Run(const Statement& statement, const ServerValues& values = {});
  // Copies `data` (COPY's text form) into `table`'s `columns`.
  void Copy(const std::string& table, const std::string& columns, const std::string& data);

 private:
  ServerResult Check(PGresult* result);

  PGconn* conn_ = nullptr;
  std::unordered_map<std::string, Statement> prepared_;
};

// Copies of what a result's row gives, as a caller would get them, read
// from the binary form of each column's type.
std::int32_t IntOf(const ServerResult& result, int row, int column);
std::string TextOf(const ServerResult& result, int row, int column);
Bytes BytesOf(const ServerResult& result, int row, int column);
std::vector<CopiedValue> RowOf(const ServerResult& result, int row);

}  // namespace orvo::bench

#endif  // ORVO_BENCH_SERVER_HPP_
