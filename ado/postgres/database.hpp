// Database owns one libpq connection: opened in the constructor from the
// libpq keywords and values of a data source, closed in the destructor.
// Result owns one PGresult. Both raise the mapped error (ado/postgres/error)
// when the server refuses or the connection fails.
//
// Used on one thread at a time, like the connection it wraps.

#ifndef ORVO_ADO_POSTGRES_DATABASE_HPP_
#define ORVO_ADO_POSTGRES_DATABASE_HPP_

#include <libpq-fe.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvo::ado::postgres {

class Result {
 public:
  explicit Result(PGresult* result = nullptr) : result_(result) {}
  ~Result() { PQclear(result_); }
  Result(Result&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}
  Result& operator=(Result&& other) noexcept {
    std::swap(result_, other.result_);
    return *this;
  }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;

  PGresult* get() const { return result_; }

 private:
  PGresult* result_;
};

// A libpq keyword and its value.
using ConnectionParameter = std::pair<std::string, std::string>;

class Database {
 public:
  // Connects; raises 0x80004005 with libpq's message when it cannot.
  explicit Database(const std::vector<ConnectionParameter>& parameters);
  ~Database();

  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  PGconn* get() const { return conn_; }
  // Whether the connection to the server is gone (a restart, a cut).
  bool Lost() const { return PQstatus(conn_) != CONNECTION_OK; }

  // Connects again with the same parameters; raises 0x80004005 when it
  // cannot.
  void Reset();

  // Runs a statement without markers; raises the mapped error when it fails.
  Result Exec(const char* sql) const;
  // Runs `count` statements in one round trip (libpq's pipeline mode):
  // `send` queues them with PQsendQueryParams or PQsendQueryPrepared and
  // tells whether libpq took every one. Gives the result of the last; raises
  // the error of the first that failed, and those after it do not run.
  Result Pipelined(int count, const std::function<bool(PGconn*)>& send) const;
  // Checks a result of a command or a query, raising its error when it failed.
  Result Check(PGresult* result) const;
  // The SQLSTATE of the last result that failed.
  const std::string& LastState() const { return lastState_; }

 private:
  PGconn* conn_ = nullptr;
  mutable std::string lastState_;
};

}  // namespace orvo::ado::postgres

#endif  // ORVO_ADO_POSTGRES_DATABASE_HPP_
