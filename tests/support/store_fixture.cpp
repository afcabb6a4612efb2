#include "support/store_fixture.hpp"

#include <algorithm>

#include "ado/command.hpp"
#include "host/journal.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "store/tables.hpp"
#include "support/settings_row_count.hpp"

namespace orvo::testing {

namespace {

// A value as Snapshot writes it: bytes in hexadecimal, Null as NULL.
std::string Shown(const Variant& value) {
  if (value.IsNull()) return "NULL";
  if (value.kind() != Variant::Kind::Bytes) return CStr(value);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex = "0x";
  for (std::uint8_t byte : value.AsBytes()) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

}  // namespace

void StoreFixture::SetUp() {
  if (const std::string& reason = StoreBackend().unavailable; !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  directory_ = std::make_unique<TempDirectory>();
  store_ = std::make_unique<FreshStore>(StoreBackend(), directory_->Path());
  dsn_ = store_->Dsn();
  hub_ = host::ServiceHub::Current();
  hub_->SignIn(kUser, "Alice");
  db_ = ado::Connection::Open(dsn_, ado::IfMissing::Create);
  store::CreateSchema(*db_);
  observer_ = std::make_shared<RecordingObserver>();
  hub_->SetStatementObserver(observer_);
  hub_->ClearJournal();
}

void StoreFixture::TearDown() {
  // A skipped test, or one whose set-up failed, has less to release.
  if (hub_ != nullptr) {
    hub_->SetStatementObserver(nullptr);
    hub_->SetDataContextFactory(nullptr);
    hub_->ClosePool();
    hub_->ClearJournal();
    hub_->SignOut();
  }
  db_.reset();
  store_.reset();  // once no connection is open on it
  directory_.reset();
}

void StoreFixture::MakeHistoryOfSchema(int version) {
  const bool sqlite = StoreBackend().name == "SQLite";
  if (sqlite) {
    Exec(std::string("drop trigger ") + store::kKeepTrigger);
    CountVersionsInTheSettingsRow([&](const std::string& query) { return CStr(Scalar(query)); },
                                  [&](const std::string& statement) { Exec(statement); });
  } else {
    Exec(std::string("drop trigger ") + store::kKeepTrigger + " on " + store::kHistorySettings);
    Exec(std::string("drop function ") + store::kKeepFunction);
  }
  for (const store::HistoryTable& history : store::HistoryTables()) {
    const std::string& name = history.table.name;
    if (sqlite) {
      for (const char* event : {"UPDATE", "DELETE"}) {
        Exec("drop trigger TR_" + name + "_" + event);
        Exec("create trigger TR_" + name + "_" + event + " after " + event + " on " +
             history.of->name + " begin select 1; end");
      }
    } else {
      Exec("create or replace function " + name +
           "_Keep() returns trigger language plpgsql as $$ begin return null; end $$");
    }
    Exec("drop index IX_" + name + "_RowVersion");
    Exec("alter table " + name + " drop column " + store::kRowVersion);
    Exec("create index IX_" + name + "_Id on " + name + " (FId, FVersion)");
  }
  if (sqlite) {
    Exec("PRAGMA user_version=" + std::to_string(version));
  } else {
    Exec("comment on collation orvo_ci is 'OrvoMPrintExport store, schema version " +
         std::to_string(version) + "'");
  }
}

void StoreFixture::Exec(const std::string& text, const std::vector<Variant>& values) {
  ado::Command command;
  command.ActiveConnection = db_;
  command.CommandText = text;
  for (const Variant& value : values) {
    command.GetParameters().Append(
        command.CreateParameter("", ado::adVariant, ado::adParamInput, 0, value));
  }
  command.Execute();
}

Variant StoreFixture::Scalar(const std::string& text) {
  auto rows = db_->Execute(text);
  if (rows->Eof()) return Variant();
  return rows->Fields(0).Value();
}

std::int32_t StoreFixture::Count(const std::string& table, const std::string& where) {
  return CLng(Scalar("select count(1) from " + table + (where.empty() ? "" : " where " + where)));
}

std::int32_t StoreFixture::InsertRow(const std::string& table, const Columns& columns) {
  std::string names;
  std::string markers;
  std::vector<Variant> values;
  for (const auto& [name, value] : columns) {
    names += (names.empty() ? "" : ",") + name;
    markers += markers.empty() ? "?" : ",?";
    values.push_back(value);
  }
  Exec("insert into " + table + " (" + names + ") values (" + markers + ")", values);
  return CLng(Scalar("select max(FId) from " + table));
}

std::int32_t StoreFixture::Seed(const std::string& table, Columns columns, const Columns& more,
                                std::int32_t partition) {
  if (partition != 0) columns.emplace_back("FDataFrom", partition);
  for (const auto& [name, value] : more) {
    const auto same = std::find_if(columns.begin(), columns.end(),
                                   [&](const auto& column) { return column.first == name; });
    if (same == columns.end()) {
      columns.emplace_back(name, value);
    } else {
      same->second = value;
    }
  }
  return InsertRow(table, columns);
}

std::int32_t StoreFixture::SeedTemplate(const TemplateTables& tables, std::int32_t key,
                                        const std::string& name, const Variant& body,
                                        const Columns& more) {
  return Seed(tables.notes,
              {{"FName", name},
               {"FScreenId", std::to_string(key)},
               {"FCreatorName", "Manager"},
               {"FModifierName", "Manager"},
               {tables.newKeyColumn, key},
               {"FCreateDate", kSeeded},
               {"FModifyDate", kSeeded},
               {"FData", body}},
              more, tables.partition);
}

std::int32_t StoreFixture::SeedAssignment(const TemplateTables& tables, std::int32_t key,
                                          std::int32_t id, std::int32_t user,
                                          const std::string& name, std::int32_t sel,
                                          const Variant& subType, const Columns& more) {
  return Seed(tables.rows,
              {{tables.keyColumn, key},
               {tables.idColumn, id},
               {"FPreparerId", user},
               {"FDate", Date::FromParts(2020, 1, 2)},
               {"FName", name},
               {"FSel", sel},
               {tables.subTypeColumn, subType}},
              more, tables.partition);
}

std::int32_t StoreFixture::SeedManagersTemplate(const TemplateTables& tables, std::int32_t key,
                                                const std::string& name, const Variant& body,
                                                std::int32_t sel) {
  const std::int32_t id = SeedTemplate(tables, key, name, body);
  SeedAssignment(tables, key, id, kManager, name, sel);
  return id;
}

void StoreFixture::SeedSettingsRow(const TemplateTables& tables, std::int32_t key,
                                   std::int16_t user, const Variant& printSet,
                                   const std::string& optionText) {
  SeedAssignment(tables, key, 0, user, "存放页面设置信息", 0, Variant::Null(),
                 {{"FPrintSet", printSet}, {"FData", optionText}});
}

std::string StoreFixture::Snapshot(const std::vector<std::string>& businessTables) {
  // One line a row: the table's name and every column with its value.
  const auto lines = [&](const std::string& table, const std::string& order) {
    std::vector<std::string> rows;
    for (auto row = db_->Execute("select * from " + table + order); !row->Eof(); row->MoveNext()) {
      std::string line = table + ":";
      for (std::int32_t i = 0; i < row->FieldCount(); ++i) {
        line += " " + row->Fields(i).Name() + "=" + Shown(row->Fields(i).Value());
      }
      rows.push_back(line + "\n");
    }
    return rows;
  };
  std::string text;
  for (const std::string& table : store::TableNames()) {
    for (const std::string& line : lines(table, " order by FId")) text += line;
  }
  for (const std::string& table : store::TableNames()) {
    for (const std::string& line : lines(table + "_History", " order by FVersion")) text += line;
  }
  // A business table has no column the store knows to order by.
  for (const std::string& table : businessTables) {
    std::vector<std::string> rows = lines(table, "");
    std::sort(rows.begin(), rows.end());
    for (const std::string& line : rows) text += line;
  }
  return text;
}

std::vector<std::string> StoreFixture::Texts() {
  std::vector<std::string> texts = Observer().Texts();
  const std::string today = Date::Now().ShortText();
  for (std::string& text : texts) {
    if (const auto at = text.find(today); at != std::string::npos) {
      text.replace(at, today.size(), "<today>");
    }
  }
  return texts;
}

std::string StoreFixture::Params(std::size_t index) {
  std::string text;
  for (const Variant& value : Observer().Statements().at(index).params) {
    text += (text.empty() ? "" : ", ") + std::string(value.KindName());
    if (value.kind() != Variant::Kind::Date && !value.IsNull()) text += ":" + CStr(value);
  }
  return text;
}

std::string StoreFixture::Row(const std::string& table, const std::string& columns,
                              const std::string& where) {
  auto rows = db_->Execute("select " + columns + " from " + table + " where " + where);
  if (rows->Eof()) return "no row";
  std::string text;
  for (std::int32_t i = 0; i < rows->FieldCount(); ++i) {
    const Variant value = rows->Fields(i).Value();
    text += (i == 0 ? "" : "|") + (value.IsNull() ? std::string("NULL") : CStr(value));
  }
  rows->MoveNext();
  return rows->Eof() ? text : "more than one row";
}

std::vector<std::string> StoreFixture::Votes() const {
  std::vector<std::string> votes;
  for (const host::JournalEntry& entry : hub_->Journal()) {
    if (entry.operation != "Connection" && entry.operation != "Session") {
      votes.emplace_back(entry.operation);
    }
  }
  return votes;
}

}  // namespace orvo::testing
