// The frame that every public method taking a data source runs in, so that no
// method repeats it. It enters the call's unit of work, runs the preamble
// (the early Complete or Abort of the methods that vote first, GetConnection,
// the working connection), then the method's body, then the closing Complete,
// and ends the unit of work before it returns, so that a commit that fails is
// a failure of the method; on any failure it releases the working
// connection, votes Abort and raises the error by the method's own
// convention, and the unit of work rolls back.
//
// Used on the instance's thread, for the length of one call.

#ifndef ORVO_COMPONENT_FRAME_HPP_
#define ORVO_COMPONENT_FRAME_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "orvo/ado/connection.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/print_setup_object.hpp"
#include "orvo/host/call_scope.hpp"
#include "orvo/host/data_context.hpp"

namespace orvo::component {

// How one method votes and how its failures reach the caller.
struct MethodConvention {
  // The vote cast before the first statement: the four reads that complete
  // at once, the three writes that abort first and keep their work only when
  // they reach their end.
  enum class Start { None, Complete, Abort };
  // How the failing error is raised again.
  enum class Failure {
    Unchanged,    // number, source and description as they came
    HelpFile64,   // the same, with the help file given as 64
    PictureData,  // 0x80040001 with the method's own source
    Prefixed,     // `source` (and the failing line) before the failing error's source
  };

  Start start = Start::None;
  bool completeAtEnd = true;
  bool abortOnFailure = true;
  Failure failure = Failure::Unchanged;
  const char* source = nullptr;  // for Failure::Prefixed and Failure::PictureData
  // The method writes: its unit of work then begins as a writing
  // transaction. A read that may copy the manager's templates begins as a
  // reading one and takes the write lock only when it copies.
  bool writes = false;
};

// What a method body works with: the working connection and the calling user.
class MethodContext {
 public:
  explicit MethodContext(PrintSetupObject& self) : self_(self) {}

  // The working connection taken in the preamble.
  ado::Connection& Connection() const { return *connection_; }
  const std::shared_ptr<ado::Connection>& ConnectionPtr() const { return connection_; }
  // The calling user, read from a fresh SessionInfo each time.
  std::int16_t UserID() const;
  std::string UserName() const;
  host::DataContext& DataContext() const;

  // Marks the statement now running, for sources that report the failing line.
  void SetLine(std::int32_t line) { line_ = line; }

 private:
  friend class MethodFrame;
  PrintSetupObject& self_;
  std::shared_ptr<ado::Connection> connection_;
  std::int32_t line_ = 0;
};

class MethodFrame {
 public:
  // Runs `body(MethodContext&)` inside the frame and returns its result.
  template <class Body>
  static auto Run(PrintSetupObject& self, const MethodConvention& convention,
                  const std::string& sDsn, Body&& body) {
    return Run(
        self, convention, sDsn, [] {}, std::forward<Body>(body));
  }

  // As above, with `before()` run first: inside the handler, but before the
  // preamble votes or opens the data source, for a method that reads its
  // arguments before it connects.
  template <class Before, class Body>
  static auto Run(PrintSetupObject& self, const MethodConvention& convention,
                  const std::string& sDsn, Before&& before, Body&& body) {
    // Refused before the unit of work, so that no vote reaches another
    // thread's data context.
    self.RequireOwnThread();
    for (int attempt = 1;; ++attempt) {
      host::CallScope scope(convention.writes ? ado::TransactionKind::Writing
                                              : ado::TransactionKind::Reading);
      MethodContext context(self);
      try {
        before();
        Enter(self, convention, sDsn, context);
        if constexpr (std::is_void_v<decltype(body(context))>) {
          body(context);
          Leave(self, convention, scope, context);
          return;
        } else {
          auto result = body(context);
          Leave(self, convention, scope, context);
          return result;
        }
      } catch (const ado::TransientError&) {
        // The database ended the transaction so that another could go on: a
        // call that began the unit of work runs it again from its start, the
        // scope rolling back what the failed run did, as often as it takes
        // within reason. A call inside another's unit leaves that to it.
        if (!scope.Outermost() || attempt == kAttempts) throw Fail(self, convention, context);
        Release(context);
      } catch (...) {
        throw Fail(self, convention, context);
      }
    }
  }

 private:
  static void Enter(PrintSetupObject& self, const MethodConvention& convention,
                    const std::string& sDsn, MethodContext& context);
  // The closing vote, then the end of the call's unit of work; neither is a
  // line of the method's body.
  static void Leave(PrintSetupObject& self, const MethodConvention& convention,
                    host::CallScope& scope, MethodContext& context);
  // How often a unit of work runs that the database keeps ending to let
  // others go on.
  static constexpr int kAttempts = 3;

  // Releases the working connection before the unit of work runs again.
  static void Release(MethodContext& context) noexcept;
  // Releases the working connection, votes Abort where the method does, and
  // gives the error to raise. Called inside a catch block.
  static AutomationError Fail(PrintSetupObject& self, const MethodConvention& convention,
                              MethodContext& context) noexcept;
};

}  // namespace orvo::component

#endif  // ORVO_COMPONENT_FRAME_HPP_
