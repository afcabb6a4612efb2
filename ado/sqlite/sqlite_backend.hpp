// The SQLite backend: a database in one file (or ":memory:"), named by the
// data source's "Data Source" key. Opening sets a busy timeout (5000 ms, or
// the "Busy Timeout" key's milliseconds) and nothing else: a missing file is
// made only when the caller asks for it, and the journal mode is the store's
// own. "Mode=Read" opens the database for reading only ("Mode=ReadWrite",
// the default, for both). The "ORVO_CI" collation of earlier stores is
// registered only when asked for (AcceptEarlierSchemas). Statement texts are
// adapted to SQLite's dialect once per text and prepared once per adapted
// text.
//
// The returned backend is owned by its Connection and used on one thread at a
// time.

#ifndef ORVO_ADO_SQLITE_SQLITE_BACKEND_HPP_
#define ORVO_ADO_SQLITE_SQLITE_BACKEND_HPP_

#include <memory>
#include <string_view>

#include "ado/backend.hpp"
#include "ado/connection_string.hpp"
#include "ado/dialect.hpp"

namespace orvo::ado {

// SQLite's spellings: last_insert_rowid() is 0 when this connection inserted
// nothing, which the server reported as Null.
inline constexpr DialectSpelling kSqliteSpelling{"nullif(last_insert_rowid(),0)", " AS \"\"",
                                                 "ifnull"};

// The data source keys the SQLite backend reads.
inline constexpr std::string_view kSqliteKeys[] = {"Data Source", "Busy Timeout", "Mode"};

// Raises 0x80004005 (source "SQLite") when the database cannot be opened or
// its file does not exist and `ifMissing` does not ask to create it.
std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionString& connectionString,
                                           IfMissing ifMissing);

}  // namespace orvo::ado

#endif  // ORVO_ADO_SQLITE_SQLITE_BACKEND_HPP_
