#include "support/backends.hpp"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "ado/connection_string.hpp"
#include "automation/ascii.hpp"

namespace orvo::testing {

namespace {

constexpr const char* kServerVariable = "ORVO_TEST_PG";

// The data source text of the server the PostgreSQL cases run on, without the
// blanks and separators around it; empty when there is none.
std::string ServerDataSource() {
  const char* variable = std::getenv(kServerVariable);
  std::string_view text = variable == nullptr ? "" : variable;
  const auto isSeparator = [](char c) { return c == ';' || ascii::IsSpace(c); };
  while (!text.empty() && isSeparator(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSeparator(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// The data source keys that libpq spells otherwise; every other key the
// server reads is libpq's own (sslmode, connect_timeout, options, ...).
struct Spelling {
  std::string_view key;
  std::string_view libpq;
};
constexpr Spelling kLibpqSpellings[] = {{"Host", "host"},
                                        {"Port", "port"},
                                        {"Database", "dbname"},
                                        {"User ID", "user"},
                                        {"Password", "password"}};
// Keys that the component reads itself; the server never sees them.
constexpr std::string_view kComponentKeys[] = {"Provider", "Language"};

using ServerConnection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

// A connection of the tests' own to the server of ORVO_TEST_PG, beside the
// library's: a store is made and dropped whatever state the library is in.
ServerConnection ConnectToServer() {
  const ado::ConnectionString parsed = ado::ConnectionString::Parse(ServerDataSource());
  if (!ascii::EqualsIgnoreCase(parsed.Provider(), "PostgreSQL")) {
    throw std::runtime_error(std::string(kServerVariable) + " names the provider " +
                             parsed.Provider() + ", not PostgreSQL");
  }
  std::vector<std::string> keys;
  std::vector<std::string> values;
  for (const std::string& key : parsed.Keys()) {
    bool ours = false;
    for (std::string_view component : kComponentKeys) {
      ours = ours || ascii::EqualsIgnoreCase(component, key);
    }
    if (ours) continue;
    std::string name;
    for (char c : key) name += ascii::ToLower(c);
    for (const Spelling& spelling : kLibpqSpellings) {
      if (ascii::EqualsIgnoreCase(spelling.key, key)) name = spelling.libpq;
    }
    keys.push_back(name);
    values.push_back(parsed.Get(key));
  }
  std::vector<const char*> keywords;
  std::vector<const char*> settings;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    keywords.push_back(keys[i].c_str());
    settings.push_back(values[i].c_str());
  }
  keywords.push_back(nullptr);
  settings.push_back(nullptr);
  ServerConnection connection(PQconnectdbParams(keywords.data(), settings.data(), 0), &PQfinish);
  if (PQstatus(connection.get()) != CONNECTION_OK) {
    throw std::runtime_error("Cannot reach the PostgreSQL server of " +
                             std::string(kServerVariable) + ": " +
                             PQerrorMessage(connection.get()));
  }
  return connection;
}

// Runs a statement that returns no rows; a refusal is thrown with the
// server's message.
void Run(PGconn* connection, const std::string& statement) {
  const std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection, statement.c_str()),
                                                             &PQclear);
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
    throw std::runtime_error("\"" + statement + "\" failed: " + PQerrorMessage(connection));
  }
}

// The schema of the test that owns `directory`: "orvo_test_" and the
// directory's name with every character but a-z and 0-9 written as "_" and
// its two hexadecimal digits. Distinct directories give distinct schemas
// (the server folds case, the directories do not), and the name is one the
// server reads unquoted, as a search path names it.
std::string SchemaOf(const std::filesystem::path& directory) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string schema = "orvo_test_";
  for (const char c : directory.filename().string()) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'a' && c <= 'z') || ascii::IsDigit(c)) {
      schema += c;
    } else {
      schema += '_';
      schema += kHex[byte >> 4];
      schema += kHex[byte & 15];
    }
  }
  // The server cuts longer names short, and two cut names may be one.
  if (schema.size() > 63) {
    throw std::runtime_error("The temporary directory " + directory.string() +
                             " gives a schema name longer than PostgreSQL's 63 bytes");
  }
  return schema;
}

// A value for a data source text: quoted when it holds what would end it.
std::string Quoted(const std::string& value) {
  if (value.find_first_of(";\"'") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string PostgresDataSource(const std::filesystem::path& directory) {
  const std::string schema = SchemaOf(directory);
  // A schema left by a test that died keeps its name taken: this fails then,
  // rather than run on someone else's rows.
  Run(ConnectToServer().get(), "CREATE SCHEMA " + schema);
  // The server's own options, if ORVO_TEST_PG gives some, stay in force.
  const std::string text = ServerDataSource();
  const std::string options = ado::ConnectionString::Parse(text).Get("options");
  return text +
         ";options=" + Quoted((options.empty() ? "" : options + " ") + "-c search_path=" + schema);
}

void DropPostgresStore(const std::filesystem::path& directory) {
  try {
    const ServerConnection connection = ConnectToServer();
    // A connection left in a transaction on the store would hold the drop
    // forever: the test fails instead.
    Run(connection.get(), "SET lock_timeout = '30s'");
    Run(connection.get(), "SET client_min_messages = warning");  // not what CASCADE took along
    Run(connection.get(), "DROP SCHEMA " + SchemaOf(directory) + " CASCADE");
  } catch (const std::exception& error) {
    ADD_FAILURE() << "The test's store was not dropped: " << error.what();
  }
}

}  // namespace

const Backend& SqliteBackend() {
  static const Backend sqlite{
      "SQLite",
      "",
      [](const std::filesystem::path& directory) {
        return "Provider=SQLite;Data Source=" + (directory / "store.db").string();
      },
      nullptr,
      {// As a store is made: readers never wait for a writer.
       "PRAGMA journal_mode=WAL",
       "CREATE TABLE T_PrintExport (FId INTEGER PRIMARY KEY AUTOINCREMENT, FBillType INTEGER, "
       "FBillId INTEGER, FPreparerId INTEGER, FDate DATETIME, FName VARCHAR(255) COLLATE NOCASE, "
       "FData VARCHAR(255) COLLATE NOCASE, FBillTypeSub VARCHAR(255) COLLATE NOCASE, "
       "FSel INTEGER, FPrintSet BLOB)",
       "CREATE TABLE T_PrintExportNote (FId INTEGER PRIMARY KEY AUTOINCREMENT, "
       "FName VARCHAR(255) COLLATE NOCASE, FScreenId VARCHAR(20) COLLATE NOCASE, "
       "FCreatorName VARCHAR(30) COLLATE NOCASE, FModifierName VARCHAR(30) COLLATE NOCASE, "
       "FNewBillType INTEGER, FCreateDate DATETIME, FModifyDate DATETIME, FData BLOB)",
       "CREATE TABLE T_RptExcelPrintExport (FId INTEGER PRIMARY KEY AUTOINCREMENT, "
       "FRptId INTEGER, FNoteId INTEGER, FPreparerId INTEGER, FDate DATETIME, "
       "FName VARCHAR(255) COLLATE NOCASE, FData VARCHAR(255) COLLATE NOCASE, FSel INTEGER, "
       "FPrintSet BLOB, FTypeSub VARCHAR(255) COLLATE NOCASE)"},
      "PRAGMA foreign_keys = ON",
      // A view whose table is gone.
      {"create table t_Gone (FItemID integer, FImage blob)",
       "create view v_Broken as select FItemID, FImage from t_Gone", "drop table t_Gone"},
      "PRAGMA integrity_check"};
  return sqlite;
}

// The tables of the data-access tests, each column's comment spelling its
// name as the store's do, so that a "*" list names them as on SQLite.
std::vector<std::string> PostgresAdoTables() {
  std::vector<std::string> statements = {
      // Texts compare as the store's do: without regard to case, and (being
      // blank-padded) to trailing blanks.
      "CREATE COLLATION IF NOT EXISTS orvo_ci "
      "(provider = icu, locale = 'und-u-ks-level2', deterministic = false)",
      "CREATE TABLE T_PrintExport (FId integer generated by default as identity primary key, "
      "FBillType integer, FBillId integer, FPreparerId integer, FDate timestamp, "
      "FName bpchar COLLATE orvo_ci, FData bpchar COLLATE orvo_ci, "
      "FBillTypeSub bpchar COLLATE orvo_ci, FSel integer, FPrintSet bytea)",
      "CREATE TABLE T_PrintExportNote (FId integer generated by default as identity primary key, "
      "FName bpchar COLLATE orvo_ci, FScreenId bpchar COLLATE orvo_ci, "
      "FCreatorName bpchar COLLATE orvo_ci, FModifierName bpchar COLLATE orvo_ci, "
      "FNewBillType integer, FCreateDate timestamp, FModifyDate timestamp, FData bytea)",
      "CREATE TABLE T_RptExcelPrintExport (FId integer generated by default as identity primary "
      "key, FRptId integer, FNoteId integer, FPreparerId integer, FDate timestamp, "
      "FName bpchar COLLATE orvo_ci, FData bpchar COLLATE orvo_ci, FSel integer, "
      "FPrintSet bytea, FTypeSub bpchar COLLATE orvo_ci)"};
  for (const char* column : {"FId", "FBillType", "FBillId", "FPreparerId", "FDate", "FName",
                             "FData", "FBillTypeSub", "FSel", "FPrintSet"}) {
    statements.push_back("COMMENT ON COLUMN T_PrintExport." + std::string(column) + " IS '" +
                         column + "'");
  }
  return statements;
}

const Backend& PostgresBackend() {
  static const Backend postgres{
      "PostgreSQL",
      ServerDataSource().empty()
          ? std::string(kServerVariable) + " holds no data source: no PostgreSQL server to run on"
          : "",
      &PostgresDataSource,
      &DropPostgresStore,
      PostgresAdoTables(),
      "",
      // The server drops no table that a view reads: the view reads a
      // function that fails as a missing table would.
      {"create function t_gone() returns table (FItemID integer, FImage bytea) language plpgsql "
       "as $$ begin raise exception 'relation \"t_Gone\" does not exist'; end $$",
       "create view v_Broken as select * from t_gone()"},
      ""};
  return postgres;
}

}  // namespace orvo::testing
