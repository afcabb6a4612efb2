// Every statement the classes run finds its rows of the template tables by an
// index: the members are called on a store of many users, every statement
// is recorded as SQLite runs it (its shape and bound values), and SQLite's
// plan for each must not scan a template table. A scan would make a call's
// cost grow with the store.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ado/statement_observer.hpp"
#include "orvo/automation/class_registry.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/collections.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"
#include "support/temp_directory.hpp"

namespace orvo {
namespace {

// Records what SQLite runs for each statement, once per shape.
class ShapeRecorder : public ado::StatementObserver {
 public:
  void BeforeExecute(std::string_view, const std::vector<Variant>&) override {}
  void Adapted(std::string_view, const ado::RanStatement& ran) override {
    shapes_.emplace(ran.text, ran.params);
  }
  void AfterExecute(std::string_view, const AutomationError*) override {}
  const std::map<std::string, std::vector<Variant>>& Shapes() const { return shapes_; }

 private:
  std::map<std::string, std::vector<Variant>> shapes_;
};

class Sqlite {
 public:
  explicit Sqlite(const std::filesystem::path& file) {
    if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << sqlite3_errmsg(db_);
  }
  ~Sqlite() { sqlite3_close(db_); }
  Sqlite(const Sqlite&) = delete;
  Sqlite& operator=(const Sqlite&) = delete;

  void Exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      ADD_FAILURE() << message << " in " << sql;
    }
    sqlite3_free(message);
  }

  // The lines of SQLite's plan for `shape` with `params` bound.
  std::vector<std::string> Plan(const std::string& shape, const std::vector<Variant>& params) {
    sqlite3_stmt* statement = nullptr;
    std::vector<std::string> lines;
    const std::string sql = "EXPLAIN QUERY PLAN " + shape;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << " in " << sql;
      return lines;
    }
    for (std::size_t i = 0; i < params.size(); ++i)
      Bind(statement, static_cast<int>(i + 1), params[i]);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      lines.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
    }
    sqlite3_finalize(statement);
    return lines;
  }

 private:
  static void Bind(sqlite3_stmt* statement, int index, const Variant& value) {
    switch (value.kind()) {
      case Variant::Kind::Integer:
        sqlite3_bind_int(statement, index, value.AsInteger());
        break;
      case Variant::Kind::Long:
        sqlite3_bind_int(statement, index, value.AsLong());
        break;
      case Variant::Kind::Double:
        sqlite3_bind_double(statement, index, value.AsDouble());
        break;
      case Variant::Kind::String:
        sqlite3_bind_text(statement, index, value.AsString().c_str(), -1, SQLITE_TRANSIENT);
        break;
      default:
        // Dates and bytes are only ever written, never searched on.
        sqlite3_bind_null(statement, index);
    }
  }

  sqlite3* db_ = nullptr;
};

std::shared_ptr<Dictionary> Entries(
    std::initializer_list<std::pair<const char*, Variant>> entries) {
  auto dictionary = std::make_shared<Dictionary>();
  for (const auto& [key, value] : entries) dictionary->SetValue(key, value);
  return dictionary;
}

// Choices of templates as the settings screen sends them.
std::shared_ptr<Dictionary> Choices(const std::string& option,
                                    const std::vector<std::string>& keys) {
  auto data = std::make_shared<Vector>();
  for (const std::string& key : keys) {
    data->Add(Entries({{"FKey", key}, {"FName", "Invoice A4"}, {"FSel", 1}, {"FType", "A"}}));
  }
  auto modi = Entries({{"Option", option}});
  modi->SetObject("Data", data);
  return modi;
}

struct Call {
  std::int16_t user;
  const char* cls;
  const char* member;
  std::vector<Variant> args;  // after the data source
};

class QueryPlansTest : public ::testing::Test {
 protected:
  static constexpr std::int16_t kUsers = 300;

  void SetUp() override {
    file_ = directory_.Path() / "store.db";
    dsn_ = "Provider=SQLite;Data Source=" + file_.string();
    store::CreateStore(dsn_, nullptr);
    Seed();
  }

  void TearDown() override {
    host::ServiceHub::Current()->SetStatementObserver(nullptr);
    host::ServiceHub::Current()->ClosePool();
    host::ServiceHub::Current()->SignOut();
  }

  // Two templates a user of every bill type (1..20), bill type of the LM
  // tables (1..20, from 3) and report (1..10), the first selected, with a
  // settings row each; users 1..300 and the manager. A business table of
  // pictures and print counts.
  void Seed() {
    Sqlite db(file_);
    db.Exec("BEGIN");
    const std::string users =
        "WITH RECURSIVE u(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM u "
        "WHERE id < " +
        std::to_string(kUsers) + ") SELECT id FROM u UNION ALL SELECT " +
        std::to_string(kManagerUser);
    const std::string keys =
        "WITH RECURSIVE k(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM k "
        "WHERE id < 20) SELECT id FROM k";
    const auto seed = [&](const std::string& note, const std::string& row, const std::string& key,
                          const std::string& rowKey, const std::string& id, const std::string& sub,
                          const std::string& dataFrom) {
      const std::string from = dataFrom.empty() ? "" : ",FDataFrom";
      const std::string fromValue = dataFrom.empty() ? "" : "," + dataFrom;
      db.Exec("INSERT INTO " + note + " (FName,FScreenId,FCreatorName,FModifierName," + key +
              ",FCreateDate,FModifyDate,FData" + from +
              ") SELECT n.name, k.id, 'user' || u.id, 'user' || u.id, k.id, '2026-01-05', "
              "'2026-01-05', x'00'" +
              fromValue + " FROM (" + users + ") u, (" + keys +
              ") k, (SELECT 'Invoice A4' AS name UNION ALL SELECT 'Invoice A5') n");
      db.Exec("INSERT INTO " + row + " (" + rowKey + "," + id +
              ",FPreparerId,FDate,FName,"
              "FData," +
              sub + ",FSel" + from + ") SELECT " + key +
              ", FId, "
              "CAST(substr(FCreatorName, 5) AS INTEGER), '2026-01-05', FName, '', '', "
              "FName = 'Invoice A4'" +
              fromValue + " FROM " + note);
      db.Exec("INSERT INTO " + row + " (" + rowKey + "," + id +
              ",FPreparerId,FDate,FName,"
              "FData,FPrintSet" +
              from + ") SELECT DISTINCT " + key +
              ", 0, "
              "CAST(substr(FCreatorName, 5) AS INTEGER), '2026-01-05', 'settings', 'o', x'01'" +
              fromValue + " FROM " + note);
    };
    seed("T_PrintExportNote", "T_PrintExport", "FNewBillType", "FBillType", "FBillId",
         "FBillTypeSub", "");
    seed("T_PrintExportNoteLM", "T_PrintExportLM", "FNewBillType", "FBillType", "FBillId",
         "FBillTypeSub", "3");
    seed("T_RptExcelPrintExportNote", "T_RptExcelPrintExport", "FNewRptId", "FRptId", "FNoteId",
         "FTypeSub", "");
    db.Exec("CREATE TABLE t_Bill (FInterID INTEGER PRIMARY KEY, FImage BLOB, FCount INTEGER)");
    db.Exec("INSERT INTO t_Bill SELECT id, x'0102', 0 FROM (" + keys + ")");
    db.Exec("COMMIT");
  }

  // Calls every member as `user` would: one with templates of their own, one
  // without (whose first call copies the manager's), and the manager.
  void CallEveryMember() {
    const auto picture = [] {
      return Entries({{"TableName", "t_Bill"},
                      {"FieldName", "FImage"},
                      {"PrimaryKeyField", "FInterID"},
                      {"PrimaryKeyValue", "2"}});
    };
    const auto counts = [] {
      return Entries({{"TableName", "t_Bill"},
                      {"FieldName", "FCount"},
                      {"PriKey", "FInterID"},
                      {"InterIDs", "1, 2"}});
    };
    const auto saved = [] { return Entries({{"fNoteName", "Saved"}, {"FNoteBlob", "s"}}); };
    std::vector<Call> calls;
    for (const std::int16_t user : {std::int16_t{7}, std::int16_t{kUsers + 1}, kManagerUser}) {
      // Labels are named once in the store.
      const std::string label = "Box" + std::to_string(user);
      const std::vector<Call> each = {
          {user, "clsPrintSetupQuery", "GetNoteInfo", {5}},
          {user, "clsPrintSetupQueryLM", "GetNoteInfo", {5, 3}},
          {user, "clsPrintSetupQuery", "GetRptNoteInfo", {4}},
          {user, "clsPrintSetupQueryRpt", "GetRptNoteInfo", {6}},
          {user, "clsPrintSetupQuery", "GetCurrNote", {5}},
          {user, "clsPrintSetupQueryLM", "GetCurrNote", {5, 3}},
          {user, "clsPrintSetupQuery", "GetNotePrintData", {5}},
          {user, "clsPrintSetupQuery", "GetNotePrintData", {5, "A"}},
          {user, "clsPrintSetupQueryLM", "GetNotePrintData", {5, 3}},
          {user, "clsPrintSetupQueryLM", "GetNotePrintData", {5, 3, "A"}},
          {user, "clsPrintSetupQuery", "GetRptNotePrintData", {4}},
          {user, "clsPrintSetupQueryRpt", "GetRptNotePrintData", {6}},
          {user, "clsPrintSetupQueryRpt", "GetRptNotePrintData", {6, "A"}},
          {user, "clsPrintSetupQuery", "GetPageAndPrintSet", {5}},
          {user, "clsPrintSetupQueryLM", "GetPageAndPrintSet", {5, 3}},
          {user, "clsPrintSetupQuery", "GetPictureData", {picture()}},
          {user, "clsPrintSetupQueryRpt", "GetPictureData", {picture()}},
          {user, "clsPrintSetupUpdate", "InsertNoteRow", {8, "Invoice A4", "b"}},
          {user, "clsPrintSetupUpdate", "InsertNoteRow", {8, "Invoice B5", "b"}},
          {user, "clsPrintSetupUpdateLM", "InsertNoteRow", {8, "Invoice A4", "b", 3}},
          {user, "clsPrintSetupUpdate", "InsertRptNoteRow", {7, "Invoice A4", "r"}},
          {user, "clsPrintSetupUpdateRpt", "InsertRptNoteRow", {7, "Invoice B5", "r"}},
          {user, "clsPrintSetupUpdate", "SaveNewBill", {9, saved()}},
          {user, "clsPrintSetupUpdateLM", "SaveNewBill", {9, saved(), 3}},
          {user, "clsPrintSetupUpdate", "UpdateNoteRow", {9, "n", "Invoice A4"}},
          {user, "clsPrintSetupUpdate", "UpdateNoteRow", {9, "n"}},
          {user, "clsPrintSetupUpdateLM", "UpdateNoteRow", {9, "n", 3, "Invoice A4"}},
          {user, "clsPrintSetupUpdate", "UpdateUserNoteData", {10, Choices("o", {"10|1", "10|9"})}},
          {user,
           "clsPrintSetupUpdateLM",
           "UpdateUserNoteData",
           {10, Choices("o", {"10|1", "10"}), 3}},
          {user, "clsPrintSetupUpdate", "UpdateUserRptNoteData", {8, Choices("o", {"8|1"})}},
          {user, "clsPrintSetupUpdateRpt", "UpdateUserRptNoteData", {9, Choices("o", {"9|2"})}},
          {user, "clsPrintSetupUpdate", "SavePageAndPrintSet", {11, "p"}},
          {user, "clsPrintSetupUpdateLM", "SavePageAndPrintSet", {11, "p", 3}},
          {user, "clsPrintSetupUpdate", "AddBarCodeTemplate", {12, label, "l", "", 5}},
          {user, "clsPrintSetupUpdateLM", "AddBarCodeTemplate", {12, label + "LM", "l"}},
          {user, "clsPrintSetupUpdate", "DeleteBarCodeTemplate", {3}},
          {user, "clsPrintSetupUpdateLM", "DeleteBarCodeTemplate", {3}},
          {user, "clsPrintSetupUpdate", "UpdatePrintCount", {counts()}},
          {user, "clsPrintSetupUpdateLM", "UpdatePrintCount", {counts()}},
          {user, "clsPrintSetupUpdateRpt", "UpdatePrintCount", {counts()}},
          {user, "clsPrintSetupUpdate", "DeleteNoteRow", {13, 1}},
          {user, "clsPrintSetupUpdateLM", "DeleteNoteRow", {13, 1, 3}},
          {user, "clsPrintSetupUpdate", "DeleteRptNoteRow", {10, 1}},
          {user, "clsPrintSetupUpdateRpt", "DeleteRptNoteRow", {10, 1}},
      };
      calls.insert(calls.end(), each.begin(), each.end());
    }
    for (const Call& call : calls) {
      host::ServiceHub::Current()->SignIn(call.user, "user" + std::to_string(call.user));
      std::vector<Variant> args{Variant(dsn_)};
      args.insert(args.end(), call.args.begin(), call.args.end());
      try {
        CreateObject(std::string("OrvoMPrintExport.") + call.cls)->Invoke(call.member, args);
      } catch (const AutomationError& error) {
        ADD_FAILURE() << call.cls << "." << call.member << ": " << error.description();
      }
    }
  }

  // The plan lines of every recorded shape that scan a table of the store.
  // A plan names a table by its alias where the statement gives one (the
  // classes' aliases stand for template tables), and a subquery by its alias
  // too, after the line that makes it; scanning a subquery's few rows is no
  // scan of a table.
  std::vector<std::string> Scans(const ShapeRecorder& recorder) {
    Sqlite db(file_);
    std::vector<std::string> scans;
    for (const auto& [shape, params] : recorder.Shapes()) {
      std::set<std::string> subqueries;
      for (const std::string& line : db.Plan(shape, params)) {
        const std::size_t blank = line.find(' ');
        const std::string step = line.substr(0, blank);
        const std::string name =
            blank == std::string::npos
                ? ""
                : line.substr(blank + 1, line.find(' ', blank + 1) - blank - 1);
        if (step == "MATERIALIZE" || step == "CO-ROUTINE") subqueries.insert(name);
        if (step == "SCAN" && !subqueries.contains(name) && name != "t_Bill" &&
            name != "CONSTANT" && name != "sqlite_master") {
          scans.push_back(line + "  <-  " + shape);
        }
      }
    }
    return scans;
  }

  testing::TempDirectory directory_;
  std::filesystem::path file_;
  std::string dsn_;
};

TEST_F(QueryPlansTest, NoStatementScansATemplateTable) {
  auto recorder = std::make_shared<ShapeRecorder>();
  host::ServiceHub::Current()->SetStatementObserver(recorder);
  CallEveryMember();
  // Every member's statements were seen: reads, writes, copies, business
  // tables.
  EXPECT_GT(recorder->Shapes().size(), 60u);
  EXPECT_EQ(Scans(*recorder), std::vector<std::string>{});
  // Statistics change SQLite's choices; the plans must hold with them too.
  Sqlite(file_).Exec("ANALYZE");
  EXPECT_EQ(Scans(*recorder), std::vector<std::string>{});
}

}  // namespace
}  // namespace orvo
