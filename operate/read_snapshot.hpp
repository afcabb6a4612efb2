// ReadingSnapshot holds a transaction open on a store that an operation reads
// whole, so that every table is read as the store stood at one moment while
// others go on writing; it ends the transaction, having written nothing, when
// it goes.
//
// Owned by one operation, on its thread.

#ifndef ORVO_OPERATE_READ_SNAPSHOT_HPP_
#define ORVO_OPERATE_READ_SNAPSHOT_HPP_

#include "orvo/ado/connection.hpp"
#include "store/backend_schema.hpp"

namespace orvo::operate {

class ReadingSnapshot {
 public:
  explicit ReadingSnapshot(ado::Connection& connection) : connection_(connection) {
    connection_.BeginTrans(ado::TransactionKind::Reading);
    store::SchemaOf(connection_).ReadSnapshot(connection_);
  }
  ~ReadingSnapshot() {
    try {
      if (connection_.InTransaction()) connection_.RollbackTrans();
    } catch (const AutomationError&) {
      // Nothing was written; the connection goes with the operation.
    }
  }
  ReadingSnapshot(const ReadingSnapshot&) = delete;
  ReadingSnapshot& operator=(const ReadingSnapshot&) = delete;

 private:
  ado::Connection& connection_;
};

}  // namespace orvo::operate

#endif  // ORVO_OPERATE_READ_SNAPSHOT_HPP_
