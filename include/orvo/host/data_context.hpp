// DataContext is what the host application gives the component on every call:
// it opens a data source, gives its connection and the calling user's
// SessionInfo, and takes the call's votes (Complete, Abort). The thread's
// ServiceHub (service_hub.hpp) hands them out; a host application may put its
// own in place of the default one.
//
// A context belongs to the instance that asked for it (shared_ptr) and is used
// on the thread of the hub that made it.

#ifndef ORVO_HOST_DATA_CONTEXT_HPP_
#define ORVO_HOST_DATA_CONTEXT_HPP_

#include <memory>
#include <string>

#include "orvo/ado/connection.hpp"
#include "orvo/automation/variant.hpp"
#include "orvo/export.hpp"
#include "orvo/host/session_info.hpp"

namespace orvo::host {

// Errors raised by the host carry this source.
inline constexpr const char* kHostSource = "OrvoGlobal";

class ORVO_EXPORT DataContext {
 public:
  virtual ~DataContext() = default;
  // Opens the data source named by `sDsn`; afterwards Connection() gives an
  // open connection to it. The result carries nothing the component uses.
  virtual Variant Open(const std::string& sDsn) = 0;
  // The connection of the data source last opened; raises when none is open.
  virtual std::shared_ptr<ado::Connection> Connection() = 0;
  // A fresh SessionInfo for the calling user on every call.
  virtual std::shared_ptr<SessionInfo> Session() = 0;
  // The votes on the running call's unit of work (see CallScope).
  virtual void Complete() = 0;
  virtual void Abort() = 0;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_DATA_CONTEXT_HPP_
