// GetNoteInfo and GetRptNoteInfo: the catalogue of each family.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "orvo/automation/conversions.hpp"
#include "support/families.hpp"
#include "support/processes_at_once.hpp"

namespace orvo {
namespace {

using ::testing::_;
using ::testing::ElementsAre;

struct Catalogue {
  const testing::Family* family;
  std::vector<std::string> columns;  // of a listed row, as the statements spell them
  const char* userList;
  const char* managerList;
  const char* newestList;
  const char* userOption;
  const char* managerOption;
};

const char* const kReportUserOption =
    "select fdata from T_RptExcelPrintExport where FRptId=28 and FNoteId=0 and FPreparerId=7";
const char* const kReportManagerOption =
    "select fdata from T_RptExcelPrintExport where FRptId=28 and FNoteId=0 and FPreparerId=16394";

const Catalogue kCatalogues[] = {
    {&testing::kBills,
     {"fbilltype", "fname", "fbillid", "fbilltypesub", "fsel"},
     "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= 28 and "
     "fbillid>0 and FPreparerId=7",
     "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype=28 and "
     "fbillid>0 and FPreparerId=16394",
     " select distinct a.fbilltype,a.fname,a.fbillid,a.fbilltypesub,a.fsel from T_PrintExport a "
     "inner join  (select   fbilltype,fname,max(fbillid) fbillid from T_PrintExport where "
     "fbilltype=28 and fbillid>0  group by fbilltype,fname) b on a.fbilltype=b.fbilltype and  "
     "a.fname=b.fname and  a.fbillid=b.fbillid ",
     "select fdata from T_PrintExport where fbilltype=28 and fbillid=0 and FPreparerId=7",
     "select fdata from T_PrintExport where fbilltype=28 and fbillid=0 and FPreparerId=16394"},
    {&testing::kPartitioned,
     {"fbilltype", "fname", "fbillid", "fbilltypesub", "fsel"},
     "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExportLM where fbilltype= 28 "
     "and fbillid>0 AND FDataFrom = 1 and FPreparerId=7",
     "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExportLM where fbilltype=28 "
     "and fbillid>0 AND FDataFrom = 1 and FPreparerId=16394",
     " select distinct a.fbilltype,a.fname,a.fbillid,a.fbilltypesub,a.fsel from T_PrintExportLM "
     "a inner join  (select   fbilltype,fname,max(fbillid) fbillid from T_PrintExportLM where "
     "fbilltype=28 and fbillid>0 AND FDataFrom = 1  group by fbilltype,fname) b on "
     "a.fbilltype=b.fbilltype and  a.fname=b.fname and  a.fbillid=b.fbillid AND a.FDataFrom = 1 ",
     "select fdata from T_PrintExportLM where fbilltype=28 and fbillid=0 AND FDataFrom = 1 and "
     "FPreparerId=7",
     "select fdata from T_PrintExportLM where fbilltype=28 and fbillid=0 AND FDataFrom = 1 and "
     "FPreparerId=16394"},
    {&testing::kReports,
     {"FRptId", "fname", "FNoteId", "fsel"},
     "select FRptId,fname,FNoteId,fsel from T_RptExcelPrintExport where FRptId= 28 and FNoteId>0 "
     "and FPreparerId=7",
     "select FRptId,fname,FNoteId,fsel from T_RptExcelPrintExport where FRptId=28 and FNoteId>0 "
     "and FPreparerId=16394",
     " select distinct a.FRptId,a.fname,a.FNoteId,a.fsel from T_RptExcelPrintExport a inner join  "
     "(select   FRptId,fname,max(FNoteId) FNoteId from T_RptExcelPrintExport where FRptId=28 and "
     "FNoteId>0  group by FRptId,fname) b on a.FRptId=b.FRptId and  a.fname=b.fname and  "
     "a.FNoteId=b.FNoteId ",
     kReportUserOption,
     kReportManagerOption},
    {&testing::kReportClass,
     {"FRptId", "fname", "FNoteId", "fsel", "FTypeSub"},
     "select FRptId,fname,FNoteId,fsel,FTypeSub from T_RptExcelPrintExport where FRptId= 28 and "
     "FNoteId>0 and FPreparerId=7",
     "select FRptId,fname,FNoteId,fsel,FTypeSub from T_RptExcelPrintExport where FRptId=28 and "
     "FNoteId>0 and FPreparerId=16394",
     " select distinct a.FRptId,a.fname,a.FNoteId,a.fsel,a.FTypeSub from T_RptExcelPrintExport a "
     "inner join  (select   FRptId,fname,max(FNoteId) FNoteId from T_RptExcelPrintExport where "
     "FRptId=28 and FNoteId>0  group by FRptId,fname) b on a.FRptId=b.FRptId and  a.fname=b.fname "
     "and  a.FNoteId=b.FNoteId ",
     kReportUserOption,
     kReportManagerOption},
};

class NoteInfoTest : public testing::FamilyTest<Catalogue> {
 protected:
  // The values of one column of every row listed.
  static std::vector<Variant> Listed(const std::shared_ptr<Dictionary>& result,
                                     const std::string& column) {
    std::vector<Variant> values;
    for (const Variant& row : result->Value("Data").ObjectAs<Vector>()->Items()) {
      values.push_back(row.ObjectAs<Dictionary>()->Value(column));
    }
    return values;
  }
  // A manager with two templates, the first selected, and a settings row.
  void SeedManager() {
    SeedManagersTemplate(T(), 28, "Invoice", Bytes{1}, 1);
    SeedManagersTemplate(T(), 28, "Slip", Bytes{2}, 0);
    SeedAssignment(T(), 28, 0, kManager, "存放页面设置信息", 0, Variant::Null(),
                   {{"FData", "managers option"}});
  }
};

TEST_P(NoteInfoTest, FirstCallCopiesTheManagersTemplatesAndASecondFindsTheCopies) {
  SeedManager();
  const auto first = F().family->List(Dsn());
  std::vector<std::string> columns;
  const auto row = first->Value("Data").ObjectAs<Vector>()->Item(1).ObjectAs<Dictionary>();
  for (const auto& entry : row->Entries()) columns.push_back(entry.first);
  EXPECT_EQ(columns, F().columns);
  EXPECT_THAT(Listed(first, "fname"), ElementsAre("Invoice", "Slip"));
  EXPECT_THAT(Listed(first, "fsel"), ElementsAre(Variant(1), Variant(0)));
  // The rows listed point to the copies, not to the manager's templates 1 and 2.
  EXPECT_THAT(Listed(first, F().columns[2]), ElementsAre(Variant(3), Variant(4)));
  EXPECT_EQ(first->Value("Option"), Variant("managers option"));
  EXPECT_THAT(Votes(), ElementsAre("Open", "Complete"));
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 3);

  const std::string before = Snapshot();
  const std::size_t statements = Observer().Statements().size();
  const auto second = F().family->List(Dsn());
  EXPECT_THAT(Listed(second, F().columns[2]), ElementsAre(Variant(3), Variant(4)));
  EXPECT_EQ(second->Value("Option"), Variant("managers option"));  // the copied settings row
  const auto texts = Observer().Texts();
  EXPECT_THAT(std::vector(texts.begin() + statements, texts.end()),
              ElementsAre(F().userList, F().userOption));
  EXPECT_EQ(Snapshot(), before);
}

// Without rows of the user or the manager, each name's newest template is
// listed once, through anyone's rows that point to it.
TEST_P(NoteInfoTest, WithoutTheUsersOrTheManagersRowsTheNewestTemplateOfEachNameIsListed) {
  const std::int32_t older = SeedTemplate(T(), 28, "A", Bytes{1});
  const std::int32_t newer = SeedTemplate(T(), 28, "A", Bytes{2});
  const std::int32_t other = SeedTemplate(T(), 28, "B", Bytes{3});
  SeedAssignment(T(), 28, older, 8, "A", 1);
  SeedAssignment(T(), 28, newer, 9, "A", 1);
  SeedAssignment(T(), 28, newer, 8, "A", 1);  // the same row again, listed once
  SeedAssignment(T(), 28, other, 8, "B", 0);
  SeedAssignment(T(), 29, 50, 8, "A", 1);  // another bill type or report
  const std::string before = Snapshot();
  const auto result = F().family->List(Dsn());
  auto ids = Listed(result, F().columns[2]);
  std::sort(ids.begin(), ids.end(),
            [](const Variant& a, const Variant& b) { return CLng(a) < CLng(b); });
  EXPECT_THAT(ids, ElementsAre(Variant(newer), Variant(other)));
  EXPECT_EQ(result->Value("Option"), Variant(""));
  EXPECT_EQ(Snapshot(), before);
  // The second statement looks for the manager's rows to copy.
  EXPECT_THAT(Observer().Texts(), ElementsAre(F().userList, _, F().userList, F().managerList,
                                              F().newestList, F().userOption, F().managerOption));
}

// Processes that ask at the same moment for a new user's list wait for each
// other's copy: each gets the full list, and one copy set is made.
TEST_P(NoteInfoTest, ConcurrentFirstCallsMakeOneCopySet) {
  SeedManager();
  // No connection of this process is open: a child must not use the parent's.
  const auto ends = testing::RunProcessesAtOnce(16, [&](int) {
    Hub().SetStatementObserver(nullptr);
    return F().family->List(Dsn())->Value("Data").ObjectAs<Vector>()->Count() == 2 ? 0 : 2;
  });
  for (const testing::ProcessEnd& end : ends) EXPECT_EQ(end.exitCode, 0) << end.error;
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 3);
  EXPECT_EQ(Count(T().notes), 4);
}

// Threads of one host, each with its own hub and pooled connection, ask at
// the same moment: the same holds as for processes.
TEST_P(NoteInfoTest, ConcurrentFirstCallsOnThreadsMakeOneCopySet) {
  SeedManager();
  constexpr int kThreads = 16;
  std::atomic<int> ready = 0;
  std::vector<std::string> outcomes(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      const auto hub = host::ServiceHub::Current();
      hub->SignIn(kUser, "Alice");
      ++ready;
      while (ready < kThreads) std::this_thread::yield();
      try {
        outcomes[i] =
            std::to_string(F().family->List(Dsn())->Value("Data").ObjectAs<Vector>()->Count());
      } catch (const AutomationError& error) {
        outcomes[i] = error.description();
      }
      hub->ClosePool();
      hub->SignOut();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& outcome : outcomes) EXPECT_EQ(outcome, "2");
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 3);
  EXPECT_EQ(Count(T().notes), 4);
}

TEST_P(NoteInfoTest, RowsElsewhereAreNeitherListedNorCopied) {
  SeedManagersTemplate(Elsewhere(), 28, "Elsewhere", Bytes{1}, 1);
  SeedAssignment(Elsewhere(), 28, SeedTemplate(Elsewhere(), 28, "Other", Bytes{2}), 8, "Other", 1);
  const std::string before = Snapshot();
  EXPECT_EQ(F().family->List(Dsn())->Value("Data").ObjectAs<Vector>()->Count(), 0);
  EXPECT_EQ(Snapshot(), before);
  SeedManagersTemplate(T(), 28, "Invoice", Bytes{3}, 1);
  EXPECT_THAT(Listed(F().family->List(Dsn()), "fname"), ElementsAre("Invoice"));
  EXPECT_EQ(Count(Elsewhere().notes, Elsewhere().Scope()), 2);
}

ORVO_INSTANTIATE_FAMILY_SUITE(NoteInfoTest, kCatalogues);

}  // namespace
}  // namespace orvo
