#include "store/debug_log.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "orvo/automation/variant.hpp"
#include "support/temp_directory.hpp"

namespace orvo::store {
namespace {

namespace fs = std::filesystem;

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

  std::ifstream in(log, std::ios::binary);
  const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(written.rfind("earlier\r\n", 0), 0u) << written;
  std::size_t at = 9;
  for (const std::string& text : texts) {
    ASSERT_EQ(written.substr(at, 2), "\r\n") << written;
    const std::string stamp = written.substr(at + 2, 19);
    Date when;
    ASSERT_TRUE(Date::Parse(stamp, when)) << stamp;
    EXPECT_EQ(when.GeneralText(), stamp);
    EXPECT_LE(before.serial, when.serial);
    EXPECT_LE(when.serial, after.serial);
    EXPECT_EQ(written.substr(at + 21, text.size() + 4), "\r\n" + text + "\r\n");
    at += 25 + text.size();
  }
  EXPECT_EQ(at, written.size());
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
  // Without the variable, or with it empty, the fixed file is used.
  setenv("ORVO_PYMLOG", "", 1);
  EXPECT_EQ(DebugLogPath(), "/var/tmp/PymLog.txt");
  unsetenv("ORVO_PYMLOG");
  EXPECT_EQ(DebugLogPath(), "/var/tmp/PymLog.txt");
}

}  // namespace
}  // namespace orvo::store
