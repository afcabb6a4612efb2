// What a store on a server adds to the frame's promises: the server ending
// the session in the middle of a call (a restart, an operator) fails the call
// with nothing written, and the next call works on a new session.

#include <gtest/gtest.h>

#include "component/frame.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using component::MethodContext;
using component::MethodConvention;
using component::MethodFrame;
using orvo::testing::ErrorOf;

constexpr MethodConvention kWrite{};
const char* const kInsert = "insert into T_PrintExport (FBillType,FBillId) values (5,0)";

class ServerFaultsTest : public testing::StoreFixture {
 protected:
  const testing::Backend& StoreBackend() const override { return testing::PostgresBackend(); }
};

TEST_F(ServerFaultsTest, ASessionEndedInTheMiddleOfACallLosesTheCallAndNothingElse) {
  clsPrintSetupUpdate probe;
  const auto endedHalfWay = [&](MethodContext& context) {
    context.Connection().Execute(kInsert);
    const Variant session =
        context.Connection().Execute("select pg_backend_pid()")->Fields(0).Value();
    Exec("select pg_terminate_backend(?)", {session});
    context.Connection().Execute(kInsert);
  };
  const AutomationError error =
      ErrorOf([&] { MethodFrame::Run(probe, kWrite, Dsn(), endedHalfWay); });
  EXPECT_EQ(error.number(), HResult(0x80004005u));
  EXPECT_EQ(error.source(), "PostgreSQL");
  EXPECT_EQ(Count("T_PrintExport"), 0);
  // The next call begins on a new session.
  MethodFrame::Run(probe, kWrite, Dsn(),
                   [&](MethodContext& context) { context.Connection().Execute(kInsert); });
  EXPECT_EQ(Count("T_PrintExport"), 1);
  // So does a member's, after a session that ended between two calls.
  const Variant session =
      Hub().PooledConnection(Dsn())->Execute("select pg_backend_pid()")->Fields(0).Value();
  Exec("select pg_terminate_backend(?)", {session});
  EXPECT_TRUE(clsPrintSetupQuery().GetNoteInfo(Dsn(), 28)->Value("Data").ObjectAs<Vector>());
}

}  // namespace
}  // namespace orvo
