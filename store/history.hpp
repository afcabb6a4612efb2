// The store's history of its templates and settings: how many versions of
// each row it keeps. The versions themselves are written by the database
// (store/sqlite, store/postgres), whoever changes a row.
//
// Runs on the caller's thread, on a connection the caller owns, outside any
// transaction of its.

#ifndef ORVO_STORE_HISTORY_HPP_
#define ORVO_STORE_HISTORY_HPP_

#include <cstdint>

#include "orvo/ado/connection.hpp"

namespace orvo::store {

// How many versions of each row the store keeps; 0 when it keeps none.
std::int32_t HistoryKeep(ado::Connection& connection);

// Keeps the last `versions` versions of each row from now on (0: none) and
// removes the older ones there are, in one writing transaction. A negative
// count is refused with 5 and changes nothing.
void KeepHistory(ado::Connection& connection, std::int32_t versions);

}  // namespace orvo::store

#endif  // ORVO_STORE_HISTORY_HPP_
