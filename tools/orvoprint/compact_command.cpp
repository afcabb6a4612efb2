#include <ostream>

#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

int RunCompact(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{
      "Keep the template bodies that the --dsn store's history has kept whole since the last "
      "compaction as differences from the newer bodies of their templates. Writers wait only "
      "for a few templates at a time; run it as often as the history should be small (daily).",
      "compact"};
  bool json = false;
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;

  const orvo::store::Compaction done =
      orvo::operate::CompactStore(options.dsn, CommandWatchers("compact"));
  if (!PrintsTable(json)) {
    out << OrderedJson{{"compacted",
                        {{"templates", done.looked},
                         {"versions", done.compacted},
                         {"bytesBefore", done.bytesBefore},
                         {"bytesAfter", done.bytesAfter},
                         {"unreadable", done.unreadable}}}}
               .dump()
        << '\n';
    return 0;
  }
  out << "Looked at the new versions of " << done.looked << " templates: " << done.compacted
      << " versions now keep " << done.bytesAfter << " bytes instead of " << done.bytesBefore
      << ".\n";
  if (done.unreadable != 0) {
    out << done.unreadable
        << " versions cannot be built again (a version they were kept against is gone or "
           "changed); restore refuses them.\n";
  }
  return 0;
}

}  // namespace orvoprint
