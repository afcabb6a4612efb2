// The template store's schema on a PostgreSQL server, made in the
// connection's current schema (the first of its search_path that exists),
// never in a schema it names, so that an operator chooses where a store lives.
//
// Tables, columns and indexes are created with unquoted names, which the
// server keeps in lower case: the classes' statements and an operator's psql
// find them in any case. The catalogue therefore no longer knows how the
// classes spell a column, so each column's comment holds that spelling (FId,
// FBillType, ...) and each table's comment its own (T_PrintExport, ...): the
// backend reports a column of a "select *" by its comment, and a result has
// the same keys on both backends.
//
// Text columns are unbounded bpchar with the ICU collation orvo_ci, which this
// schema creates beside the tables: it compares without regard to case (of
// every script) and, being bpchar, without trailing blanks, while the value
// keeps its blanks as written; =, IN, ORDER BY, GROUP BY and the indexes
// follow it. A CHECK constraint named "<column> holds at most N characters"
// refuses a longer text, its blanks counted; integer columns refuse anything
// but a 32-bit whole number by their type. Ids are identities that never give
// an id twice. Dates are timestamp(0): the library's dates are to the second,
// so what is stored is what a read gives back and what a bound date is
// compared with.
//
// The store's version (3, the first on this backend) is the comment of its
// collation, "OrvoMPrintExport store, schema version 3": psql shows it
// (\dO+), no statement of the classes and no check of business-table names
// sees it, and it stays while any of the tables does, since their text
// columns keep the collation from being dropped.
//
// Stateless; its steps run on the caller's thread and connection.

#ifndef ORVO_STORE_POSTGRES_SCHEMA_POSTGRES_HPP_
#define ORVO_STORE_POSTGRES_SCHEMA_POSTGRES_HPP_

#include "store/backend_schema.hpp"

namespace orvo::store::postgres {

const BackendSchema& Schema();

}  // namespace orvo::store::postgres

#endif  // ORVO_STORE_POSTGRES_SCHEMA_POSTGRES_HPP_
