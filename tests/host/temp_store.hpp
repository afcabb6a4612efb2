// A SQLite file with one table t in a fresh temporary folder; Rows counts
// through a connection of its own, so the tests see only what was committed.

#ifndef ORVO_TESTS_HOST_TEMP_STORE_HPP_
#define ORVO_TESTS_HOST_TEMP_STORE_HPP_

#include <string>

#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "support/temp_directory.hpp"

namespace orvo::host::testing {

struct TempStore {
  TempStore() {
    ado::Connection::Open(Dsn(), ado::IfMissing::Create)->Execute("create table t (id integer)");
  }

  std::string Dsn() const { return dir.SqliteDsn("t.db"); }
  std::int32_t Rows() const {
    return CLng(ado::Connection::Open(Dsn())->Execute("select count(*) from t")->Fields(0).Value());
  }

  orvo::testing::TempDirectory dir;
};

}  // namespace orvo::host::testing

#endif  // ORVO_TESTS_HOST_TEMP_STORE_HPP_
