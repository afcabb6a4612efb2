#include "store/history_bodies.hpp"

#include <map>
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
// No history keeps more versions of a row than this; a longer chain of
// differences has been made by hand and is not followed.
constexpr std::size_t kLongestChain = 100000;

ado::BoundValue Whole(std::int64_t number) {
  return {ado::adInteger, Variant(static_cast<std::int32_t>(number))};
}

// A body's bytes: Null as none; empty for a value that is not bytes (a text
// that a writer put where the body goes), which is kept as it is.
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
  std::int32_t id = 0;
  Variant base;  // Null: `body` is whole
  Variant body;
};

std::optional<Kept> KeptVersion(ado::Connection& connection, const HistoryTable& history,
                                std::int32_t version) {
  auto rows = connection.ExecuteWith("select FId, " + std::string(kBodyBase) + ", " + history.body +
                                         " from " + history.table.name + " where FVersion = ?",
                                     {Whole(version)});
  if (rows->Eof()) return std::nullopt;
  return Kept{version, CLng(rows->Fields(0).Value()), rows->Fields(1).Value(),
              rows->Fields(2).Value()};
}

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

// A template's versions, newest first.
std::vector<Kept> VersionsOf(ado::Connection& connection, const HistoryTable& history,
                             std::int32_t id) {
  std::vector<Kept> versions;
  for (auto rows = connection.ExecuteWith("select FVersion, " + std::string(kBodyBase) + ", " +
                                              history.body + " from " + history.table.name +
                                              " where FId = ? order by FVersion desc",
                                          {Whole(id)});
       !rows->Eof(); rows->MoveNext()) {
    versions.push_back(
        {CLng(rows->Fields(0).Value()), id, rows->Fields(1).Value(), rows->Fields(2).Value()});
  }
  return versions;
}

// Version `version` keeps `difference` from the body of version `base`.
// The row is deleted and written again rather than updated: SQLite merges a
// page that a delete leaves nearly empty with its neighbours, not one that
// an update shrinks, and a history that compaction shrank in place would
// keep its pages.
void KeepAsDifference(ado::Connection& connection, const HistoryTable& history,
                      std::int32_t version, Bytes difference, std::int32_t base) {
  std::string names;
  for (const Column& column : history.table.columns) {
    names += (names.empty() ? "" : ", ") + column.name;
  }
  auto row = connection.ExecuteWith(
      "select " + names + " from " + history.table.name + " where FVersion = ?", {Whole(version)});
  std::vector<ado::BoundValue> values;
  std::string markers;
  for (std::size_t i = 0; i < history.table.columns.size(); ++i) {
    const std::string& name = history.table.columns[i].name;
    markers += (markers.empty() ? "?" : ", ?");
    if (name == history.body) {
      values.push_back({ado::adLongVarBinary, Variant(std::move(difference))});
    } else if (name == kBodyBase) {
      values.push_back(Whole(base));
    } else {
      values.push_back({ado::adVariant, row->Fields(static_cast<std::int32_t>(i)).Value()});
    }
  }
  row.reset();
  connection.ExecuteWith("delete from " + history.table.name + " where FVersion = ?",
                         {Whole(version)});
  connection.ExecuteWith(
      "insert into " + history.table.name + " (" + names + ") values (" + markers + ")", values);
}

// One template's whole versions kept as differences, newest first, each
// from the body of the version after it.
void CompactTemplate(ado::Connection& connection, const HistoryTable& history, std::int32_t id,
                     Compaction& done) {
  const std::optional<Variant> current =
      CurrentBody(connection, history, id, SchemaOf(connection).ForUpdate());
  std::map<std::int32_t, Variant> built;  // by version; 0 the current row's
  if (current) built.emplace(0, *current);
  std::optional<std::int32_t> newer;
  if (current) newer = 0;
  for (const Kept& kept : VersionsOf(connection, history, id)) {
    Variant body = kept.body;
    if (!kept.base.IsNull()) {
      const auto base = built.find(CLng(kept.base));
      if (base == built.end()) {
        ++done.unreadable;
        newer.reset();
        continue;
      }
      try {
        body = Applied(base->second, kept);
      } catch (const AutomationError&) {
        ++done.unreadable;
        newer.reset();
        continue;
      }
    } else if (newer && !body.IsNull()) {
      const std::optional<ByteSpan> whole = BytesOf(body);
      const std::optional<ByteSpan> from = BytesOf(built.at(*newer));
      if (whole && from) {
        Bytes difference = DifferenceOf(*from, *whole);
        if (difference.size() < whole->size()) {
          done.bytesBefore += static_cast<std::int64_t>(whole->size());
          done.bytesAfter += static_cast<std::int64_t>(difference.size());
          ++done.compacted;
          KeepAsDifference(connection, history, kept.version, std::move(difference), *newer);
        }
      }
    }
    built.emplace(kept.version, std::move(body));
    newer = kept.version;
  }
}

}  // namespace

Variant BodyOfVersion(ado::Connection& connection, const HistoryTable& history,
                      std::int32_t version) {
  // From the version to the whole body its differences end in.
  std::vector<Kept> chain;
  Variant body;
  for (std::int32_t at = version;;) {
    std::optional<Kept> kept = KeptVersion(connection, history, at);
    if (!kept) {
      if (chain.empty()) Unbuildable(version, "The history holds no such version.");
      Unbuildable(version,
                  "Version " + std::to_string(at) + ", which it was kept against, is gone.");
    }
    if (!chain.empty() && kept->id != chain.front().id) {
      Unbuildable(version, "It was kept against a version of another row.");
    }
    chain.push_back(std::move(*kept));
    const Variant& base = chain.back().base;
    if (base.IsNull()) {
      body = chain.back().body;
      chain.pop_back();
      break;
    }
    const std::int32_t next = CLng(base);
    if (next == 0) {
      std::optional<Variant> current = CurrentBody(connection, history, chain.front().id);
      if (!current) Unbuildable(version, "The row it was kept against is gone.");
      body = std::move(*current);
      break;
    }
    if (next <= at || chain.size() > kLongestChain) {
      Unbuildable(version, "It was kept against an older version.");
    }
    at = next;
  }
  for (auto kept = chain.rbegin(); kept != chain.rend(); ++kept) body = Applied(body, *kept);
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
        for (std::size_t i = first; i < last; ++i)
          CompactTemplate(connection, history, ids[i], done);
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
