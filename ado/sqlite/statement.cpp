#include "ado/sqlite/statement.hpp"

#include <string>
#include <utility>

#include "ado/sqlite/error.hpp"

namespace orvo::ado::sqlite {

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  const char* tail = nullptr;
  // Persistent: these statements are cached and run again and again.
  const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                    SQLITE_PREPARE_PERSISTENT, &stmt_, &tail);
  if (rc != SQLITE_OK) {
    AutomationError error = ErrorFromDatabase(db, rc);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw error;
  }
  if (tail != nullptr) tail_.assign(tail, sql.data() + sql.size());
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), tail_(std::move(other.tail_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = std::exchange(other.stmt_, nullptr);
    tail_ = std::move(other.tail_);
  }
  return *this;
}

int Statement::MarkerCount() const {
  return sqlite3_bind_parameter_count(stmt_);
}

void Statement::Bind(int index, const Variant& value) {
  int rc = SQLITE_OK;
  switch (value.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
    case Variant::Kind::Missing:
      rc = sqlite3_bind_null(stmt_, index);
      break;
    case Variant::Kind::Boolean:
      rc = sqlite3_bind_int(stmt_, index, value.AsBoolean() ? 1 : 0);
      break;
    case Variant::Kind::Integer:
      rc = sqlite3_bind_int64(stmt_, index, value.AsInteger());
      break;
    case Variant::Kind::Long:
      rc = sqlite3_bind_int64(stmt_, index, value.AsLong());
      break;
    case Variant::Kind::Double:
      rc = sqlite3_bind_double(stmt_, index, value.AsDouble());
      break;
    case Variant::Kind::Date: {
      const std::string text = value.AsDate().GeneralText();
      rc = sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
      break;
    }
    case Variant::Kind::String: {
      const std::string& text = value.AsString();
      rc = sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
      break;
    }
    case Variant::Kind::Bytes: {
      const ByteSpan bytes = value.AsBytes();
      // A zero-length blob bound from a null pointer would read as Null.
      rc = bytes.empty()
               ? sqlite3_bind_zeroblob(stmt_, index, 0)
               : sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_STATIC);
      break;
    }
    case Variant::Kind::Object:
      throw RuntimeError(kTypeMismatch);
  }
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db_, rc);
}

void Statement::BindInteger(int index, std::int64_t value) {
  const int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db_, rc);
}

void Statement::BindReal(int index, double value) {
  const int rc = sqlite3_bind_double(stmt_, index, value);
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db_, rc);
}

void Statement::BindText(int index, std::string_view text) {
  const int rc =
      sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db_, rc);
}

void Statement::Reset() noexcept {
  if (stmt_ == nullptr) return;
  // The bindings stay: every run binds each marker before its first step
  // (a run given fewer values than markers is refused before it binds), so a
  // value bound in place is never read once its run is over.
  sqlite3_reset(stmt_);
}

}  // namespace orvo::ado::sqlite
