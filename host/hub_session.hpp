// HubSession is the SessionInfo of the default data context: it reads the
// user signed in on its hub at each read, so a sign-in or sign-out between two
// reads shows, and a read with nobody signed in raises the hub's error.
//
// It refers to the hub of the default data context that holds it, which
// keeps the hub alive. Used on the thread of its hub.

#ifndef ORVO_HOST_HUB_SESSION_HPP_
#define ORVO_HOST_HUB_SESSION_HPP_

#include <cstdint>
#include <string>

#include "orvo/host/service_hub.hpp"
#include "orvo/host/session_info.hpp"

namespace orvo::host {

class HubSession final : public SessionInfo {
 public:
  explicit HubSession(const ServiceHub& hub) : hub_(hub) {}

  std::int16_t UserID() const override { return hub_.SignedInUser().id; }
  std::string UserName() const override { return hub_.SignedInUser().name; }

 private:
  const ServiceHub& hub_;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_HUB_SESSION_HPP_
