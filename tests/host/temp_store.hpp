// A SQLite file in a fresh temporary folder with one small table, made and
// read through connections of its own so that what the tests see is what was
// really committed.

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

class TempStore {
 public:
  TempStore() {
    static std::atomic<int> counter{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("orvo-host-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
    dsn_ = "Provider=SQLite;Data Source=" + (dir_ / "t.db").string();
    ado::Connection::Open(dsn_)->Execute("create table t (id integer)");
  }
  ~TempStore() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempStore(const TempStore&) = delete;
  TempStore& operator=(const TempStore&) = delete;

  const std::string& Dsn() const { return dsn_; }
  std::filesystem::path Dir() const { return dir_; }

  std::int32_t Rows() const {
    auto rs = ado::Connection::Open(dsn_)->Execute("select count(*) from t");
    return CLng(rs->Fields(0).Value());
  }

 private:
  std::filesystem::path dir_;
  std::string dsn_;
};

}  // namespace orvo::host::testing

#endif  // ORVO_TESTS_HOST_TEMP_STORE_HPP_
