// The backends that the suites touching a store run on, each with what the
// suites need to know of it: whether it can be had here, how to make a fresh
// store and drop it again, and the tables the data-access tests run their
// statements on, in the backend's own declarations. A suite parameterised by
// backend runs the same cases on each; on a backend that cannot be had here
// its cases are reported skipped, with the reason, never passed.
//
// SQLite is always there. PostgreSQL runs on the server whose data source
// text ORVO_TEST_PG holds (scripts/with-postgres starts one): each test gets
// a schema of its own there, named after its temporary directory, so tests
// that run at once never meet.
//
// The backends are data; a FreshStore belongs to one test.

#ifndef ORVO_TESTS_SUPPORT_BACKENDS_HPP_
#define ORVO_TESTS_SUPPORT_BACKENDS_HPP_

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace orvo::testing {

struct Backend {
  std::string name;
  // Why the suites cannot run on this backend here; empty when they can.
  std::string unavailable;
  // A data source text for a fresh, empty store of the test that owns
  // `directory`, a temporary directory no other test has.
  std::string (*dataSource)(const std::filesystem::path& directory);
  // Removes what dataSource made outside `directory`, reporting a failure to
  // the test; null where the store lives in the directory and goes with it.
  void (*drop)(const std::filesystem::path& directory);
  // Makes the data-access tests' tables, which mirror the columns of the
  // store's and compare text as the store's schema does.
  std::vector<std::string> adoTables;
  // What a connection runs so that foreign keys are enforced; "" where they
  // always are.
  std::string enforceForeignKeys;
  // Makes a view v_Broken (FItemID integer, FImage bytes) that the database
  // refuses to read, naming t_Gone in its refusal.
  std::vector<std::string> unreadableView;
  // A query whose one value is "ok" when the database finds itself sound;
  // "" where a client cannot damage what the server keeps.
  std::string integrityCheck;
};

const Backend& SqliteBackend();
const Backend& PostgresBackend();

// Every backend, SQLite first; those that cannot be had here say why.
inline std::vector<Backend> Backends() {
  return {SqliteBackend(), PostgresBackend()};
}

// Shows a backend by its name in test output.
inline void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

// The store of one test on one backend, made fresh for the test's directory
// and dropped when it goes, after every connection to it is closed.
class FreshStore {
 public:
  FreshStore(const Backend& backend, const std::filesystem::path& directory)
      : drop_(backend.drop), directory_(directory), dsn_(backend.dataSource(directory)) {}
  ~FreshStore() {
    if (drop_ != nullptr) drop_(directory_);
  }
  FreshStore(const FreshStore&) = delete;
  FreshStore& operator=(const FreshStore&) = delete;

  const std::string& Dsn() const { return dsn_; }

 private:
  void (*drop_)(const std::filesystem::path&);
  std::filesystem::path directory_;
  std::string dsn_;
};

}  // namespace orvo::testing

// Runs a suite whose parameter is a Backend on every backend.
#define ORVO_INSTANTIATE_STORE_SUITE(Suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::ValuesIn(::orvo::testing::Backends()), \
                           [](const auto& instance) { return instance.param.name; })

#endif  // ORVO_TESTS_SUPPORT_BACKENDS_HPP_
