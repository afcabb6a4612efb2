// RowToDictionary turns the current row of a recordset into a new Dictionary
// keyed by the field names as the statement wrote them, in field order: Null
// becomes the empty string and a Boolean field the 16-bit integer 1 or 0, so
// that callers get plain values. The recordset's position is not changed.
//
// The Dictionary belongs to the caller. Same thread as the recordset.

#ifndef ORVO_STORE_ROW_TO_DICTIONARY_HPP_
#define ORVO_STORE_ROW_TO_DICTIONARY_HPP_

#include <memory>

#include "orvo/ado/recordset.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::store {

// Raises the recordset's error when it is closed or at its end.
std::shared_ptr<Dictionary> RowToDictionary(ado::Recordset& recordset);

}  // namespace orvo::store

#endif  // ORVO_STORE_ROW_TO_DICTIONARY_HPP_
