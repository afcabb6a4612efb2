// PrintSetupObject is what the six classes have in common: the one piece of
// state an instance keeps (its reference to the host's DataContext, taken
// from the thread's ServiceHub when the instance is created and renewed by
// every call that opens a data source), GetConnection, and the count of live
// instances that decides whether the library may be unloaded.
//
// Instances are apartment-threaded: each is used only on the thread that
// created it. Results of the classes' methods are new objects that belong to
// the caller.

#ifndef ORVO_COMPONENT_PRINT_SETUP_OBJECT_HPP_
#define ORVO_COMPONENT_PRINT_SETUP_OBJECT_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "orvo/ado/connection.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/export.hpp"
#include "orvo/host/data_context.hpp"

namespace orvo {

namespace component {
class MethodContext;
class MethodFrame;
}  // namespace component

class ORVO_EXPORT PrintSetupObject : public Dispatch {
 public:
  ~PrintSetupObject() override;
  PrintSetupObject(const PrintSetupObject&) = delete;
  PrintSetupObject& operator=(const PrintSetupObject&) = delete;

  // The data context the instance holds now.
  const std::shared_ptr<host::DataContext>& DataContext() const { return dataContext_; }

  // Instances of the six classes alive in this process.
  static std::int64_t LiveObjects();

  // Raises 0x8001010E when called on another thread than the one that
  // created the instance: its data context, votes and journal belong to
  // that thread.
  void RequireOwnThread() const;

 protected:
  // Takes the data context from the thread's ServiceHub; a failure there
  // fails the creation with the host's error.
  PrintSetupObject();

  // Asks the hub for a fresh data context (releasing the one held), opens the
  // data source with it and returns its connection.
  std::shared_ptr<ado::Connection> GetConnection(const std::string& sDsn);

 private:
  friend class component::MethodContext;
  friend class component::MethodFrame;
  std::shared_ptr<host::DataContext> dataContext_;
  std::thread::id thread_ = std::this_thread::get_id();
};

// The three update classes also report how the host should treat their units
// of work, and split the "FKey" texts they are given.
class ORVO_EXPORT PrintSetupUpdateObject : public PrintSetupObject {
 public:
  // The TransMode value 2, always; touches neither the data context nor the
  // database.
  std::int32_t TransMode() const { return 2; }

  // The piece at `index` (from 0) of `text` split at every `separator`; the
  // empty string past the last piece or for an empty text. A negative index
  // raises 9 "Subscript out of range". The classes' own routine, in no
  // interface: late-bound callers cannot reach it.
  static std::string GetSplitItem(const std::string& text, const std::string& separator,
                                  std::int16_t index);
};

}  // namespace orvo

#endif  // ORVO_COMPONENT_PRINT_SETUP_OBJECT_HPP_
