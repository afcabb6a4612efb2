#include <ostream>

#include "orvo/automation/conversions.hpp"
#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

int RunCopy(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{
      "Copy the --dsn store into the store of --to (either backend; it must hold no rows "
      "and is made when missing) in one transaction, keeping every id.",
      "copy"};
  std::string target;
  bool json = false;
  app.add_option("--to", target, "the data source text of the target store")->required();
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;
  if (!orvo::IsValidUtf8(target)) throw UsageError("--to is not UTF-8 text");

  PrintMove(out, orvo::operate::CopyStore(options.dsn, target, CommandWatchers("copy")), false,
            json);
  return 0;
}

}  // namespace orvoprint
