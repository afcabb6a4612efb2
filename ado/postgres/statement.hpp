// Statement is one statement prepared on the server under a name of its
// connection (extended protocol): prepared and described in the constructor,
// deallocated in the destructor while the connection lasts. The server infers
// the type of each marker from where it stands; each value is bound in the
// form of that type (whole numbers, dates as timestamps and byte arrays in
// binary, texts as UTF-8), so one prepared statement takes values of any
// kind, as SQLite's loosely typed markers do. A text meant for a number is
// sent as text, for the server to read or refuse.
//
// Used on its connection's thread. Values bound stay referenced, not copied,
// until Run returns: they must stay alive until then.

#ifndef ORVO_ADO_POSTGRES_STATEMENT_HPP_
#define ORVO_ADO_POSTGRES_STATEMENT_HPP_

#include <libpq-fe.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "ado/parameterize.hpp"
#include "ado/postgres/database.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::ado::postgres {

// The type a value is bound as where the server cannot infer one: texts and
// Null stay the server's choice (0).
Oid TypeOf(const Variant& value);

class Statement {
 public:
  // Raises the server's error when it refuses the statement. `types` gives
  // the types of the first markers where the server cannot infer them (0:
  // the server's choice).
  Statement(Database& db, std::string name, const std::string& sql,
            const std::vector<Oid>& types = {});
  ~Statement();

  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  std::size_t MarkerCount() const { return types_.size(); }
  // The description of the statement's columns (no rows).
  const PGresult* Description() const { return description_.get(); }
  // Whether every column is of a type read in binary.
  bool BinaryResults() const { return binaryResults_; }

  // Binds the marker at `index` (from 0): Null, Boolean, numbers, Date,
  // String, Bytes; raises 13 for a value of no bindable kind.
  void Bind(std::size_t index, const Variant& value);
  void BindLifted(std::size_t index, const LiftedValue& literal);

  // Runs the statement with the values bound, which it then forgets.
  Result Run();
  // Queues it so, in a pipeline of its connection (Database::Pipelined);
  // false when libpq would not take it.
  bool Send();

 private:
  void BindText(std::size_t index, const std::string& text);
  void BindOwnedText(std::size_t index, std::string text);
  void BindInteger(std::size_t index, std::int64_t value);
  void BindReal(std::size_t index, double value);
  void BindBinary(std::size_t index, const void* data, std::size_t size);
  void Set(std::size_t index, const char* data, std::size_t size, int format);

  Database& db_;
  std::string name_;
  Result description_;
  std::vector<Oid> types_;
  bool binaryResults_ = false;
  // Per marker, as libpq takes them: the value (null for Null), its length
  // and its format (0 text, 1 binary).
  std::vector<const char*> values_;
  std::vector<int> lengths_;
  std::vector<int> formats_;
  std::vector<std::array<char, 8>> numbers_;
  std::deque<std::string> texts_;  // texts made for this run
};

}  // namespace orvo::ado::postgres

#endif  // ORVO_ADO_POSTGRES_STATEMENT_HPP_
