#include "store/operator_message.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <regex>

#include "support/temp_directory.hpp"

namespace orvo::store {
namespace {

TEST(OperatorMessage, RecordCarriesFacilityUserLevelNoticeAndTheLibrarysIdentity) {
  const std::string record = SystemLogRecord("模板不存在！");
  EXPECT_TRUE(std::regex_match(
      record, std::regex("<13>[A-Z][a-z]{2} [ 1-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] "
                         "OrvoMPrintExport\\[" +
                         std::to_string(getpid()) + "\\]: .*")))
      << record;
  EXPECT_EQ(record.substr(record.size() - std::strlen("模板不存在！")), "模板不存在！");
}

TEST(OperatorMessage, DatagramReachesAListenerAndNeverWaitsForAnAbsentOne) {
  orvo::testing::TempDirectory directory;
  const std::string path = (directory.Path() / "log").string();
  EXPECT_FALSE(SendDatagram(path, "nobody listens"));

  const int listener = socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_TRUE(SendDatagram(path, "<13>hello"));
  char buffer[64] = {};
  EXPECT_EQ(recv(listener, buffer, sizeof buffer, MSG_DONTWAIT), 9);
  EXPECT_STREQ(buffer, "<13>hello");
  // A listener that does not read fills up; sending then fails instead of waiting.
  int sent = 0;
  while (SendDatagram(path, std::string(1024, 'x')) && sent < 100000) ++sent;
  EXPECT_LT(sent, 100000);
  close(listener);
}

}  // namespace
}  // namespace orvo::store
