#include "store/operator_message.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

namespace orvo::store {

namespace {

// Facility user (1) with level notice (5).
constexpr int kPriority = (1 << 3) | 5;

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

OperatorMessageSink& Sink() {
  static OperatorMessageSink sink;
  return sink;
}

}  // namespace

std::string SystemLogRecord(std::string_view text) {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  const std::size_t length = strftime(stamp, sizeof stamp, "%b %e %H:%M:%S", &local);
  std::string record = "<" + std::to_string(kPriority) + ">";
  record.append(stamp, length);
  record += " OrvoMPrintExport[" + std::to_string(getpid()) + "]: ";
  record.append(text);
  return record;
}

bool SendDatagram(const std::string& path, std::string_view record) noexcept {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int socket_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket_fd < 0) return false;
  const ssize_t sent = sendto(socket_fd, record.data(), record.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(socket_fd);
  return sent == static_cast<ssize_t>(record.size());
}

void ShowOperatorMessage(std::string_view text) noexcept {
  try {
    OperatorMessageSink sink;
    {
      std::lock_guard<std::mutex> lock(SinkMutex());
      sink = Sink();
    }
    if (sink) {
      sink(text);
    } else {
      SendDatagram(kSystemLogSocket, SystemLogRecord(text));
    }
  } catch (...) {
    // Telling the operator is a courtesy; the copy goes on without it.
  }
}

void SetOperatorMessageSink(OperatorMessageSink sink) {
  std::lock_guard<std::mutex> lock(SinkMutex());
  Sink() = std::move(sink);
}

}  // namespace orvo::store
