// The operator's work on whole stores, below the command line: listing what a
// store holds, exporting it to a folder and importing it again, copying it to
// another store of either backend, and checking it. Each opens its own
// connections to the data sources it is given, so it runs on either backend;
// it reads and writes rows with bound values, by the columns the store's own
// table descriptions (store/tables.hpp) name.
//
// Failures raise AutomationError with a message that says what was refused
// and that nothing was written. Runs on the caller's thread; each call owns
// its connections for its length.

#ifndef ORVO_OPERATE_OPERATIONS_HPP_
#define ORVO_OPERATE_OPERATIONS_HPP_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ado/statement_observer.hpp"
#include "orvo/automation/variant.hpp"
#include "store/history_bodies.hpp"

namespace orvo::operate {

// Told how many rows of `total` are done, as the work goes on; total is known
// before the first row.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// What every operation takes besides its own arguments: who sees its
// statements (null for none) and who hears of its progress (empty for none).
struct Watchers {
  std::shared_ptr<ado::StatementObserver> observer;
  Progress progress;
};

// Rows of one of the store's tables, by its columns, in id order.
struct TableRows {
  std::string table;
  std::string family;  // "standard", "partitioned" or "report"
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
};

// Which templates and assignment rows ListTemplates gives; an absent filter
// lets every value pass. A bill type leaves out the report family, a report
// the bill families, a partition every family but the partitioned one.
struct TemplateFilter {
  std::optional<std::int32_t> user;
  std::optional<std::int32_t> billType;
  std::optional<std::int32_t> report;
  std::optional<std::int32_t> partition;
};

struct TemplateListing {
  // Per template table: its columns but the body, then "bytes", the body's
  // size (Null for no body).
  std::vector<TableRows> templates;
  // Per row table: the rows that link a user to a template (the link > 0,
  // no body of their own), every column but the settings picture.
  std::vector<TableRows> assignments;
};
TemplateListing ListTemplates(const std::string& dsn, const TemplateFilter& filter,
                              const Watchers& watchers);

// How many rows a move wrote, per table in the store's order.
struct MoveReport {
  std::vector<std::pair<std::string, std::uint64_t>> rows;
  std::uint64_t files = 0;  // export and import: the files of bytes
};

// Writes the store into `folder`, which must not exist yet (it is made) or be
// an empty directory: a manifest plus one file per value of bytes. Never
// follows a link in the folder, never replaces a file; on a failure removes
// what it wrote.
MoveReport ExportStore(const std::string& dsn, const std::filesystem::path& folder,
                       const Watchers& watchers);

// Reads a folder that ExportStore wrote into the store of `dsn`, made when
// missing, whose tables must hold no row: every id kept, each identity
// continuing where the exported one stood. Checks the whole folder before
// it writes, and writes in one transaction.
MoveReport ImportStore(const std::filesystem::path& folder, const std::string& dsn,
                       const Watchers& watchers);

// Copies the store of `from` into the store of `to` (either backend, made
// when missing, its tables holding no row) in one transaction on the target,
// every id kept and each identity continuing where the source's stood.
MoveReport CopyStore(const std::string& from, const std::string& to, const Watchers& watchers);

// A row that names a template that the store does not hold.
struct DanglingRow {
  std::string table;
  std::int32_t id = 0;
  std::string column;  // the link column
  std::int32_t templateId = 0;
  std::string templateTable;
};

struct CheckReport {
  int schemaVersion = 0;  // as the store records it; 0 when it holds no store
  int currentVersion = 0;
  std::string integrityCheck;  // what the backend's check looks at
  std::vector<std::string> integrityProblems;
  std::vector<std::string> missingObjects;  // tables and indexes of the schema
  // "<table>: last id given N, largest id M": the next insert would collide.
  std::vector<std::string> identitiesBehind;
  std::vector<DanglingRow> danglingRows;

  bool Sound() const;
};
CheckReport CheckStore(const std::string& dsn, const Watchers& watchers);

// Which versions of the store's history ListHistory gives; an absent filter
// lets every value pass. A template id selects the versions of the templates
// of that id (one per family at most); a user the versions of the user's
// settings and of the templates the user's assignment rows link to.
struct HistoryFilter {
  std::optional<std::int32_t> templateId;
  std::optional<std::int32_t> user;
  std::optional<std::int32_t> billType;
  std::optional<std::int32_t> report;
  std::optional<Variant> since;  // a date: versions made at or after it
};
// Per history table: FVersion, FChangedAt, FChange, FId, FName, the bill
// type or report, who (the settings row's user, the template's modifier) and
// "bytes", the size of the body or settings picture; by version.
std::vector<TableRows> ListHistory(const std::string& dsn, const HistoryFilter& filter,
                                   const Watchers& watchers);

struct RestoreReport {
  std::int32_t version = 0;
  std::string table;
  std::int32_t id = 0;
  bool inserted = false;  // the row had been deleted and is back; else it was updated
  // The version that holds what the restore replaced; 0 when none was kept.
  std::int32_t replacedBy = 0;
};
// Puts version `version` back as the current row of its table, in one
// writing transaction: the row is updated to it, or inserted with its id
// when it was deleted. The content it replaces is kept as a version of its
// own, marked "restore". A version the history does not hold is refused and
// nothing changes.
RestoreReport RestoreVersion(const std::string& dsn, std::int32_t version,
                             const Watchers& watchers);

// Keeps the template bodies that the history has kept whole since the last
// compaction as differences from the newer bodies of their templates, a few
// templates at a time (store/history_bodies.hpp).
store::Compaction CompactStore(const std::string& dsn, const Watchers& watchers);

}  // namespace orvo::operate

#endif  // ORVO_OPERATE_OPERATIONS_HPP_
