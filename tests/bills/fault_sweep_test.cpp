// Every member that writes, on every backend, with a fault injected at each
// statement of its call in turn and at the commit of its unit of work: the
// store (its six tables and the business tables the member writes) stays as
// it was, the caller gets the error as the member hands errors on, and the
// journal holds the member's votes. The members are one table of data;
// each row seeds a store on which its call changes something, so the sweep
// ends in a run that writes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "orvo/automation/class_registry.hpp"
#include "orvo/host/call_scope.hpp"
#include "orvo/host/collections.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using testing::TemplateTables;

// How a member hands a failure on to its caller.
enum class Raised {
  AsItIs,        // number, source and description as they came
  WithHelpFile,  // the same, with the help file 64
  UnderItsName,  // the same number and description, its own name before the source
};

// Where a member works: on the data source it is given, or on the caller's
// connection inside the caller's unit of work, whose commit is the caller's.
enum class On { DataSource, CallersConnection };

class FaultSweep;

struct Writer {
  const char* name;       // of the test case
  const char* className;  // after "OrvoMPrintExport."
  const char* member;
  const TemplateTables* tables;  // the family the seed fills
  void (*seed)(FaultSweep&, const TemplateTables&);
  std::vector<Variant> args;  // after the data source or connection
  Raised raised;
  int aborts;      // the member's Abort votes in a call that fails
  int statements;  // that the call runs when nothing fails
  On on = On::DataSource;
  const char* business = nullptr;  // the business table it writes
};

void PrintTo(const Writer& writer, std::ostream* out) {
  *out << writer.name;
}

class FaultSweep : public testing::StoreFixture,
                   public ::testing::WithParamInterface<std::tuple<testing::Backend, Writer>> {
 public:
  // The seeds. Each store's first template and first row have FId 1.
  static void Nothing(FaultSweep&, const TemplateTables&) {}
  // Two templates of the manager's and his settings row: a user's first
  // catalogue copies them.
  static void ManagersTemplates(FaultSweep& store, const TemplateTables& tables) {
    store.SeedManagersTemplate(tables, 28, "Invoice", Bytes{1}, 1);
    store.SeedManagersTemplate(tables, 28, "Slip", Bytes{2}, 0);
    store.SeedSettingsRow(tables, 28, kManager, Bytes{'m'}, "copies=2");
  }
  // The user's template "Invoice" and the user's row of it.
  static void UsersTemplate(FaultSweep& store, const TemplateTables& tables) {
    const std::int32_t id = store.SeedTemplate(tables, 28, "Invoice", Bytes{'o', 'l', 'd'},
                                               {{"FCreatorName", "Alice"}});
    store.SeedAssignment(tables, 28, id, kUser, "Invoice", 0);
  }
  static void ManagersSettings(FaultSweep& store, const TemplateTables& tables) {
    store.SeedSettingsRow(tables, 28, kManager, Bytes{'m'}, "copies=2");
  }
  static void UsersSettings(FaultSweep& store, const TemplateTables& tables) {
    store.SeedSettingsRow(tables, 28, kUser, Bytes{'u'}, "copies=3");
  }
  // A label of the user's.
  static void Label(FaultSweep& store, const TemplateTables& tables) {
    store.SeedAssignment(tables, 28, 1231093000, kUser, "Box", 0, Variant::Null(),
                         {{"FPrintSet", Bytes{'l'}}});
  }
  // A business table of bills with their print counts.
  static void Bills(FaultSweep& store, const TemplateTables&) {
    store.Exec("create table t_Bill (FInterID integer, FNumber varchar(20), FPrintCount integer)");
    for (int id = 1; id <= 3; ++id) {
      store.Exec("insert into t_Bill values (?, ?, ?)", {id, "B" + std::to_string(id), 10 * id});
    }
  }

 protected:
  const testing::Backend& StoreBackend() const override { return std::get<0>(GetParam()); }
  const Writer& W() const { return std::get<1>(GetParam()); }

  // The store's rows and those of the business table the member writes.
  std::string Rows() { return W().business == nullptr ? Snapshot() : Snapshot({W().business}); }

  // Calls the member late-bound, as a host does; the error it raised, if any.
  std::optional<AutomationError> Call() {
    std::vector<Variant> args = W().args;
    const auto member = CreateObject(std::string("OrvoMPrintExport.") + W().className);
    try {
      if (W().on == On::DataSource) {
        args.insert(args.begin(), Variant(Dsn()));
        member->Invoke(W().member, args);
      } else {
        host::CallScope unit(ado::TransactionKind::Writing);
        const auto connection = Hub().PooledConnection(Dsn());
        host::CallScope::Enlist(connection);
        args.insert(args.begin(), Variant(connection));
        member->Invoke(W().member, args);
        unit.End();
      }
    } catch (const AutomationError& error) {
      return error;
    }
    return std::nullopt;
  }

  // A call that met a fault (at the commit, or at a statement before) left
  // the store as `before`, raised the fault by the member's convention and
  // voted as the member does.
  void ExpectUndone(const std::optional<AutomationError>& error, const std::string& before,
                    bool atTheCommit) {
    ASSERT_TRUE(error.has_value()) << "the call ran through";
    EXPECT_EQ(error->number(), HResult(0x80004005u));
    EXPECT_EQ(error->description(), "database is locked");
    EXPECT_EQ(error->helpFile(), W().raised == Raised::WithHelpFile ? "64" : "");
    if (W().raised != Raised::UnderItsName) {
      EXPECT_EQ(error->source(), "SQLite");
    } else if (const std::string own =
                   "OrvoMClassBillPrint." + std::string(W().className) + "." + W().member + "()";
               atTheCommit) {
      // The commit is no line of the member's.
      EXPECT_EQ(error->source(), own + "\r\nSQLite");
    } else {
      EXPECT_THAT(error->source(), ::testing::StartsWith(own + "(line: "));
      EXPECT_THAT(error->source(), ::testing::EndsWith(")\r\nSQLite"));
    }
    EXPECT_EQ(Rows(), before);
    const std::vector<std::string> votes = Votes();
    EXPECT_EQ(std::count(votes.begin(), votes.end(), "Abort"), W().aborts);
    if (W().aborts > 0) {
      EXPECT_EQ(votes.back(), "Abort");
    }
    // A statement that failed came before the member's Complete.
    if (!atTheCommit) {
      EXPECT_EQ(std::count(votes.begin(), votes.end(), "Complete"), 0);
    }
  }
};

// The arguments, each as the Variant a host passes.
template <class... Values>
std::vector<Variant> Args(const Values&... values) {
  return {Variant(values)...};
}

// The arguments that are collections.
Variant Choices() {
  auto data = std::make_shared<Vector>();
  for (const char* key : {"28|1", "28|2"}) {
    auto choice = std::make_shared<Dictionary>();
    choice->SetValue("FKey", key);
    choice->SetValue("FName", "Invoice");
    choice->SetValue("FSel", "1");
    choice->SetValue("FType", "A");
    data->Add(Variant(choice));
  }
  auto modi = std::make_shared<Dictionary>();
  modi->SetValue("Option", "copies=4");
  modi->SetObject("Data", data);
  return Variant(modi);
}

Variant ManagersTemplate() {
  auto data = std::make_shared<Dictionary>();
  data->SetValue("fNoteName", "Invoice");
  data->SetValue("FNoteBlob", Bytes{'n', 'e', 'w'});
  return Variant(data);
}

Variant PrintCount() {
  auto data = std::make_shared<Dictionary>();
  data->SetValue("TableName", "t_Bill");
  data->SetValue("FieldName", "FPrintCount");
  data->SetValue("PriKey", "FInterID");
  data->SetValue("InterIDs", "1, 3");
  return Variant(data);
}

const Bytes kBody{'n', 'e', 'w'};
// Labels keep no partition.
const TemplateTables kLabelsLM = testing::kBillTablesLM.InPartition(0);

using testing::kBillTables;
using testing::kBillTablesLM;
using testing::kReportTables;
using F = FaultSweep;
constexpr Raised kAsItIs = Raised::AsItIs;

// Every member of the six classes that writes, in each family it serves; the
// partitioned classes take partition 1. A row: the case, the class, the
// member, the tables its seed fills, the seed, the arguments, how it raises a
// failure, its Abort votes, its statements (and where it works, and the
// business table it writes).
const Writer kWriters[] = {
    // The first catalogue of a user copies the manager's templates.
    {"GetNoteInfo", "clsPrintSetupQuery", "GetNoteInfo", &kBillTables, F::ManagersTemplates,
     Args(28), kAsItIs, 1, 16},
    {"GetNoteInfoLM", "clsPrintSetupQueryLM", "GetNoteInfo", &kBillTablesLM, F::ManagersTemplates,
     Args(28, 1), kAsItIs, 1, 16},
    {"GetRptNoteInfo", "clsPrintSetupQuery", "GetRptNoteInfo", &kReportTables, F::ManagersTemplates,
     Args(28), kAsItIs, 1, 16},
    {"GetRptNoteInfoRpt", "clsPrintSetupQueryRpt", "GetRptNoteInfo", &kReportTables,
     F::ManagersTemplates, Args(28), kAsItIs, 1, 16},
    // The copy itself works in its caller's unit of work and votes nothing.
    {"CopyManagerNoteInfo", "clsPrintSetupQuery", "CopyManagerNoteInfo", &kBillTables,
     F::ManagersTemplates, Args(28, 7, "Alice"), kAsItIs, 0, 13, On::CallersConnection},
    {"CopyManagerNoteInfoLM", "clsPrintSetupQueryLM", "CopyManagerNoteInfo", &kBillTablesLM,
     F::ManagersTemplates, Args(28, 7, "Alice", 1), kAsItIs, 0, 13, On::CallersConnection},
    {"CopyRptManagerNoteInfo", "clsPrintSetupQuery", "CopyRptManagerNoteInfo", &kReportTables,
     F::ManagersTemplates, Args(28, 7, "Alice"), kAsItIs, 0, 13, On::CallersConnection},
    {"CopyRptManagerNoteInfoRpt", "clsPrintSetupQueryRpt", "CopyRptManagerNoteInfo", &kReportTables,
     F::ManagersTemplates, Args(28, 7, "Alice"), kAsItIs, 0, 13, On::CallersConnection},
    // A new template, and a new body for the user's template of the name.
    {"InsertNoteRow", "clsPrintSetupUpdate", "InsertNoteRow", &kBillTables, F::Nothing,
     Args(28, "Invoice", kBody), kAsItIs, 1, 4},
    {"InsertNoteRowLM", "clsPrintSetupUpdateLM", "InsertNoteRow", &kBillTablesLM, F::Nothing,
     Args(28, "Invoice", kBody, 1), kAsItIs, 1, 4},
    {"InsertRptNoteRow", "clsPrintSetupUpdate", "InsertRptNoteRow", &kReportTables, F::Nothing,
     Args(28, "Invoice", kBody), kAsItIs, 1, 4},
    {"InsertRptNoteRowRpt", "clsPrintSetupUpdateRpt", "InsertRptNoteRow", &kReportTables,
     F::Nothing, Args(28, "Invoice", kBody), kAsItIs, 1, 4},
    {"InsertNoteRowAgain", "clsPrintSetupUpdate", "InsertNoteRow", &kBillTables, F::UsersTemplate,
     Args(28, "Invoice", kBody), kAsItIs, 1, 3},
    {"InsertNoteRowAgainLM", "clsPrintSetupUpdateLM", "InsertNoteRow", &kBillTablesLM,
     F::UsersTemplate, Args(28, "Invoice", kBody, 1), kAsItIs, 1, 3},
    {"InsertRptNoteRowAgain", "clsPrintSetupUpdate", "InsertRptNoteRow", &kReportTables,
     F::UsersTemplate, Args(28, "Invoice", kBody), kAsItIs, 1, 3},
    {"InsertRptNoteRowAgainRpt", "clsPrintSetupUpdateRpt", "InsertRptNoteRow", &kReportTables,
     F::UsersTemplate, Args(28, "Invoice", kBody), kAsItIs, 1, 3},
    // Choices of templates 1 (the user has a row of it) and 2 (not yet).
    {"UpdateUserNoteData", "clsPrintSetupUpdate", "UpdateUserNoteData", &kBillTables,
     F::UsersTemplate, Args(28, Choices()), kAsItIs, 1, 6},
    {"UpdateUserNoteDataLM", "clsPrintSetupUpdateLM", "UpdateUserNoteData", &kBillTablesLM,
     F::UsersTemplate, Args(28, Choices(), 1), kAsItIs, 1, 6},
    {"UpdateUserRptNoteData", "clsPrintSetupUpdate", "UpdateUserRptNoteData", &kReportTables,
     F::UsersTemplate, Args(28, Choices()), kAsItIs, 1, 6},
    {"UpdateUserRptNoteDataRpt", "clsPrintSetupUpdateRpt", "UpdateUserRptNoteData", &kReportTables,
     F::UsersTemplate, Args(28, Choices()), kAsItIs, 1, 6},
    {"DeleteNoteRow", "clsPrintSetupUpdate", "DeleteNoteRow", &kBillTables, F::UsersTemplate,
     Args(28, 1), kAsItIs, 1, 2},
    {"DeleteNoteRowLM", "clsPrintSetupUpdateLM", "DeleteNoteRow", &kBillTablesLM, F::UsersTemplate,
     Args(28, 1, 1), kAsItIs, 1, 2},
    {"DeleteRptNoteRow", "clsPrintSetupUpdate", "DeleteRptNoteRow", &kReportTables,
     F::UsersTemplate, Args(28, 1), kAsItIs, 1, 2},
    {"DeleteRptNoteRowRpt", "clsPrintSetupUpdateRpt", "DeleteRptNoteRow", &kReportTables,
     F::UsersTemplate, Args(28, 1), kAsItIs, 1, 2},
    // The manager's template of a new name, and of a name that has templates.
    {"SaveNewBill", "clsPrintSetupUpdate", "SaveNewBill", &kBillTables, F::Nothing,
     Args(28, ManagersTemplate()), kAsItIs, 1, 2},
    {"SaveNewBillLM", "clsPrintSetupUpdateLM", "SaveNewBill", &kBillTablesLM, F::Nothing,
     Args(28, ManagersTemplate(), 1), kAsItIs, 1, 2},
    {"SaveNewBillAgain", "clsPrintSetupUpdate", "SaveNewBill", &kBillTables, F::UsersTemplate,
     Args(28, ManagersTemplate()), kAsItIs, 1, 2},
    {"SaveNewBillAgainLM", "clsPrintSetupUpdateLM", "SaveNewBill", &kBillTablesLM, F::UsersTemplate,
     Args(28, ManagersTemplate(), 1), kAsItIs, 1, 2},
    {"UpdateNoteRow", "clsPrintSetupUpdate", "UpdateNoteRow", &kBillTables, F::UsersTemplate,
     Args(28, kBody, "Invoice"), kAsItIs, 1, 2},
    {"UpdateNoteRowLM", "clsPrintSetupUpdateLM", "UpdateNoteRow", &kBillTablesLM, F::UsersTemplate,
     Args(28, kBody, 1, "Invoice"), kAsItIs, 1, 2},
    // A user's first settings row, and new settings in the row the user has.
    {"SavePageAndPrintSet", "clsPrintSetupUpdate", "SavePageAndPrintSet", &kBillTables,
     F::ManagersSettings, Args(28, Bytes{'s'}), kAsItIs, 1, 3},
    {"SavePageAndPrintSetLM", "clsPrintSetupUpdateLM", "SavePageAndPrintSet", &kBillTablesLM,
     F::ManagersSettings, Args(28, Bytes{'s'}, 1), kAsItIs, 1, 3},
    {"SavePageAndPrintSetAgain", "clsPrintSetupUpdate", "SavePageAndPrintSet", &kBillTables,
     F::UsersSettings, Args(28, Bytes{'s'}), kAsItIs, 1, 2},
    {"SavePageAndPrintSetAgainLM", "clsPrintSetupUpdateLM", "SavePageAndPrintSet", &kBillTablesLM,
     F::UsersSettings, Args(28, Bytes{'s'}, 1), kAsItIs, 1, 2},
    // Print counts are kept in the caller's business table.
    {"UpdatePrintCount", "clsPrintSetupUpdate", "UpdatePrintCount", &kBillTables, F::Bills,
     Args(PrintCount()), Raised::WithHelpFile, 2, 1, On::DataSource, "t_Bill"},
    {"UpdatePrintCountLM", "clsPrintSetupUpdateLM", "UpdatePrintCount", &kBillTables, F::Bills,
     Args(PrintCount()), Raised::WithHelpFile, 2, 1, On::DataSource, "t_Bill"},
    {"UpdatePrintCountRpt", "clsPrintSetupUpdateRpt", "UpdatePrintCount", &kBillTables, F::Bills,
     Args(PrintCount()), Raised::WithHelpFile, 2, 1, On::DataSource, "t_Bill"},
    {"AddBarCodeTemplate", "clsPrintSetupUpdate", "AddBarCodeTemplate", &kBillTables, F::Nothing,
     Args(28, "Box", kBody), Raised::UnderItsName, 2, 3},
    {"AddBarCodeTemplateLM", "clsPrintSetupUpdateLM", "AddBarCodeTemplate", &kLabelsLM, F::Nothing,
     Args(28, "Box", kBody), Raised::UnderItsName, 2, 3},
    {"DeleteBarCodeTemplate", "clsPrintSetupUpdate", "DeleteBarCodeTemplate", &kBillTables,
     F::Label, Args(1), kAsItIs, 2, 1},
    {"DeleteBarCodeTemplateLM", "clsPrintSetupUpdateLM", "DeleteBarCodeTemplate", &kLabelsLM,
     F::Label, Args(1), kAsItIs, 2, 1},
};

TEST_P(FaultSweep, AFaultAtAnyStatementOrAtTheCommitLeavesTheStoreAsItWas) {
  W().seed(*this, *W().tables);
  const std::string before = Rows();

  Hub().ClearJournal();
  Observer().FailNext(ado::TransactionStep::Commit, Locked());
  {
    SCOPED_TRACE("the commit failed");
    ExpectUndone(Call(), before, true);
  }

  int failing = 1;
  for (; failing <= 64; ++failing) {
    Hub().ClearJournal();
    Observer().FailAt(failing, Locked());
    const std::optional<AutomationError> error = Call();
    if (!error) break;
    SCOPED_TRACE("statement " + std::to_string(failing) + " failed");
    ExpectUndone(error, before, false);
  }
  // The sweep reached every statement, and a run that changed the store.
  EXPECT_EQ(failing - 1, W().statements);
  EXPECT_NE(Rows(), before);
}

INSTANTIATE_TEST_SUITE_P(Members, FaultSweep,
                         ::testing::Combine(::testing::ValuesIn(testing::Backends()),
                                            ::testing::ValuesIn(kWriters)),
                         [](const auto& instance) {
                           return std::get<0>(instance.param).name + "_" +
                                  std::get<1>(instance.param).name;
                         });

}  // namespace
}  // namespace orvo
