#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/write_test.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

std::shared_ptr<Dictionary> Choice(const std::string& key, const std::string& name,
                                   const Variant& sel, const std::string& type) {
  auto entry = std::make_shared<Dictionary>();
  entry->SetValue("FKey", key);
  entry->SetValue("FName", name);
  entry->SetValue("FSel", sel);
  entry->SetValue("FType", type);
  return entry;
}

std::shared_ptr<Dictionary> Modi(const std::string& option,
                                 const std::vector<std::shared_ptr<Dictionary>>& choices) {
  auto data = std::make_shared<Vector>();
  for (const auto& choice : choices) data->Add(choice);
  auto modi = std::make_shared<Dictionary>();
  modi->SetValue("Option", option);
  modi->SetObject("Data", data);
  return modi;
}

class UserNoteDataTest : public testing::WriteTest {
 protected:
  void SeedRow(std::int32_t billId, const std::string& name, std::int32_t sel,
               const std::string& sub, const std::string& data) {
    InsertRow("T_PrintExport", {{"FBillType", 28},
                                {"FBillId", billId},
                                {"FPreparerId", kUser},
                                {"FName", name},
                                {"FSel", sel},
                                {"FBillTypeSub", sub},
                                {"FData", data}});
  }
  // Name, selection, sub-type and data of the user's row for a template id.
  std::string UserRow(const std::string& table, std::int32_t billId) {
    return Row(table, "FName,FSel,FBillTypeSub,FData",
               "FBillType=28 and FPreparerId=7 and FBillId=" + std::to_string(billId));
  }
};

TEST_P(UserNoteDataTest, MissingRowsAreCreated) {
  clsPrintSetupUpdate update;
  EXPECT_TRUE(update
                  .UpdateUserNoteData(Dsn(), 28,
                                      Modi("copies=2", {Choice("28|5", "Invoice", "1", "A"),
                                                        Choice("28|6|x", "Other", 0, "")}))
                  .IsEmpty());
  const std::string today = Date::Now().ShortText();
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(
          "select * from T_PrintExport where fbilltype=28 and FBillID=0 and FPreParerID=7",
          "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) "
          "values (28,0,'" +
              today + "','存放页面设置信息',0,7,'copies=2')",
          "select * from T_PrintExport  where fbilltype=28 and FBillID=5 and FPreParerID=7",
          "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
          "Fbilltypesub)values(28,5,'" +
              today + "','Invoice',1,7,'','A')",
          "select * from T_PrintExport  where fbilltype=28 and FBillID=6 and FPreParerID=7",
          "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
          "Fbilltypesub)values(28,6,'" +
              today + "','Other',0,7,'','')"));
  EXPECT_EQ(UserRow("T_PrintExport", 0), "存放页面设置信息|0|NULL|copies=2");
  EXPECT_EQ(UserRow("T_PrintExport", 5), "Invoice|1|A|");
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Open", "Connection", "Connection", "Session", "Complete"));
}

TEST_P(UserNoteDataTest, ExistingRowsChangeOnlyInWhatIsChosen) {
  SeedRow(0, "Settings", 0, "", "old");
  SeedRow(5, "Invoice", 0, "", "kept");
  SeedRow(6, "Other", 1, "", "");
  clsPrintSetupUpdate update;
  // No "|" in the key: the choice falls on the settings row.
  update.UpdateUserNoteData(
      Dsn(), 28,
      Modi("It's new", {Choice("28|5", "Renamed", "1", "B's"), Choice("28", "x", "1.0", "C")}));
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select * from T_PrintExport where fbilltype=28 and FBillID=0 and FPreParerID=7",
                  "Update T_PrintExport set Fdata='It''s new' where fbilltype=28 and FBillID=0 and "
                  "FPreParerID=7",
                  "select * from T_PrintExport  where fbilltype=28 and FBillID=5 and FPreParerID=7",
                  "Update T_PrintExport set Fbilltypesub='B''s',FSel=1 where fbilltype=28 and "
                  "FBillID=5and FPreParerID=7",
                  "select * from T_PrintExport  where fbilltype=28 and FBillID=0 and FPreParerID=7",
                  "Update T_PrintExport set Fbilltypesub='C',FSel=1 where fbilltype=28 and "
                  "FBillID=0and FPreParerID=7"));
  EXPECT_EQ(UserRow("T_PrintExport", 0), "Settings|1|C|It's new");
  EXPECT_EQ(UserRow("T_PrintExport", 5), "Invoice|1|B's|kept");
  EXPECT_EQ(UserRow("T_PrintExport", 6), "Other|1||");  // not sent, not cleared
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Open", "Connection", "Connection", "Session", "Session", "Complete"));
}

TEST_P(UserNoteDataTest, PartitionedClassWritesItsPartition) {
  clsPrintSetupUpdateLM update;
  update.UpdateUserNoteData(Dsn(), 28, Modi("o", {Choice("28|5", "Invoice", "1", "A")}), 3);
  update.UpdateUserNoteData(Dsn(), 28, Modi("p", {Choice("28|5", "Invoice", "0", "B")}), 3);
  const std::string today = Date::Now().ShortText();
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select * from T_PrintExportLM where fbilltype=28 and FBillID=0 AND "
                  "FDataFrom = 3 and FPreParerID=7",
                  "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
                  "FData,FDataFrom) values (28,0,'" +
                      today + "','存放页面设置信息',0,7,'o',3)",
                  "select * from T_PrintExportLM  where fbilltype=28 AND FDataFrom = 3 and "
                  "FBillID=5 and FPreParerID=7",
                  "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
                  "FData,Fbilltypesub,FDataFrom)values(28,5,'" +
                      today + "','Invoice',1,7,'','A',3)",
                  "select * from T_PrintExportLM where fbilltype=28 and FBillID=0 AND "
                  "FDataFrom = 3 and FPreParerID=7",
                  "Update T_PrintExportLM set Fdata='p' where fbilltype=28 and FBillID=0 AND "
                  "FDataFrom = 3 and FPreParerID=7",
                  "select * from T_PrintExportLM  where fbilltype=28 AND FDataFrom = 3 and "
                  "FBillID=5 and FPreParerID=7",
                  "Update T_PrintExportLM set Fbilltypesub='B',FSel=0 where fbilltype=28 AND "
                  "FDataFrom = 3 and FBillID=5and FPreParerID=7"));
  EXPECT_EQ(Count("T_PrintExportLM", "FDataFrom=3"), 2);
}

TEST_P(UserNoteDataTest, MalformedDataIsRefusedBeforeAnythingIsWrittenOrRolledBack) {
  clsPrintSetupUpdate update;
  auto no_data = std::make_shared<Dictionary>();
  no_data->SetValue("Option", "o");
  const AutomationError error = ErrorOf([&] { update.UpdateUserNoteData(Dsn(), 28, no_data); });
  EXPECT_EQ(error.number(), 424);
  EXPECT_EQ(error.description(), "modiData's \"Data\" must be a Vector.");
  EXPECT_TRUE(Observer().Statements().empty());
  auto bad_entry = Modi("o", {Choice("28|5", "Invoice", "1", "A")});
  bad_entry->Value("Data").ObjectAs<Vector>()->Add(std::make_shared<Vector>());
  EXPECT_EQ(ErrorOf([&] { update.UpdateUserNoteData(Dsn(), 28, bad_entry); }).number(), 13);
  EXPECT_EQ(Count("T_PrintExport"), 0);
  EXPECT_EQ(JournalOperations().back(), "Abort");
}

TEST_P(UserNoteDataTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  SeedRow(5, "Invoice", 0, "", "");
  clsPrintSetupUpdate update;
  const auto modi =
      Modi("o", {Choice("28|5", "Invoice", "1", "A"), Choice("28|6", "Other", "0", "")});
  EXPECT_EQ(FailEachStatement([&] { update.UpdateUserNoteData(Dsn(), 28, modi); }), 6);
}

ORVO_INSTANTIATE_STORE_SUITE(UserNoteDataTest);

}  // namespace
}  // namespace orvo
