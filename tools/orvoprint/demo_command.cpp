// The demonstration: a small store with the manager user's and one clerk's
// settings and a picture in a business table, then the calls a printing
// client makes, each shown as the orvoprint command that makes it.

#include <stdlib.h>

#include <ostream>
#include <string>
#include <vector>

#include "orvo/ado/command.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"
#include "tools/orvoprint/commands.hpp"

namespace orvoprint {

namespace {

constexpr std::int16_t kClerkId = 7;
constexpr const char* kClerkName = "Alice";
constexpr std::int32_t kSalesInvoice = 28;
constexpr std::int32_t kDeliveryNote = 29;

using orvo::ado::adInteger;
using orvo::ado::adLongVarBinary;

orvo::Bytes BytesOf(const std::string& text) {
  return orvo::Bytes(text.begin(), text.end());
}

// Runs an insert with values bound by type, as the application would seed its rows.
void Insert(const std::shared_ptr<orvo::ado::Connection>& connection, const std::string& text,
            const std::vector<std::pair<orvo::ado::DataTypeEnum, orvo::Variant>>& values) {
  orvo::ado::Command insert;
  insert.ActiveConnection = connection;
  insert.CommandText = text;
  for (const auto& [type, value] : values) {
    insert.GetParameters().Append(
        insert.CreateParameter("", type, orvo::ado::adParamInput, 0, value));
  }
  insert.Execute();
}

void InsertSettingsRow(const std::shared_ptr<orvo::ado::Connection>& connection,
                       std::int32_t billType, std::int16_t user, const std::string& settings) {
  Insert(connection,
         "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,FData)"
         "  Values(?,?,?,?,?,?,?)",
         {{adInteger, 0},
          {adInteger, billType},
          {adInteger, static_cast<std::int32_t>(user)},
          {orvo::ado::adDate, orvo::Date::Now()},
          {orvo::ado::adVarChar, "存放页面设置信息"},
          {adLongVarBinary, BytesOf(settings)},
          {orvo::ado::adVarChar, ""}});
}

// A business table of the application's own, holding item pictures.
void InsertPicture(const std::shared_ptr<orvo::ado::Connection>& connection) {
  connection->Execute(
      "CREATE TABLE IF NOT EXISTS t_ICItemPicture (FItemID INTEGER PRIMARY KEY, FPicture BLOB)");
  orvo::Bytes picture = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  while (picture.size() < 250) picture.push_back(static_cast<std::uint8_t>(picture.size() * 7));
  Insert(connection, "Insert Into t_ICItemPicture (FItemID, FPicture) Values(?,?)",
         {{adInteger, 1}, {adLongVarBinary, picture}});
}

// The demo writes its own rows and a business table of its own, so it runs
// only on a data source that holds nothing yet: no table, view, index or
// trigger of any kind, not even the empty tables of init. Tables are named
// first: they are what a user recognises.
void RefuseStoreInUse(orvo::ado::Connection& connection) {
  auto objects =
      connection.Execute("select name from sqlite_master order by type <> 'table', name");
  if (objects->Eof()) return;
  std::string names;
  for (int shown = 0; !objects->Eof() && shown < 5; ++shown, objects->MoveNext()) {
    names += (names.empty() ? "" : ", ") + orvo::CStr(objects->Fields(0).Value());
  }
  if (!objects->Eof()) names += ", ...";
  throw UsageError(
      "demo builds its own store and runs only on an empty one; the data source already holds " +
      names + " (name a new file with --dsn, or leave --dsn out)");
}

std::string TemporaryStore() {
  std::string directory = "/tmp/orvoprint-demo-XXXXXX";
  if (mkdtemp(directory.data()) == nullptr) throw UsageError("cannot create a temporary directory");
  return directory + "/demo.db";
}

void Show(const Options& options, const std::string& comment, const std::vector<std::string>& words,
          std::ostream& out) {
  out << "\n# " << comment << "\n$ orvoprint --dsn \"$STORE\" --user " << options.userId << " call";
  for (const std::string& word : words) {
    const bool plain = word.find_first_of(" {\"'|") == std::string::npos;
    out << ' ' << (plain ? word : "'" + word + "'");
  }
  out << '\n';
  RunCall(options, words, out);
}

}  // namespace

int RunDemo(const Options& options, std::ostream& out) {
  Options demo = options;
  std::string path;
  if (!options.dsnGiven) {
    path = TemporaryStore();
    demo.dsn = "Provider=SQLite;Data Source=" + path;
  }
  auto hub = orvo::host::ServiceHub::Current();
  // Made here, not through the pool: only what sets up a store may create its file.
  auto connection = orvo::ado::Connection::Open(demo.dsn, orvo::ado::IfMissing::Create);
  connection->SetObserver(hub->StatementObserver());
  RefuseStoreInUse(*connection);
  orvo::store::CreateSchema(*connection);

  out << "STORE='" << demo.dsn << "'\n"
      << "Users: 16394 Manager (the templates' owner), " << kClerkId << ' ' << kClerkName << '\n'
      << "Bill types: " << kSalesInvoice << " sales invoice (only the manager has settings), "
      << kDeliveryNote << " delivery note (" << kClerkName << " has her own)\n";
  InsertSettingsRow(connection, kSalesInvoice, 16394, "paper=A4;orientation=portrait");
  InsertSettingsRow(connection, kDeliveryNote, 16394, "paper=A5;orientation=landscape");
  InsertSettingsRow(connection, kDeliveryNote, kClerkId, "paper=A5;orientation=portrait");
  InsertPicture(connection);

  demo.userId = kClerkId;
  demo.userName = kClerkName;
  hub->SignIn(kClerkId, kClerkName);
  const std::string sales = std::to_string(kSalesInvoice);
  const std::string delivery = std::to_string(kDeliveryNote);
  Show(demo, "Page settings of a bill type the clerk never set up: the manager's",
       {"clsPrintSetupQuery", "GetPageAndPrintSet", sales}, out);
  Show(demo, "Page settings the clerk stored herself",
       {"clsPrintSetupQuery", "GetPageAndPrintSet", delivery}, out);
  Show(demo, "A bill type nobody set up: no \"Set\"",
       {"clsPrintSetupQuery", "GetPageAndPrintSet", "30"}, out);
  Show(demo, "The same through the partitioned class, partition 1 (empty)",
       {"clsPrintSetupQueryLM", "GetPageAndPrintSet", sales, "1"}, out);
  Show(
      demo, "An item picture from a business table, read in chunks of 100 bytes",
      {"clsPrintSetupQuery", "GetPictureData",
       R"({"TableName":"t_ICItemPicture","FieldName":"FPicture","PrimaryKeyField":"FItemID","PrimaryKeyValue":"1"})"},
      out);
  Show(demo, "How the update classes want their units of work treated",
       {"clsPrintSetupUpdate", "TransMode"}, out);
  if (!path.empty()) out << "\nThe store stays at " << path << " for further calls with --dsn.\n";
  return 0;
}

}  // namespace orvoprint
