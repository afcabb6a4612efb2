#include "bills/sql_names.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "orvo/automation/error.hpp"
#include "orvo/store/schema.hpp"

namespace orvo::bills {

namespace {

// The server's limit: database, schema and table.
constexpr std::size_t kMostTableNameParts = 3;

// "TableName must be a table name, not \"x y\"."
[[noreturn]] void Refuse(std::string_view argument, const std::string& expected,
                         const std::string& given) {
  throw RuntimeError(kInvalidProcedureCall,
                     std::string(argument) + " must " + expected + ", not " + given + ".");
}

// The parts of `text` when it is at most `most` names joined by dots and
// nothing else, none of them a keyword of the database; raises 5, saying that
// it must be `what`, otherwise.
std::vector<ado::NamePart> NameParts(const ado::Connection& connection, std::string_view argument,
                                     std::string_view text, std::size_t most,
                                     const std::string& what) {
  const std::optional<std::vector<ado::NamePart>> parts = connection.SplitName(text);
  if (!parts || parts->size() > most) Refuse(argument, "be " + what, QuotedForError(text));
  for (const ado::NamePart& part : *parts) {
    if (part.bare && connection.IsKeyword(part.name)) {
      Refuse(argument, "be " + what, "the keyword " + QuotedForError(part.name));
    }
  }
  return *parts;
}

}  // namespace

BusinessTable BusinessTable::Require(ado::Connection& connection, std::string_view argument,
                                     std::string_view name) {
  const std::vector<ado::NamePart> parts =
      NameParts(connection, argument, name, kMostTableNameParts, "a table name");
  // The store's own tables hold every user's templates and who may see them:
  // no caller reads or counts them as business rows.
  if (store::IsStoreTable(parts.back().name))
    Refuse(argument, "name an existing table", QuotedForError(name));
  std::optional<std::vector<std::string>> columns = connection.TableColumns(parts);
  if (!columns) Refuse(argument, "name an existing table", QuotedForError(name));
  return BusinessTable(connection, std::string(name), std::move(*columns));
}

std::string BusinessTable::RequireColumn(std::string_view argument, std::string_view name) const {
  ado::NamePart column = NameParts(*connection_, argument, name, 1, "a column name").front();
  const bool exists = std::any_of(columns_.begin(), columns_.end(), [&](const std::string& c) {
    return connection_->NamesColumn(column, c);
  });
  if (!exists) Refuse(argument, "name a column of " + name_, QuotedForError(name));
  return std::move(column.name);
}

void RequireLiteral(const ado::Connection& connection, std::string_view argument,
                    std::string_view value) {
  if (!connection.IsLiteral(value)) {
    Refuse(argument, "be a number or a text between single quotes", QuotedForError(value));
  }
}

void RequireIdList(const ado::Connection& connection, std::string_view argument,
                   std::string_view ids) {
  if (!connection.IsLiteralList(ids)) {
    Refuse(argument, "be numbers or texts between single quotes, separated by commas",
           QuotedForError(ids));
  }
}

}  // namespace orvo::bills
