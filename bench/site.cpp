#include "bench/site.hpp"

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "bench/server.hpp"
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

// Where the rows of a site go: a template table and its row table, of bills
// or of reports, and the business tables.
class Rows {
 public:
  virtual ~Rows() = default;
  // A template of a bill type (or report) made by `creator`; gives its id.
  virtual std::int64_t Note(bool report, const std::string& name, std::int32_t key,
                            const std::string& creator, const Bytes& body) = 0;
  // A user's assignment row of a template, selected or not.
  virtual void Assignment(bool report, std::int32_t key, std::int64_t note, std::int32_t user,
                          const std::string& name, bool selected) = 0;
  // A user's settings row of a bill type (or report).
  virtual void Settings(bool report, std::int32_t key, std::int32_t user, const Bytes& page) = 0;
  virtual void Bill(std::int32_t id) = 0;
  virtual void Picture(const Bytes& picture) = 0;
};

// Templates of a bill type (or report) for a user, the first selected, and
// the user's settings row.
void AddUserTemplates(Rows& rows, bool report, std::int32_t user, std::int32_t key,
                      const Bytes& body, const Bytes& pageSettings, int count = 2) {
  const std::string creator = UserName(user);
  for (int n = 0; n < count; ++n) {
    const std::string name =
        count == 2 ? (n == 0 ? "Invoice A4" : "Invoice A5") : "Copy " + std::to_string(n + 1);
    const std::int64_t id = rows.Note(report, name, key, creator, body);
    rows.Assignment(report, key, id, user, name, n == 0);
  }
  rows.Settings(report, key, user, pageSettings);
}

// The rows of a site: the same on every backend.
void Fill(const Site& site, Rows& rows) {
  const SiteShape& shape = site.Shape();
  const Bytes body = Picture(shape.bodySize);
  const Bytes page = Picture(256);
  std::vector<std::int32_t> users;
  for (std::int32_t user = 1; user <= shape.users; ++user) users.push_back(user);
  users.push_back(kManagerUser);
  for (const std::int32_t user : users) {
    for (std::int32_t type = 1; type <= site.SaveBillType(); ++type) {
      AddUserTemplates(rows, false, user, type, body, page);
    }
    for (std::int32_t report = 1; report <= shape.reports; ++report) {
      AddUserTemplates(rows, true, user, report, body, page);
    }
  }
  AddUserTemplates(rows, false, kManagerUser, site.CopyBillType(), Picture(shape.copyBodySize),
                   page, shape.copyTemplates);
  for (std::int32_t id = 1; id <= shape.bills; ++id) rows.Bill(id);
  rows.Picture(Picture(shape.pictureSize));
}

// A site's rows written into a SQLite file with prepared inserts, in the
// caller's transaction.
class SqliteRows final : public Rows {
 public:
  explicit SqliteRows(sqlite3* db) : db_(db) {}

  std::int64_t Note(bool report, const std::string& name, std::int32_t key,
                    const std::string& creator, const Bytes& body) override {
    return (report ? reportNote_ : note_)
        .Text(1, name)
        .Text(2, std::to_string(key))
        .Text(3, creator)
        .Int(4, key)
        .Blob(5, body)
        .Run();
  }
  void Assignment(bool report, std::int32_t key, std::int64_t note, std::int32_t user,
                  const std::string& name, bool selected) override {
    (report ? reportRow_ : row_)
        .Int(1, key)
        .Int(2, note)
        .Int(3, user)
        .Text(4, name)
        .Int(5, selected ? 1 : 0)
        .Run();
  }
  void Settings(bool report, std::int32_t key, std::int32_t user, const Bytes& page) override {
    (report ? reportSettings_ : settings_).Int(1, key).Int(2, user).Blob(3, page).Run();
  }
  void Bill(std::int32_t id) override { bill_.Int(1, id).Run(); }
  void Picture(const Bytes& picture) override {
    Insert(db_, "insert into t_Picture (FItemID, FImage) values (1, ?)").Blob(1, picture).Run();
  }

 private:
  sqlite3* db_;
  Insert note_{db_,
               "insert into T_PrintExportNote (FName,FScreenId,FCreatorName,FModifierName,"
               "FNewBillType,FCreateDate,FModifyDate,FData) values (?,?,?,?3,?,"
               "'2026-01-05 08:00:00','2026-01-05 08:00:00',?)"};
  Insert row_{db_,
              "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FDate,FName,FData,"
              "FBillTypeSub,FSel) values (?,?,?,'2026-01-05',?,'','',?)"};
  Insert settings_{db_,
                   "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FDate,FName,FData,"
                   "FPrintSet) values (?,0,?,'2026-01-05','存放页面设置信息','copies=2',?)"};
  Insert reportNote_{db_,
                     "insert into T_RptExcelPrintExportNote (FName,FScreenId,FCreatorName,"
                     "FModifierName,FNewRptId,FCreateDate,FModifyDate,FData) values "
                     "(?,?,?,?3,?,'2026-01-05 08:00:00','2026-01-05 08:00:00',?)"};
  Insert reportRow_{db_,
                    "insert into T_RptExcelPrintExport (FRptId,FNoteId,FPreparerId,FDate,FName,"
                    "FData,FTypeSub,FSel) values (?,?,?,'2026-01-05',?,'','',?)"};
  Insert reportSettings_{db_,
                         "insert into T_RptExcelPrintExport (FRptId,FNoteId,FPreparerId,FDate,"
                         "FName,FData,FPrintSet) values (?,0,?,'2026-01-05','存放页面设置信息',"
                         "'copies=2',?)"};
  Insert bill_{db_, "insert into t_Bill (FInterID, FPrintCount) values (?, 0)"};
};

// A site's rows written onto the server with COPY, in the caller's
// transaction: each table's rows gathered in COPY's text form and sent a few
// megabytes at a time. Templates are given their ids, as SQLite gives them,
// and the identities go on from the largest.
class ServerRows final : public Rows {
 public:
  explicit ServerRows(Server& server) : server_(server) {}

  std::int64_t Note(bool report, const std::string& name, std::int32_t key,
                    const std::string& creator, const Bytes& body) override {
    Table& table = report ? reportNotes_ : notes_;
    const std::int64_t id = ++table.lastId;
    const std::string number = std::to_string(key);
    Add(table, {std::to_string(id), name, number, creator, creator, number, "2026-01-05 08:00:00",
                "2026-01-05 08:00:00", Hex(body)});
    return id;
  }
  void Assignment(bool report, std::int32_t key, std::int64_t note, std::int32_t user,
                  const std::string& name, bool selected) override {
    Add(report ? reportRows_ : rows_,
        {std::to_string(key), std::to_string(note), std::to_string(user), "2026-01-05", name, "",
         "", selected ? "1" : "0", kNull});
  }
  void Settings(bool report, std::int32_t key, std::int32_t user, const Bytes& page) override {
    Add(report ? reportRows_ : rows_, {std::to_string(key), "0", std::to_string(user), "2026-01-05",
                                       "存放页面设置信息", "copies=2", kNull, kNull, Hex(page)});
  }
  void Bill(std::int32_t id) override { Add(bills_, {std::to_string(id), "0"}); }
  void Picture(const Bytes& picture) override {
    ServerValues values;
    values.Binary(picture.data(), picture.size());
    server_.Run(server_.Prepare("insert into t_Picture (FItemID, FImage) values (1, $1)"), values);
  }

  // Sends what is left and lets the identities go on after the ids given.
  void Finish() {
    for (Table* table : {&notes_, &rows_, &reportNotes_, &reportRows_, &bills_}) Send(*table);
    for (const Table* table : {&notes_, &reportNotes_}) {
      server_.Exec("SELECT setval(pg_get_serial_sequence('" + table->name + "', 'fid'), " +
                   std::to_string(table->lastId) + ")");
    }
  }

 private:
  static constexpr const char* kNull = "\\N";
  static constexpr std::size_t kBatch = 8 << 20;

  struct Table {
    Table(std::string table, std::string columnList)
        : name(std::move(table)), columns(std::move(columnList)) {}
    std::string name;
    std::string columns;
    std::string data;
    std::int64_t lastId = 0;
  };

  // A byte array in COPY's text form: "\\x" (the backslash written twice)
  // and its hex digits. The site's bodies are a few arrays written many
  // times, so the last one is kept.
  const std::string& Hex(const Bytes& bytes) {
    if (hex_.empty() || bytes != hexOf_) {
      static constexpr char kDigits[] = "0123456789abcdef";
      hex_ = "\\\\x";
      for (const std::uint8_t byte : bytes) {
        hex_ += kDigits[byte >> 4];
        hex_ += kDigits[byte & 15];
      }
      hexOf_ = bytes;
    }
    return hex_;
  }

  void Add(Table& table, std::initializer_list<std::string_view> values) {
    bool first = true;
    for (std::string_view value : values) {
      if (!first) table.data += '\t';
      table.data += value;
      first = false;
    }
    table.data += '\n';
    if (table.data.size() >= kBatch) Send(table);
  }

  void Send(Table& table) {
    if (table.data.empty()) return;
    server_.Copy(table.name, table.columns, table.data);
    table.data.clear();
  }

  Server& server_;
  std::string hex_;
  Bytes hexOf_;
  Table notes_{"T_PrintExportNote",
               "FId,FName,FScreenId,FCreatorName,FModifierName,FNewBillType,FCreateDate,"
               "FModifyDate,FData"};
  Table rows_{"T_PrintExport",
              "FBillType,FBillId,FPreparerId,FDate,FName,FData,FBillTypeSub,FSel,FPrintSet"};
  Table reportNotes_{"T_RptExcelPrintExportNote",
                     "FId,FName,FScreenId,FCreatorName,FModifierName,FNewRptId,FCreateDate,"
                     "FModifyDate,FData"};
  Table reportRows_{"T_RptExcelPrintExport",
                    "FRptId,FNoteId,FPreparerId,FDate,FName,FData,FTypeSub,FSel,FPrintSet"};
  Table bills_{"t_Bill", "FInterID,FPrintCount"};
};

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

bool Measured(Backend backend) {
  return backend == Backend::SQLite || !ServerDataSource().empty();
}

std::string BenchmarkName(const std::string& what, Backend backend) {
  return "BM_" + what + (backend == Backend::PostgreSQL ? "_PostgreSQL" : "");
}

Site& SiteOf(SiteSize size, Backend backend) {
  static std::unique_ptr<Site> sites[2][3];
  std::unique_ptr<Site>& site = sites[static_cast<int>(backend)][static_cast<int>(size)];
  if (!site) {
    SiteShape shape = BusySite();
    if (!Smoke() && size != SiteSize::Busy) {
      shape.users = size == SiteSize::TenThousand ? 100 : 10000;
      shape.callers = 100;
      shape.reports = 2;
      shape.bodySize = 256;
    }
    site = std::make_unique<Site>(shape, backend);
  }
  return *site;
}

Site& SiteFor(benchmark::State& state, Backend backend) {
  Site& site = SiteOf(static_cast<SiteSize>(state.range(0)), backend);
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

void SizedAndRepeatedMore(benchmark::internal::Benchmark* benchmark) {
  Sized(benchmark);
  if (!Smoke()) benchmark->Repetitions(45);
}

void SizedTimedByHand(benchmark::internal::Benchmark* benchmark) {
  Sized(benchmark);
  benchmark->UseManualTime();
}

void SizedTimedByHandRepeatedMore(benchmark::internal::Benchmark* benchmark) {
  SizedAndRepeatedMore(benchmark);
  benchmark->UseManualTime();
}

LateBound::LateBound(const char* progId) : object_(CreateObject(progId)) {}

Variant LateBound::Call(const char* member, std::vector<Variant> args) {
  return object_->Invoke(member, args);
}

namespace {

// A site's filling leaves up to gigabytes for the system to write back, for
// minutes after and on the processor the benchmarks run on: written out
// before any benchmark uses the site, so that none times that writing.
void Settle() {
  ::sync();
}

}  // namespace

Site::Site(const SiteShape& shape, Backend backend) : shape_(shape) {
  if (backend == Backend::PostgreSQL) {
    // A schema of the site's own, so that sites of one run, and runs at
    // once, never meet.
    static int made = 0;
    schema_ = "orvo_bench_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    Server(ServerDataSource()).Exec("CREATE SCHEMA " + schema_);
    dsn_ = InSchema(ServerDataSource(), schema_);
    store::CreateStore(dsn_, nullptr);
    Server server(dsn_);
    server.Exec(
        "BEGIN; create table t_Bill (FInterID integer PRIMARY KEY, FPrintCount integer); "
        "create table t_Picture (FItemID integer PRIMARY KEY, FImage bytea)");
    ServerRows rows(server);
    Fill(*this, rows);
    rows.Finish();
    server.Exec("COMMIT");
    // Statistics of the tables as they are, so that the server plans the
    // statements on them from the start as it will later.
    server.Exec(
        "VACUUM ANALYZE T_PrintExport, T_PrintExportNote, T_RptExcelPrintExport, "
        "T_RptExcelPrintExportNote, t_Bill, t_Picture");
    // The server writes what the site's filling left in its log into its
    // files now rather than while a benchmark runs.
    try {
      server.Exec("CHECKPOINT");
    } catch (const std::exception&) {
      // Only a role allowed to may ask for it; the disk is settled below
      // either way.
    }
    Settle();
    return;
  }
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
  {
    SqliteRows rows(db);
    Fill(*this, rows);
  }
  Check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
  // The site filled in one transaction sits in the store's log: it goes into
  // the store now, or the first benchmark to commit would copy it there, and
  // every read until then would look its pages up in the log.
  Check(db, sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr));
  Settle();
}

Site::~Site() {
  std::error_code ignored;
  if (!directory_.empty()) fs::remove_all(directory_, ignored);
  if (!schema_.empty()) {
    // The store's connections idle in the pool hold no locks.
    try {
      Server(ServerDataSource()).Exec("DROP SCHEMA " + schema_ + " CASCADE");
    } catch (const std::exception&) {
      // A server gone by now took the schema with it, or keeps it for its
      // operator to drop; the program ends either way.
    }
  }
}

std::int64_t Site::AssignmentRows() const {
  // Two of every bill type (the writing ones too) for every user and the
  // manager, and the manager's of the copied bill type.
  return 2 * static_cast<std::int64_t>(shape_.users + 1) * SaveBillType() + shape_.copyTemplates;
}

std::int32_t Site::TemplateOf(std::int32_t user, std::int32_t billType) const {
  return 1 + 2 * ((user - 1) * SaveBillType() + billType - 1);
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
  // Opened as the library opens its own connections: used by one thread at a
  // time, so without SQLite's mutexes, which would cost the baseline alone.
  if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
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
    const int type = sqlite3_column_type(statement, column);
    switch (type) {
      case SQLITE_INTEGER:
        value.kind = CopiedValue::Kind::Integer;
        value.integer = sqlite3_column_int64(statement, column);
        break;
      case SQLITE_FLOAT:
        value.kind = CopiedValue::Kind::Real;
        value.real = sqlite3_column_double(statement, column);
        break;
      case SQLITE_TEXT:
      case SQLITE_BLOB: {
        value.kind = type == SQLITE_TEXT ? CopiedValue::Kind::Text : CopiedValue::Kind::Blob;
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
