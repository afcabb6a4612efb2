#include <ostream>
#include <string>

#include "orvo/automation/error.hpp"
#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

int RunHistory(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{"List the earlier versions of templates and settings that the store keeps.",
               "history"};
  orvo::operate::HistoryFilter filter;
  std::string since;
  bool json = false;
  app.add_option("--template", filter.templateId, "only the versions of the templates of this id");
  app.add_option("--user", filter.user,
                 "only this user's settings and the templates the user's rows link to");
  app.add_option("--bill-type", filter.billType, "only this bill type (the bill families)");
  app.add_option("--report", filter.report, "only this report (the report family)")
      ->excludes("--bill-type");
  app.add_option("--since", since,
                 "only versions made at or after this local time, "
                 "YYYY-MM-DD or YYYY-MM-DD HH:MM:SS");
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;
  if (!since.empty()) {
    orvo::Date date;
    if (!orvo::Date::Parse(since, date)) {
      throw UsageError("--since takes a local time, YYYY-MM-DD or YYYY-MM-DD HH:MM:SS, not " +
                       orvo::QuotedForError(since));
    }
    filter.since = orvo::Variant(date);
  }

  const auto versions = orvo::operate::ListHistory(options.dsn, filter, CommandWatchers("history"));
  if (!PrintsTable(json)) {
    out << OrderedJson{{"versions", RowsJson(versions)}}.dump() << '\n';
    return 0;
  }
  out << "Versions\n";
  PrintTables(out, versions);
  return 0;
}

}  // namespace orvoprint
