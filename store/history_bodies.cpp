#include "store/history_bodies.hpp"

#include <optional>
#include <string>
#include <vector>

#include "ado/bound_value.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "store/backend_schema.hpp"
#include "store/body_delta.hpp"
#include "store/writing_transaction.hpp"

namespace orvo::store {

namespace {

// How many templates one writing transaction of a compaction takes.
constexpr std::size_t kTemplatesAtOnce = 64;

ado::BoundValue Whole(std::int64_t number) {
  return {ado::adInteger, Variant(static_cast<std::int32_t>(number))};
}

// A body's bytes, Null as no bytes; nothing for a value that is not bytes (a
// text that a writer put where the body goes), which compaction leaves as it
// is.
std::optional<ByteSpan> BytesOf(const Variant& body) {
  if (body.IsNull()) return ByteSpan();
  if (body.kind() != Variant::Kind::Bytes) return std::nullopt;
  return body.AsBytes();
}

[[noreturn]] void Unbuildable(std::int32_t version, const std::string& why) {
  throw AutomationError(
      ado::kErrFailure, kLibraryName,
      "The body of version " + std::to_string(version) + " cannot be built again. " + why);
}

struct Kept {
  std::int32_t version = 0;
  bool difference = false;  // else `body` is whole
  Variant body;
};

// The current row's body; empty when the row is gone.
std::optional<Variant> CurrentBody(ado::Connection& connection, const HistoryTable& history,
                                   std::int32_t id, std::string_view forUpdate = {}) {
  auto rows = connection.ExecuteWith("select " + history.body + " from " + history.of->name +
                                         " where FId = ?" + std::string(forUpdate),
                                     {Whole(id)});
  if (rows->Eof()) return std::nullopt;
  return rows->Fields(0).Value();
}

Variant Applied(const Variant& newer, const Kept& kept) {
  const std::optional<ByteSpan> base = BytesOf(newer);
  const std::optional<ByteSpan> difference = BytesOf(kept.body);
  if (!base || !difference) Unbuildable(kept.version, "A body it needs is not bytes.");
  try {
    return Variant(BodyFrom(*base, *difference));
  } catch (const AutomationError& error) {
    Unbuildable(kept.version, error.description());
  }
}

// A template's versions from `from` on, in `order` of their numbers.
std::vector<Kept> VersionsOf(ado::Connection& connection, const HistoryTable& history,
                             std::int32_t id, std::int32_t from, const char* order) {
  std::vector<Kept> versions;
  for (auto rows = connection.ExecuteWith(
           "select FVersion, " + std::string(kBodyIsDifference) + ", " + history.body + " from " +
               history.table.name + " where FId = ? and FVersion >= ? order by FVersion " + order,
           {Whole(id), Whole(from)});
       !rows->Eof(); rows->MoveNext()) {
    versions.push_back({CLng(rows->Fields(0).Value()), !rows->Fields(1).Value().IsNull(),
                        rows->Fields(2).Value()});
  }
  return versions;
}

// Version `version` of row `id` keeps `difference` from the next newer body
// of its row; the version is found among its row's, which SQLite's history
// indexes. The version is deleted and written again rather than updated:
// SQLite merges a page that a delete leaves nearly empty with its
// neighbours, not one that an update shrinks, and a history that compaction
// shrank in place would keep its pages.
void KeepAsDifference(ado::Connection& connection, const HistoryTable& history, std::int32_t id,
                      std::int32_t version, Bytes difference) {
  std::string names;
  for (const Column& column : history.table.columns) {
    names += (names.empty() ? "" : ", ") + column.name;
  }
  const std::string where = " where FId = ? and FVersion = ?";
  auto row = connection.ExecuteWith("select " + names + " from " + history.table.name + where,
                                    {Whole(id), Whole(version)});
  std::vector<ado::BoundValue> values;
  std::string markers;
  for (std::size_t i = 0; i < history.table.columns.size(); ++i) {
    const std::string& name = history.table.columns[i].name;
    markers += (markers.empty() ? "?" : ", ?");
    if (name == history.body) {
      values.push_back({ado::adLongVarBinary, Variant(std::move(difference))});
    } else if (name == kBodyIsDifference) {
      values.push_back(Whole(1));
    } else {
      values.push_back({ado::adVariant, row->Fields(static_cast<std::int32_t>(i)).Value()});
    }
  }
  row.reset();
  connection.ExecuteWith("delete from " + history.table.name + where, {Whole(id), Whole(version)});
  connection.ExecuteWith(
      "insert into " + history.table.name + " (" + names + ") values (" + markers + ")", values);
}

// One template's whole versions kept as differences, newest first, each
// from the body of the version after it.
void CompactTemplate(ado::Connection& connection, const HistoryTable& history, std::int32_t id,
                     Compaction& done) {
  // The next newer body, while it is known.
  std::optional<Variant> newer =
      CurrentBody(connection, history, id, SchemaOf(connection).ForUpdate());
  for (Kept& kept : VersionsOf(connection, history, id, 0, "desc")) {
    if (kept.difference) {
      if (!newer) {
        ++done.unreadable;
        continue;
      }
      try {
        newer = Applied(*newer, kept);
      } catch (const AutomationError&) {
        ++done.unreadable;
        newer.reset();
      }
      continue;
    }
    const std::optional<ByteSpan> whole = BytesOf(kept.body);
    const std::optional<ByteSpan> from = newer ? BytesOf(*newer) : std::nullopt;
    if (!kept.body.IsNull() && whole && from) {
      Bytes difference = DifferenceOf(*from, *whole);
      if (difference.size() < whole->size()) {
        done.bytesBefore += static_cast<std::int64_t>(whole->size());
        done.bytesAfter += static_cast<std::int64_t>(difference.size());
        ++done.compacted;
        KeepAsDifference(connection, history, id, kept.version, std::move(difference));
      }
    }
    newer = std::move(kept.body);
  }
}

}  // namespace

Variant BodyOfVersion(ado::Connection& connection, const HistoryTable& history,
                      std::int32_t version) {
  auto found = connection.ExecuteWith(
      "select FId from " + history.table.name + " where FVersion = ?", {Whole(version)});
  if (found->Eof()) Unbuildable(version, "The history holds no such version.");
  const std::int32_t id = CLng(found->Fields(0).Value());
  found.reset();
  // The version and the newer ones up to the first that keeps its body
  // whole; past the newest, the current row.
  const std::vector<Kept> versions = VersionsOf(connection, history, id, version, "asc");
  std::size_t whole = 0;
  while (whole < versions.size() && versions[whole].difference) ++whole;
  Variant body;
  if (whole < versions.size()) {
    body = versions[whole].body;
  } else {
    std::optional<Variant> current = CurrentBody(connection, history, id);
    if (!current) Unbuildable(version, "The row it was kept against is gone.");
    body = std::move(*current);
  }
  while (whole-- > 0) body = Applied(body, versions[whole]);
  return body;
}

Compaction CompactHistory(ado::Connection& connection) {
  Compaction done;
  const std::string settings = kHistorySettings;
  const std::int32_t since =
      CLng(connection.Execute("select FCompacted from " + settings)->Fields(0).Value());
  std::int32_t upTo = since;
  for (const HistoryTable& history : HistoryTables()) {
    if (history.body.empty()) continue;
    const Variant newest =
        connection.Execute("select max(FVersion) from " + history.table.name)->Fields(0).Value();
    if (!newest.IsNull()) upTo = std::max(upTo, CLng(newest));
  }
  for (const HistoryTable& history : HistoryTables()) {
    if (history.body.empty()) continue;
    std::vector<std::int32_t> ids;
    for (auto rows = connection.ExecuteWith("select distinct FId from " + history.table.name +
                                                " where FVersion > ? and FVersion <= ? order by 1",
                                            {Whole(since), Whole(upTo)});
         !rows->Eof(); rows->MoveNext()) {
      ids.push_back(CLng(rows->Fields(0).Value()));
    }
    for (std::size_t first = 0; first < ids.size(); first += kTemplatesAtOnce) {
      InWritingTransaction(connection, [&] {
        connection.LockForWriting();
        const std::size_t last = std::min(ids.size(), first + kTemplatesAtOnce);
        for (std::size_t i = first; i < last; ++i) {
          CompactTemplate(connection, history, ids[i], done);
        }
        return true;
      });
    }
    done.looked += static_cast<std::int64_t>(ids.size());
  }
  InWritingTransaction(connection, [&] {
    connection.ExecuteWith("update " + settings + " set FCompacted = ? where FCompacted < ?",
                           {Whole(upTo), Whole(upTo)});
    return true;
  });
  return done;
}

}  // namespace orvo::store
