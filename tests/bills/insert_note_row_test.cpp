// InsertNoteRow and InsertRptNoteRow: a template stored for the calling user
// in each family.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/error_of.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

const Bytes kBody{'b', 'o', 'd', 'y'};
const Bytes kNewBody{'n', 'e', 'w'};

// The statements that store "Invoice" for Alice (user 7) as template 1, and
// the values bound to its template insert. Today's date reads "<today>".
struct Insert {
  const testing::Family* family;
  const char* lookup;
  const char* templateInsert;
  const char* templateValues;
  const char* assignment;
  const char* bodyUpdate;
  std::size_t userNameSize;  // characters of the creator and modifier
};

const char* const kValues =
    "String:Invoice, String:28, String:Alice, String:Alice, String:28, Date, Date, Byte():body";
const char* const kReportLookup =
    "select *  from T_RptExcelPrintExportNote where FCreatorName='Alice' and FScreenId='28' and "
    "FName='Invoice'";
const char* const kReportTemplateInsert =
    "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewRptId,"
    "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)";
const char* const kReportBodyUpdate = "Update T_RptExcelPrintExportNote set FData = ?  Where FID=1";

const Insert kInserts[] = {
    {&testing::kBills,
     "select *  from T_PrintExportNote where FCreatorName='Alice' and FScreenId='28' and "
     "FName='Invoice'",
     "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
     "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
     kValues,
     "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
     "(28,1,'<today>','Invoice',0,7,'')",
     "Update T_PrintExportNote set FData = ?  Where FID=1", 30},
    {&testing::kPartitioned,
     "select *  from T_PrintExportNoteLM where FCreatorName='Alice' and FScreenId='28' AND "
     "FDataFrom = 1 and FName='Invoice'",
     "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
     "FCreateDate,FModifyDate,FData,FDataFrom) Values(?,?,?,?,?,?,?,?,?)",
     "String:Invoice, String:28, String:Alice, String:Alice, String:28, Date, Date, Byte():body, "
     "Long:1",
     "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
     "FDataFrom) values (28,1,'<today>','Invoice',0,7,'',1)",
     "Update T_PrintExportNoteLM set FData = ?  Where FID=1", 20},
    {&testing::kReports, kReportLookup, kReportTemplateInsert, kValues,
     "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData) "
     "values (28,1,'<today>','Invoice',0,7,'')",
     kReportBodyUpdate, 30},
    // The report class gives its new rows an empty sub-type.
    {&testing::kReportClass, kReportLookup, kReportTemplateInsert, kValues,
     "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData,"
     "FTypeSub) values (28,1,'<today>','Invoice',0,7,'','')",
     kReportBodyUpdate, 30},
};

class InsertNoteRowTest : public testing::FamilyTest<Insert> {
 protected:
  std::shared_ptr<Vector> Store(const std::string& name, const Bytes& body) {
    return F().family->Insert(Dsn(), name, body);
  }
};

TEST_P(InsertNoteRowTest, NewTemplateIsStoredAndAssignedToTheUser) {
  EXPECT_THAT(Store("Invoice", kBody)->Items(),
              ElementsAre(Variant(1), Variant(28), Variant("Invoice"), Variant(kBody)));
  EXPECT_THAT(Texts(),
              ElementsAre(F().lookup, F().templateInsert, "select @@IDENTITY", F().assignment));
  EXPECT_EQ(Params(1), F().templateValues);
  EXPECT_THAT(Votes(), ElementsAre("Open", "Complete"));
}

TEST_P(InsertNoteRowTest, OnlyTheUsersTemplateOfThatScreenIdAndNameGetsItsBodyReplaced) {
  const Bytes old{'o', 'l', 'd'};
  SeedTemplate(T(), 28, "Invoice", old, {{"FCreatorName", "Alice"}});
  SeedTemplate(T(), 28, "Invoice", old);  // another creator
  SeedTemplate(T(), 28, "Invoice", old, {{"FCreatorName", "Alice"}, {"FScreenId", "29"}});
  EXPECT_EQ(Store("Invoice", kNewBody)->Item(1), Variant(1));
  EXPECT_THAT(Texts(), ElementsAre(F().lookup, F().bodyUpdate, F().assignment));
  // Only the body changes; the template keeps its dates and modifier.
  EXPECT_EQ(Row(T().notes, "FModifierName,FCreateDate,FModifyDate,FData", "FId=1"),
            std::string("Manager|") + kSeeded + "|" + kSeeded + "|new");
  EXPECT_EQ(Count(T().notes, "FData=x'6f6c64'"), 2);
}

TEST_P(InsertNoteRowTest, QuotesInNamesAreStoredAndFoundAsWritten) {
  SignIn(kUser, "O'Brien");
  const auto first = Store("Bob's bill", kBody);
  EXPECT_EQ(Store("Bob's bill", kNewBody)->Item(1), first->Item(1));
  EXPECT_EQ(Row(T().notes, "FName,FCreatorName,FData", "1=1"), "Bob's bill|O'Brien|new");
  EXPECT_EQ(Count(T().rows, "FName='Bob''s bill'"), 2);
}

TEST_P(InsertNoteRowTest, NamesLongerThanTheirParametersAreRefusedAndNothingIsWritten) {
  const std::string before = Snapshot();
  SignIn(kUser, std::string(F().userNameSize + 1, 'n'));
  EXPECT_EQ(ErrorOf([&] { Store("Invoice", kBody); }).number(), HResult(0x80040E57u));
  SignIn(kUser, std::string(F().userNameSize, 'n'));
  EXPECT_THROW(Store(std::string(256, 'x'), kBody), AutomationError);
  EXPECT_EQ(Snapshot(), before);
  Store("Invoice", kBody);
  EXPECT_EQ(Count(T().notes), 1);
}

ORVO_INSTANTIATE_FAMILY_SUITE(InsertNoteRowTest, kInserts);

}  // namespace
}  // namespace orvo
