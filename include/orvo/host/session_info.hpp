// SessionInfo tells a method who is calling: the id and name of the user the
// host application signed in. A method asks its data context for a fresh one
// for every read, so a sign-in between two reads shows.
//
// Whoever asked for it owns it (shared_ptr). Used on the thread of the data
// context that gave it.

#ifndef ORVO_HOST_SESSION_INFO_HPP_
#define ORVO_HOST_SESSION_INFO_HPP_

#include <cstdint>
#include <string>

#include "orvo/export.hpp"

namespace orvo::host {

class ORVO_EXPORT SessionInfo {
 public:
  virtual ~SessionInfo() = default;
  virtual std::int16_t UserID() const = 0;
  virtual std::string UserName() const = 0;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_SESSION_INFO_HPP_
