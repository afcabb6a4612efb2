#include "store/debug_log.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "orvo/automation/variant.hpp"

namespace orvo::store {
namespace {

namespace fs = std::filesystem;

// Points ORVO_PYMLOG into a fresh temporary directory and puts the variable
// back as it was afterwards.
class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* previous = std::getenv("ORVO_PYMLOG")) previous_ = previous;
    std::string pattern = (fs::temp_directory_path() / "orvo-log-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    PointAt(directory_ / "PymLog.txt");
  }

  void TearDown() override {
    if (previous_) {
      setenv("ORVO_PYMLOG", previous_->c_str(), 1);
    } else {
      unsetenv("ORVO_PYMLOG");
    }
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
  }

  static void PointAt(const fs::path& path) { setenv("ORVO_PYMLOG", path.c_str(), 1); }

  static std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Checks one record at `at` in `log`: CR LF, the date and time, CR LF, the
  // text, CR LF; gives the written time and moves `at` past the record.
  static Date ReadRecord(const std::string& log, std::size_t& at, const std::string& text) {
    const std::string stamp = log.substr(at + 2, 19);
    EXPECT_EQ(log.substr(at, 2), "\r\n");
    EXPECT_EQ(log.substr(at + 21, 2 + text.size() + 2), "\r\n" + text + "\r\n");
    Date written;
    EXPECT_TRUE(Date::Parse(stamp, written)) << stamp;
    EXPECT_EQ(written.GeneralText(), stamp);
    at += 2 + 19 + 2 + text.size() + 2;
    return written;
  }

  fs::path directory_;
  std::optional<std::string> previous_;
};

TEST_F(DebugLogTest, TheFileIsNamedByTheEnvironmentElseTheFixedOne) {
  EXPECT_EQ(DebugLogPath(), (directory_ / "PymLog.txt").string());
  unsetenv("ORVO_PYMLOG");
  EXPECT_EQ(DebugLogPath(), "/var/tmp/PymLog.txt");
  setenv("ORVO_PYMLOG", "", 1);
  EXPECT_EQ(DebugLogPath(), "/var/tmp/PymLog.txt");
}

TEST_F(DebugLogTest, AppendsAnEmptyLineTheTimeAndTheTextEndedByCrLf) {
  const fs::path log = directory_ / "PymLog.txt";
  const Date before = Date::Now();
  const std::string one = "CopyManagerNoteInfo: 28";
  const std::string two = "复制模板 FId=5";
  WriteDebugLog(one);
  WriteDebugLog(two);
  const Date after = Date::Now();

  const std::string written = Contents(log);
  constexpr std::size_t kFrame = 2 + 19 + 2 + 2;  // three CR LF and the time
  ASSERT_EQ(written.size(), kFrame + one.size() + kFrame + two.size()) << written;
  std::size_t at = 0;
  const Date first = ReadRecord(written, at, one);
  const Date second = ReadRecord(written, at, two);
  EXPECT_EQ(at, written.size());
  // The local time of writing, to the second.
  EXPECT_LE(before.serial, first.serial);
  EXPECT_LE(first.serial, second.serial);
  EXPECT_LE(second.serial, after.serial);
}

TEST_F(DebugLogTest, KeepsWhatTheFileHeldBefore) {
  const fs::path log = directory_ / "PymLog.txt";
  std::ofstream(log, std::ios::binary) << "earlier lines\r\n";
  WriteDebugLog("");
  const std::string written = Contents(log);
  ASSERT_EQ(written.rfind("earlier lines\r\n", 0), 0u);
  std::size_t at = 15;
  ReadRecord(written, at, "");
  EXPECT_EQ(at, written.size());
}

TEST_F(DebugLogTest, AFileThatCannotBeOpenedIsSkippedSilently) {
  const fs::path missing = directory_ / "no such folder" / "PymLog.txt";
  PointAt(missing);
  WriteDebugLog("lost");
  EXPECT_FALSE(fs::exists(missing.parent_path()));

  // A directory where the file should be cannot be appended to either.
  PointAt(directory_);
  WriteDebugLog("lost");
  EXPECT_TRUE(fs::is_directory(directory_));
  EXPECT_TRUE(fs::is_empty(directory_));
}

}  // namespace
}  // namespace orvo::store
