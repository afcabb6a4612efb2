#include "automation/ascii.hpp"
#include "operate/operations.hpp"
#include "operate/read_snapshot.hpp"
#include "operate/store_rows.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "store/backend_schema.hpp"

namespace orvo::operate {

namespace {

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& held : names) {
    if (ascii::EqualsIgnoreCase(held, name)) return true;
  }
  return false;
}

void FindMissing(ado::Connection& connection, CheckReport& report) {
  const std::vector<std::string> held = store::ObjectNames(connection);
  for (const store::Table& table : store::Tables()) {
    if (!Holds(held, table.name)) report.missingObjects.push_back("table " + table.name);
  }
  for (const store::Index& index : store::Indexes()) {
    if (!Holds(held, index.name)) report.missingObjects.push_back("index " + index.name);
  }
}

// A table whose identity stands below its largest id makes the next insert
// fail on the key: what a copy by hand that forgot the identity leaves.
void FindIdentitiesBehind(ado::Connection& connection, CheckReport& report) {
  const store::BackendSchema& schema = store::SchemaOf(connection);
  for (const store::Table& table : store::Tables()) {
    const std::int64_t last = schema.LastIdentity(connection, table);
    const Variant largest =
        connection.Execute("select max(FId) from " + table.name)->Fields(0).Value();
    if (!largest.IsNull() && CLng(largest) > last) {
      report.identitiesBehind.push_back(table.name + ": last id given " + std::to_string(last) +
                                        ", largest id " + std::to_string(CLng(largest)));
    }
  }
}

// Assignment rows whose template is gone: the callers then find a name with
// no body. Barcode template rows keep their label in FPrintSet and link to
// nothing.
void FindDanglingRows(ado::Connection& connection, CheckReport& report) {
  for (const Family& family : Families()) {
    const std::string link = family.link;
    for (auto rows = connection.Execute(
             "select r.FId, r." + link + " from " + family.rows.name + " r where r." + link +
             " > 0 and r.FPrintSet is null and not exists (select 1 from " + family.templates.name +
             " n where n.FId = r." + link + ") order by r.FId");
         !rows->Eof(); rows->MoveNext()) {
      report.danglingRows.push_back({family.rows.name, CLng(rows->Fields(0).Value()), link,
                                     CLng(rows->Fields(1).Value()), family.templates.name});
    }
  }
}

}  // namespace

bool CheckReport::Sound() const {
  return schemaVersion == currentVersion && integrityProblems.empty() && missingObjects.empty() &&
         identitiesBehind.empty() && danglingRows.empty();
}

CheckReport CheckStore(const std::string& dsn, const Watchers& watchers) {
  const auto connection = OpenStore(dsn, watchers.observer);
  const store::BackendSchema& schema = store::SchemaOf(*connection);
  ReadingSnapshot snapshot(*connection);
  CheckReport report;
  report.currentVersion = schema.CurrentVersion();
  report.schemaVersion = schema.StoredVersion(*connection);
  report.integrityCheck = schema.IntegrityCheck();
  report.integrityProblems = schema.IntegrityProblems(*connection);
  FindMissing(*connection, report);
  // The rows are looked at only in a store whose tables are all there and
  // read as this library reads them.
  if (report.schemaVersion == report.currentVersion) {
    // The history's tables, indexes, triggers and, on SQLite, its version
    // counter: without any of them a write would keep no version, or be
    // refused. `init` makes them again.
    if (report.missingObjects.empty() && !schema.Complete(*connection)) {
      report.missingObjects.emplace_back("history");
    }
    bool tables = true;
    for (const std::string& missing : report.missingObjects) {
      tables = tables && !missing.starts_with("table ");
    }
    if (tables) {
      FindIdentitiesBehind(*connection, report);
      FindDanglingRows(*connection, report);
    }
  }
  return report;
}

}  // namespace orvo::operate
