// ColumnReader describes the columns of a prepared statement and reads the
// values of its current row. A column's type comes from its declared type
// (INTEGER, SMALLINT, BIT, REAL, DATETIME, VARCHAR, BLOB, ...); a column
// without one (an expression) takes the storage class of its first non-Null
// value. Values: Null for SQL NULL; whole numbers as Long, or Double when they
// leave 32 bits; a declared date column's text as a Date when it reads as
// one; a declared blob column's value as Bytes.
//
// Used for one run of one statement, on the statement's thread.

#ifndef ORVO_ADO_SQLITE_COLUMN_READER_HPP_
#define ORVO_ADO_SQLITE_COLUMN_READER_HPP_

#include <sqlite3.h>

#include <vector>

#include "orvo/ado/recordset.hpp"

namespace orvo::ado::sqlite {

class ColumnReader {
 public:
  explicit ColumnReader(sqlite3_stmt* stmt);

  // One value per column of the statement's current row.
  std::vector<Variant> ReadRow();

  // The columns, with the types of undeclared ones settled by the rows read.
  std::vector<ColumnInfo> TakeColumns() { return std::move(columns_); }

 private:
  sqlite3_stmt* stmt_;
  std::vector<ColumnInfo> columns_;
  std::vector<DataTypeEnum> declared_;  // adVariant where nothing is declared
};

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_COLUMN_READER_HPP_
