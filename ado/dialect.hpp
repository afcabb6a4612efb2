// The dialect adapter: turns a statement text written for the original
// database server into one that a backend's database runs with the same
// meaning. It works on tokens (ado/tokenizer.hpp), so nothing between quotes
// is ever changed. The rewrites:
//   - "@@IDENTITY" becomes the backend's expression for the identity made by
//     the last insert on this connection (Null when none);
//   - "select top N ..." loses "top N" and gains " LIMIT N" at the end of that
//     select (top level or parenthesised); a select with "top N" inside a
//     compound (union, except, intersect) becomes "select * from (... LIMIT
//     N)", so that N limits that select and not the compound;
//   - the function isnull( becomes the backend's two-argument equivalent;
//   - "Delete T Where ..." at the start of a statement gains the FROM that the
//     server let callers leave out;
//   - a number glued to a word ("5and") gets a blank between the two;
//   - [bracketed] names become "quoted" names, N'text' becomes 'text';
//   - a bare name holding "#" or "@" ("#temp"), which the backends would
//     read as a marker or an operator, becomes the "quoted" name it is;
//   - a marker glued to a number or a name gets a blank between the two;
//   - a select-list item that is a plain column reference without alias gets
//     AS "<name as written>", so a field reports the spelling of the statement
//     rather than the spelling of the column declaration;
//   - where the backend asks for it: markers numbered $1, $2, ..., a bare
//     select-list alias quoted as written, a byte array x'0a0b' decoded from
//     its hexadecimal text, a [bracketed] name folded as a bare one.
// A quoted text or name that the statement text ends inside of stays as
// written, for the database to refuse.
//
// Stateless and safe to call from any thread; backends cache the results.

#ifndef ORVO_ADO_DIALECT_HPP_
#define ORVO_ADO_DIALECT_HPP_

#include <string>
#include <string_view>

namespace orvo::ado {

// What a backend's database spells differently.
struct DialectSpelling {
  // Stands in for @@IDENTITY; must give Null when this connection made none.
  std::string_view identityExpression;
  // Appended after identityExpression when @@IDENTITY is a whole select-list
  // item, to give the column the empty name that the server gave it; "" when
  // the database cannot name a column so.
  std::string_view identityAlias;
  // The two-argument function that replaces isnull(a, b).
  std::string_view isnullFunction;
  // Markers numbered $1, $2, ... in their order instead of "?".
  bool numberedMarkers = false;
  // A select-list alias written bare ("AS FBlob") quoted, so that a database
  // that folds bare names to lower case names the column as written.
  bool quotedAliases = false;
  // A byte array written x'0a0b' read with decode('0a0b', 'hex').
  bool hexThroughDecode = false;
  // A [bracketed] name quoted in lower case (ASCII), so that it names what a
  // bare name names on a database that folds bare names to lower case and
  // compares quoted ones as written; brackets, as on the original server,
  // only let a name hold any character. A bare name that must be quoted is
  // folded so too.
  bool foldBrackets = false;
};

std::string AdaptStatement(std::string_view text, const DialectSpelling& spelling);

}  // namespace orvo::ado

#endif  // ORVO_ADO_DIALECT_HPP_
