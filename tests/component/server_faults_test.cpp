// What a store on a server adds to the frame's promises: the server ending
// the session in the middle of a call (an operator), or stopping altogether,
// fails the call with nothing written, and the next call once the server is
// back works on a new session.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "component/frame.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/store/schema.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"
#include "support/temp_directory.hpp"

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

// A server of the test's own, in a temporary directory, that the test stops
// and starts again: the server the other suites share keeps running.
class OwnServer {
 public:
  explicit OwnServer(const std::filesystem::path& directory) : directory_(directory) {
    const std::string command = Script() + " start '" + directory_.string() + "'";
    const std::unique_ptr<FILE, decltype(&pclose)> output(popen(command.c_str(), "r"), &pclose);
    if (output == nullptr) throw std::runtime_error("cannot run " + command);
    char line[512];
    while (std::fgets(line, sizeof line, output.get()) != nullptr) dsn_ += line;
    while (!dsn_.empty() && dsn_.back() == '\n') dsn_.pop_back();
    if (dsn_.empty()) throw std::runtime_error(command + " gave no data source");
  }
  ~OwnServer() { Run("stop"); }
  OwnServer(const OwnServer&) = delete;
  OwnServer& operator=(const OwnServer&) = delete;

  const std::string& Dsn() const { return dsn_; }
  void Stop() { ASSERT_EQ(Run("stop"), 0); }
  void Restart() { ASSERT_EQ(Run("restart"), 0); }

  static bool Installable() { return access("/usr/lib/postgresql/15/bin/initdb", X_OK) == 0; }

 private:
  static std::string Script() {
    return std::string(ORVO_SOURCE_DIR) + "/scripts/throwaway-postgres";
  }
  int Run(const char* action) const {
    return std::system((Script() + " " + action + " '" + directory_.string() + "'").c_str());
  }

  std::filesystem::path directory_;
  std::string dsn_;
};

class ServerRestartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OwnServer::Installable()) GTEST_SKIP() << "the PostgreSQL 15 server is not installed";
    server_ = std::make_unique<OwnServer>(directory_.Path());
    store::CreateSchema(*ado::Connection::Open(server_->Dsn(), ado::IfMissing::Fail));
    hub_->SignIn(7, "Alice");
  }
  void TearDown() override {
    hub_->ClosePool();
    hub_->SignOut();
  }

  std::int32_t Rows() {
    return ado::Connection::Open(server_->Dsn(), ado::IfMissing::Fail)
        ->Execute("select count(*) from T_PrintExport")
        ->Fields(0)
        .Value()
        .AsLong();
  }

  testing::TempDirectory directory_;
  std::unique_ptr<OwnServer> server_;
  std::shared_ptr<host::ServiceHub> hub_ = host::ServiceHub::Current();
};

TEST_F(ServerRestartTest, AServerStoppedInTheMiddleOfACallLosesTheCallAndServesTheNextOneAgain) {
  clsPrintSetupUpdate probe;
  const auto stoppedHalfWay = [&](MethodContext& context) {
    context.Connection().Execute(kInsert);
    server_->Stop();
    context.Connection().Execute(kInsert);
  };
  const AutomationError error =
      ErrorOf([&] { MethodFrame::Run(probe, kWrite, server_->Dsn(), stoppedHalfWay); });
  EXPECT_EQ(error.number(), HResult(0x80004005u));
  EXPECT_EQ(error.source(), "PostgreSQL");
  // While the server is away every call fails the same way, and none hangs.
  EXPECT_EQ(ErrorOf([&] { clsPrintSetupQuery().GetNoteInfo(server_->Dsn(), 28); }).number(),
            HResult(0x80004005u));

  server_->Restart();
  EXPECT_EQ(Rows(), 0);
  MethodFrame::Run(probe, kWrite, server_->Dsn(),
                   [&](MethodContext& context) { context.Connection().Execute(kInsert); });
  EXPECT_EQ(Rows(), 1);
  // A restart between two calls is noticed by the call after it.
  server_->Stop();
  server_->Restart();
  EXPECT_TRUE(
      clsPrintSetupQuery().GetNoteInfo(server_->Dsn(), 28)->Value("Data").ObjectAs<Vector>());
}

}  // namespace
}  // namespace orvo
