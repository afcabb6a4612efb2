// A SQLite file with one table t in a fresh temporary folder; Rows counts
// through a connection of its own, so the tests see only what was committed.

#ifndef ORVO_TESTS_HOST_TEMP_STORE_HPP_
#define ORVO_TESTS_HOST_TEMP_STORE_HPP_

#include <atomic>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::host::testing {

struct TempStore {
  TempStore() {
    std::filesystem::create_directories(dir);
    ado::Connection::Open(Dsn())->Execute("create table t (id integer)");
  }
  ~TempStore() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  TempStore(const TempStore&) = delete;
  TempStore& operator=(const TempStore&) = delete;

  std::string Dsn() const { return "Provider=SQLite;Data Source=" + (dir / "t.db").string(); }
  std::int32_t Rows() const {
    return CLng(ado::Connection::Open(Dsn())->Execute("select count(*) from t")->Fields(0).Value());
  }

  static inline std::atomic<int> created{0};
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("orvo-host-" + std::to_string(::getpid()) + "-" + std::to_string(created++));
};

}  // namespace orvo::host::testing

#endif  // ORVO_TESTS_HOST_TEMP_STORE_HPP_
