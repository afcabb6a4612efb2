#include "operate/conditions.hpp"
#include "operate/operations.hpp"
#include "operate/read_snapshot.hpp"
#include "operate/store_rows.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::operate {

namespace {

bool Listed(const Family& family, const TemplateFilter& filter) {
  if (filter.billType && family.report) return false;
  if (filter.report && !family.report) return false;
  return !filter.partition || family.partitioned;
}

// The assignment rows of a family that the filter lets through: rows that
// link to a template and keep no body of their own (a barcode template row
// keeps its label in FPrintSet and its FBillId is a time stamp, no link).
Conditions AssignmentConditions(const Family& family, const TemplateFilter& filter) {
  Conditions conditions;
  conditions.Add(std::string(family.link) + " > 0");
  conditions.Add("FPrintSet is null");
  if (filter.user) conditions.Add("FPreparerId", *filter.user);
  if (filter.billType) conditions.Add(family.key, *filter.billType);
  if (filter.report) conditions.Add(family.key, *filter.report);
  if (filter.partition) conditions.Add("FDataFrom", *filter.partition);
  return conditions;
}

TableRows Read(ado::Connection& connection, const store::Table& table, const std::string& extra,
               const Conditions& conditions, const char* family) {
  TableRows listed{table.name, family, {}, {}};
  std::string columns;
  for (const store::Column& column : table.columns) {
    if (column.kind == store::ColumnKind::Binary) continue;
    columns += (columns.empty() ? "" : ", ") + column.name;
    listed.columns.push_back(column.name);
  }
  if (!extra.empty()) {
    columns += ", " + extra;
    listed.columns.push_back("bytes");
  }
  return SelectRows(connection, std::move(listed), columns, table.name, conditions, "FId");
}

}  // namespace

TemplateListing ListTemplates(const std::string& dsn, const TemplateFilter& filter,
                              const Watchers& watchers) {
  const auto connection = OpenStore(dsn, watchers.observer);
  RequireCurrentStore(*connection, "The store");
  ReadingSnapshot snapshot(*connection);
  TemplateListing listing;
  for (const Family& family : Families()) {
    if (!Listed(family, filter)) continue;
    const Conditions assignments = AssignmentConditions(family, filter);
    listing.assignments.push_back(Read(*connection, family.rows, "", assignments, family.name));

    Conditions templates;
    if (filter.billType) templates.Add(family.templateKey, *filter.billType);
    if (filter.report) templates.Add(family.templateKey, *filter.report);
    if (filter.partition) templates.Add("FDataFrom", *filter.partition);
    // A user's templates are those the user's assignment rows link to.
    if (filter.user) {
      templates.Add("FId in (select " + std::string(family.link) + " from " + family.rows.name +
                    assignments.Where() + ")");
      templates.AddFrom(Conditions{{}, assignments.values});
    }
    listing.templates.push_back(
        Read(*connection, family.templates, "length(FData)", templates, family.name));
  }
  return listing;
}

}  // namespace orvo::operate
