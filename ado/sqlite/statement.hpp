// Statement owns one prepared sqlite3 statement: prepared in the constructor,
// finalized in the destructor, reset between uses so that one prepared
// statement serves every run of the same text.
//
// Used on the thread that uses its database handle. Texts and bytes bound
// must stay alive until Reset.

#ifndef ORVO_ADO_SQLITE_STATEMENT_HPP_
#define ORVO_ADO_SQLITE_STATEMENT_HPP_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/types.hpp"

namespace orvo::ado::sqlite {

class Statement {
 public:
  // Prepares the first statement of `sql`; raises the mapped error when
  // SQLite refuses it. Text holding no statement gives an empty Statement.
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();

  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  bool empty() const { return stmt_ == nullptr; }
  // What followed the first statement in the prepared text.
  const std::string& Tail() const { return tail_; }

  // The number of markers the statement has.
  int MarkerCount() const;
  // Binds the marker at `index` (from 1): Null, Boolean (1/0), Integer and
  // Long (64-bit integers), Double, Date (its general date text), String
  // (text), Bytes (a blob, an empty one staying empty, not Null); raises 13
  // for a value of no bindable kind. Texts and bytes are not copied: they
  // must stay alive until Reset.
  void Bind(int index, const Variant& value);
  void BindInteger(int index, std::int64_t value);
  void BindReal(int index, double value);
  void BindText(int index, std::string_view text);

  // No row pending. The values bound stay bound until the next run binds
  // its own: a run must bind every marker before it steps.
  void Reset() noexcept;

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  std::string tail_;
};

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_STATEMENT_HPP_
