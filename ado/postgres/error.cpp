#include "ado/postgres/error.hpp"

#include "orvo/ado/types.hpp"

namespace orvo::ado::postgres {

namespace {

std::string_view Field(const PGresult* result, int code) {
  const char* value = result != nullptr ? PQresultErrorField(result, code) : nullptr;
  return value != nullptr ? std::string_view(value) : std::string_view();
}

// The server's messages end with a line end; an error's description does not.
std::string WithoutLineEnds(std::string message) {
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

std::int32_t NumberOf(std::string_view sqlState, std::string_view constraint) {
  if (sqlState.size() != 5) return kErrFailure;
  const std::string_view errorClass = sqlState.substr(0, 2);
  if (errorClass == "23") {
    return constraint.find(" holds ") != std::string_view::npos ? kErrValueDoesNotFit
                                                                : kErrConstraint;
  }
  // string_data_right_truncation, numeric_value_out_of_range,
  // invalid_text_representation: a value its column's type does not hold.
  if (sqlState == "22001" || sqlState == "22003" || sqlState == "22P02") return kErrValueDoesNotFit;
  if (errorClass == "22" || errorClass == "42") return kErrStatementRefused;
  return kErrFailure;
}

AutomationError ErrorFromResult(const PGresult* result, PGconn* conn) {
  const std::string_view primary = Field(result, PG_DIAG_MESSAGE_PRIMARY);
  if (primary.empty()) {
    // No answer from the server: the connection is gone.
    return Failure(conn != nullptr ? PQerrorMessage(conn) : "The server gave no answer")
        .WithNativeCode(kConnectionFailure);
  }
  const std::string_view sqlState = Field(result, PG_DIAG_SQLSTATE);
  return AutomationError(NumberOf(sqlState, Field(result, PG_DIAG_CONSTRAINT_NAME)), kProvider,
                         std::string(primary))
      .WithNativeCode(std::string(sqlState));
}

AutomationError Failure(std::string message) {
  return AutomationError(kErrFailure, kProvider, WithoutLineEnds(std::move(message)));
}

}  // namespace orvo::ado::postgres
