#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/journal.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

std::shared_ptr<Dictionary> Counter(const std::string& table, const std::string& field,
                                    const std::string& key, const std::string& ids) {
  auto data = std::make_shared<Dictionary>();
  data->SetValue("TableName", table);
  data->SetValue("FieldName", field);
  data->SetValue("PriKey", key);
  data->SetValue("InterIDs", ids);
  return data;
}

class PrintCountTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped()) return;
    Exec("create table t_Bill (FInterID integer, FNumber varchar(20), FPrintCount integer)");
    for (int id = 1; id <= 5; ++id) {
      Exec("insert into t_Bill values (?, ?, ?)",
           {id, "B" + std::to_string(id), id == 4 ? Variant::Null() : Variant(10 * id)});
    }
  }
  // The counts of the bills in their order, N for Null.
  std::string Counts() {
    std::string counts;
    for (auto rows = Db().Execute("select FPrintCount from t_Bill order by FInterID"); !rows->Eof();
         rows->MoveNext()) {
      const Variant count = rows->Fields(0).Value();
      counts += (counts.empty() ? "" : ",") + (count.IsNull() ? "N" : CStr(count));
    }
    return counts;
  }
};

TEST_P(PrintCountTest, ExactlyTheListedRowsCountOneMoreInEveryClass) {
  clsPrintSetupUpdate update;
  update.UpdatePrintCount(Dsn(), Counter("t_Bill", "FPrintCount", "FInterID", "1,3,4"));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("UPDATE t_Bill SET FPrintCount = FPrintCount + 1 WHERE FInterID IN(  "
                          "1,3,4)\r\n"));
  EXPECT_EQ(Counts(), "11,20,31,N,50");  // a Null counter stays Null
  EXPECT_THAT(Votes(), ElementsAre("Open", "Abort", "Complete"));
  clsPrintSetupUpdateLM().UpdatePrintCount(
      Dsn(), Counter("t_Bill", "FPrintCount", "FNumber", " 'B2' , 'B5'"));
  clsPrintSetupUpdateRpt().UpdatePrintCount(Dsn(),
                                            Counter("t_Bill", "FPrintCount", "FInterID", "5"));
  EXPECT_EQ(Counts(), "11,21,31,N,52");
}

TEST_P(PrintCountTest, NamesAndListsThatWouldChangeTheStatementAreRefused) {
  const std::vector<std::shared_ptr<Dictionary>> bad = {
      Counter("t_Bill; delete from t_Bill", "FPrintCount", "FInterID", "1"),
      Counter("t_Bill", "FPrintCount = 0,FNumber", "FInterID", "1"),
      Counter("t_Bill", "FPrintCount", "FInterID=FInterID or FInterID", "1"),
      Counter("t_Bill", "FPrintCount", "FInterID", "1) or (1=1"),
      Counter("t_Nothing", "FPrintCount", "FInterID", "1"),
      // The store's own rows say whose template every user falls back to.
      Counter("T_PrintExport", "FPreparerId", "FId", "1"),
      Counter("main.t_printexportnote", "FId", "FId", "1"),
      // Nor what the history keeps, nor the numbers it gives.
      Counter("T_PrintHistorySettings", "FKeep", "FKeep", "20"),
      Counter("t_printhistoryversion", "FVersion", "FVersion", "1"),
      std::make_shared<Dictionary>(),
  };
  const std::string before = Counts();
  const std::string templates = Snapshot();
  clsPrintSetupUpdate update;
  for (const auto& data : bad) {
    Hub().ClearJournal();
    EXPECT_EQ(ErrorOf([&] { update.UpdatePrintCount(Dsn(), data); }).helpFile(), "64")
        << CStr(data->Value("TableName")) << " " << CStr(data->Value("InterIDs"));
    EXPECT_EQ(Votes().back(), "Abort");
  }
  for (const auto& statement : Observer().Statements()) {
    EXPECT_NE(statement.text.rfind("UPDATE t_Bill", 0), 0u) << statement.text;
  }
  EXPECT_EQ(Counts(), before);
  EXPECT_EQ(Snapshot(), templates);
}

// The names are checked against the table as it is when the call runs, on
// the pooled connection that earlier calls used, whatever another connection
// did to it in between.
TEST_P(PrintCountTest, NamesAreCheckedAgainstTheTableAsItIsNow) {
  clsPrintSetupUpdate update;
  const auto count = [&](const std::string& field, const std::string& key) {
    update.UpdatePrintCount(Dsn(), Counter("t_Bill", field, key, "1"));
  };
  const auto refusal = [&](const std::string& field, const std::string& key) {
    const std::size_t seen = Observer().Statements().size();
    const AutomationError refused = ErrorOf([&] { count(field, key); });
    EXPECT_EQ(Observer().Statements().size(), seen) << field << " " << key;
    return refused.description();
  };
  count("FPrintCount", "FInterID");
  // Dropped and made again with other columns.
  Exec("drop table t_Bill");
  Exec("create table t_Bill (FBillID integer, FPrinted integer)");
  Exec("insert into t_Bill values (1, 7)");
  EXPECT_EQ(refusal("FPrintCount", "FBillID"),
            "FieldName must name a column of t_Bill, not \"FPrintCount\".");
  EXPECT_EQ(refusal("FPrinted", "FInterID"),
            "PriKey must name a column of t_Bill, not \"FInterID\".");
  count("FPrinted", "FBillID");
  EXPECT_EQ(CStr(Db().Execute("select FPrinted from t_Bill")->Fields(0).Value()), "8");
  Exec("drop table t_Bill");
  EXPECT_EQ(refusal("FPrinted", "FBillID"),
            "TableName must name an existing table, not \"t_Bill\".");
  Exec("create table t_Bill (FPrinted integer, FBillID integer)");
  count("FPrinted", "FBillID");
}

ORVO_INSTANTIATE_STORE_SUITE(PrintCountTest);

}  // namespace
}  // namespace orvo
