// The frame's votes and error conventions, each on one statement run under
// a convention of the real methods.

#include "component/frame.hpp"
#include "host/journal.hpp"

#include <functional>
#include <optional>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using component::MethodContext;
using component::MethodConvention;
using component::MethodFrame;
using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

// Runs one statement of the caller's choice in the frame of `self`, under a
// convention of the real methods, and gives the calling user's name.
std::string Call(PrintSetupObject& self, const MethodConvention& convention,
                 const std::string& sDsn, const std::string& statement) {
  return MethodFrame::Run(self, convention, sDsn, [&](MethodContext& context) {
    context.Connection().Execute(statement);
    return context.UserName();
  });
}

constexpr MethodConvention kWrite{};
constexpr MethodConvention kAbortFirst{MethodConvention::Start::Abort, true, true,
                                       MethodConvention::Failure::HelpFile64, nullptr};
constexpr MethodConvention kPrefixed{
    MethodConvention::Start::Abort, true, true, MethodConvention::Failure::Prefixed,
    "OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()"};

const char* const kInsert = "insert into T_PrintExport (FBillType,FBillId) values (5,0)";
const char* const kBroken = "select FNothing from T_Missing";

class FrameTest : public testing::StoreTest {};

// The methods' own failures check the prefixed source with a line; here it
// is the step before any line was set.
TEST_P(FrameTest, APrefixedFailureBeforeAnyLineHasNoLine) {
  clsPrintSetupUpdate probe;
  const AutomationError prefixed = ErrorOf([&] { Call(probe, kPrefixed, Dsn(), kBroken); });
  EXPECT_EQ(prefixed.source(),
            "OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()\r\n" + GetParam().name);
  // The database's own words, naming the table as it knows it.
  EXPECT_THAT(prefixed.description(), ::testing::ContainsRegex("[Tt]_[Mm]issing"));
}

TEST_P(FrameTest, DataSourceThatCannotBeOpenedFailsThroughTheHandler) {
  clsPrintSetupUpdate probe;
  EXPECT_THROW(Call(probe, kWrite, "Provider=SQLite;Data Source=/nonexistent/dir/x.db", kInsert),
               AutomationError);
  EXPECT_THAT(Votes(), ElementsAre("Open", "Abort"));
}

TEST_P(FrameTest, CommitThatFailsReachesTheCallerByTheMethodsConvention) {
  // A deferred key is checked only at commit, so a call that writes a child
  // without its parent fails when its unit of work commits.
  auto connection = Hub().PooledConnection(Dsn());
  connection->Execute("create table parent (id integer primary key)");
  connection->Execute(
      "create table child (pid integer references parent(id) deferrable initially deferred)");
  if (!GetParam().enforceForeignKeys.empty()) {
    connection->Execute(GetParam().enforceForeignKeys);
  }
  const auto writeOrphan = [](MethodContext& context) {
    context.Connection().Execute(kInsert);
    context.Connection().Execute("insert into child values (42)");
  };
  clsPrintSetupUpdate probe;
  const AutomationError unchanged =
      ErrorOf([&] { MethodFrame::Run(probe, kWrite, Dsn(), writeOrphan); });
  EXPECT_EQ(unchanged.number(), HResult(0x80040E2Fu));
  EXPECT_EQ(unchanged.source(), GetParam().name);
  EXPECT_FALSE(unchanged.nativeCode().empty());  // the database's own code goes with it
  EXPECT_THAT(Votes(), ElementsAre("Open", "Complete", "Abort"));
  const MethodConvention picture_data{MethodConvention::Start::None, false, false,
                                      MethodConvention::Failure::PictureData,
                                      "OrvoMPrintExport:GetPictureData"};
  const AutomationError picture =
      ErrorOf([&] { MethodFrame::Run(probe, picture_data, Dsn(), writeOrphan); });
  EXPECT_EQ(picture.number(), HResult(0x80040001u));
  EXPECT_EQ(picture.source(), "OrvoMPrintExport:GetPictureData");
  EXPECT_EQ(Count("T_PrintExport"), 0);
  EXPECT_EQ(Count("child"), 0);
  // Nothing is left open: the next call's work is kept.
  Call(probe, kWrite, Dsn(), kInsert);
  EXPECT_EQ(Count("T_PrintExport"), 1);
}

// A unit of work that the database ends so that another can go on (a
// deadlock, a serialisation failure) runs again whole, up to three times;
// a call inside another's unit leaves that to the outer call.
TEST_P(FrameTest, AUnitOfWorkTheDatabaseEndsForAnotherRunsAgainWhole) {
  const AutomationError deadlock(HResult(0x80004005u), GetParam().name, "deadlock detected");
  const auto twoInserts = [](MethodContext& context) {
    context.Connection().Execute(kInsert);
    context.Connection().Execute(kInsert);
  };
  clsPrintSetupUpdate probe;
  Observer().FailAt(2, deadlock, true);
  MethodFrame::Run(probe, kWrite, Dsn(), twoInserts);
  EXPECT_EQ(Count("T_PrintExport"), 2);
  EXPECT_EQ(Observer().Statements().size(), 4u);

  // Every run meets it: the third failure reaches the caller by the method's
  // convention.
  int runs = 0;
  const AutomationError error = ErrorOf([&] {
    MethodFrame::Run(probe, kAbortFirst, Dsn(), [&](MethodContext& context) {
      ++runs;
      Observer().FailAt(1, deadlock, true);
      twoInserts(context);
    });
  });
  EXPECT_EQ(runs, 3);
  EXPECT_EQ(error.description(), "deadlock detected");
  EXPECT_EQ(error.helpFile(), "64");
  EXPECT_EQ(Count("T_PrintExport"), 2);

  Observer().FailAt(2, deadlock, true);
  const AutomationError inner = ErrorOf([&] {
    MethodFrame::Run(probe, kWrite, Dsn(), [&](MethodContext& context) {
      context.Connection().Execute(kInsert);
      Call(probe, kWrite, Dsn(), kInsert);
    });
  });
  EXPECT_EQ(inner.description(), "deadlock detected");
  EXPECT_EQ(Count("T_PrintExport"), 2);
}

TEST_P(FrameTest, InnerCallThatFailsOrEndsOnAbortDoomsTheUnitOfWork) {
  const MethodConvention endsOnAbort{MethodConvention::Start::Abort, false, true,
                                     MethodConvention::Failure::Unchanged, nullptr};
  clsPrintSetupUpdate outer;
  clsPrintSetupUpdate inner;
  const std::function<void()> innerCalls[] = {
      [&] {
        // The outer call catches the inner one's failure and goes on.
        EXPECT_THROW(Call(inner, kWrite, Dsn(), kBroken), AutomationError);
      },
      [&] { Call(inner, endsOnAbort, Dsn(), kInsert); },
  };
  for (const auto& innerCall : innerCalls) {
    const AutomationError error = ErrorOf([&] {
      MethodFrame::Run(outer, kWrite, Dsn(), [&](MethodContext& context) {
        context.Connection().Execute(kInsert);
        innerCall();
      });
    });
    EXPECT_EQ(error.number(), HResult(0x8004E002u));
    EXPECT_EQ(error.source(), "OrvoGlobal");
    EXPECT_EQ(Count("T_PrintExport"), 0);
  }
  // Within one call the last vote wins: an inner call that aborts first and
  // completes at its end keeps the unit of work whole.
  MethodFrame::Run(outer, kWrite, Dsn(), [&](MethodContext& context) {
    context.Connection().Execute(kInsert);
    Call(inner, kAbortFirst, Dsn(), kInsert);
  });
  EXPECT_EQ(Count("T_PrintExport"), 2);
  // An outer call that ends on Abort after a failed inner one asked for no
  // commit, so losing its work is no failure.
  MethodFrame::Run(outer, endsOnAbort, Dsn(), [&](MethodContext& context) {
    context.Connection().Execute(kInsert);
    EXPECT_THROW(Call(inner, kWrite, Dsn(), kBroken), AutomationError);
  });
  EXPECT_EQ(Count("T_PrintExport"), 2);
}

TEST_P(FrameTest, ACallFromAnotherThreadIsRefusedWithoutVotingOnThisThreadsContext) {
  clsPrintSetupUpdate probe;
  constexpr MethodConvention kCompleteFirst{.start = MethodConvention::Start::Complete};
  Hub().ClearJournal();
  std::optional<AutomationError> refused;
  std::thread([&] {
    host::ServiceHub::Current()->SignIn(8, "Bob");
    refused = ErrorOf([&] { Call(probe, kCompleteFirst, Dsn(), kInsert); });
  }).join();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->number(), HResult(0x8001010Eu));
  EXPECT_TRUE(Votes().empty());
  EXPECT_EQ(Count("T_PrintExport"), 0);
}

ORVO_INSTANTIATE_STORE_SUITE(FrameTest);

}  // namespace
}  // namespace orvo
