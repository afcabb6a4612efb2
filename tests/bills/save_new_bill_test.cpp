#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

std::shared_ptr<Dictionary> Data(const std::string& name, const Variant& body) {
  auto data = std::make_shared<Dictionary>();
  data->SetValue("fNoteName", name);
  data->SetValue("FNoteBlob", body);
  data->SetValue("Username", "Carol");  // never stored: the creator is always "Manager"
  return data;
}

class SaveNewBillTest : public testing::StoreTest {};

TEST_P(SaveNewBillTest, NewNameIsStoredAsTheManagersTemplateWithoutAssignmentEvenWhenEmpty) {
  clsPrintSetupUpdate update;
  EXPECT_FALSE(update.SaveNewBill(Dsn(), 28, Data("Invoice", Bytes{'n', 'e', 'w'})));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select FId From T_PrintExportNote Where FNewBillType=28 And "
                          "FName='Invoice'",
                          "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,"
                          "FNewBillType,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?)"));
  EXPECT_EQ(Params(1),
            "String:Invoice, String:28, String:Manager, String:28, Date, Date, Byte():new");
  EXPECT_EQ(
      Row("T_PrintExportNote", "FName,FScreenId,FCreatorName,FModifierName,FNewBillType", "1=1"),
      "Invoice|28|Manager|NULL|28");
  EXPECT_EQ(Count("T_PrintExport"), 0);
  EXPECT_EQ(Votes().back(), "Complete");
  // An empty dictionary stores an empty name without body.
  update.SaveNewBill(Dsn(), 28, std::make_shared<Dictionary>());
  EXPECT_EQ(Observer().Texts()[2],
            "Select FId From T_PrintExportNote Where FNewBillType=28 And FName=''");
  EXPECT_EQ(Row("T_PrintExportNote", "FName,FData", "FName=''"), "|NULL");
}

TEST_P(SaveNewBillTest, ExistingNameIsReplacedInEveryCreatorsTemplate) {
  const Bytes old{'o', 'l', 'd'};
  SeedTemplate(testing::kBillTables, 28, "Invoice", old, {{"FCreatorName", "Alice"}});
  SeedTemplate(testing::kBillTables, 28, "Invoice", old, {{"FCreatorName", "Bob"}});
  SeedTemplate(testing::kBillTables, 28, "Other", old);
  SeedTemplate(testing::kBillTables, 29, "Invoice", old);
  clsPrintSetupUpdate update;
  update.SaveNewBill(Dsn(), 28, Data("Invoice", Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(Observer().Texts()[1],
            "Update T_PrintExportNote Set FCreateDate=?,FModifyDate=?,FData=? Where "
            "FNewBillType=? And FName=?");
  EXPECT_EQ(Params(1), "Date, Date, Byte():new, String:28, String:Invoice");
  EXPECT_EQ(Count("T_PrintExportNote",
                  "FData=x'6e6577' and FCreateDate<>'2020-01-02 03:04:05' and "
                  "FCreatorName<>'Manager'"),
            2);
  EXPECT_EQ(Count("T_PrintExportNote", "FData=x'6f6c64' and FCreateDate='2020-01-02 03:04:05'"), 2);
}

TEST_P(SaveNewBillTest, DataThatCannotBeReadFailsBeforeTheDataSourceIsOpened) {
  auto unreadable = std::make_shared<Dictionary>();
  unreadable->SetObject("fNoteName", std::make_shared<Vector>());  // no text
  for (const auto& data : {std::shared_ptr<Dictionary>(), unreadable}) {
    Hub().ClearJournal();
    clsPrintSetupUpdate update;
    EXPECT_THROW(update.SaveNewBill(Dsn(), 28, data), AutomationError);
    EXPECT_THAT(Votes(), ElementsAre("Abort"));
  }
  EXPECT_TRUE(Observer().Statements().empty());
}

TEST_P(SaveNewBillTest, PartitionedClassKeepsToItsPartition) {
  SeedTemplate(testing::kBillTablesLM.InPartition(2), 28, "Invoice", Bytes{'o', 'l', 'd'});
  clsPrintSetupUpdateLM update;
  update.SaveNewBill(Dsn(), 28, Data("Invoice", Bytes{'n', 'e', 'w'}), 1);
  update.SaveNewBill(Dsn(), 28, Data("Invoice", Bytes{'n', 'e', 'w'}), 2);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select FId From T_PrintExportNoteLM Where FNewBillType=28 AND "
                          "FDataFrom = 1 And FName='Invoice'",
                          "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,"
                          "FNewBillType,FCreateDate,FModifyDate,FData,FDataFrom) "
                          "Values(?,?,?,?,?,?,?,?)",
                          "Select FId From T_PrintExportNoteLM Where FNewBillType=28 AND "
                          "FDataFrom = 2 And FName='Invoice'",
                          "Update T_PrintExportNoteLM Set FCreateDate=?,FModifyDate=?,FData=? "
                          "Where FNewBillType=? And FName=? AND FDataFrom=?"));
  EXPECT_EQ(Params(1),
            "String:Invoice, String:28, String:Manager, String:28, Date, Date, Byte():new, Long:1");
  EXPECT_EQ(Params(3), "Date, Date, Byte():new, String:28, String:Invoice, Long:2");
  EXPECT_EQ(Count("T_PrintExportNoteLM", "FData=x'6e6577'"), 2);
}

TEST_P(SaveNewBillTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  clsPrintSetupUpdate update;
  EXPECT_EQ(FailEachStatement([&] { update.SaveNewBill(Dsn(), 28, Data("Invoice", Bytes{1})); }),
            2);
  EXPECT_EQ(FailEachStatement([&] { update.SaveNewBill(Dsn(), 28, Data("Invoice", Bytes{2})); }),
            2);
}

ORVO_INSTANTIATE_STORE_SUITE(SaveNewBillTest);

}  // namespace
}  // namespace orvo
