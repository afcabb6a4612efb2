#include "bench/site.hpp"

#include <stdlib.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "orvo/automation/class_registry.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/store/schema.hpp"

namespace orvo::bench {

namespace {

namespace fs = std::filesystem;

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
}

// One prepared insert of the site's rows.
class Insert {
 public:
  Insert(sqlite3* db, const char* sql) : db_(db) {
    Check(db, sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr));
  }
  ~Insert() { sqlite3_finalize(statement_); }
  Insert(const Insert&) = delete;
  Insert& operator=(const Insert&) = delete;

  Insert& Int(int index, std::int64_t value) {
    Check(db_, sqlite3_bind_int64(statement_, index, value));
    return *this;
  }
  Insert& Text(int index, const std::string& value) {
    Check(db_, sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                                 SQLITE_TRANSIENT));
    return *this;
  }
  Insert& Blob(int index, const Bytes& value) {
    Check(db_, sqlite3_bind_blob(statement_, index, value.data(), static_cast<int>(value.size()),
                                 SQLITE_STATIC));
    return *this;
  }
  // Runs it and gives the new row's id.
  std::int64_t Run() {
    Check(db_, sqlite3_step(statement_));
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    return sqlite3_last_insert_rowid(db_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// Templates of a bill type (or report) for a user, the first selected, and
// the user's settings row.
void AddUserTemplates(Insert& note, Insert& row, Insert& settings, std::int32_t user,
                      std::int32_t key, const Bytes& body, const Bytes& pageSettings,
                      int count = 2) {
  const std::string creator = UserName(user);
  for (int n = 0; n < count; ++n) {
    const std::string name =
        count == 2 ? (n == 0 ? "Invoice A4" : "Invoice A5") : "Copy " + std::to_string(n + 1);
    const std::int64_t id = note.Text(1, name)
                                .Text(2, std::to_string(key))
                                .Text(3, creator)
                                .Int(4, key)
                                .Blob(5, body)
                                .Run();
    row.Int(1, key).Int(2, id).Int(3, user).Text(4, name).Int(5, n == 0 ? 1 : 0).Run();
  }
  settings.Int(1, key).Int(2, user).Blob(3, pageSettings).Run();
}

}  // namespace

std::string UserName(std::int32_t user) {
  return "user" + std::to_string(user);
}

bool Smoke() {
  const char* smoke = std::getenv("ORVO_BENCH_SMOKE");
  return smoke != nullptr && *smoke != '\0';
}

SiteShape BusySite() {
  SiteShape shape;
  if (Smoke()) {
    shape.users = 20;
    shape.billTypes = 5;
    shape.reports = 2;
    shape.bills = 100;
    shape.copyTemplates = 5;
    shape.pictureSize = 1 << 20;
  }
  return shape;
}

Bytes Picture(std::int64_t size) {
  Bytes picture(static_cast<std::size_t>(size));
  std::uint32_t state = 2463534242u;  // xorshift
  for (std::uint8_t& byte : picture) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state);
  }
  return picture;
}

Site& SiteOf(SiteSize size) {
  static std::unique_ptr<Site> sites[3];
  std::unique_ptr<Site>& site = sites[static_cast<int>(size)];
  if (!site) {
    SiteShape shape = BusySite();
    if (!Smoke() && size != SiteSize::Busy) {
      shape.users = size == SiteSize::TenThousand ? 100 : 10000;
      shape.callers = 100;
      shape.reports = 2;
      shape.bodySize = 256;
    }
    site = std::make_unique<Site>(shape);
  }
  return *site;
}

Site& SiteFor(benchmark::State& state) {
  Site& site = SiteOf(static_cast<SiteSize>(state.range(0)));
  state.counters["rows"] = static_cast<double>(site.AssignmentRows());
  return site;
}

std::vector<SiteSize> Sizes() {
  if (Smoke()) return {SiteSize::Busy};
  return {SiteSize::Busy, SiteSize::TenThousand, SiteSize::Million};
}

void Sized(benchmark::internal::Benchmark* benchmark) {
  for (const SiteSize size : Sizes()) benchmark->Arg(static_cast<int>(size));
  benchmark->Unit(benchmark::kMicrosecond);
  if (const char* iterations = std::getenv("ORVO_BENCH_ITERATIONS")) {
    benchmark->Iterations(std::atoll(iterations));
  }
}

LateBound::LateBound(const char* progId) : object_(CreateObject(progId)) {}

Variant LateBound::Call(const char* member, std::vector<Variant> args) {
  return object_->Invoke(member, args);
}

Site::Site(const SiteShape& shape) : shape_(shape) {
  std::string pattern = (fs::temp_directory_path() / "orvo-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
  directory_ = pattern;
  file_ = directory_ / "site.db";
  dsn_ = "Provider=SQLite;Data Source=" + file_.string();
  store::CreateStore(dsn_, nullptr);

  Raw raw(file_);
  sqlite3* db = raw.get();
  Check(db, sqlite3_exec(db,
                         "BEGIN; create table t_Bill (FInterID INTEGER PRIMARY KEY, "
                         "FPrintCount INTEGER)",
                         nullptr, nullptr, nullptr));
  Check(db, sqlite3_exec(db, "create table t_Picture (FItemID INTEGER PRIMARY KEY, FImage BLOB)",
                         nullptr, nullptr, nullptr));
  const Bytes body = Picture(shape.bodySize);
  const Bytes page = Picture(256);
  {
    Insert note(db,
                "insert into T_PrintExportNote (FName,FScreenId,FCreatorName,FModifierName,"
                "FNewBillType,FCreateDate,FModifyDate,FData) values (?,?,?,?3,?,"
                "'2026-01-05 08:00:00','2026-01-05 08:00:00',?)");
    Insert row(db,
               "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FDate,FName,FData,"
               "FBillTypeSub,FSel) values (?,?,?,'2026-01-05',?,'','',?)");
    Insert settings(db,
                    "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FDate,FName,FData,"
                    "FPrintSet) values (?,0,?,'2026-01-05','存放页面设置信息','copies=2',?)");
    Insert reportNote(db,
                      "insert into T_RptExcelPrintExportNote (FName,FScreenId,FCreatorName,"
                      "FModifierName,FNewRptId,FCreateDate,FModifyDate,FData) values "
                      "(?,?,?,?3,?,'2026-01-05 08:00:00','2026-01-05 08:00:00',?)");
    Insert reportRow(db,
                     "insert into T_RptExcelPrintExport (FRptId,FNoteId,FPreparerId,FDate,FName,"
                     "FData,FTypeSub,FSel) values (?,?,?,'2026-01-05',?,'','',?)");
    Insert reportSettings(db,
                          "insert into T_RptExcelPrintExport (FRptId,FNoteId,FPreparerId,FDate,"
                          "FName,FData,FPrintSet) values (?,0,?,'2026-01-05','存放页面设置信息',"
                          "'copies=2',?)");
    Insert bill(db, "insert into t_Bill (FInterID, FPrintCount) values (?, 0)");
    std::vector<std::int32_t> users;
    for (std::int32_t user = 1; user <= shape.users; ++user) users.push_back(user);
    users.push_back(kManagerUser);
    for (const std::int32_t user : users) {
      for (std::int32_t type = 1; type <= WriteBillType(); ++type) {
        AddUserTemplates(note, row, settings, user, type, body, page);
      }
      for (std::int32_t report = 1; report <= shape.reports; ++report) {
        AddUserTemplates(reportNote, reportRow, reportSettings, user, report, body, page);
      }
    }
    AddUserTemplates(note, row, settings, kManagerUser, CopyBillType(), Picture(shape.copyBodySize),
                     page, shape.copyTemplates);
    for (std::int32_t id = 1; id <= shape.bills; ++id) bill.Int(1, id).Run();
    Insert(db, "insert into t_Picture (FItemID, FImage) values (1, ?)")
        .Blob(1, Picture(shape.pictureSize))
        .Run();
  }
  Check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
}

Site::~Site() {
  std::error_code ignored;
  fs::remove_all(directory_, ignored);
}

std::int64_t Site::AssignmentRows() const {
  // Two of every bill type (the writing one too) for every user and the
  // manager, and the manager's of the copied bill type.
  return 2 * static_cast<std::int64_t>(shape_.users + 1) * WriteBillType() + shape_.copyTemplates;
}

std::int32_t Site::TemplateOf(std::int32_t user, std::int32_t billType) const {
  return 1 + 2 * ((user - 1) * WriteBillType() + billType - 1);
}

std::int32_t Site::UserOf(std::int64_t n) const {
  return static_cast<std::int32_t>(1 + (n * 7919) % Callers());
}
std::int32_t Site::BillTypeOf(std::int64_t n) const {
  return static_cast<std::int32_t>(1 + (n * 31 + n / Callers()) % shape_.billTypes);
}
std::int32_t Site::ReportOf(std::int64_t n) const {
  return static_cast<std::int32_t>(1 + (n * 13 + n / Callers()) % shape_.reports);
}

Raw::Raw(const std::filesystem::path& file) {
  if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_close(db_);
    throw std::runtime_error(message);
  }
  sqlite3_busy_timeout(db_, 5000);
}

Raw::~Raw() {
  for (sqlite3_stmt* statement = sqlite3_next_stmt(db_, nullptr); statement != nullptr;
       statement = sqlite3_next_stmt(db_, nullptr)) {
    sqlite3_finalize(statement);
  }
  sqlite3_close(db_);
}

sqlite3_stmt* Raw::Prepare(const char* sql) {
  sqlite3_stmt* statement = nullptr;
  Check(db_, sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
  return statement;
}

void Raw::Run(sqlite3_stmt* statement) {
  Check(db_, sqlite3_step(statement));
  sqlite3_reset(statement);
}

std::string TextOf(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text == nullptr
             ? std::string()
             : std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

Bytes BytesOf(sqlite3_stmt* statement, int column) {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
  return data == nullptr ? Bytes() : Bytes(data, data + sqlite3_column_bytes(statement, column));
}

std::vector<CopiedValue> RowOf(sqlite3_stmt* statement) {
  const int count = sqlite3_column_count(statement);
  std::vector<CopiedValue> row(static_cast<std::size_t>(count));
  for (int column = 0; column < count; ++column) {
    CopiedValue& value = row[static_cast<std::size_t>(column)];
    value.type = sqlite3_column_type(statement, column);
    switch (value.type) {
      case SQLITE_INTEGER:
        value.integer = sqlite3_column_int64(statement, column);
        break;
      case SQLITE_FLOAT:
        value.real = sqlite3_column_double(statement, column);
        break;
      case SQLITE_TEXT:
      case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        value.bytes.assign(data, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        break;
      }
      default:
        break;
    }
  }
  return row;
}

}  // namespace orvo::bench
