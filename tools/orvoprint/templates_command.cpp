#include <ostream>

#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {
int RunTemplates(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{"List the store's templates and the rows that assign them to users.", "templates"};
  orvo::operate::TemplateFilter filter;
  bool json = false;
  app.add_option("--user", filter.user, "only this user's assignment rows and their templates");
  app.add_option("--bill-type", filter.billType, "only this bill type (the bill families)");
  app.add_option("--report", filter.report, "only this report (the report family)")
      ->excludes("--bill-type");
  app.add_option("--partition", filter.partition, "only this partition (the partitioned family)");
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;

  const orvo::operate::TemplateListing listing =
      orvo::operate::ListTemplates(options.dsn, filter, CommandWatchers("templates"));
  if (!PrintsTable(json)) {
    out << OrderedJson{{"templates", RowsJson(listing.templates)},
                       {"assignments", RowsJson(listing.assignments)}}
               .dump()
        << '\n';
    return 0;
  }
  out << "Templates\n";
  PrintTables(out, listing.templates);
  out << "\nAssignments\n";
  PrintTables(out, listing.assignments);
  return 0;
}

}  // namespace orvoprint
