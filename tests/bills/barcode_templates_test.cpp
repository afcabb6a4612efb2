#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/default_data_context.hpp"
#include "host/journal.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;
using ::testing::Pair;

const Bytes kLabel{'l', 'a', 'b', 'e', 'l'};
constexpr std::int32_t kDuplicate = HResult(0x800407C0u);

class BarcodeTemplatesTest : public testing::StoreTest {};

// A host that refuses the Complete vote, as a host may when its unit of work
// cannot go on.
class RefusingComplete final : public host::DataContext {
 public:
  explicit RefusingComplete(host::ServiceHub& hub)
      : inner_(std::make_shared<host::DefaultDataContext>(hub.shared_from_this(),
                                                          std::make_shared<host::Journal>())) {}
  Variant Open(const std::string& sDsn) override { return inner_->Open(sDsn); }
  std::shared_ptr<ado::Connection> Connection() override { return inner_->Connection(); }
  std::shared_ptr<host::SessionInfo> Session() override { return inner_->Session(); }
  void Complete() override {
    throw AutomationError(HResult(0x8004E003u), host::kHostSource, "The vote was refused.");
  }
  void Abort() override { inner_->Abort(); }

 private:
  std::shared_ptr<host::DataContext> inner_;
};

TEST_P(BarcodeTemplatesTest, LabelIsAddedAndDescribed) {
  clsPrintSetupUpdate update;
  const auto label = update.AddBarCodeTemplate(Dsn(), 28, "Box", kLabel, "12");
  const std::int32_t id = CLng(Scalar("select FId from T_PrintExport"));
  EXPECT_THAT(label->Entries(),
              ElementsAre(Pair("FID", Variant(id)), Pair("FDataSrcId", Variant(28)),
                          Pair("FLabelName", Variant("Box")), Pair("FValue", Variant(kLabel)),
                          Pair("FUserId", Variant("12"))));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("select count(1) as FNoteNumber from T_PrintExport \r\n where FName = "
                          "'Box' \r\n   and FBillType = 28",
                          "Insert Into T_PrintExport( \r\n  FBillType , FBillId , FPreparerId , "
                          "\r\n  FDate , FName , FPrintSet   \r\n ) Values(?,?,?,?,?,?)",
                          "select @@IDENTITY"));
  EXPECT_THAT(Params(1), MatchesRegex("Double:28, Double:[0-9]{9,10}, Double:12, Date, String:Box, "
                                      "Byte\\(\\):label"));
  // FBillId is the time of writing as MMDDHHMMSS.
  const Date::Parts now = Date::Now().ToParts();
  const std::int32_t stamp = CLng(Scalar("select FBillId from T_PrintExport"));
  EXPECT_EQ(stamp / 1000000, now.month * 100 + now.day);
  EXPECT_THAT(Votes(), ElementsAre("Open", "Abort", "Complete"));
}

TEST_P(BarcodeTemplatesTest, OmittedUserAndPartitionedClassStoreNoPreparerAndNoPartition) {
  clsPrintSetupUpdateLM update;
  const auto label = update.AddBarCodeTemplate(Dsn(), 28, "O'Box", kLabel);
  EXPECT_EQ(label->Value("FUserId"), Variant(""));
  EXPECT_EQ(Observer().Texts()[0],
            "select count(1) as FNoteNumber from T_PrintExportLM \r\n where FName = 'O''Box' "
            "\r\n   and FBillType = 28");
  EXPECT_EQ(Observer().Texts()[1],
            "Insert Into T_PrintExportLM( \r\n  FBillType , FBillId , FPreparerId , \r\n  FDate , "
            "FName , FPrintSet   \r\n ) Values(?,?,?,?,?,?)");
  EXPECT_EQ(Row("T_PrintExportLM", "FPreparerId,FName,FDataFrom", "1=1"), "0|O'Box|NULL");
  EXPECT_TRUE(update.DeleteBarCodeTemplate(Dsn(), CLng(label->Value("FID"))));
  EXPECT_EQ(Observer().Texts().back(),
            "Delete T_PrintExportLM Where FID=" + CStr(label->Value("FID")));
  EXPECT_EQ(Count("T_PrintExportLM"), 0);
}

TEST_P(BarcodeTemplatesTest, AnyRowOfThatNameAndTypeMakesTheNameTaken) {
  SeedSettingsRow(testing::kBillTables, 29, kManager, Bytes{});
  Exec("update T_PrintExport set FName='box'");  // names compare without regard to case
  clsPrintSetupUpdate update;
  update.AddBarCodeTemplate(Dsn(), 28, "Box", kLabel);  // another bill type
  const std::string before = Snapshot();
  const struct {
    std::int32_t type;
    std::string dsn;
  } cases[] = {{28, Dsn()}, {29, Dsn() + ";Language=CHS"}};
  for (const auto& c : cases) {
    const AutomationError error =
        ErrorOf([&] { update.AddBarCodeTemplate(c.dsn, c.type, "Box", kLabel); });
    EXPECT_EQ(error.number(), kDuplicate);
    EXPECT_EQ(error.description(), "已经存在名为[Box]的条码打印模板！");
    EXPECT_EQ(error.source(),
              "OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()(line: 12)\r\n"
              "OrvoMClassBillPrint.clsPrintSetupUpdate::AddBarCodeTemplate");
  }
  EXPECT_EQ(Snapshot(), before);
  clsPrintSetupUpdateLM partitioned;
  partitioned.AddBarCodeTemplate(Dsn(), 28, "Box", kLabel);
  const AutomationError error =
      ErrorOf([&] { partitioned.AddBarCodeTemplate(Dsn(), 28, "Box", kLabel); });
  EXPECT_EQ(error.source(),
            "OrvoMClassBillPrint.clsPrintSetupUpdateLM.AddBarCodeTemplate()(line: 12)\r\n"
            "OrvoMClassBillPrint.clsPrintSetupUpdateLM::AddBarCodeTemplate");
}

TEST_P(BarcodeTemplatesTest, DeleteRemovesWhateverRowHasTheId) {
  SeedSettingsRow(testing::kBillTables, 28, kUser, Bytes{});
  const std::int32_t id = CLng(Scalar("select FId from T_PrintExport"));
  clsPrintSetupUpdate update;
  EXPECT_TRUE(update.DeleteBarCodeTemplate(Dsn(), id + 1));
  Hub().ClearJournal();
  EXPECT_TRUE(update.DeleteBarCodeTemplate(Dsn(), id));
  EXPECT_EQ(Observer().Texts().back(), "Delete T_PrintExport Where FID=" + std::to_string(id));
  EXPECT_EQ(Count("T_PrintExport"), 0);
  EXPECT_THAT(Votes(), ElementsAre("Open", "Abort", "Complete"));
}

TEST_P(BarcodeTemplatesTest, FailuresReportTheLineOfTheFailingStep) {
  clsPrintSetupUpdate update;
  const int lines[] = {7, 25, 29};
  for (int n = 1; n <= 3; ++n) {
    Observer().FailAt(n, Locked());
    EXPECT_EQ(ErrorOf([&] { update.AddBarCodeTemplate(Dsn(), 28, "Box", kLabel); }).source(),
              "OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()(line: " +
                  std::to_string(lines[n - 1]) + ")\r\nSQLite")
        << n;
  }
}

TEST_P(BarcodeTemplatesTest, CompleteHasALineOfItsOwnBeforeTheResultIsBuilt) {
  Hub().SetDataContextFactory(
      [](host::ServiceHub& hub) { return std::make_shared<RefusingComplete>(hub); });
  const std::string before = Snapshot();
  const AutomationError error = ErrorOf([&] {
    clsPrintSetupUpdate refused;
    refused.AddBarCodeTemplate(Dsn(), 28, "Crate", kLabel);
  });
  EXPECT_EQ(error.source(),
            "OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()(line: 31)\r\n"
            "OrvoGlobal");
  EXPECT_EQ(Snapshot(), before);
}

ORVO_INSTANTIATE_STORE_SUITE(BarcodeTemplatesTest);

}  // namespace
}  // namespace orvo
