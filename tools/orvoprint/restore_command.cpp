#include <cstdint>
#include <ostream>

#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

int RunRestore(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{"Put an earlier version of a template or settings row back as the current row.",
               "restore"};
  std::int32_t version = 0;
  bool json = false;
  app.add_option("--version", version, "the version, as history lists it")->required();
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;

  const orvo::operate::RestoreReport report =
      orvo::operate::RestoreVersion(options.dsn, version, CommandWatchers("restore"));
  if (!PrintsTable(json)) {
    OrderedJson restored{{"version", report.version},
                         {"table", report.table},
                         {"id", report.id},
                         {"action", report.inserted ? "inserted" : "updated"}};
    if (report.replacedBy != 0) restored["replacedBy"] = report.replacedBy;
    out << OrderedJson{{"restored", restored}}.dump() << '\n';
    return 0;
  }
  out << "Version " << report.version << " is the current row " << report.id << " of "
      << report.table << " again (" << (report.inserted ? "inserted" : "updated") << ")";
  if (report.replacedBy != 0) out << "; what it replaced is version " << report.replacedBy;
  out << ".\n";
  return 0;
}

}  // namespace orvoprint
