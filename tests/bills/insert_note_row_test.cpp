#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/write_test.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

const Bytes kBody{'b', 'o', 'd', 'y'};
const Bytes kNewBody{'n', 'e', 'w'};

class InsertNoteRowTest : public testing::WriteTest {};

TEST_P(InsertNoteRowTest, NewTemplateIsStoredAndAssignedToTheUser) {
  clsPrintSetupUpdate update;
  const auto result = update.InsertNoteRow(Dsn(), 28, "Invoice", kBody);
  const std::int32_t id = CLng(Scalar("select FId from T_PrintExportNote"));
  EXPECT_THAT(result->Items(),
              ElementsAre(Variant(id), Variant(28), Variant("Invoice"), Variant(kBody)));
  const std::string today = Date::Now().ShortText();
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select *  from T_PrintExportNote where FCreatorName='Alice' and FScreenId='28' "
                  "and FName='Invoice'",
                  "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,"
                  "FNewBillType,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
                  "select @@IDENTITY",
                  "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
                  "FData) values (28," +
                      std::to_string(id) + ",'" + today + "','Invoice',0,7,'')"));
  EXPECT_EQ(Params(1),
            "String:Invoice, String:28, String:Alice, String:Alice, String:28, Date, Date, "
            "Byte():body");
  EXPECT_EQ(Row("T_PrintExportNote",
                "FName,FScreenId,FCreatorName,FModifierName,FNewBillType,FData", "1=1"),
            "Invoice|28|Alice|Alice|28|body");
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Open", "Connection", "Connection", "Session", "Session", "Complete"));
}

TEST_P(InsertNoteRowTest, OnlyTheUsersTemplateOfThatScreenIdAndNameGetsItsBodyReplaced) {
  SeedTemplate("T_PrintExportNote", "Alice", "Invoice", 28, Variant(), "29");  // another screen id
  SeedTemplate("T_PrintExportNote", "Bob", "Invoice", 28);                     // another creator
  const std::int32_t id = SeedTemplate("T_PrintExportNote", "Alice", "Invoice", 28);
  clsPrintSetupUpdate update;
  update.InsertNoteRow(Dsn(), 28, "Invoice", kNewBody);
  EXPECT_EQ(update.InsertNoteRow(Dsn(), 28, "Invoice", kNewBody)->Item(1), Variant(id));
  EXPECT_EQ(Observer().Texts()[1],
            "Update T_PrintExportNote set FData = ?  Where FID=" + std::to_string(id));
  EXPECT_EQ(Count("T_PrintExportNote", "FData=x'6f6c64'"), 2);
  EXPECT_EQ(
      Row("T_PrintExportNote", "FModifierName,FCreateDate,FModifyDate,FData", "FData=x'6e6577'"),
      "Bob|2020-01-02 03:04:05|2020-01-02 03:04:05|new");
  EXPECT_EQ(Count("T_PrintExport", "FBillId=" + std::to_string(id) + " and FSel=0"), 2);
}

TEST_P(InsertNoteRowTest, QuotesInNamesAreStoredAndFoundAsWritten) {
  SignIn(kUser, "O'Brien");
  clsPrintSetupUpdate update;
  const auto first = update.InsertNoteRow(Dsn(), 28, "Bob's bill", kBody);
  const auto second = update.InsertNoteRow(Dsn(), 28, "Bob's bill", kNewBody);
  EXPECT_EQ(first->Item(1), second->Item(1));
  EXPECT_EQ(Observer().Texts()[4],
            "select *  from T_PrintExportNote where FCreatorName='O''Brien' and FScreenId='28' "
            "and FName='Bob''s bill'");
  EXPECT_EQ(Row("T_PrintExportNote", "FName,FCreatorName,FData", "1=1"), "Bob's bill|O'Brien|new");
  EXPECT_EQ(Count("T_PrintExport", "FName='Bob''s bill'"), 2);
}

TEST_P(InsertNoteRowTest, PartitionedClassWritesItsPartitionAndReplacesByIdAlone) {
  SeedTemplate("T_PrintExportNoteLM", "Alice", "Invoice", 28, 2);
  clsPrintSetupUpdateLM update;
  const std::int32_t id = CLng(update.InsertNoteRow(Dsn(), 28, "Invoice", kBody, 1)->Item(1));
  const std::string today = Date::Now().ShortText();
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select *  from T_PrintExportNoteLM where FCreatorName='Alice' and "
                  "FScreenId='28' AND FDataFrom = 1 and FName='Invoice'",
                  "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FModifierName,"
                  "FNewBillType,FCreateDate,FModifyDate,FData,FDataFrom) "
                  "Values(?,?,?,?,?,?,?,?,?)",
                  "select @@IDENTITY",
                  "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
                  "FData,FDataFrom) values (28," +
                      std::to_string(id) + ",'" + today + "','Invoice',0,7,'',1)"));
  EXPECT_EQ(Params(1),
            "String:Invoice, String:28, String:Alice, String:Alice, String:28, Date, Date, "
            "Byte():body, Long:1");
  update.InsertNoteRow(Dsn(), 28, "Invoice", kNewBody, 1);
  EXPECT_EQ(Observer().Texts()[5],
            "Update T_PrintExportNoteLM set FData = ?  Where FID=" + std::to_string(id));
  EXPECT_EQ(Row("T_PrintExportNoteLM", "FDataFrom,FData", "FId=" + std::to_string(id)), "1|new");
  EXPECT_EQ(Count("T_PrintExportLM", "FDataFrom=1"), 2);
}

TEST_P(InsertNoteRowTest, NamesLongerThanTheirParametersAreRefusedAndNothingIsWritten) {
  const std::string name21(21, 'n');
  SignIn(kUser, name21);
  clsPrintSetupUpdate update;
  update.InsertNoteRow(Dsn(), 28, "Invoice", kBody);  // the standard class takes 30
  const std::string before = Snapshot();
  clsPrintSetupUpdateLM partitioned;
  EXPECT_EQ(ErrorOf([&] { partitioned.InsertNoteRow(Dsn(), 28, "Invoice", kBody, 1); }).number(),
            HResult(0x80040E57u));
  EXPECT_THROW(update.InsertNoteRow(Dsn(), 28, std::string(256, 'x'), kBody), AutomationError);
  EXPECT_EQ(Snapshot(), before);
}

TEST_P(InsertNoteRowTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  clsPrintSetupUpdate update;
  EXPECT_EQ(FailEachStatement([&] { update.InsertNoteRow(Dsn(), 28, "Invoice", kBody); }), 4);
  EXPECT_EQ(FailEachStatement([&] { update.InsertNoteRow(Dsn(), 28, "Invoice", kNewBody); }), 3);
}

ORVO_INSTANTIATE_STORE_SUITE(InsertNoteRowTest);

}  // namespace
}  // namespace orvo
