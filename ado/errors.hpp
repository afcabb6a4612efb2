// The errors that the data-access objects raise themselves (as opposed to
// those a backend maps from its database), with the numbers and texts that
// callers of the original data-access layer test for.
//
// Stateless and safe to call from any thread.

#ifndef ORVO_ADO_ERRORS_HPP_
#define ORVO_ADO_ERRORS_HPP_

#include <cstdint>
#include <string>

#include "orvo/automation/error.hpp"

namespace orvo::ado {

inline constexpr std::int32_t kErrInvalidArgument = HResult(0x800A0BB9u);
inline constexpr std::int32_t kErrNotAllowedInContext = HResult(0x800A0C93u);
inline constexpr std::int32_t kErrObjectOpen = HResult(0x800A0E79u);
inline constexpr std::int32_t kErrNoConnection = HResult(0x800A0E7Du);

// 0x800A0E78 "Operation is not allowed when the object is closed."
AutomationError ObjectClosedError(std::string source);
// 0x800A0E79 "Operation is not allowed when the object is open."
AutomationError ObjectOpenError(std::string source);
// 0x800A0BCD "Either BOF or EOF is True, ..."
AutomationError NoCurrentRecordError(std::string source);
// 0x800A0CC1 "Item cannot be found in the collection ..."
AutomationError ItemNotFoundError(std::string source);
// 0x800A0E7D "The connection cannot be used to perform this operation. ..."
AutomationError NoConnectionError(std::string source);
// 0x800A0BB9 with a description that says what was wrong.
AutomationError InvalidArgumentError(std::string source, std::string description);

}  // namespace orvo::ado

#endif  // ORVO_ADO_ERRORS_HPP_
