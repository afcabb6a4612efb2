// A value bound to a statement's marker, as commands and the classes'
// statements hand it to a connection and a connection to its backend.

#ifndef ORVO_ADO_BOUND_VALUE_HPP_
#define ORVO_ADO_BOUND_VALUE_HPP_

#include "orvo/ado/types.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::ado {

// A value bound to a statement's marker, already converted to its parameter's
// type: Null, Boolean, Integer, Long, Double (also for adUnsignedInt), Date,
// String or Bytes.
struct BoundValue {
  DataTypeEnum type = adVariant;
  Variant value;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_BOUND_VALUE_HPP_
