// The commands of orvoprint. Each takes the global options and returns the
// process's exit code; a raised AutomationError is printed by main, and a
// UsageError ends the program with exit code 2.
//
// Runs on the main thread.

#ifndef ORVO_TOOLS_ORVOPRINT_COMMANDS_HPP_
#define ORVO_TOOLS_ORVOPRINT_COMMANDS_HPP_

#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvo/automation/variant.hpp"
#include "orvo/component/classes.hpp"

namespace orvoprint {

struct Options {
  std::string dsn = "Provider=SQLite;Data Source=printexport.db";
  bool dsnGiven = false;
  std::int16_t userId = orvo::kManagerUser;
  std::string userName = "Manager";
  bool trace = false;
};

// A command line that does not say what to do.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates the store, or upgrades it in place, and says what it did. args:
// [--history-keep N], how many versions of each template the store keeps
// from now on (0: none); without it, what the store kept before.
int RunInit(const Options& options, const std::vector<std::string>& args, std::ostream& out);
// words: CLASS MEMBER [ARG ...]. Prints the result as JSON.
int RunCall(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// What RunCall does but printing: calls the member and gives its result
// (Empty for a member without one) and whether the member has a result.
struct CallResult {
  orvo::Variant value;
  bool hasResult = false;
};
CallResult Call(const Options& options, const std::vector<std::string>& words);
// Lists one class (by name or ProgID) or, for an empty name, all of them.
int RunMembers(const std::string& className, std::ostream& out);
// Builds a small store and shows what callers see.
int RunDemo(const Options& options, std::ostream& out);

// The operator's commands. Each reads its own options from `words` (--help
// among them), prints a table on a terminal and JSON otherwise or with --json.
// Lists templates and assignment rows, filtered.
int RunTemplates(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// words: DIR. Writes the store into a new or empty folder.
int RunExport(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// words: DIR. Reads an exported folder into a store that holds no rows.
int RunImport(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// words: --to DSN. Copies the store into one that holds no rows.
int RunCopy(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// Checks the store; exits 1 when it finds a fault.
int RunCheck(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// Lists the versions the store's history keeps, filtered.
int RunHistory(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// words: --version V. Puts a version back as the current row.
int RunRestore(const Options& options, const std::vector<std::string>& words, std::ostream& out);
// Keeps the bodies the history kept whole since the last compaction as
// differences.
int RunCompact(const Options& options, const std::vector<std::string>& words, std::ostream& out);

}  // namespace orvoprint

#endif  // ORVO_TOOLS_ORVOPRINT_COMMANDS_HPP_
