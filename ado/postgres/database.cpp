#include "ado/postgres/database.hpp"

#include "ado/postgres/error.hpp"
#include "orvo/ado/connection.hpp"

namespace orvo::ado::postgres {

Database::Database(const std::vector<ConnectionParameter>& parameters) {
  std::vector<const char*> keywords;
  std::vector<const char*> values;
  for (const auto& [keyword, value] : parameters) {
    keywords.push_back(keyword.c_str());
    values.push_back(value.c_str());
  }
  keywords.push_back(nullptr);
  values.push_back(nullptr);
  conn_ = PQconnectdbParams(keywords.data(), values.data(), 0);
  if (conn_ == nullptr) throw Failure("Out of memory while connecting to the server");
  if (PQstatus(conn_) != CONNECTION_OK) {
    AutomationError error = Failure(PQerrorMessage(conn_)).WithNativeCode(kCannotConnect);
    PQfinish(conn_);
    throw error;
  }
  // Notices (a schema object that already exists, ...) are the server's
  // chatter, not the caller's business.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
}

Database::~Database() {
  PQfinish(conn_);
}

void Database::Reset() {
  PQreset(conn_);
  if (PQstatus(conn_) != CONNECTION_OK) {
    throw Failure(PQerrorMessage(conn_)).WithNativeCode(kCannotConnect);
  }
}

Result Database::Exec(const char* sql) const {
  return Check(PQexec(conn_, sql));
}

Result Database::Pipelined(int count, const std::function<bool(PGconn*)>& send) const {
  if (PQenterPipelineMode(conn_) != 1) throw Failure(PQerrorMessage(conn_));
  // Every result up to the end of the round trip is read before the pipeline
  // is left, whatever failed; a lost connection ends the reading early.
  PGresult* failed = nullptr;
  Result last;
  int ended = 0;  // statements whose results have all been read
  const auto readAll = [&] {
    while (ended <= count && PQstatus(conn_) == CONNECTION_OK) {
      PGresult* result = PQgetResult(conn_);
      if (result == nullptr) {
        ++ended;
        continue;
      }
      const ExecStatusType status = PQresultStatus(result);
      if (status == PGRES_PIPELINE_SYNC) {
        PQclear(result);
        break;
      }
      if (failed == nullptr && status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        failed = result;
      } else if (failed == nullptr) {
        last = Result(result);
      } else {
        PQclear(result);
      }
    }
  };
  const bool queued = send(conn_);
  const bool sent = PQpipelineSync(conn_) == 1;
  if (sent) readAll();
  const std::string message = PQerrorMessage(conn_);
  PQexitPipelineMode(conn_);
  if (failed != nullptr) return Check(failed);
  if (!sent || PQstatus(conn_) != CONNECTION_OK) return Check(PQgetResult(conn_));
  if (!queued) throw Failure(message);
  return last;
}

Result Database::Check(PGresult* raw) const {
  Result result(raw);
  const ExecStatusType status =
      result.get() != nullptr ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    const char* state =
        result.get() != nullptr ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    lastState_ = state != nullptr ? state : "";
    // serialization_failure, deadlock_detected: the server ended this
    // transaction so that another could go on.
    if (lastState_ == "40001" || lastState_ == "40P01") {
      throw TransientError(ErrorFromResult(result.get(), conn_));
    }
    throw ErrorFromResult(result.get(), conn_);
  }
  return result;
}

}  // namespace orvo::ado::postgres
