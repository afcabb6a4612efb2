// The template store's tables: three pairs of a row table (which user uses
// which template for which bill type or report, plus settings) and a template
// table (the bodies). CreateSchema creates whatever is missing on the
// connection's database, in the dialect of its backend, and leaves existing
// tables and their rows alone, so it may run on every start.
//
// Runs on the caller's thread, on a connection the caller owns.

#ifndef ORVO_STORE_SCHEMA_HPP_
#define ORVO_STORE_SCHEMA_HPP_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/connection.hpp"

namespace orvo::store {

// The six table names, row table before its template table, in family order.
const std::vector<std::string>& TableNames();

// Creates the tables and indexes that do not exist yet. Raises the backend's
// error when a statement fails; each statement is idempotent, so running it
// again after the cause is mended completes the schema.
void CreateSchema(ado::Connection& connection);

// Opens the data source, making its database when there is none yet, and
// creates the schema on it; `observer` (null for none) sees its statements.
// What sets up a store calls this: opening a data source for anything else
// never makes a database.
void CreateStore(std::string_view dataSource,
                 const std::shared_ptr<ado::StatementObserver>& observer);

}  // namespace orvo::store

#endif  // ORVO_STORE_SCHEMA_HPP_
