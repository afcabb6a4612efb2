// The message that the report copy shows an operator when a manager's template
// is missing. Nobody sits at a screen where the component runs, so the text
// goes to the system log (facility user, level notice, identity
// OrvoMPrintExport) as one datagram sent without waiting: a full or absent
// log loses the message and never holds up or fails the caller.
//
// Tests may put a sink of their own in place of the system log. Any thread
// may show a message; the sink is called on the thread that shows it.

#ifndef ORVO_STORE_OPERATOR_MESSAGE_HPP_
#define ORVO_STORE_OPERATOR_MESSAGE_HPP_

#include <functional>
#include <string>
#include <string_view>

namespace orvo::store {

// Shows `text` to an operator: through the sink when one is set, else in the
// system log.
void ShowOperatorMessage(std::string_view text) noexcept;

// Where messages go instead of the system log; an empty sink restores it.
using OperatorMessageSink = std::function<void(std::string_view text)>;
void SetOperatorMessageSink(OperatorMessageSink sink);

// The system log's socket.
inline constexpr const char* kSystemLogSocket = "/dev/log";

// The datagram that carries `text` to the system log:
// "<13>Mmm dd hh:mm:ss OrvoMPrintExport[pid]: text", 13 being facility user
// with level notice and the time local.
std::string SystemLogRecord(std::string_view text);

// Sends `record` to the datagram socket at `path` without waiting; false when
// nobody listens there or its queue is full.
bool SendDatagram(const std::string& path, std::string_view record) noexcept;

}  // namespace orvo::store

#endif  // ORVO_STORE_OPERATOR_MESSAGE_HPP_
