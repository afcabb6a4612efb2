#include <ostream>

#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

int RunExport(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{
      "Write the whole store into DIR, a new or empty folder: manifest.json and one file "
      "per template body or picture of settings.",
      "export"};
  std::string folder;
  bool json = false;
  app.add_option("DIR", folder, "the folder to write")->required();
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;

  PrintMove(out, orvo::operate::ExportStore(options.dsn, folder, CommandWatchers("export")), true,
            json);
  return 0;
}

}  // namespace orvoprint
