// ColumnReader describes the columns of a prepared statement and reads every
// row of a result of it. Values: Null for SQL NULL; booleans as Boolean;
// smallint as Integer; integer and bigint as Long, or Double when they leave
// 32 bits; real, double precision and numeric as Double; bytea as Bytes;
// dates and timestamps as Date, to the second; every other type as its text.
// Results come in binary when every column is of a type read so, in text
// otherwise.
//
// Kept with its prepared statement and used on the statement's thread.

#ifndef ORVO_ADO_POSTGRES_COLUMN_READER_HPP_
#define ORVO_ADO_POSTGRES_COLUMN_READER_HPP_

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

#include "ado/columns_read.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado::postgres {

class ColumnReader {
 public:
  // Columns named `names`, of the types that `description` gives them.
  ColumnReader(const PGresult* description, std::vector<std::string> names);

  // Every row of `result`, or its first `maxRecords` when that is not 0,
  // with the columns, of each row the values of the columns `read` names
  // (all without it).
  ResultSet ReadAll(const PGresult* result, std::size_t maxRecords,
                    const ColumnsRead* read = nullptr) const;

 private:
  SkippedColumns skipped_;
  std::shared_ptr<const std::vector<ColumnInfo>> columns_;
  std::vector<Oid> types_;
};

}  // namespace orvo::ado::postgres

#endif  // ORVO_ADO_POSTGRES_COLUMN_READER_HPP_
