// ColumnReader describes the columns of a prepared statement and reads the
// values of its current row. A column's type comes from its declared type
// (INTEGER, SMALLINT, BIT, REAL, DATETIME, VARCHAR, BLOB, ...); a column
// without one (an expression) takes the storage class of its first non-Null
// value. Values: Null for SQL NULL; whole numbers as Long, or Double when they
// leave 32 bits; a declared date column's text as a Date when it reads as
// one; a declared blob column's value as Bytes.
//
// Kept with its prepared statement and used on the statement's thread.

#ifndef ORVO_ADO_SQLITE_COLUMN_READER_HPP_
#define ORVO_ADO_SQLITE_COLUMN_READER_HPP_

#include <sqlite3.h>

#include <memory>
#include <vector>

#include "ado/columns_read.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado::sqlite {

class ColumnReader {
 public:
  // Describes the columns of a prepared statement; done once per statement.
  explicit ColumnReader(sqlite3_stmt* stmt);

  // Steps the statement (bound and reset by the caller) through every row,
  // or its first `maxRecords` when that is not 0, and gives them with the
  // columns, of each row the values of the columns `read` names (all without
  // it); raises the database's error when a step fails.
  ResultSet ReadAll(sqlite3* db, sqlite3_stmt* stmt, std::size_t maxRecords,
                    const ColumnsRead* read = nullptr) const;

 private:
  SkippedColumns skipped_;
  std::shared_ptr<const std::vector<ColumnInfo>> columns_;
  std::vector<DataTypeEnum> declared_;  // adVariant where nothing is declared
  bool undeclared_ = false;             // a column takes the type of its values
  bool dates_ = false;                  // a column is declared to hold dates
};

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_COLUMN_READER_HPP_
