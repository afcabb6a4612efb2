// TemplateTest adds to the store fixture what the template reading suites
// seed: templates and the assignment rows that point to them, for the bill,
// partitioned and report tables alike.
//
// One test at a time per thread, like the store fixture.

#ifndef ORVO_TESTS_SUPPORT_TEMPLATE_SEEDS_HPP_
#define ORVO_TESTS_SUPPORT_TEMPLATE_SEEDS_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "orvo/host/collections.hpp"
#include "support/processes_at_once.hpp"
#include "support/store_fixture.hpp"

namespace orvo::testing {

// The tables and columns of one family.
struct TemplateTables {
  const char* rows;
  const char* notes;
  const char* keyColumn;      // bill type or report
  const char* idColumn;       // template id
  const char* newKeyColumn;   // the template's bill type or report
  const char* subTypeColumn;  // sub-type of an assignment row
};

inline const TemplateTables kBillTables{"T_PrintExport", "T_PrintExportNote", "FBillType",
                                        "FBillId",       "FNewBillType",      "FBillTypeSub"};
inline const TemplateTables kBillTablesLM{"T_PrintExportLM", "T_PrintExportNoteLM", "FBillType",
                                          "FBillId",         "FNewBillType",        "FBillTypeSub"};
inline const TemplateTables kReportTables{"T_RptExcelPrintExport",
                                          "T_RptExcelPrintExportNote",
                                          "FRptId",
                                          "FNoteId",
                                          "FNewRptId",
                                          "FTypeSub"};

using Columns = std::vector<std::pair<std::string, Variant>>;

class TemplateTest : public StoreTest {
 protected:
  // The pooled connection that the methods use, reporting to the recording
  // observer: for the copies, which are given a connection.
  std::shared_ptr<ado::Connection> ObservedConnection() {
    auto cn = Hub().PooledConnection(Dsn());
    cn->SetObserver(Hub().StatementObserver());
    return cn;
  }

  // A template of bill type or report `key` created by the manager; its FId.
  std::int32_t SeedTemplate(const TemplateTables& tables, std::int32_t key, const std::string& name,
                            const Variant& body, Columns more = {}) {
    Columns columns{{"FName", name},
                    {"FScreenId", std::to_string(key)},
                    {"FCreatorName", "Manager"},
                    {"FModifierName", "Manager"},
                    {tables.newKeyColumn, key},
                    {"FCreateDate", Date::FromParts(2020, 1, 2, 3, 4, 5)},
                    {"FModifyDate", Date::FromParts(2020, 1, 2, 3, 4, 5)},
                    {"FData", body}};
    for (auto& column : more) columns.push_back(std::move(column));
    return InsertRow(tables.notes, columns);
  }

  // A row of `user` for bill type or report `key` pointing to template `id`
  // (0 for a settings row); its FId.
  std::int32_t SeedAssignment(const TemplateTables& tables, std::int32_t key, std::int32_t id,
                              std::int32_t user, const std::string& name, std::int32_t sel,
                              const Variant& subType = Variant::Null(), Columns more = {}) {
    Columns columns{{tables.keyColumn, key},
                    {tables.idColumn, id},
                    {"FPreparerId", user},
                    {"FDate", Date::FromParts(2020, 1, 2)},
                    {"FName", name},
                    {"FSel", sel},
                    {tables.subTypeColumn, subType}};
    for (auto& column : more) columns.push_back(std::move(column));
    return InsertRow(tables.rows, columns);
  }

  // A manager's template and his assignment row pointing to it; the
  // template's FId.
  std::int32_t SeedManagersTemplate(const TemplateTables& tables, std::int32_t key,
                                    const std::string& name, const Variant& body, std::int32_t sel,
                                    Columns more = {}) {
    const std::int32_t id = SeedTemplate(tables, key, name, body, more);
    SeedAssignment(tables, key, id, kManager, name, sel, Variant::Null(), std::move(more));
    return id;
  }

  // Runs `call` in `processes` forked processes released at the same moment;
  // each must give the list of `rows` rows under "Data" without an error.
  // Call before this process opens a pooled connection: a child must not use
  // or close the parent's.
  void ListInProcessesAtOnce(int processes, std::int32_t rows,
                             const std::function<std::shared_ptr<Dictionary>()>& call) {
    const auto ends = RunProcessesAtOnce(processes, [&](int) {
      Hub().SetStatementObserver(nullptr);
      return call()->Value("Data").ObjectAs<Vector>()->Count() == rows ? 0 : 2;
    });
    for (const ProcessEnd& end : ends) EXPECT_EQ(end.exitCode, 0) << end.error;
  }
};

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_TEMPLATE_SEEDS_HPP_
