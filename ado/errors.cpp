#include "ado/errors.hpp"

#include "orvo/ado/types.hpp"

namespace orvo::ado {

AutomationError ObjectClosedError(std::string source) {
  return AutomationError(kErrObjectClosed, std::move(source),
                         "Operation is not allowed when the object is closed.");
}

AutomationError ObjectOpenError(std::string source) {
  return AutomationError(kErrObjectOpen, std::move(source),
                         "Operation is not allowed when the object is open.");
}

AutomationError NoCurrentRecordError(std::string source) {
  return AutomationError(kErrNoCurrentRecord, std::move(source),
                         "Either BOF or EOF is True, or the current record has been deleted. "
                         "Requested operation requires a current record.");
}

AutomationError ItemNotFoundError(std::string source) {
  return AutomationError(kErrItemNotFound, std::move(source),
                         "Item cannot be found in the collection corresponding to the requested "
                         "name or ordinal.");
}

AutomationError NoConnectionError(std::string source) {
  return AutomationError(kErrNoConnection, std::move(source),
                         "The connection cannot be used to perform this operation. It is either "
                         "closed or invalid in this context.");
}

AutomationError InvalidArgumentError(std::string source, std::string description) {
  return AutomationError(kErrInvalidArgument, std::move(source), std::move(description));
}

}  // namespace orvo::ado
