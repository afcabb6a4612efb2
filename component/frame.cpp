#include "component/frame.hpp"

#include <new>

namespace orvo::component {

namespace {

constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kFirstObjectError = HResult(0x80040001u);

// The error in flight, as the caller will see it before the method's own
// convention is applied.
AutomationError CurrentError() noexcept {
  try {
    throw;
  } catch (const AutomationError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return RuntimeError(kOutOfMemory, "Out of memory");
  } catch (const std::exception& error) {
    return AutomationError(ado::kErrFailure, kLibraryName, error.what());
  } catch (...) {
    return AutomationError(ado::kErrFailure, kLibraryName, "Unknown failure");
  }
}

}  // namespace

std::int16_t MethodContext::UserID() const {
  return self_.dataContext_->Session()->UserID();
}

std::string MethodContext::UserName() const {
  return self_.dataContext_->Session()->UserName();
}

host::DataContext& MethodContext::DataContext() const {
  return *self_.dataContext_;
}

void MethodFrame::Enter(PrintSetupObject& self, const MethodConvention& convention,
                        const std::string& sDsn, MethodContext& context) {
  if (convention.start == MethodConvention::Start::Complete) self.dataContext_->Complete();
  // GetConnection renews the data context; the method works with the
  // connection that the renewed context gives.
  self.GetConnection(sDsn);
  context.connection_ = self.dataContext_->Connection();
  if (convention.start == MethodConvention::Start::Abort) self.dataContext_->Abort();
}

void MethodFrame::Leave(PrintSetupObject& self, const MethodConvention& convention,
                        host::CallScope& scope, MethodContext& context) {
  // A commit that fails is reported without the line of the body's last
  // step, which did not fail.
  context.SetLine(0);
  if (convention.completeAtEnd) self.dataContext_->Complete();
  scope.End();
}

void MethodFrame::Release(MethodContext& context) noexcept {
  context.connection_.reset();
}

AutomationError MethodFrame::Fail(PrintSetupObject& self, const MethodConvention& convention,
                                  MethodContext& context) noexcept {
  AutomationError error = CurrentError();
  context.connection_.reset();
  if (convention.abortOnFailure && self.dataContext_) {
    try {
      self.dataContext_->Abort();
    } catch (...) {
      // The caller is told of the failure that ended the method, not of a
      // host that could not take the vote.
    }
  }
  try {
    switch (convention.failure) {
      case MethodConvention::Failure::Unchanged:
        return AutomationError(error.number(), error.source(), error.description())
            .WithNativeCode(error.nativeCode());
      case MethodConvention::Failure::HelpFile64:
        return AutomationError(error.number(), error.source(), error.description(), "64")
            .WithNativeCode(error.nativeCode());
      case MethodConvention::Failure::PictureData:
        return AutomationError(kFirstObjectError, convention.source, error.description(),
                               error.helpFile(), error.helpContext())
            .WithNativeCode(error.nativeCode());
      case MethodConvention::Failure::Prefixed: {
        std::string source = convention.source;
        if (context.line_ != 0) source += "(line: " + std::to_string(context.line_) + ")";
        source += "\r\n" + error.source();
        return AutomationError(error.number(), std::move(source), error.description())
            .WithNativeCode(error.nativeCode());
      }
    }
  } catch (...) {
    // Building the text ran out of memory; the unchanged error still says what failed.
  }
  return error;
}

}  // namespace orvo::component
