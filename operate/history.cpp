#include <algorithm>
#include <string>
#include <vector>

#include "operate/conditions.hpp"
#include "operate/operations.hpp"
#include "operate/read_snapshot.hpp"
#include "operate/store_rows.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "store/body_delta.hpp"
#include "store/history_bodies.hpp"
#include "store/tables.hpp"
#include "store/writing_transaction.hpp"

namespace orvo::operate {

namespace {

const store::HistoryTable& HistoryOf(const store::Table& table) {
  for (const store::HistoryTable& history : store::HistoryTables()) {
    if (history.of == &table) return history;
  }
  Refuse("The table " + table.name + " has no history.");
}

TableRows Versions(ado::Connection& connection, const store::Table& table, const Family& family,
                   const Conditions& conditions) {
  const bool templates = &table == &family.templates;
  const std::vector<std::string> columns = {"FVersion",
                                            "FChangedAt",
                                            "FChange",
                                            "FId",
                                            "FName",
                                            templates ? family.templateKey : family.key,
                                            templates ? "FModifierName" : "FPreparerId"};
  std::string list;
  for (const std::string& column : columns) list += column + ", ";
  list += templates ? "length(FData)" : "length(FPrintSet)";
  const store::HistoryTable& kept = HistoryOf(table);
  const std::string& history = kept.table.name;
  TableRows listed{history, family.name, columns, {}};
  listed.columns.emplace_back("bytes");
  if (kept.body.empty()) {
    return SelectRows(connection, std::move(listed), list, history, conditions, "FVersion");
  }
  // A body kept as a difference names its length in its head.
  list += std::string(", case when ") + store::kBodyIsDifference +
          " is null then null else substr(" + kept.body + ", 1, 32) end";
  listed.columns.emplace_back("head");
  listed = SelectRows(connection, std::move(listed), list, history, conditions, "FVersion");
  listed.columns.pop_back();
  for (std::vector<Variant>& row : listed.rows) {
    const Variant head = std::move(row.back());
    row.pop_back();
    if (head.kind() != Variant::Kind::Bytes) continue;
    if (const auto length = store::BodyLengthOf(head.AsBytes())) {
      row.back() = static_cast<std::int32_t>(*length);
    }
  }
  return listed;
}

}  // namespace

std::vector<TableRows> ListHistory(const std::string& dsn, const HistoryFilter& filter,
                                   const Watchers& watchers) {
  const auto connection = OpenStore(dsn, watchers.observer);
  RequireCurrentStore(*connection, "The store");
  ReadingSnapshot snapshot(*connection);
  std::vector<TableRows> listed;
  for (const Family& family : Families()) {
    if ((filter.billType && family.report) || (filter.report && !family.report)) continue;
    Conditions common;
    if (filter.since) common.AddWith("FChangedAt >= ?", *filter.since);

    if (!filter.templateId) {
      Conditions settings = common;
      if (filter.billType) settings.Add(family.key, *filter.billType);
      if (filter.report) settings.Add(family.key, *filter.report);
      if (filter.user) settings.Add("FPreparerId", *filter.user);
      listed.push_back(Versions(*connection, family.rows, family, settings));
    }
    Conditions templates = common;
    if (filter.templateId) templates.Add("FId", *filter.templateId);
    if (filter.billType) templates.Add(family.templateKey, *filter.billType);
    if (filter.report) templates.Add(family.templateKey, *filter.report);
    if (filter.user) {
      templates.Add("FId in (select " + std::string(family.link) + " from " + family.rows.name +
                    " where " + family.link + " > 0 and FPreparerId = ?)");
      templates.values.push_back({ado::adInteger, Variant(*filter.user)});
    }
    listed.push_back(Versions(*connection, family.templates, family, templates));
  }
  return listed;
}

RestoreReport RestoreVersion(const std::string& dsn, std::int32_t version,
                             const Watchers& watchers) {
  const auto connection = OpenStore(dsn, watchers.observer);
  RequireCurrentStore(*connection, "The store");
  // The first value of a statement's first row.
  const auto scalar = [&](const std::string& text, const std::vector<ado::BoundValue>& values) {
    return connection->ExecuteWith(text, values)->Fields(0).Value();
  };
  return store::InWritingTransaction(*connection, [&] {
    connection->LockForWriting();
    for (const store::HistoryTable& history : store::HistoryTables()) {
      const store::Table& table = *history.of;
      const std::vector<std::string> columns = ColumnNames(table);
      std::string list;
      for (const std::string& column : columns) list += (list.empty() ? "" : ", ") + column;
      // The version's row first: SQLite's history finds a number in its
      // index by row, which holds the numbers, without reading the bodies.
      const ado::BoundValue number{ado::adInteger, Variant(version)};
      const Variant row =
          scalar("select max(FId) from " + history.table.name + " where FVersion = ?", {number});
      if (row.IsNull()) continue;
      auto found = connection->ExecuteWith(
          "select " + list + " from " + history.table.name + " where FId = ? and FVersion = ?",
          {{ado::adInteger, row}, number});
      std::vector<Variant> values;
      for (std::size_t i = 0; i < columns.size(); ++i) {
        values.push_back(columns[i] == history.body
                             ? store::BodyOfVersion(*connection, history, version)
                             : found->Fields(static_cast<std::int32_t>(i)).Value());
      }
      RestoreReport report{version, table.name, CLng(values[0]), false, 0};
      const ado::BoundValue id{ado::adInteger, Variant(report.id)};
      const Variant newest =
          scalar("select max(FVersion) from " + history.table.name + " where FId = ?", {id});
      const std::int32_t before = newest.IsNull() ? 0 : CLng(newest);
      if (CLng(scalar("select count(1) from " + table.name + " where FId = ?", {id})) == 0) {
        InsertRow(*connection, table, values);
        report.inserted = true;
        return report;
      }
      std::string assignments;
      std::vector<ado::BoundValue> bound;
      for (std::size_t i = 1; i < columns.size(); ++i) {
        assignments += (assignments.empty() ? "" : ", ") + columns[i] + " = ?";
        bound.push_back({ado::adVariant, values[i]});
      }
      bound.push_back(id);
      connection->ExecuteWith("update " + table.name + " set " + assignments + " where FId = ?",
                              bound);
      // What the update replaced, kept by the store's trigger, says that a
      // restore replaced it.
      const Variant made = scalar(
          "select max(FVersion) from " + history.table.name + " where FId = ? and FVersion > ?",
          {id, {ado::adInteger, Variant(before)}});
      if (!made.IsNull()) {
        report.replacedBy = CLng(made);
        connection->ExecuteWith("update " + history.table.name +
                                    " set FChange = 'restore' where FId = ? and FVersion = ?",
                                {id, {ado::adInteger, made}});
      }
      return report;
    }
    Refuse("The store's history holds no version " + std::to_string(version) +
           "; nothing was restored.");
  });
}

}  // namespace orvo::operate
