#include "store/debug_log.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>

#include "orvo/automation/variant.hpp"
#include "orvo/host/call_scope.hpp"
#include "support/temp_directory.hpp"

namespace orvo::store {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Points ORVO_PYMLOG into a fresh temporary directory and puts the variable
// back as it was afterwards.
class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* previous = std::getenv("ORVO_PYMLOG")) previous_ = previous;
    setenv("ORVO_PYMLOG", (directory_.Path() / "PymLog.txt").c_str(), 1);
  }

  void TearDown() override {
    previous_ ? setenv("ORVO_PYMLOG", previous_->c_str(), 1) : unsetenv("ORVO_PYMLOG");
  }

  orvo::testing::TempDirectory directory_;
  std::optional<std::string> previous_;
};

TEST_F(DebugLogTest, AppendsAnEmptyLineTheLocalTimeAndTheTextEachEndedByCrLf) {
  const fs::path log = directory_.Path() / "PymLog.txt";
  ASSERT_EQ(DebugLogPath(), log.string());
  std::ofstream(log, std::ios::binary) << "earlier\r\n";
  const std::string texts[] = {"CopyManagerNoteInfo: 28", "复制模板 FId=5"};
  const Date before = Date::Now();
  for (const std::string& text : texts) WriteDebugLog(text);
  const Date after = Date::Now();

  const std::string written = Contents(log);
  const std::regex stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
  EXPECT_EQ(std::regex_replace(written, stamp, "<time>"),
            "earlier\r\n\r\n<time>\r\nCopyManagerNoteInfo: 28\r\n\r\n<time>\r\n复制模板 FId=5\r\n");
  for (std::sregex_iterator it(written.begin(), written.end(), stamp), end; it != end; ++it) {
    Date when;
    ASSERT_TRUE(Date::Parse(it->str(), when)) << it->str();
    EXPECT_LE(before.serial, when.serial);
    EXPECT_LE(when.serial, after.serial);
  }
}

TEST_F(DebugLogTest, AFileThatCannotBeOpenedIsSkippedSilently) {
  const fs::path missing = directory_.Path() / "no such folder" / "PymLog.txt";
  setenv("ORVO_PYMLOG", missing.c_str(), 1);
  WriteDebugLog("lost");
  EXPECT_FALSE(fs::exists(missing.parent_path()));
  // A directory where the file should be cannot be appended to either.
  setenv("ORVO_PYMLOG", directory_.Path().c_str(), 1);
  WriteDebugLog("lost");
  EXPECT_TRUE(fs::is_directory(directory_.Path()));
  EXPECT_TRUE(fs::is_empty(directory_.Path()));
}

TEST_F(DebugLogTest, TheLogIsTheCallingUsersOwnNeverFollowsALinkAndNeverWaits) {
  // Without the variable, or with it empty, the log is in the user's own
  // state folder, made private when missing.
  setenv("ORVO_PYMLOG", "", 1);
  const char* home = std::getenv("HOME");
  const std::optional<std::string> previousHome =
      home ? std::optional<std::string>(home) : std::nullopt;
  setenv("HOME", directory_.Path().c_str(), 1);
  unsetenv("XDG_STATE_HOME");
  const fs::path own = directory_.Path() / ".local" / "state" / "PymLog.txt";
  EXPECT_EQ(DebugLogPath(), own.string());
  WriteDebugLog("own");
  EXPECT_TRUE(fs::is_regular_file(own));
  EXPECT_EQ(fs::status(own.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
  setenv("XDG_STATE_HOME", (directory_.Path() / "state").c_str(), 1);
  EXPECT_EQ(DebugLogPath(), (directory_.Path() / "state" / "PymLog.txt").string());
  unsetenv("XDG_STATE_HOME");
  previousHome ? setenv("HOME", previousHome->c_str(), 1) : unsetenv("HOME");

  // A symbolic link at the log's path is not followed: what it names stays as it was.
  const fs::path target = directory_.Path() / "someone else's file";
  std::ofstream(target) << "theirs";
  const fs::path link = directory_.Path() / "link";
  fs::create_symlink(target, link);
  setenv("ORVO_PYMLOG", link.c_str(), 1);
  WriteDebugLog("redirected");
  EXPECT_EQ(Contents(target), "theirs");

  // A FIFO without a reader would block an opening writer for good; the
  // log skips it at once (the alarm ends a test that would hang).
  const fs::path fifo = directory_.Path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  setenv("ORVO_PYMLOG", fifo.c_str(), 1);
  alarm(30);
  WriteDebugLog("blocked");
  alarm(0);
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(DebugLogTest, ALineOfAUnitOfWorkIsWrittenOnceTheUnitHasEnded) {
  const fs::path log = directory_.Path() / "PymLog.txt";
  {
    host::CallScope unit(ado::TransactionKind::Writing);
    WriteDebugLog("while the store is locked");
    EXPECT_FALSE(fs::exists(log));
  }
  EXPECT_NE(Contents(log).find("while the store is locked"), std::string::npos);
}

}  // namespace
}  // namespace orvo::store
