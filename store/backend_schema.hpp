// BackendSchema is how one backend keeps the template store's schema: which
// version a store records, how the current schema is made, how an earlier one
// is brought up to date, and what the database needs before its schema
// changes. CreateSchema (store/schema.cpp) runs these steps in the same order
// on every backend, inside one writing transaction.
//
// Each backend has one constant instance; its steps run on the caller's
// thread, on the caller's connection.

#ifndef ORVO_STORE_BACKEND_SCHEMA_HPP_
#define ORVO_STORE_BACKEND_SCHEMA_HPP_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/connection.hpp"
#include "store/tables.hpp"

namespace orvo::store {

class BackendSchema {
 public:
  virtual ~BackendSchema() = default;

  // The version of the schema that this library makes.
  virtual int CurrentVersion() const = 0;
  // The version the store holds: 0 when it holds none of the tables.
  virtual int StoredVersion(ado::Connection& connection) const = 0;
  // Whether every table and index of the current schema is there.
  virtual bool Complete(ado::Connection& connection) const = 0;

  // Outside any transaction, before anything changes: raises when a store of
  // `fromVersion` cannot be upgraded as it is (a table with other columns, a
  // value the current schema would not hold), naming what stands in the way.
  virtual void CheckUpgrade(ado::Connection& connection, int fromVersion) const = 0;
  // Outside any transaction, before the schema changes.
  virtual void PrepareChange(ado::Connection& connection) const = 0;
  // Inside the transaction: creates the tables and indexes that are missing.
  virtual void Create(ado::Connection& connection) const = 0;
  // Inside the transaction: checks the store again as CheckUpgrade does, then
  // rebuilds it, keeping every row and id, and creates what it lacks.
  virtual void Upgrade(ado::Connection& connection, int fromVersion) const = 0;
  // Inside the transaction: records CurrentVersion as the store's version.
  virtual void RecordVersion(ado::Connection& connection) const = 0;

  // The names of what the database (on a server: the connection's schema)
  // holds, of any kind, tables first.
  virtual std::vector<std::string> ObjectNames(ado::Connection& connection) const = 0;
  // How a column of bytes is declared.
  virtual std::string_view BinaryType() const = 0;

  // The last id that the table's identity gave (0 when it gave none): the
  // next row inserted without an id gets the one after it. It may lie past
  // the table's largest id, when the newest rows were deleted.
  virtual std::int64_t LastIdentity(ado::Connection& connection, const Table& table) const = 0;
  // Inside a writing transaction: makes `last` the last id the identity gave.
  virtual void SetLastIdentity(ado::Connection& connection, const Table& table,
                               std::int64_t last) const = 0;
  // Inside a transaction begun for reading, before it reads: makes every
  // later read of the transaction see the store as it was at its first read.
  virtual void ReadSnapshot(ado::Connection& connection) const = 0;
  // What follows a select inside a writing transaction so that the rows it
  // read stay as they are until the transaction ends, whoever else writes:
  // empty where a writing transaction already excludes every other writer.
  virtual std::string_view ForUpdate() const = 0;
  // What IntegrityProblems looks at, in a sentence an operator reads.
  virtual std::string_view IntegrityCheck() const = 0;
  // What the database's own check of the store finds wrong; nothing when it
  // finds it sound.
  virtual std::vector<std::string> IntegrityProblems(ado::Connection& connection) const = 0;
};

// The schema of the connection's backend; raises for a backend without one.
const BackendSchema& SchemaOf(const ado::Connection& connection);

}  // namespace orvo::store

#endif  // ORVO_STORE_BACKEND_SCHEMA_HPP_
