// A SQLite store's count of the version numbers given put back where schemas
// up to 8 kept it, for tests that upgrade stores of those schemas.

#ifndef ORVO_TESTS_SUPPORT_SETTINGS_ROW_COUNT_HPP_
#define ORVO_TESTS_SUPPORT_SETTINGS_ROW_COUNT_HPP_

#include <string>

#include "store/tables.hpp"

namespace orvo::testing {

// Moves the count from the version counter's row in sqlite_sequence into the
// settings row (FLastVersion, between the number kept and the newest version
// compacted) and drops the counter. The triggers that raised the count named
// it; here they become ones that do nothing, each schema's own to be made by
// the caller. `read(query)` gives the query's first value as text,
// `run(statement)` runs a statement.
template <class Read, class Run>
void CountVersionsInTheSettingsRow(const Read& read, const Run& run) {
  const std::string last =
      read("select seq from sqlite_sequence where name = 'T_PrintHistoryVersion'");
  run("drop table T_PrintHistoryVersion");
  for (const store::HistoryTable& history : store::HistoryTables()) {
    const std::string& name = history.table.name;
    for (const std::string event : {"UPDATE", "DELETE"}) {
      run("drop trigger TR_" + name + "_" + event);
      run("create trigger TR_" + name + "_" + event + " after " + event + " on " +
          history.of->name + " begin select 1; end");
    }
    run("drop trigger TR_" + name + "_Numbered");
    run("create trigger TR_" + name + "_Numbered after insert on " + name + " begin select 1; end");
  }
  const std::string settings = store::kHistorySettings;
  const std::string keep = read("select FKeep from " + settings);
  const std::string compacted = read("select FCompacted from " + settings);
  run("drop table " + settings);
  run("create table " + settings +
      " (FKeep INTEGER NOT NULL CHECK (typeof(FKeep) = 'integer' AND FKeep >= 0), FLastVersion "
      "INTEGER NOT NULL DEFAULT 0, FCompacted INTEGER NOT NULL DEFAULT 0)");
  run("insert into " + settings + " values (" + keep + ", " + last + ", " + compacted + ")");
}

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_SETTINGS_ROW_COUNT_HPP_
