#include <ostream>

#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

int RunImport(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{
      "Read a folder that export wrote into the --dsn store, which must hold no rows "
      "(it is made when missing), keeping every id.",
      "import"};
  std::string folder;
  bool json = false;
  app.add_option("DIR", folder, "the folder to read")->required();
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;

  PrintMove(out, orvo::operate::ImportStore(folder, options.dsn, CommandWatchers("import")), true,
            json);
  return 0;
}

}  // namespace orvoprint
