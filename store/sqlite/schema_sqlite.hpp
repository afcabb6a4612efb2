// The template store's schema in SQLite's dialect. Text columns compare with
// SQLite's own NOCASE (without regard to ASCII case; trailing blanks count),
// so that every SQLite tool reads and writes a store. Ids are AUTOINCREMENT so
// that an id is never given twice, as the original identity columns behaved.
//
// Every column holds what its declared type says, as a server with declared
// column types does: a CHECK constraint refuses a text longer than its
// column's size and anything but a 32-bit whole number in an integer column,
// whoever writes it (the sqlite3 shell included).
//
// The store's version is the database's user_version. Version 1 is the schema
// whose text columns declared the library's own ORVO_CI collation (stores made
// then record no version; their tables tell them apart from an empty
// database); version 2 compared text with NOCASE but held its columns to
// nothing; version 3 is the current one. A store is put in WAL mode when it is
// created or upgraded, so that its readers never wait for a writer.
//
// Stateless; its steps run on the caller's thread and connection.

#ifndef ORVO_STORE_SQLITE_SCHEMA_SQLITE_HPP_
#define ORVO_STORE_SQLITE_SCHEMA_SQLITE_HPP_

#include "store/backend_schema.hpp"

namespace orvo::store::sqlite {

const BackendSchema& Schema();

}  // namespace orvo::store::sqlite

#endif  // ORVO_STORE_SQLITE_SCHEMA_SQLITE_HPP_
