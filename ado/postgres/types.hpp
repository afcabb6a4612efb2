// The type oids of the server's built-in types that the backend binds and
// reads (pg_type.oid; fixed for every server).

#ifndef ORVO_ADO_POSTGRES_TYPES_HPP_
#define ORVO_ADO_POSTGRES_TYPES_HPP_

#include <libpq-fe.h>

namespace orvo::ado::postgres {

inline constexpr Oid kBoolOid = 16;
inline constexpr Oid kByteaOid = 17;
inline constexpr Oid kCharOid = 18;
inline constexpr Oid kNameOid = 19;
inline constexpr Oid kInt8Oid = 20;
inline constexpr Oid kInt2Oid = 21;
inline constexpr Oid kInt4Oid = 23;
inline constexpr Oid kTextOid = 25;
inline constexpr Oid kOidOid = 26;
inline constexpr Oid kFloat4Oid = 700;
inline constexpr Oid kFloat8Oid = 701;
inline constexpr Oid kUnknownOid = 705;
inline constexpr Oid kBpcharOid = 1042;
inline constexpr Oid kVarcharOid = 1043;
inline constexpr Oid kDateOid = 1082;
inline constexpr Oid kTimestampOid = 1114;
inline constexpr Oid kTimestamptzOid = 1184;
inline constexpr Oid kNumericOid = 1700;

// Timestamps count microseconds from 2000-01-01 00:00, dates days from it:
// day 36526 of the automation platform's dates.
inline constexpr double kServerEpochSerial = 36526;
inline constexpr double kMicrosecondsPerDay = 86400e6;

}  // namespace orvo::ado::postgres

#endif  // ORVO_ADO_POSTGRES_TYPES_HPP_
