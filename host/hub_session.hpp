// HubSession is the SessionInfo of the default data context: it reads the
// user signed in on its hub at each read, so a sign-in or sign-out between two
// reads shows, and a read with nobody signed in raises the hub's error.
//
// It shares the hub. Used on the thread of its hub.

#ifndef ORVO_HOST_HUB_SESSION_HPP_
#define ORVO_HOST_HUB_SESSION_HPP_

#include <memory>

#include "orvo/host/service_hub.hpp"
#include "orvo/host/session_info.hpp"

namespace orvo::host {

class HubSession final : public SessionInfo {
 public:
  explicit HubSession(std::shared_ptr<const ServiceHub> hub) : hub_(std::move(hub)) {}

  std::int16_t UserID() const override { return hub_->SignedInUser().id; }
  std::string UserName() const override { return hub_->SignedInUser().name; }

 private:
  std::shared_ptr<const ServiceHub> hub_;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_HUB_SESSION_HPP_
