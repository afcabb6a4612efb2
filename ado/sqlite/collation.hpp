// The collation "ORVO_CI" that the text columns of stores made before schema
// version 2 declare: letters compare without regard to ASCII case and
// trailing blanks are ignored ('abc' = 'ABC  '). Stores now use SQLite's own
// NOCASE, so that every SQLite tool reads them; this collation is registered
// only on a connection that upgrades such a store, which cannot even be read
// without it.
//
// Registered per database handle, on the handle's thread.

#ifndef ORVO_ADO_SQLITE_COLLATION_HPP_
#define ORVO_ADO_SQLITE_COLLATION_HPP_

#include <sqlite3.h>

namespace orvo::ado::sqlite {

inline constexpr const char* kEarlierCaseInsensitiveCollation = "ORVO_CI";

// Raises the mapped error when SQLite refuses the registration.
void RegisterEarlierCaseInsensitiveCollation(sqlite3* db);

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_COLLATION_HPP_
