// The template store's tables: three pairs of a row table (which user uses
// which template for which bill type or report, plus settings) and a template
// table (the bodies). A store records the version of its schema:
// CreateSchema creates the tables in a database that has none, upgrades a
// store made by an earlier version of the library in place, and leaves a
// current one as it is, so it may run on every start.
//
// Runs on the caller's thread, on a connection the caller owns.

#ifndef ORVO_STORE_SCHEMA_HPP_
#define ORVO_STORE_SCHEMA_HPP_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/connection.hpp"
#include "orvo/export.hpp"

namespace orvo::store {

// The six table names, row table before its template table, in family order.
ORVO_EXPORT const std::vector<std::string>& TableNames();

// Whether `table` (a bare table name, any ASCII case) is one that the store
// keeps for itself: the six tables and its bookkeeping. Such a table is never
// a business table that callers may name.
ORVO_EXPORT bool IsStoreTable(std::string_view table);

// The names of what the data source holds already, of any kind (tables,
// views, indexes, triggers...), tables first: nothing when it is empty.
ORVO_EXPORT std::vector<std::string> ObjectNames(ado::Connection& connection);
// How a column of bytes is declared on the connection's database, for a host
// that makes tables of its own beside the store.
ORVO_EXPORT std::string_view BinaryColumnType(const ado::Connection& connection);

// What CreateSchema found and did.
struct SchemaOutcome {
  enum class Action {
    Created,   // the database held none of the tables
    Upgraded,  // the store had an earlier schema, now rebuilt
    Current,   // the store was current; anything missing was added
  };
  Action action = Action::Current;
  int version = 0;      // the store's schema version now
  int fromVersion = 0;  // the version it had: 0 when created
};

// Brings the connection's database to the current schema in one writing
// transaction of its own: creates the tables and indexes in a database that
// has none; upgrades an earlier store in place, keeping every row, every id
// and the ids still to come; adds whatever a current store lacks. A store of
// a newer version than this library knows is refused with 0x80004005 and left
// untouched. Any failure rolls the whole change back and raises the error.
ORVO_EXPORT SchemaOutcome CreateSchema(ado::Connection& connection);

// Opens the data source, making its database when there is none yet, and
// runs CreateSchema on it; `observer` (null for none) sees its statements.
// What sets up a store calls this: opening a data source for anything else
// never makes a database.
ORVO_EXPORT SchemaOutcome CreateStore(std::string_view dataSource,
                                      const std::shared_ptr<ado::StatementObserver>& observer);

}  // namespace orvo::store

#endif  // ORVO_STORE_SCHEMA_HPP_
