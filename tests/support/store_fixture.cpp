#include "support/store_fixture.hpp"

#include "orvo/ado/command.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"

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

std::vector<Backend> Backends() {
  return {Backend{"SQLite", [](const std::filesystem::path& directory) {
                    return "Provider=SQLite;Data Source=" + (directory / "store.db").string();
                  }}};
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param.name;
}

void StoreTest::SetUp() {
  directory_ = std::make_unique<TempDirectory>();
  dsn_ = GetParam().dataSource(directory_->Path());
  hub_ = host::ServiceHub::Current();
  hub_->SignIn(kUser, "Alice");
  db_ = ado::Connection::Open(dsn_, ado::IfMissing::Create);
  store::CreateSchema(*db_);
  observer_ = std::make_shared<RecordingObserver>();
  hub_->SetStatementObserver(observer_);
  hub_->ClearJournal();
}

void StoreTest::TearDown() {
  hub_->SetStatementObserver(nullptr);
  hub_->SetDataContextFactory(nullptr);
  hub_->ClosePool();
  hub_->ClearJournal();
  hub_->SignOut();
  db_.reset();
  directory_.reset();
}

void StoreTest::Exec(const std::string& text, const std::vector<Variant>& values) {
  ado::Command command;
  command.ActiveConnection = db_;
  command.CommandText = text;
  for (const Variant& value : values) {
    command.GetParameters().Append(
        command.CreateParameter("", ado::adVariant, ado::adParamInput, 0, value));
  }
  command.Execute();
}

Variant StoreTest::Scalar(const std::string& text) {
  auto rows = db_->Execute(text);
  if (rows->Eof()) return Variant();
  return rows->Fields(0).Value();
}

std::int32_t StoreTest::Count(const std::string& table, const std::string& where) {
  return CLng(Scalar("select count(1) from " + table + (where.empty() ? "" : " where " + where)));
}

std::int32_t StoreTest::InsertRow(const std::string& table,
                                  const std::vector<std::pair<std::string, Variant>>& columns) {
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

std::string StoreTest::Snapshot() {
  std::string text;
  for (const std::string& table : store::TableNames()) {
    auto rows = db_->Execute("select * from " + table + " order by FId");
    while (!rows->Eof()) {
      text += table + ":";
      for (std::int32_t i = 0; i < rows->FieldCount(); ++i) {
        const Variant value = rows->Fields(i).Value();
        text += " " + rows->Fields(i).Name() + "=" + Shown(value);
      }
      text += "\n";
      rows->MoveNext();
    }
  }
  return text;
}

void StoreTest::SeedSettingsRow(std::int32_t billType, std::int16_t user, const Variant& printSet,
                                const std::string& optionText, const Variant& dataFrom) {
  const std::string table = dataFrom.IsEmpty() ? "T_PrintExport" : "T_PrintExportLM";
  Exec("insert into " + table + " (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,FData,FSel" +
           (dataFrom.IsEmpty() ? "" : ",FDataFrom") + ") values (0,?,?,?,?,?,?,0" +
           (dataFrom.IsEmpty() ? "" : ",?") + ")",
       dataFrom.IsEmpty()
           ? std::vector<Variant>{billType, static_cast<std::int32_t>(user), Date::Now(),
                                  "存放页面设置信息", printSet, optionText}
           : std::vector<Variant>{billType, static_cast<std::int32_t>(user), Date::Now(),
                                  "存放页面设置信息", printSet, optionText, dataFrom});
}

std::vector<std::string> StoreTest::JournalOperations() const {
  std::vector<std::string> operations;
  for (const host::JournalEntry& entry : hub_->Journal()) operations.emplace_back(entry.operation);
  return operations;
}

}  // namespace orvo::testing
