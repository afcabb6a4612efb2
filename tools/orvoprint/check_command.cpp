#include <ostream>

#include "tools/orvoprint/operator_output.hpp"

namespace orvoprint {

namespace {

OrderedJson ReportJson(const orvo::operate::CheckReport& report) {
  OrderedJson dangling = OrderedJson::array();
  for (const orvo::operate::DanglingRow& row : report.danglingRows) {
    dangling.push_back({{"table", row.table},
                        {"FId", row.id},
                        {"column", row.column},
                        {"templateId", row.templateId},
                        {"templateTable", row.templateTable}});
  }
  return {{"sound", report.Sound()},
          {"schemaVersion", report.schemaVersion},
          {"currentVersion", report.currentVersion},
          {"integrity", {{"check", report.integrityCheck}, {"problems", report.integrityProblems}}},
          {"missing", report.missingObjects},
          {"identitiesBehind", report.identitiesBehind},
          {"danglingRows", dangling}};
}

void PrintList(std::ostream& out, const char* heading, const std::vector<std::string>& items) {
  out << heading << ": " << (items.empty() ? "none" : std::to_string(items.size())) << '\n';
  for (const std::string& item : items) out << "  " << item << '\n';
}

}  // namespace

int RunCheck(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  CLI::App app{
      "Check the --dsn store: its schema version, the database's own integrity check, "
      "and assignment rows whose template is gone. Exits 1 when it finds a fault.",
      "check"};
  bool json = false;
  app.add_flag("--json", json, "print JSON even on a terminal");
  if (const auto code = ParseCommandOptions(app, words, out)) return *code;

  const orvo::operate::CheckReport report =
      orvo::operate::CheckStore(options.dsn, CommandWatchers("check"));
  if (!PrintsTable(json)) {
    out << ReportJson(report).dump() << '\n';
  } else {
    out << "schema version: " << report.schemaVersion << " (this library makes "
        << report.currentVersion << ")\n"
        << "integrity check: " << report.integrityCheck << '\n';
    PrintList(out, "integrity problems", report.integrityProblems);
    PrintList(out, "missing tables, indexes and history", report.missingObjects);
    PrintList(out, "identities behind their rows", report.identitiesBehind);
    out << "rows linking to no template: " << report.danglingRows.size() << '\n';
    std::vector<std::vector<std::string>> rows;
    for (const orvo::operate::DanglingRow& row : report.danglingRows) {
      rows.push_back({row.table, std::to_string(row.id), row.column, std::to_string(row.templateId),
                      row.templateTable});
    }
    if (!rows.empty()) PrintTable(out, {"table", "FId", "column", "template", "in"}, rows);
    out << (report.Sound() ? "sound\n" : "faults found\n");
  }
  return report.Sound() ? 0 : 1;
}

}  // namespace orvoprint
