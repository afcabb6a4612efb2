// The two reads a printing client makes for every printed bill, through the
// library as a host calls it:
//  - GetPictureData copies a picture in chunks of 100 bytes into a stream;
//    BM_RawPictureSelect reads the same value with one plain select on an
//    open connection, so the difference is the cost of the chunked copy and
//    of the method frame (data context, unit of work).
//  - GetPageAndPrintSet, with the user's own settings row (one statement) and
//    with the fallback to the manager user's (two statements).
// Each benchmark builds its store once, in a temporary directory that is
// removed when the program ends.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvo/ado/command.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"

namespace {

namespace fs = std::filesystem;

constexpr std::int16_t kClerk = 7;
constexpr std::int32_t kClerkBillType = 28;    // the clerk has her own settings
constexpr std::int32_t kManagerBillType = 29;  // only the manager user has settings

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
      command.GetParameters().Append(
          command.CreateParameter("", bytes ? orvo::ado::adLongVarBinary : orvo::ado::adVariant,
                                  orvo::ado::adParamInput, bytes ? 2147483647 : 0, value));
    }
    command.Execute();
  }

 private:
  fs::path directory_;
  std::string dsn_;
  std::shared_ptr<orvo::ado::Connection> connection_;
};

orvo::Bytes Picture(std::int64_t size) {
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

// The picture table of a business application, one row per picture size
// (the row's key is the size).
BenchStore& PictureStore() {
  static BenchStore store;
  static const bool filled = [] {
    store.Connection().Execute(
        "create table t_ICItemPicture (FItemID INTEGER PRIMARY KEY, FPicture BLOB)");
    for (const std::int64_t size :
         {std::int64_t{1} << 10, std::int64_t{1} << 20, std::int64_t{10} << 20}) {
      store.Insert("insert into t_ICItemPicture (FItemID, FPicture) values (?,?)",
                   {static_cast<std::int32_t>(size), Picture(size)});
    }
    return true;
  }();
  (void)filled;
  return store;
}

BenchStore& SettingsStore() {
  static BenchStore store;
  static const bool filled = [] {
    const std::string insert =
        "insert into T_PrintExport (FBillId,FBillType,FPreparerId,FName,FPrintSet) "
        "values (0,?,?,'存放页面设置信息',?)";
    store.Insert(insert, {kClerkBillType, std::int32_t{kClerk}, Picture(512)});
    store.Insert(insert, {kClerkBillType, std::int32_t{16394}, Picture(512)});
    store.Insert(insert, {kManagerBillType, std::int32_t{16394}, Picture(512)});
    return true;
  }();
  (void)filled;
  return store;
}

// The hub journals every data context call; clearing it each round keeps the
// measurement on the call rather than on a journal that keeps growing.
void ClearJournal() {
  orvo::host::ServiceHub::Current()->ClearJournal();
}

void BM_GetPictureData(benchmark::State& state) {
  BenchStore& store = PictureStore();
  const std::int64_t size = state.range(0);
  auto info = std::make_shared<orvo::Dictionary>();
  info->SetValue("TableName", "t_ICItemPicture");
  info->SetValue("FieldName", "FPicture");
  info->SetValue("PrimaryKeyField", "FItemID");
  info->SetValue("PrimaryKeyValue", std::to_string(size));
  auto query = std::make_shared<orvo::clsPrintSetupQuery>();
  if (query->GetPictureData(store.Dsn(), info).AsBytes().size() != static_cast<std::size_t>(size)) {
    state.SkipWithError("GetPictureData read a picture of the wrong size");
    return;
  }
  for (auto _ : state) {
    orvo::Variant picture = query->GetPictureData(store.Dsn(), info);
    benchmark::DoNotOptimize(picture);
    ClearJournal();
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_GetPictureData)
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMicrosecond);

void BM_RawPictureSelect(benchmark::State& state) {
  BenchStore& store = PictureStore();
  const std::int64_t size = state.range(0);
  const std::string select =
      "select FPicture from t_ICItemPicture where FItemID=" + std::to_string(size);
  for (auto _ : state) {
    auto rows = store.Connection().Execute(select);
    orvo::Variant picture = rows->Fields(0).Value();
    benchmark::DoNotOptimize(picture);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_RawPictureSelect)
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMicrosecond);

// Argument: the bill type, 28 answered by the clerk's own row, 29 by the
// manager user's after the clerk's select found nothing.
void BM_GetPageAndPrintSet(benchmark::State& state) {
  BenchStore& store = SettingsStore();
  const auto billType = static_cast<std::int32_t>(state.range(0));
  auto query = std::make_shared<orvo::clsPrintSetupQuery>();
  if (query->GetPageAndPrintSet(store.Dsn(), billType)->Count() != 1) {
    state.SkipWithError("GetPageAndPrintSet found no settings row");
    return;
  }
  for (auto _ : state) {
    auto settings = query->GetPageAndPrintSet(store.Dsn(), billType);
    benchmark::DoNotOptimize(settings);
    ClearJournal();
  }
}
BENCHMARK(BM_GetPageAndPrintSet)->Arg(kClerkBillType)->Arg(kManagerBillType);

}  // namespace
