// A writer killed at any moment: each of its calls is in the store whole or
// not at all, and the store stays sound for everyone else.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

class WriterKilledTest : public testing::StoreTest {};

TEST_P(WriterKilledTest, EveryCallIsWholeOrAbsentAfterTheWriterIsKilled) {
  std::mt19937 random(20261206);  // the same moments on every run
  std::uniform_int_distribution<int> moment(0, 20);
  for (int kill = 0; kill < 5; ++kill) {
    const std::int32_t before = Count("T_PrintExportNote");
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      // A process of its own: its hub, its connection, templates without end.
      const auto hub = host::ServiceHub::Current();
      hub->SetStatementObserver(nullptr);
      hub->ClosePool();
      hub->SignIn(kUser, "Alice");
      for (int n = 0;; ++n) {
        clsPrintSetupUpdate().InsertNoteRow(Dsn(), 28,
                                            "T" + std::to_string(kill) + "." + std::to_string(n),
                                            Variant(Bytes(4096, static_cast<std::uint8_t>(n))));
      }
    }
    // Killed in the middle of its stream of calls, once it has made one:
    // however slowly it starts, every kill finds it writing.
    for (int wait = 0; wait < 1000 && Count("T_PrintExportNote") == before; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
    ASSERT_EQ(::kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status));

    if (const std::string& check = GetParam().integrityCheck; !check.empty()) {
      EXPECT_EQ(CStr(Scalar(check)), "ok") << "after kill " << kill;
    }
    // Every template has its assignment row and every row its template.
    EXPECT_EQ(Count("T_PrintExportNote n",
                    "not exists (select 1 from T_PrintExport r where r.FBillId = n.FId)"),
              0)
        << "after kill " << kill;
    EXPECT_EQ(Count("T_PrintExport r",
                    "not exists (select 1 from T_PrintExportNote n where n.FId = r.FBillId)"),
              0)
        << "after kill " << kill;
  }
  EXPECT_GE(Count("T_PrintExportNote"), 5);  // each writer got somewhere
  // The store takes the next writer's call.
  clsPrintSetupUpdate().InsertNoteRow(Dsn(), 28, "after", Variant(Bytes{1}));
}

ORVO_INSTANTIATE_STORE_SUITE(WriterKilledTest);

}  // namespace
}  // namespace orvo
