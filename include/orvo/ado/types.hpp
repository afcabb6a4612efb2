// The type codes and small value types of the data-access layer, numbered as
// the classes use them (ADO's DataTypeEnum, CommandTypeEnum and friends).

#ifndef ORVO_ADO_TYPES_HPP_
#define ORVO_ADO_TYPES_HPP_

#include <cstdint>
#include <string>

#include "orvo/automation/variant.hpp"

namespace orvo::ado {

enum DataTypeEnum : std::int32_t {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adDouble = 5,
  adDate = 7,
  adBoolean = 11,
  adVariant = 12,
  adBigInt = 20,
  adUnsignedInt = 19,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
  adLongVarBinary = 205,
};

enum CommandTypeEnum : std::int32_t { adCmdText = 1 };
enum ParameterDirectionEnum : std::int32_t { adParamInput = 1 };
enum CursorLocationEnum : std::int32_t { adUseServer = 2, adUseClient = 3 };
enum LockTypeEnum : std::int32_t { adLockUnspecified = -1, adLockReadOnly = 1 };
enum CursorTypeEnum : std::int32_t { adOpenUnspecified = -1, adOpenForwardOnly = 0 };
enum StreamTypeEnum : std::int32_t { adTypeBinary = 1, adTypeText = 2 };
enum ObjectStateEnum : std::int32_t { adStateClosed = 0, adStateOpen = 1 };

// The size the classes declare for a long binary parameter (a template body,
// page settings): 2^31 - 1, the largest a parameter may declare.
inline constexpr std::int32_t kLongBinarySize = 2147483647;

// How a transaction begins. A reading one takes no lock until it first writes,
// and a database may then refuse it at once when another writer came first; a
// writing one takes the write lock as it begins, so it waits for another
// writer (up to the connection's busy timeout) and can never fail half-way
// for that reason.
enum class TransactionKind { Reading, Writing };

// The database a connection runs on. What lies above the data-access layer
// keeps one thing per kind (the store's schema), never a provider's name.
enum class BackendKind { Sqlite, Postgres };

// Error numbers of the data-access layer.
inline constexpr std::int32_t kErrStatementRefused = static_cast<std::int32_t>(0x80040E14u);
inline constexpr std::int32_t kErrConstraint = static_cast<std::int32_t>(0x80040E2Fu);
inline constexpr std::int32_t kErrFailure = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kErrValueDoesNotFit = static_cast<std::int32_t>(0x80040E57u);
inline constexpr std::int32_t kErrProviderNotFound = static_cast<std::int32_t>(0x800A0E7Au);
inline constexpr std::int32_t kErrObjectClosed = static_cast<std::int32_t>(0x800A0E78u);
inline constexpr std::int32_t kErrNoCurrentRecord = static_cast<std::int32_t>(0x800A0BCDu);
inline constexpr std::int32_t kErrItemNotFound = static_cast<std::int32_t>(0x800A0CC1u);

}  // namespace orvo::ado

#endif  // ORVO_ADO_TYPES_HPP_
