// UpdateUserNoteData and UpdateUserRptNoteData: the choices of each family.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/automation/conversions.hpp"
#include "support/error_of.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// The statements of two calls of user 7: the first, with option text
// "copies=2", chooses template 5 ("28|5", "Invoice", selected, sub-type
// "A"); the second, with "It's new", chooses the settings row ("28", sub-type
// "B's"). Today's date reads "<today>".
struct Choices {
  const testing::Family* family;
  std::vector<std::string> texts;
};

const char* const kReportSettingsRow =
    "select * from T_RptExcelPrintExport where FRptId=28 and FNoteId=0 and FPreParerID=7";
const char* const kReportChoiceRow =
    "select * from T_RptExcelPrintExport  where FRptId=28 and FNoteId=5 and FPreParerID=7";
const char* const kReportChoiceInsert =
    "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData,"
    "FTypeSub)values(28,5,'<today>','Invoice',1,7,'','A')";
const char* const kReportSettingsUpdate =
    "Update T_RptExcelPrintExport set Fdata='It''s new' where FRptId=28 and FNoteId=0 and "
    "FPreParerID=7";
const char* const kReportSettingsChoiceRow =
    "select * from T_RptExcelPrintExport  where FRptId=28 and FNoteId=0 and FPreParerID=7";
const char* const kReportChoiceUpdate =
    "Update T_RptExcelPrintExport set FTypeSub='B''s', FSel=1 where FRptId=28 and FNoteId=0and "
    "FPreParerID=7";

const Choices kChoices[] = {
    {&testing::kBills,
     {"select * from T_PrintExport where fbilltype=28 and FBillID=0 and FPreParerID=7",
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
      "(28,0,'<today>','存放页面设置信息',0,7,'copies=2')",
      "select * from T_PrintExport  where fbilltype=28 and FBillID=5 and FPreParerID=7",
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
      "Fbilltypesub)values(28,5,'<today>','Invoice',1,7,'','A')",
      "select * from T_PrintExport where fbilltype=28 and FBillID=0 and FPreParerID=7",
      "Update T_PrintExport set Fdata='It''s new' where fbilltype=28 and FBillID=0 and "
      "FPreParerID=7",
      "select * from T_PrintExport  where fbilltype=28 and FBillID=0 and FPreParerID=7",
      "Update T_PrintExport set Fbilltypesub='B''s',FSel=1 where fbilltype=28 and FBillID=0and "
      "FPreParerID=7"}},
    {&testing::kPartitioned,
     {"select * from T_PrintExportLM where fbilltype=28 and FBillID=0 AND FDataFrom = 1 and "
      "FPreParerID=7",
      "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
      "FDataFrom) values (28,0,'<today>','存放页面设置信息',0,7,'copies=2',1)",
      "select * from T_PrintExportLM  where fbilltype=28 AND FDataFrom = 1 and FBillID=5 and "
      "FPreParerID=7",
      "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
      "Fbilltypesub,FDataFrom)values(28,5,'<today>','Invoice',1,7,'','A',1)",
      "select * from T_PrintExportLM where fbilltype=28 and FBillID=0 AND FDataFrom = 1 and "
      "FPreParerID=7",
      "Update T_PrintExportLM set Fdata='It''s new' where fbilltype=28 and FBillID=0 AND "
      "FDataFrom = 1 and FPreParerID=7",
      "select * from T_PrintExportLM  where fbilltype=28 AND FDataFrom = 1 and FBillID=0 and "
      "FPreParerID=7",
      "Update T_PrintExportLM set Fbilltypesub='B''s',FSel=1 where fbilltype=28 AND FDataFrom = 1 "
      "and FBillID=0and FPreParerID=7"}},
    {&testing::kReports,
     {kReportSettingsRow,
      "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData) "
      "values (28,0,'<today>','存放页面设置信息',0,7,'copies=2')",
      kReportChoiceRow, kReportChoiceInsert, kReportSettingsRow, kReportSettingsUpdate,
      kReportSettingsChoiceRow, kReportChoiceUpdate}},
    // A new settings row of the report class has an empty sub-type.
    {&testing::kReportClass,
     {kReportSettingsRow,
      "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData,"
      "FTypeSub) values (28,0,'<today>','存放页面设置信息',0,7,'copies=2','')",
      kReportChoiceRow, kReportChoiceInsert, kReportSettingsRow, kReportSettingsUpdate,
      kReportSettingsChoiceRow, kReportChoiceUpdate}},
};

// modiData: "Option", and under "Data" one entry (FKey, FName, FSel, FType)
// for each choice.
std::shared_ptr<Dictionary> Modi(const std::string& option,
                                 const std::vector<std::vector<Variant>>& choices) {
  static const char* const kKeys[] = {"FKey", "FName", "FSel", "FType"};
  auto data = std::make_shared<Vector>();
  for (const auto& choice : choices) {
    auto entry = std::make_shared<Dictionary>();
    for (std::size_t i = 0; i < choice.size(); ++i) entry->SetValue(kKeys[i], choice[i]);
    data->Add(Variant(entry));
  }
  auto modi = std::make_shared<Dictionary>();
  modi->SetValue("Option", option);
  modi->SetObject("Data", data);
  return modi;
}

class UserNoteDataTest : public testing::FamilyTest<Choices> {
 protected:
  // Name, selection, sub-type and data of the user's row of template `id`.
  std::string UserRow(std::int32_t id) {
    return Row(T().rows, "FName,FSel," + std::string(T().subTypeColumn) + ",FData",
               "FPreparerId=7 and " + std::string(T().idColumn) + "=" + std::to_string(id));
  }
};

TEST_P(UserNoteDataTest, MissingRowsAreMadeAndExistingOnesChangeOnlyInWhatIsChosen) {
  EXPECT_TRUE(
      F().family->Choose(Dsn(), Modi("copies=2", {{"28|5", "Invoice", "1", "A"}})).IsEmpty());
  EXPECT_THAT(Votes(), ElementsAre("Open", "Complete"));
  // No "|" in the key: the choice falls on the settings row.
  F().family->Choose(Dsn(), Modi("It's new", {{"28", "x", "1.0", "B's"}}));
  EXPECT_THAT(Texts(), ElementsAreArray(F().texts));
  EXPECT_EQ(UserRow(0), "存放页面设置信息|1|B's|It's new");
  EXPECT_EQ(UserRow(5), "Invoice|1|A|");  // not sent, not changed
}

TEST_P(UserNoteDataTest, MalformedDataIsRefusedBeforeAnythingIsWrittenOrRolledBack) {
  auto no_data = std::make_shared<Dictionary>();
  no_data->SetValue("Option", "o");
  const AutomationError error = ErrorOf([&] { F().family->Choose(Dsn(), no_data); });
  EXPECT_EQ(error.number(), 424);
  EXPECT_EQ(error.description(), "modiData's \"Data\" must be a Vector.");
  EXPECT_TRUE(Observer().Statements().empty());
  auto bad_entry = Modi("o", {{"28|5", "Invoice", "1", "A"}});
  bad_entry->Value("Data").ObjectAs<Vector>()->Add(std::make_shared<Vector>());
  EXPECT_EQ(ErrorOf([&] { F().family->Choose(Dsn(), bad_entry); }).number(), 13);
  EXPECT_EQ(Count(T().rows), 0);
  EXPECT_EQ(Votes().back(), "Abort");
}

// A value the choices bind with a size or as a 32-bit number is refused when
// it is written, so that nothing the manager writes stops another user's
// first copy.
TEST_P(UserNoteDataTest, NoWriteOfTheManagerStopsAnotherUsersFirstCopy) {
  SignIn(kManager, "Manager");
  const std::string key = "28|" + CStr(F().family->Insert(Dsn(), "Invoice", Bytes{1})->Item(1));
  const std::string long_text(256, 'x');
  const std::string before = Snapshot();
  // The choice of a template the user has no row for yet inserts one, so its
  // name is written too.
  for (const auto& modi :
       {Modi(long_text, {{key, "n", 1, ""}}), Modi("o", {{"28|99", long_text, 1, ""}}),
        Modi("o", {{key, "n", 1, long_text}}), Modi("o", {{key, "n", "1e20", ""}}),
        Modi("o", {{key, "n", "2147483648", ""}}), Modi("o", {{"28|99", "n", 1.5, ""}})}) {
    const AutomationError error = ErrorOf([&] { F().family->Choose(Dsn(), modi); });
    EXPECT_EQ(error.number(), HResult(0x80040E57u)) << error.description();
    EXPECT_EQ(Snapshot(), before);
  }
  EXPECT_EQ(ErrorOf([&] { F().family->Insert(Dsn(), long_text, Bytes{1}); }).number(),
            HResult(0x80040E57u));
  SignIn(8, "Bob");
  EXPECT_EQ(F().family->List(Dsn())->Value("Data").ObjectAs<Vector>()->Count(), 1);
}

ORVO_INSTANTIATE_FAMILY_SUITE(UserNoteDataTest, kChoices);

}  // namespace
}  // namespace orvo
