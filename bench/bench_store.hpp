// BenchStore is a template store in a fresh temporary directory, with the
// clerk (user 7) signed in, for the benchmarks of the read paths; Picture
// makes bytes that do not compress. The directory is removed when the store
// goes, which for the static stores of the benchmarks is when the program
// ends.
//
// Used on the benchmark's thread.

#ifndef ORVO_BENCH_BENCH_STORE_HPP_
#define ORVO_BENCH_BENCH_STORE_HPP_

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvo/ado/command.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"

namespace orvo::bench {

namespace fs = std::filesystem;

inline constexpr std::int16_t kClerk = 7;

// A store in a fresh temporary directory, signed in as the clerk.
class BenchStore {
 public:
  BenchStore() {
    std::string pattern = (fs::temp_directory_path() / "orvo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
    directory_ = pattern;
    dsn_ = "Provider=SQLite;Data Source=" + (directory_ / "bench.db").string();
    connection_ = orvo::ado::Connection::Open(dsn_, orvo::ado::IfMissing::Create);
    orvo::store::CreateSchema(*connection_);
    orvo::host::ServiceHub::Current()->SignIn(kClerk, "Alice");
  }
  // Runs when the program ends, after the thread's hub (and with it the
  // pooled connections) is gone: the hub must not be touched here.
  ~BenchStore() {
    connection_.reset();
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
  }
  BenchStore(const BenchStore&) = delete;
  BenchStore& operator=(const BenchStore&) = delete;

  const std::string& Dsn() const { return dsn_; }
  orvo::ado::Connection& Connection() { return *connection_; }

  void Insert(const std::string& text, const std::vector<orvo::Variant>& values) {
    orvo::ado::Command command;
    command.ActiveConnection = connection_;
    command.CommandText = text;
    for (const orvo::Variant& value : values) {
      const bool bytes = value.kind() == orvo::Variant::Kind::Bytes;
      command.GetParameters().Append(command.CreateParameter(
          "", bytes ? orvo::ado::adLongVarBinary : orvo::ado::adVariant, orvo::ado::adParamInput,
          bytes ? orvo::ado::kLongBinarySize : 0, value));
    }
    command.Execute();
  }

 private:
  fs::path directory_;
  std::string dsn_;
  std::shared_ptr<orvo::ado::Connection> connection_;
};

inline orvo::Bytes Picture(std::int64_t size) {
  orvo::Bytes picture(static_cast<std::size_t>(size));
  std::uint32_t state = 2463534242u;  // xorshift: bytes that do not compress
  for (std::uint8_t& byte : picture) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state);
  }
  return picture;
}

// The hub journals every data context call; clearing it each round keeps the
// measurement on the call rather than on a journal that keeps growing.
inline void ClearJournal() {
  orvo::host::ServiceHub::Current()->ClearJournal();
}

}  // namespace orvo::bench

#endif  // ORVO_BENCH_BENCH_STORE_HPP_
