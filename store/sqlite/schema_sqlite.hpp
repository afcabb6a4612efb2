// The template store's tables in SQLite's dialect. Text columns compare with
// the ORVO_CI collation that the SQLite backend registers: without regard to
// case and to trailing blanks, as the statements expect of the store. Ids are
// AUTOINCREMENT so that an id is never given twice, as the original identity
// columns behaved.

#ifndef ORVO_STORE_SQLITE_SCHEMA_SQLITE_HPP_
#define ORVO_STORE_SQLITE_SCHEMA_SQLITE_HPP_

#include <string>
#include <vector>

namespace orvo::store::sqlite {

// CREATE ... IF NOT EXISTS statements, tables first, then their indexes.
const std::vector<std::string>& SchemaStatements();

}  // namespace orvo::store::sqlite

#endif  // ORVO_STORE_SQLITE_SCHEMA_SQLITE_HPP_
