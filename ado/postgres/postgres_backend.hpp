// The PostgreSQL backend: a store on a database server, reached through
// libpq with the data source's "Host", "Port", "Database", "User ID" and
// "Password" and the libpq keys a server needs (sslmode, connect_timeout,
// application_name, options, ...). What a key leaves out libpq takes from
// its environment (PGHOST, PGPORT, ...). Statement texts are adapted to the
// server's dialect once per shape and prepared once per shape and
// connection, so a repeated call sends no statement text.
//
// "select @@IDENTITY" reads the id that the last insert on this connection
// made: every insert runs inside a statement that records its new id (or
// none, for a table without an identity) in the connection's setting
// orvo.identity. A writing unit of work takes a lock of its store (its
// database and schema) as it begins, so that writers follow one another as
// they do on an embedded store; readers never wait.
//
// The returned backend is owned by its Connection and used on one thread at a
// time.

#ifndef ORVO_ADO_POSTGRES_POSTGRES_BACKEND_HPP_
#define ORVO_ADO_POSTGRES_POSTGRES_BACKEND_HPP_

#include <memory>
#include <string_view>

#include "ado/backend.hpp"
#include "ado/connection_string.hpp"
#include "ado/dialect.hpp"

namespace orvo::ado {

// The server's spellings. A column cannot be named "" on the server; the
// backend gives the column that it names "@@IDENTITY" the empty name.
inline constexpr DialectSpelling kPostgresSpelling{
    "nullif(current_setting('orvo.identity', true), '')::bigint",
    " AS \"@@IDENTITY\"",
    "coalesce",
    true,
    true,
    true,
    true};

// The data source keys the PostgreSQL backend reads: its own names for the
// server, the database and the login, and libpq's keys as libpq spells them.
inline constexpr std::string_view kPostgresKeys[] = {"Host",
                                                     "Port",
                                                     "Database",
                                                     "User ID",
                                                     "Password",
                                                     "hostaddr",
                                                     "passfile",
                                                     "connect_timeout",
                                                     "options",
                                                     "application_name",
                                                     "sslmode",
                                                     "sslcert",
                                                     "sslkey",
                                                     "sslrootcert",
                                                     "sslcrl",
                                                     "sslpassword",
                                                     "channel_binding",
                                                     "gssencmode",
                                                     "keepalives",
                                                     "keepalives_idle",
                                                     "keepalives_interval",
                                                     "keepalives_count",
                                                     "tcp_user_timeout",
                                                     "target_session_attrs"};

// Raises 0x80004005 (source "PostgreSQL") when the server cannot be reached
// or refuses the login.
std::unique_ptr<Backend> OpenPostgresBackend(const ConnectionString& connectionString,
                                             IfMissing ifMissing);

}  // namespace orvo::ado

#endif  // ORVO_ADO_POSTGRES_POSTGRES_BACKEND_HPP_
