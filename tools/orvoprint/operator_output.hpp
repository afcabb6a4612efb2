// What the operator's commands (templates, export, import, copy, check) share
// on the command line: reading a command's own options, the choice between a
// table for a person and JSON for a script, the table itself, and the
// progress bar of long work.
//
// Runs on the main thread.

#ifndef ORVO_TOOLS_ORVOPRINT_OPERATOR_OUTPUT_HPP_
#define ORVO_TOOLS_ORVOPRINT_OPERATOR_OUTPUT_HPP_

#include <CLI/CLI.hpp>

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "operate/operations.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

// Parses a command's words with its own options. Gives the exit code when
// the words asked for help (printed on `out`); raises UsageError for words
// that do not parse.
std::optional<int> ParseCommandOptions(CLI::App& app, const std::vector<std::string>& words,
                                       std::ostream& out);

// Whether to print a table: standard output is a terminal and --json was
// not given. Otherwise the command prints JSON, as every command does for a
// script.
bool PrintsTable(bool json);

// A table of columns aligned for a terminal; control characters in a cell
// are shown escaped, so that no stored text can move the cursor.
void PrintTable(std::ostream& out, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows);
// A value as a table cell: Null empty, a date in its general text.
std::string CellText(const orvo::Variant& value);

// Rows of several tables as one JSON array, each row an object with its
// table, its family and a member per column.
OrderedJson RowsJson(const std::vector<orvo::operate::TableRows>& tables);
// Each table with its name, family and number of rows, then its rows.
void PrintTables(std::ostream& out, const std::vector<orvo::operate::TableRows>& tables);

// Rows written per table, and the files of bytes where `files` says so, as a
// move reports them: {"rows":{"<table>":N,...},"files":N}.
void PrintMove(std::ostream& out, const orvo::operate::MoveReport& report, bool files, bool json);

// The statement observer of --trace and a progress bar on a terminal's
// standard error; nothing on a stderr that is no terminal.
orvo::operate::Watchers CommandWatchers(const std::string& work);

}  // namespace orvoprint

#endif  // ORVO_TOOLS_ORVOPRINT_OPERATOR_OUTPUT_HPP_
