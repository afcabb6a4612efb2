// The template bodies that the history keeps as differences from newer
// bodies (store/body_delta): building a version's body again, and compacting
// the versions that the store's triggers keep whole into differences.
//
// The triggers keep every replaced body whole, so that a write costs no more
// than a copy of the row; compaction turns those into differences later, off
// the writers' path, and the history of a template whose designer changed a
// few fields keeps about what changed, not the body once more each time.
//
// On the caller's thread, on a connection the caller owns.

#ifndef ORVO_STORE_HISTORY_BODIES_HPP_
#define ORVO_STORE_HISTORY_BODIES_HPP_

#include <cstdint>

#include "orvo/ado/connection.hpp"
#include "store/tables.hpp"

namespace orvo::store {

// The body that version `version` of `history` (a history with a body
// column) keeps, built again from the newer bodies it was kept against; Null
// where it kept Null. Inside the caller's transaction, if any. Raises
// 0x80004005 naming the version when a body it needs is gone or has changed.
Variant BodyOfVersion(ado::Connection& connection, const HistoryTable& history,
                      std::int32_t version);

struct Compaction {
  std::int64_t looked = 0;       // templates whose versions were looked at
  std::int64_t compacted = 0;    // versions now kept as differences
  std::int64_t bytesBefore = 0;  // what those versions kept before
  std::int64_t bytesAfter = 0;   // and keep now
  std::int64_t unreadable = 0;   // versions whose body cannot be built again
};

// Keeps each whole body of a template's versions written since the last
// compaction as its difference from the next newer body of the template
// (the current row's, for the newest), where that is shorter. A deleted
// template's newest version stays whole. A few
// templates at a time, each in a writing transaction of its own, so that
// writers wait for moments, never for the whole pass; outside any
// transaction of the caller's.
Compaction CompactHistory(ado::Connection& connection);

}  // namespace orvo::store

#endif  // ORVO_STORE_HISTORY_BODIES_HPP_
