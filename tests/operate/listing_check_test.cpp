// Listing a store's templates with the filters, and checking a store.

#include <gtest/gtest.h>

#include <functional>

#include "operate/operations.hpp"
#include "operate_support.hpp"

namespace orvo::operate {
namespace {

using testing::Store;
using ListingTest = testing::OperateTest;
using CheckTest = testing::OperateTest;

using Ids = std::map<std::string, std::vector<std::int32_t>>;

Ids IdsOf(const std::vector<TableRows>& tables) {
  Ids ids;
  for (const TableRows& table : tables) {
    auto& listed = ids[table.table];
    for (const std::vector<Variant>& row : table.rows) listed.push_back(CLng(row[0]));
  }
  return ids;
}

// Two bill templates (A of bill type 28, D of 29), one partitioned (B, of
// partition 2) and one report template (C, report 5), each assigned; beside
// them a settings row and a barcode template row, which assign nothing.
void SeedTemplates(const Store& store) {
  store.Create();
  store.Exec("insert into T_PrintExportNote (FName, FNewBillType, FData) values (?, 28, ?)",
             {"A", Bytes{1}});
  store.Exec("insert into T_PrintExportNote (FName, FNewBillType) values ('D', 29)");
  store.Exec(
      "insert into T_PrintExportNoteLM (FName, FNewBillType, FDataFrom) values ('B', 28, 2)");
  store.Exec("insert into T_RptExcelPrintExportNote (FName, FNewRptId) values ('C', 5)");
  store.Exec(
      "insert into T_PrintExport (FBillType, FBillId, FPreparerId, FName) values "
      "(28, 1, 7, 'A')");
  store.Exec(
      "insert into T_PrintExport (FBillType, FBillId, FPreparerId, FName) values "
      "(28, 1, 8, 'A')");
  store.Exec(
      "insert into T_PrintExport (FBillType, FBillId, FPreparerId, FName) values "
      "(29, 2, 7, 'D')");
  store.Exec("insert into T_PrintExport (FBillType, FBillId, FPreparerId) values (28, 0, 7)");
  store.Exec(
      "insert into T_PrintExport (FBillType, FBillId, FPreparerId, FPrintSet) values "
      "(28, 101000000, 7, ?)",
      {Bytes{2}});
  store.Exec(
      "insert into T_PrintExportLM (FBillType, FBillId, FPreparerId, FDataFrom) values "
      "(28, 1, 7, 2)");
  store.Exec("insert into T_RptExcelPrintExport (FRptId, FNoteId, FPreparerId) values (5, 1, 7)");
}

TEST_P(ListingTest, EachFilterNarrowsTheTemplatesAndTheirAssignments) {
  const Store store(GetParam());
  SeedTemplates(store);
  const auto list = [&](const std::function<void(TemplateFilter&)>& set) {
    TemplateFilter filter;
    set(filter);
    return ListTemplates(store.Dsn(), filter, {});
  };

  const TemplateListing all = ListTemplates(store.Dsn(), {}, {});
  EXPECT_EQ(IdsOf(all.templates), (Ids{{"T_PrintExportNote", {1, 2}},
                                       {"T_PrintExportNoteLM", {1}},
                                       {"T_RptExcelPrintExportNote", {1}}}));
  EXPECT_EQ(IdsOf(all.assignments), (Ids{{"T_PrintExport", {1, 2, 3}},
                                         {"T_PrintExportLM", {1}},
                                         {"T_RptExcelPrintExport", {1}}}));
  // The body's size stands in for the body.
  EXPECT_EQ(all.templates[0].columns.back(), "bytes");
  EXPECT_EQ(CLng(all.templates[0].rows[0].back()), 1);
  EXPECT_EQ(all.templates[0].family, "standard");

  const TemplateListing user = list([](TemplateFilter& f) { f.user = 8; });
  EXPECT_EQ(IdsOf(user.templates), (Ids{{"T_PrintExportNote", {1}},
                                        {"T_PrintExportNoteLM", {}},
                                        {"T_RptExcelPrintExportNote", {}}}));
  EXPECT_EQ(IdsOf(user.assignments),
            (Ids{{"T_PrintExport", {2}}, {"T_PrintExportLM", {}}, {"T_RptExcelPrintExport", {}}}));

  const TemplateListing billType = list([](TemplateFilter& f) {
    f.user = 7;
    f.billType = 28;
  });
  EXPECT_EQ(IdsOf(billType.templates),
            (Ids{{"T_PrintExportNote", {1}}, {"T_PrintExportNoteLM", {1}}}));
  EXPECT_EQ(IdsOf(billType.assignments), (Ids{{"T_PrintExport", {1}}, {"T_PrintExportLM", {1}}}));

  const TemplateListing report = list([](TemplateFilter& f) { f.report = 5; });
  EXPECT_EQ(IdsOf(report.templates), (Ids{{"T_RptExcelPrintExportNote", {1}}}));
  EXPECT_EQ(IdsOf(list([](TemplateFilter& f) { f.report = 6; }).templates),
            (Ids{{"T_RptExcelPrintExportNote", {}}}));

  const TemplateListing partition = list([](TemplateFilter& f) { f.partition = 2; });
  EXPECT_EQ(IdsOf(partition.templates), (Ids{{"T_PrintExportNoteLM", {1}}}));
  EXPECT_EQ(IdsOf(list([](TemplateFilter& f) { f.partition = 3; }).assignments),
            (Ids{{"T_PrintExportLM", {}}}));
}

TEST_P(CheckTest, AFreshStoreIsSoundAndEachFaultIsNamed) {
  const Store store(GetParam());
  SeedTemplates(store);
  const CheckReport fresh = CheckStore(store.Dsn(), {});
  EXPECT_TRUE(fresh.Sound());
  EXPECT_EQ(fresh.schemaVersion, fresh.currentVersion);
  EXPECT_GT(fresh.schemaVersion, 0);
  EXPECT_FALSE(fresh.integrityCheck.empty());

  // Assignment rows whose template is gone; the barcode row links nothing.
  store.Exec("delete from T_PrintExportNote where FId = 2");
  store.Exec("delete from T_RptExcelPrintExportNote");
  store.Exec("drop index IX_PrintExport_Name");
  {
    const auto connection = store.Connect();
    const store::Table& table = store::Tables()[2];
    store::SchemaOf(*connection).SetLastIdentity(*connection, table, 0);
  }
  const CheckReport faulty = CheckStore(store.Dsn(), {});
  EXPECT_FALSE(faulty.Sound());
  ASSERT_EQ(faulty.danglingRows.size(), 2u);
  EXPECT_EQ(faulty.danglingRows[0].table, "T_PrintExport");
  EXPECT_EQ(faulty.danglingRows[0].id, 3);
  EXPECT_EQ(faulty.danglingRows[0].column, "FBillId");
  EXPECT_EQ(faulty.danglingRows[0].templateId, 2);
  EXPECT_EQ(faulty.danglingRows[1].table, "T_RptExcelPrintExport");
  EXPECT_EQ(faulty.danglingRows[1].templateTable, "T_RptExcelPrintExportNote");
  EXPECT_EQ(faulty.missingObjects, std::vector<std::string>{"index IX_PrintExport_Name"});
  EXPECT_EQ(faulty.identitiesBehind,
            std::vector<std::string>{"T_PrintExportLM: last id given 0, largest id 1"});
  EXPECT_TRUE(faulty.integrityProblems.empty());

  // A part of the history gone, once the schema's own tables and indexes
  // are all there.
  store.Exec("create index IX_PrintExport_Name on T_PrintExport (FBillType, FName)");
  store.Exec("drop index IX_T_PrintExportNote_History_RowVersion");
  EXPECT_EQ(CheckStore(store.Dsn(), {}).missingObjects, std::vector<std::string>{"history"});
  store::CreateStore(store.Dsn(), nullptr);
  EXPECT_TRUE(CheckStore(store.Dsn(), {}).missingObjects.empty());
}

ORVO_INSTANTIATE_STORE_SUITE(ListingTest);
ORVO_INSTANTIATE_STORE_SUITE(CheckTest);

}  // namespace
}  // namespace orvo::operate
