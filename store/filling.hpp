// CreateSchemaThen fills a store in the transaction that brings its schema
// current, for the operator's commands that move a whole store into another
// (import, copy): the target ends with the schema and every row, or as it was.
//
// Runs on the caller's thread, on a connection the caller owns.

#ifndef ORVO_STORE_FILLING_HPP_
#define ORVO_STORE_FILLING_HPP_

#include <functional>

#include "orvo/ado/connection.hpp"
#include "orvo/store/schema.hpp"

namespace orvo::store {

// Does what CreateSchema does, always in a writing transaction, and runs
// `fill` in that transaction once the schema is current; a failure of either
// rolls both back and raises the error.
SchemaOutcome CreateSchemaThen(ado::Connection& connection, const std::function<void()>& fill);

// The newest schema version that this library makes on any backend.
int NewestSchemaVersion();

}  // namespace orvo::store

#endif  // ORVO_STORE_FILLING_HPP_
