// The collation "ORVO_CI" that text columns declare: letters compare without
// regard to ASCII case and trailing blanks are ignored ('abc' = 'ABC  '), as
// the original database's default collation compared them. Other bytes
// compare as they are.
//
// Registered once per database handle, on the handle's thread.

#ifndef ORVO_ADO_SQLITE_COLLATION_HPP_
#define ORVO_ADO_SQLITE_COLLATION_HPP_

#include <sqlite3.h>

namespace orvo::ado::sqlite {

inline constexpr const char* kCaseInsensitiveCollation = "ORVO_CI";

// Raises the mapped error when SQLite refuses the registration.
void RegisterCaseInsensitiveCollation(sqlite3* db);

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_COLLATION_HPP_
