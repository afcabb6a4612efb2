// The demonstration: the calls of a printing client, each shown as the
// orvoprint command that makes it. The manager sets up a sales invoice and a
// report; a clerk lists them (getting her copies on first use), prints with
// them, stores a template of her own, chooses it, prints with it and counts
// the print on the application's own invoice table.

#include <stdlib.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ado/command.hpp"
#include "ado/connection_string.hpp"
#include "ado/statement_observer.hpp"
#include "automation/ascii.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/host/collections.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

namespace {

constexpr std::int16_t kManagerId = orvo::kManagerUser;
constexpr const char* kManagerName = "Manager";
constexpr std::int16_t kClerkId = 7;
constexpr const char* kClerkName = "Alice";
constexpr const char* kSalesInvoice = "28";
constexpr const char* kMonthlySales = "1007";

// A business table of the application's own, holding item pictures.
void CreatePictureTable(const std::shared_ptr<orvo::ado::Connection>& connection) {
  connection->Execute("CREATE TABLE t_ICItemPicture (FItemID INTEGER PRIMARY KEY, FPicture " +
                      std::string(orvo::store::BinaryColumnType(*connection)) + ")");
  orvo::Bytes picture = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  while (picture.size() < 250) picture.push_back(static_cast<std::uint8_t>(picture.size() * 7));
  orvo::ado::Command insert;
  insert.ActiveConnection = connection;
  insert.CommandText = "Insert Into t_ICItemPicture (FItemID, FPicture) Values(1,?)";
  insert.GetParameters().Append(insert.CreateParameter(
      "", orvo::ado::adLongVarBinary, orvo::ado::adParamInput, 0, orvo::Variant(picture)));
  insert.Execute();
}

// The application's sales invoices, whose prints the clerk counts.
void CreateInvoiceTable(orvo::ado::Connection& connection) {
  connection.Execute(
      "CREATE TABLE t_SalesInvoice (FInterID INTEGER PRIMARY KEY, FBillNo VARCHAR(20),"
      " FPrintCount INTEGER)");
  connection.Execute(
      "INSERT INTO t_SalesInvoice VALUES (1001, 'SI-1001', 0), (1002, 'SI-1002', 0),"
      " (1003, 'SI-1003', 0)");
}

// The demo writes its own rows and a business table of its own, so it runs
// only on a data source that holds nothing yet: no table, view, index or
// trigger of any kind, not even the empty tables of init. Tables are named
// first: they are what a user recognises.
void RefuseStoreInUse(orvo::ado::Connection& connection) {
  const std::vector<std::string> objects = orvo::store::ObjectNames(connection);
  if (objects.empty()) return;
  std::string names;
  for (std::size_t shown = 0; shown < objects.size() && shown < 5; ++shown) {
    names += (names.empty() ? "" : ", ") + objects[shown];
  }
  if (objects.size() > 5) names += ", ...";
  throw UsageError(
      "demo builds its own store and runs only on an empty one; the data source already holds " +
      names + " (name a new file with --dsn, or leave --dsn out)");
}

std::string TemporaryStore() {
  std::string directory = "/tmp/orvoprint-demo-XXXXXX";
  if (mkdtemp(directory.data()) == nullptr) throw UsageError("cannot create a temporary directory");
  return directory + "/demo.db";
}

// A word written so that a POSIX shell reads it back as it is: bare when it
// holds only letters, digits and characters that no shell reads otherwise,
// else between single quotes with each quote inside written '\''. A printed
// line pasted into a shell runs exactly the command shown.
std::string ShellWord(const std::string& word) {
  const auto plain = [](char c) {
    return orvo::ascii::IsLetter(c) || orvo::ascii::IsDigit(c) ||
           std::string_view("%+,-./:=@_").find(c) != std::string_view::npos;
  };
  if (!word.empty() && std::all_of(word.begin(), word.end(), plain)) return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Prints the command line that makes the call, then its result, and gives
// the result to the demo.
orvo::Variant Show(const Options& options, const std::string& comment,
                   const std::vector<std::string>& words, std::ostream& out) {
  if (!comment.empty()) out << "\n# " << comment;
  out << "\n$ orvoprint --dsn \"$STORE\" --user " << options.userId << " --user-name "
      << ShellWord(options.userName) << " call";
  for (const std::string& word : words) out << ' ' << ShellWord(word);
  out << '\n';
  orvo::host::ServiceHub::Current()->SignIn(options.userId, options.userName);
  const CallResult result = Call(options, words);
  if (result.hasResult) {
    out << ToJson(result.value).dump(-1, ' ', false, OrderedJson::error_handler_t::replace) << '\n';
  }
  return result.value;
}

// The template id of what InsertNoteRow and InsertRptNoteRow return.
std::string TemplateId(const orvo::Variant& inserted) {
  return orvo::CStr(inserted.ObjectAs<orvo::Vector>()->Item(1));
}

// A choice of template for UpdateUserNoteData and UpdateUserRptNoteData.
OrderedJson Choice(const std::string& key, const std::string& id, const std::string& name,
                   int selected) {
  return OrderedJson{{"FKey", key + "|" + id}, {"FName", name}, {"FSel", selected}, {"FType", ""}};
}

std::string Choices(const std::string& option, std::vector<OrderedJson> data) {
  return OrderedJson{{"Option", option}, {"Data", std::move(data)}}.dump();
}

std::string Binary(const std::string& text) {
  return OrderedJson{{"$binary", Base64Encode(orvo::Bytes(text.begin(), text.end()))}}.dump();
}

Options As(const Options& options, std::int16_t userId, const char* userName) {
  Options as = options;
  as.userId = userId;
  as.userName = userName;
  return as;
}

void ShowPrintCounts(orvo::ado::Connection& connection, std::ostream& out) {
  out << "# t_SalesInvoice now:";
  auto rows = connection.Execute("SELECT FBillNo, FPrintCount FROM t_SalesInvoice ORDER BY 1");
  bool first = true;
  for (; !rows->Eof(); rows->MoveNext()) {
    out << (first ? " " : ", ") << orvo::CStr(rows->Fields(0).Value()) << " printed "
        << orvo::CStr(rows->Fields(1).Value());
    first = false;
  }
  out << '\n';
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
  CreatePictureTable(connection);
  CreateInvoiceTable(*connection);

  // A password stays out of what the demo prints; libpq finds it in the
  // environment (PGPASSWORD) or the password file for the commands shown.
  out << "STORE=" << ShellWord(orvo::ado::ConnectionString::Parse(demo.dsn).ShownText()) << '\n'
      << "Users: " << kManagerId << ' ' << kManagerName << " (sets the templates up), " << kClerkId
      << ' ' << kClerkName << " (a clerk who prints)\n"
      << "Bill type " << kSalesInvoice << ": sales invoice; report " << kMonthlySales
      << ": monthly sales\n";

  const Options manager = As(demo, kManagerId, kManagerName);
  const std::string a4 = TemplateId(Show(manager, "The manager stores two invoice templates",
                                         {"clsPrintSetupUpdate", "InsertNoteRow", kSalesInvoice,
                                          "Invoice A4", Binary("layout: A4, two columns")},
                                         out));
  Show(manager, "",
       {"clsPrintSetupUpdate", "InsertNoteRow", kSalesInvoice, "Invoice A5",
        Binary("layout: A5, one column")},
       out);
  Show(manager, "He selects the A4 one and notes how many copies to print",
       {"clsPrintSetupUpdate", "UpdateUserNoteData", kSalesInvoice,
        Choices("copies=2", {Choice(kSalesInvoice, a4, "Invoice A4", 1)})},
       out);
  Show(manager, "and stores his page settings",
       {"clsPrintSetupUpdate", "SavePageAndPrintSet", kSalesInvoice,
        Binary("paper=A4;orientation=portrait")},
       out);

  const Options clerk = As(demo, kClerkId, kClerkName);
  Show(clerk, "The clerk has no templates of her own yet",
       {"clsPrintSetupQuery", "GetCurrNote", kSalesInvoice}, out);
  const orvo::Variant listed =
      Show(clerk, "Listing them gives her copies of the manager's, the A4 one selected",
           {"clsPrintSetupQuery", "GetNoteInfo", kSalesInvoice}, out);
  const auto copies = listed.ObjectAs<orvo::Dictionary>()->Value("Data").ObjectAs<orvo::Vector>();
  const std::string copy =
      orvo::CStr(copies->Item(1).ObjectAs<orvo::Dictionary>()->Value("fbillid"));
  Show(clerk, "Printing an invoice: the option text and the selected template's body",
       {"clsPrintSetupQuery", "GetNotePrintData", kSalesInvoice}, out);
  Show(clerk, "and the page settings she was given with the copies",
       {"clsPrintSetupQuery", "GetPageAndPrintSet", kSalesInvoice}, out);

  const std::string own =
      TemplateId(Show(clerk, "She stores a template of her own (the quote is kept as written)",
                      {"clsPrintSetupUpdate", "InsertNoteRow", kSalesInvoice, "Alice's invoice",
                       Binary("layout: A4, with the shop's logo")},
                      out));
  Show(clerk, "selects it instead of her copy of the A4 one",
       {"clsPrintSetupUpdate", "UpdateUserNoteData", kSalesInvoice,
        Choices("copies=1", {Choice(kSalesInvoice, own, "Alice's invoice", 1),
                             Choice(kSalesInvoice, copy, "Invoice A4", 0)})},
       out);
  Show(clerk, "prints with it", {"clsPrintSetupQuery", "GetNotePrintData", kSalesInvoice}, out);
  Show(
      clerk, "and counts the print of two invoices on the application's own table",
      {"clsPrintSetupUpdate", "UpdatePrintCount",
       R"({"TableName":"t_SalesInvoice","FieldName":"FPrintCount","PriKey":"FInterID","InterIDs":"1001,1002"})"},
      out);
  ShowPrintCounts(*connection, out);
  Show(clerk, "Her current templates now", {"clsPrintSetupQuery", "GetCurrNote", kSalesInvoice},
       out);
  Show(clerk, "A shelf label kept beside the invoice templates",
       {"clsPrintSetupUpdate", "AddBarCodeTemplate", kSalesInvoice, "Shelf label",
        Binary("label: 40x30 mm, EAN-13"), std::to_string(kClerkId)},
       out);
  Show(
      clerk, "An item picture from a business table, read in chunks of 100 bytes",
      {"clsPrintSetupQuery", "GetPictureData",
       R"({"TableName":"t_ICItemPicture","FieldName":"FPicture","PrimaryKeyField":"FItemID","PrimaryKeyValue":"1"})"},
      out);

  const std::string sheet = TemplateId(Show(
      manager, "Reports work the same way: the manager stores a report template and selects it",
      {"clsPrintSetupUpdateRpt", "InsertRptNoteRow", kMonthlySales, "Monthly sales",
       Binary("sheet: monthly sales by region")},
      out));
  Show(manager, "",
       {"clsPrintSetupUpdateRpt", "UpdateUserRptNoteData", kMonthlySales,
        Choices("landscape", {Choice(kMonthlySales, sheet, "Monthly sales", 1)})},
       out);
  Show(clerk, "the clerk lists the report's templates, getting her copy",
       {"clsPrintSetupQueryRpt", "GetRptNoteInfo", kMonthlySales}, out);
  Show(clerk, "and prints the report with it",
       {"clsPrintSetupQueryRpt", "GetRptNotePrintData", kMonthlySales}, out);
  Show(clerk, "How the update classes want their units of work treated",
       {"clsPrintSetupUpdate", "TransMode"}, out);
  if (!path.empty()) out << "\nThe store stays at " << path << " for further calls with --dsn.\n";
  return 0;
}

}  // namespace orvoprint
