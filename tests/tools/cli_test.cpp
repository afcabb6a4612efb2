// Runs the built orvoprint program as a user would and checks what it prints
// on stdout and stderr and how it exits.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/backends.hpp"
#include "support/temp_directory.hpp"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Each test gets a directory of its own for its store and the captured output.
class OrvoprintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The calling user comes from the command line only, never from the
    // environment of whoever runs the tests.
    unsetenv("ORVO_USER_ID");
    unsetenv("ORVO_USER_NAME");
  }

  std::string Dsn(const std::string& file = "store.db") const { return directory_.SqliteDsn(file); }

  // What a shell script prints on stdout.
  std::string Shell(const std::string& script) {
    const fs::path out = directory_.Path() / "shell.txt";
    const std::string command = "sh -c " + Quoted(script) + " >" + Quoted(out.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << script;
    return Contents(out);
  }

  // What the sqlite3 shell prints for a statement on a store file.
  std::string Sqlite(const fs::path& store, const std::string& sql) {
    return Shell("sqlite3 " + Quoted(store.string()) + " " + Quoted(sql));
  }

  // Runs the program. Its standard output is captured, unless `redirect`
  // sends it elsewhere (shell redirections, such as ">/dev/full").
  Outcome Run(const std::vector<std::string>& args, const std::string& redirect = {}) {
    const fs::path out = directory_.Path() / "stdout.txt";
    const fs::path err = directory_.Path() / "stderr.txt";
    std::string command = Quoted(ORVOPRINT_PATH);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command += " </dev/null " + (redirect.empty() ? ">" + Quoted(out.string()) : redirect) + " 2>" +
               Quoted(err.string());
    const int status = std::system(command.c_str());
    // A signal (a crash) shows as -1.
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, redirect.empty() ? Contents(out) : "",
            Contents(err)};
  }

  // Expects a refusal: the exit code, nothing on stdout, and the message.
  void ExpectRefused(const Outcome& outcome, int exitCode, const std::string& message) {
    EXPECT_EQ(outcome.exitCode, exitCode) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
  }

  orvo::testing::TempDirectory directory_;
};

TEST_F(OrvoprintTest, MembersListsTheSixClassesWithTheirIdentitiesAndDispids) {
  const Outcome listed = Run({"members"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const std::string& out = listed.out;
  EXPECT_TRUE(
      out.starts_with("OrvoMPrintExport  {66C9AD08-8B70-4B4A-9487-E73B85BBB233}  version 1.2, "
                      "locale 0x409\n"));
  const std::pair<const char*, const char*> classes[] = {
      {"clsPrintSetupQuery", "{0338DDFC-4C69-41F8-9011-77D3F24B71A2}"},
      {"clsPrintSetupUpdate", "{B7A111D9-60D7-4F02-B0B4-051BC3A33AD3}"},
      {"clsPrintSetupQueryLM", "{F2DC903C-DEDD-4A80-A0C6-D182F3FAF3C6}"},
      {"clsPrintSetupUpdateLM", "{82EB896E-BAD4-4A7A-B03F-60D469A3F67F}"},
      {"clsPrintSetupQueryRpt", "{6FE60FA6-AEB4-4C90-BF69-09598BB1180A}"},
      {"clsPrintSetupUpdateRpt", "{E78EBCE2-2403-4014-A8F7-6EE4B3D846A5}"},
  };
  for (const auto& [name, clsid] : classes) {
    const std::string heading = std::string(name) + "  " + clsid + "  OrvoMPrintExport." + name;
    EXPECT_NE(out.find("\n" + heading + "\n"), std::string::npos) << heading;
  }
  // The member line, with its DISPID, is in its own class's section.
  const auto queryLM = out.find("\nclsPrintSetupQueryLM  ");
  const auto member = out.find(
      "\n  0x60030006  GetPageAndPrintSet(sDsn As String, fClassTypeId As Long,"
      " dataFrom As Long) As Dictionary\n",
      queryLM);
  ASSERT_NE(member, std::string::npos) << out;
  EXPECT_GT(out.find("\n\n", queryLM), member);
}

TEST_F(OrvoprintTest, VersionIsTheProjectsWhereverItStands) {
  // Where an installed package's version is checked: alone, or before a
  // command, which then does not run.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, {"--dsn", Dsn(), "--version", "init"}}) {
    const Outcome shown = Run(args);
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, "orvoprint " ORVOPRINT_VERSION "\n");
    EXPECT_EQ(shown.err, "");
  }
  EXPECT_FALSE(fs::exists(directory_.Path() / "store.db"));
}

TEST_F(OrvoprintTest, OnlyInitMakesAStoreAndSaysWhatItDid) {
  const Outcome called = Run(
      {"--dsn", "Data Source=/nonexistent/dir/x.db", "call", "clsPrintSetupUpdate", "TransMode"});
  EXPECT_EQ(called.exitCode, 0) << called.err;
  EXPECT_EQ(called.out, "2\n");
  EXPECT_EQ(called.err, "");
  // Command lines that do not say what to do; the second lacks its argument.
  ExpectRefused(Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "NoSuchMember"}), 2,
                "orvoprint: ");
  ExpectRefused(Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet"}), 2,
                "orvoprint: ");
  // A call never makes a store: a data source that names no file is an error.
  const Outcome early =
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "28"});
  EXPECT_EQ(early.exitCode, 1);
  EXPECT_EQ(early.err, R"({"error":{"number":-2147467259,"source":"SQLite","description":)"
                       R"("The database file \")" +
                           (directory_.Path() / "store.db").string() +
                           R"(\" does not exist","code":"14"}})"
                           "\n");
  EXPECT_FALSE(fs::exists(directory_.Path() / "store.db"));

  // Init says what it did: created the store, then found it current; the
  // number of versions kept stays until an init changes it.
  const std::pair<std::vector<std::string>, std::string> inits[] = {
      {{}, R"("created","historyKeep":20)"},
      {{"--history-keep", "3"}, R"("current","historyKeep":3)"},
      {{}, R"("current","historyKeep":3)"},
      {{"--history-keep=0"}, R"("current","historyKeep":0)"}};
  for (const auto& [options, said] : inits) {
    std::vector<std::string> words = {"--dsn", Dsn(), "init"};
    words.insert(words.end(), options.begin(), options.end());
    const Outcome init = Run(words);
    EXPECT_EQ(init.exitCode, 0) << init.err;
    EXPECT_EQ(init.out,
              R"({"tables":["T_PrintExport","T_PrintExportNote","T_PrintExportLM",)"
              R"("T_PrintExportNoteLM","T_RptExcelPrintExport","T_RptExcelPrintExportNote"],)"
              R"("schemaVersion":9,"action":)" +
                  said + "}\n");
  }
  for (const std::string bad : {"-1", "x", "", "2147483648"}) {
    const Outcome refused = Run({"--dsn", Dsn(), "init", "--history-keep", bad});
    EXPECT_EQ(refused.exitCode, 2) << bad;
    EXPECT_EQ(refused.err,
              "orvoprint: --history-keep takes a whole number from 0 (no history) "
              "up, not \"" +
                  bad + "\"\n");
  }
  // What a refusal quotes back reaches a terminal: bytes that are no text,
  // and controls that a terminal would act on, are shown as codes.
  const Outcome garbled = Run({"--dsn", Dsn(), "init", "--history-keep", "\xff\x1b[2J"});
  EXPECT_EQ(garbled.exitCode, 2);
  EXPECT_EQ(garbled.err,
            "orvoprint: --history-keep takes a whole number from 0 (no history) up, not "
            "\"\\xFF\\x1B[2J\"\n");
}

TEST_F(OrvoprintTest, ACopyCalledDirectlyIsKeptWholeOrNotAtAll) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "init"}).exitCode, 0);
  const fs::path store = directory_.Path() / "store.db";
  // The manager's template copies; an operator's trigger refuses the
  // assignment row, so the copy fails after the template was copied.
  Sqlite(store,
         "insert into T_PrintExportNote (FName,FScreenId,FNewBillType,FData) values "
         "('Invoice','28',28,x'01');"
         "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FName,FSel) values "
         "(28,1,16394,'Invoice',1);"
         "create trigger Refused before insert on T_PrintExport when new.FPreparerId=7 "
         "begin select raise(abort, 'refused'); end");
  const Outcome failed =
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "CopyManagerNoteInfo", "28", "7", "Al"});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(Sqlite(store, "select count(*) from T_PrintExportNote"), "1\n");

  Sqlite(store, "drop trigger Refused");
  const Outcome copied =
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "CopyManagerNoteInfo", "28", "7", "Al"});
  EXPECT_EQ(copied.exitCode, 0) << copied.err;
  EXPECT_EQ(Sqlite(store, "select count(*) from T_PrintExportNote"), "2\n");
}

TEST_F(OrvoprintTest, ArgumentsReachTheMemberAsTyped) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "init"}).exitCode, 0);
  // A long written in brackets is no long, an array no object.
  ExpectRefused(Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "[28]"}),
                2, "orvoprint: fClassTypeId must be a Long, not \"[28]\"");
  ExpectRefused(Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPictureData",
                     R"([{"TableName":"t"}])"}),
                2, "orvoprint: dctDataInfo must be a JSON object");
  // "--" ends the options, so a negative number can follow it.
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"call", "clsPrintSetupQuery", "GetPageAndPrintSet", "--", "-5"},
        std::vector<std::string>{"call", "--", "clsPrintSetupQuery", "GetPageAndPrintSet", "-5"},
        std::vector<std::string>{"call", "clsPrintSetupQuery", "GetPageAndPrintSet", "-5"}}) {
    std::vector<std::string> args = {"--dsn", Dsn(), "--trace"};
    args.insert(args.end(), words.begin(), words.end());
    const Outcome called = Run(args);
    EXPECT_EQ(called.exitCode, 0) << called.err;
    EXPECT_EQ(called.out, "{}\n");
    EXPECT_NE(called.err.find("FBillType=-5 And FPreparerId=16394"), std::string::npos)
        << called.err;
  }
  // A word that is no JSON value, and not meant as one, is the text it is.
  const Outcome text = Run({"--dsn", Dsn(), "--trace", "call", "clsPrintSetupUpdate",
                            "InsertNoteRow", "28", "Name", "Invoice A4"});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.err.find(R"({"$binary":"SW52b2ljZSBBNA=="})"), std::string::npos) << text.err;
  // Words that look like options after the command are arguments, not options.
  ExpectRefused(
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "--trace"}), 2,
      "fClassTypeId must be a Long, not \"--trace\"");
  ExpectRefused(Run({"--bogus", "call", "clsPrintSetupUpdate", "TransMode"}), 2, "--bogus");
  ExpectRefused(Run({"--dsn", Dsn()}), 2, "orvoprint: ");
  ExpectRefused(Run({"--dsn", Dsn(), "demo", "extra"}), 2, "orvoprint: ");
}

TEST_F(OrvoprintTest, TheCallingUserComesFromItsOptionElseFromItsVariable) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "init"}).exitCode, 0);
  const std::vector<std::string> call = {
      "--dsn", Dsn(), "--trace", "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "28"};
  const auto with = [&](const std::string& option, const std::string& value) {
    std::vector<std::string> args = {option, value};
    args.insert(args.end(), call.begin(), call.end());
    return args;
  };
  // Blanks around the id are ignored, wherever it comes from.
  for (const std::string id : {" 8", "8 ", "\t+8 "}) {
    setenv("ORVO_USER_ID", id.c_str(), 1);
    for (const Outcome& called : {Run(call), Run(with("--user", id))}) {
      EXPECT_EQ(called.exitCode, 0) << id << called.err;
      EXPECT_NE(called.err.find("FPreparerId=8\""), std::string::npos) << id << called.err;
    }
  }
  // An empty id is refused, not taken for the manager's; so is anything that
  // is not a whole 16-bit number.
  for (const std::string id : {"", " ", "8.0", "+-8", "&H8", "8 8", "32768"}) {
    setenv("ORVO_USER_ID", id.c_str(), 1);
    ExpectRefused(Run(call), 2, "orvoprint: ORVO_USER_ID must be a 16-bit user id, not \"" + id);
    ExpectRefused(Run(with("--user", id)), 2, "orvoprint: --user must be a 16-bit user id");
  }
  // An empty name is the empty name, as --user-name '' gives it, not the
  // manager's: the templates a call writes are kept under the caller's name.
  setenv("ORVO_USER_ID", "8", 1);
  setenv("ORVO_USER_NAME", "", 1);
  const Outcome inserted = Run(
      {"--dsn", Dsn(), "--trace", "call", "clsPrintSetupUpdate", "InsertNoteRow", "28", "N", "x"});
  EXPECT_EQ(inserted.exitCode, 0) << inserted.err;
  EXPECT_NE(inserted.err.find("where FCreatorName='' and"), std::string::npos) << inserted.err;
}

TEST_F(OrvoprintTest, OutputThatCannotBeWrittenIsAFailure) {
  // A pipe whose reader is gone before anything is written, as when the
  // reader of `orvoprint ... | head -c1` has stopped reading: the pipe is
  // opened for reading and writing, so that opening it for writing does not
  // wait for a reader, and then closed for reading.
  const fs::path pipe = directory_.Path() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string closedPipe = "3<>" + Quoted(pipe) + " >" + Quoted(pipe) + " 3<&-";
  const std::string full = ">/dev/full", noSpace = "No space left on device";
  const struct {
    std::vector<std::string> args;
    std::string redirect, reason;
  } cases[] = {
      {{"call", "clsPrintSetupUpdate", "TransMode"}, full, noSpace},
      {{"call", "clsPrintSetupUpdate", "TransMode"}, closedPipe, "Broken pipe"},
      {{"members"}, closedPipe, "Broken pipe"},
      {{"--help"}, full, noSpace},
      {{"init", "--help"}, full, noSpace},
      {{"--version"}, full, noSpace},
  };
  for (const auto& [args, redirect, reason] : cases) {
    const Outcome failed = Run(args, redirect);
    EXPECT_EQ(failed.exitCode, 1) << args[0] << redirect;
    EXPECT_EQ(failed.err, "orvoprint: cannot write the result: " + reason + "\n");
  }
}

TEST_F(OrvoprintTest, HostileInputIsRefusedWithAClearErrorAndNeverCrashes) {
  // Nesting that would exhaust the stack, in a Dictionary and in a VARIANT.
  const std::string deep = std::string(30000, '[') + std::string(30000, ']');
  ExpectRefused(Run({"call", "clsPrintSetupQuery", "GetPictureData", R"({"X":)" + deep + "}"}), 2,
                "arrays and objects nest deeper than 64 levels");
  ExpectRefused(Run({"call", "clsPrintSetupUpdate", "InsertNoteRow", "28", "Name", deep}), 2,
                "arrays and objects nest deeper than 64 levels");

  // Words meant as JSON that are not, and JSON that no member may get, are
  // refused rather than passed on as text.
  for (const std::string word : {"1e400", "-1e400", R"("\ud800")", R"({"$empty":false})",
                                 R"( {"Name":1)", R"(["a")", R"("unclosed)"}) {
    ExpectRefused(Run({"call", "clsPrintSetupUpdate", "InsertNoteRow", "28", "Name", word}), 2,
                  "orvoprint: fNoteBlob");
  }

  // Texts must be UTF-8, wherever they come from, and nothing reaches a store
  // otherwise; the bytes of a file are no text and are taken as they are.
  ASSERT_EQ(Run({"--dsn", Dsn(), "init"}).exitCode, 0);
  const std::string cut = "caf\xC3";
  // InsertNoteRow on the store, the global options before it.
  const auto insert = [&](const std::string& name, const std::string& body,
                          std::vector<std::string> options = {}) {
    options.insert(options.end(), {"--dsn", Dsn(), "call", "clsPrintSetupUpdate", "InsertNoteRow",
                                   "28", name, body});
    return Run(options);
  };
  const std::pair<Outcome, std::string> texts[] = {
      {insert(cut, "body"), "fNoteName"},
      {insert("Name", cut), "fNoteBlob"},
      {insert("Name", "body", {"--user-name", cut}), "--user-name"},
      {Run({"--dsn", Dsn(cut + ".db"), "init"}), "--dsn"},
  };
  for (const auto& [outcome, named] : texts) {
    ExpectRefused(outcome, 2, "orvoprint: " + named + " is not UTF-8 text\n");
  }
  setenv("ORVO_USER_NAME", cut.c_str(), 1);
  ExpectRefused(insert("Name", "body"), 2, "orvoprint: ORVO_USER_NAME is not UTF-8 text\n");
  unsetenv("ORVO_USER_NAME");
  EXPECT_FALSE(fs::exists(directory_.Path() / (cut + ".db")));
  const fs::path store = directory_.Path() / "store.db";
  EXPECT_EQ(Sqlite(store, "select count(*) from T_PrintExportNote"), "0\n");
  std::ofstream(directory_.Path() / "blob") << cut;
  const Outcome bytes = insert("Name", "@" + (directory_.Path() / "blob").string());
  EXPECT_EQ(bytes.exitCode, 0) << bytes.err;
  EXPECT_EQ(Sqlite(store, "select hex(FData) from T_PrintExportNote"), "636166C3\n");

  // Argument files that cannot be read are refused alike, however they fail,
  // and a file without end is not read past the bound.
  for (const std::string& file : {(directory_.Path() / "missing").string(),
                                  directory_.Path().string(), std::string("/dev/zero")}) {
    const Outcome refused =
        Run({"call", "clsPrintSetupUpdate", "InsertNoteRow", "28", "Name", "@" + file});
    ExpectRefused(refused, 2, "orvoprint: fNoteBlob: cannot read " + file);
  }
  EXPECT_NE(Run({"call", "clsPrintSetupUpdate", "InsertNoteRow", "28", "Name", "@/dev/zero"})
                .err.find("more than 64 MiB"),
            std::string::npos);

  // A word that the command line refuses is named back with its terminal
  // controls and stray bytes as codes, whoever words the refusal.
  const std::string escape = "\x1b[2J\xc2\x9b\xff";
  const std::string shown = "\\x1B[2J\\xC2\\x9B\\xFF";
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"--bogus" + escape},
           {"hist" + escape},
           {"--dsn", Dsn(), "history", "--template", "1" + escape},
           {"--dsn", Dsn(), "history", "--bogus" + escape},
       }) {
    const Outcome refused = Run(words);
    EXPECT_EQ(refused.exitCode, 2) << words.back();
    EXPECT_NE(refused.err.find(shown), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find_first_of("\x1b\x9b\xff"), std::string::npos) << refused.err;
  }
}

// A data source text that holds a password never shows it: not in the
// error of a connect that fails, not in the trace or the JSON error of a
// call, not in the debug log of a copy.
TEST_F(OrvoprintTest, APasswordInTheDataSourceIsNeverShown) {
  const std::string wrong = "S3cr3t-pw";
  const fs::path log = directory_.Path() / "PymLog.txt";
  setenv("ORVO_PYMLOG", log.string().c_str(), 1);
  std::vector<std::pair<std::string, Outcome>> outcomes;
  // A store file has no password: the key is refused, named by itself alone.
  const Outcome onFile = Run({"--dsn", Dsn() + ";Password=" + wrong, "--trace", "call",
                              "clsPrintSetupQuery", "GetNoteInfo", "28"});
  EXPECT_EQ(onFile.exitCode, 1) << onFile.err;
  EXPECT_NE(onFile.err.find(R"(\"Password\")"), std::string::npos) << onFile.err;
  outcomes.emplace_back(wrong, onFile);

  const orvo::testing::Backend& server = orvo::testing::PostgresBackend();
  if (server.unavailable.empty()) {
    const orvo::testing::FreshStore store(server, directory_.Path());
    const std::regex password("Password=([^;]*)");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(store.Dsn(), found, password));
    const std::string secret = found[1];
    ASSERT_EQ(Run({"--dsn", store.Dsn(), "init"}).exitCode, 0);
    const auto call = [&](const std::string& dsn, std::vector<std::string> args) {
      args.insert(args.begin(), {"--dsn", dsn, "--trace"});
      const Outcome outcome = Run(args);
      outcomes.emplace_back(secret, outcome);
      return outcome;
    };
    // Connects that fail: a password the server refuses, a port nobody serves.
    outcomes.emplace_back(
        wrong, Run({"--dsn", std::regex_replace(store.Dsn(), password, "Password=" + wrong), "call",
                    "clsPrintSetupQuery", "GetNoteInfo", "28"}));
    EXPECT_EQ(outcomes.back().second.exitCode, 1) << outcomes.back().second.err;
    EXPECT_EQ(call(std::regex_replace(store.Dsn(), std::regex("Port=[0-9]+"), "Port=1"),
                   {"call", "clsPrintSetupQuery", "GetNoteInfo", "28"})
                  .exitCode,
              1);
    // The manager's row points to a template that does not exist: the copy
    // of a new user writes a line to the debug log.
    EXPECT_EQ(call(store.Dsn(),
                   {"--user", "16394", "call", "clsPrintSetupUpdate", "UpdateUserNoteData", "28",
                    R"({"Option":"","Data":[{"FKey":"k|999","FName":"Gone",)"
                    R"("FSel":1,"FType":""}]})"})
                  .exitCode,
              0);
    EXPECT_EQ(call(store.Dsn(), {"--user", "7", "call", "clsPrintSetupQuery", "GetNoteInfo", "28"})
                  .exitCode,
              0);
    EXPECT_NE(Contents(log).find("Gone"), std::string::npos);
    // A call that the server refuses after its first statements, traced.
    const Outcome failed = call(store.Dsn(), {"call", "clsPrintSetupUpdate", "InsertNoteRow", "28",
                                              std::string(300, 'n'), "body"});
    EXPECT_EQ(failed.exitCode, 1) << failed.err;
    EXPECT_NE(failed.err.find("\"sql\""), std::string::npos) << failed.err;
    EXPECT_EQ(Contents(log).find(secret), std::string::npos);
  }
  for (const auto& [secret, outcome] : outcomes) {
    EXPECT_EQ(outcome.out.find(secret), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.err.find(secret), std::string::npos) << outcome.err;
  }
  unsetenv("ORVO_PYMLOG");
}

TEST_F(OrvoprintTest, DemoRefusesAStoreThatHoldsAnything) {
  // A business table of the demo's name, and no templates at all.
  const fs::path store = directory_.Path() / "store.db";
  Sqlite(store, "CREATE TABLE t_ICItemPicture (FItemID INTEGER, FPicture BLOB)");
  ExpectRefused(Run({"--dsn", Dsn(), "demo"}), 2, "t_ICItemPicture");
  EXPECT_EQ(Sqlite(store, "select count(*) from t_ICItemPicture"), "0\n");
  EXPECT_EQ(Sqlite(store, "select count(*) from sqlite_master"), "1\n");
  // A store made by init is refused too: the demo builds its own.
  ASSERT_EQ(Run({"--dsn", Dsn("initialised.db"), "init"}).exitCode, 0);
  ExpectRefused(Run({"--dsn", Dsn("initialised.db"), "demo"}), 2, "T_PrintExport");
  EXPECT_EQ(Sqlite(directory_.Path() / "initialised.db", "select count(*) from T_PrintExport"),
            "0\n");
}

// A server's data source serves every command as a file's does: the demo
// prints the same calls and results on both, and never the password.
TEST_F(OrvoprintTest, AServersDataSourceServesTheDemoAsAFileDoes) {
  const orvo::testing::Backend& server = orvo::testing::PostgresBackend();
  if (!server.unavailable.empty()) GTEST_SKIP() << server.unavailable;
  const orvo::testing::FreshStore store(server, directory_.Path());
  const Outcome onServer = Run({"--dsn", store.Dsn(), "demo"});
  ASSERT_EQ(onServer.exitCode, 0) << onServer.err;
  const Outcome onFile = Run({"--dsn", Dsn(), "demo"});
  ASSERT_EQ(onFile.exitCode, 0) << onFile.err;
  const auto calls = [](const std::string& out) { return out.substr(out.find('\n')); };
  EXPECT_EQ(calls(onServer.out), calls(onFile.out));
  EXPECT_EQ(onServer.out.find("Password"), std::string::npos);
  EXPECT_TRUE(onServer.out.starts_with("STORE='Provider=PostgreSQL;")) << onServer.out;
  const Outcome members = Run({"--dsn", store.Dsn(), "members", "clsPrintSetupQuery"});
  EXPECT_EQ(members.exitCode, 0);
  // The demo made the store; init finds it current.
  const Outcome init = Run({"--dsn", store.Dsn(), "init"});
  EXPECT_EQ(init.exitCode, 0) << init.err;
  EXPECT_NE(init.out.find("\"action\":\"current\""), std::string::npos) << init.out;
}

TEST_F(OrvoprintTest, DemoRunsARoundTripAndLeavesAStoreForFurtherCalls) {
  // A data source that a shell misreads unless it is quoted whole.
  const std::string dsn =
      "Provider=SQLite;Data Source=\"" + (directory_.Path() / "Bob's; $HOME.db").string() + "\"";
  const Outcome demo = Run({"--dsn", dsn, "--trace", "demo"});
  ASSERT_EQ(demo.exitCode, 0) << demo.err;
  // Pasted into a shell, the lines it prints set STORE to the data source and
  // run the calls they show.
  std::smatch lines;
  ASSERT_TRUE(std::regex_search(demo.out, lines,
                                std::regex(R"re((STORE=.*)\n[\s\S]*?\n\$ (orvoprint .*))re")));
  EXPECT_TRUE(Shell(lines.str(1) + "\norvoprint() { printf '[%s]' \"$@\"; }\n" + lines.str(2))
                  .starts_with("[--dsn][" + dsn +
                               "][--user][16394][--user-name][Manager][call][clsPrintSetupUpdate]"
                               "[InsertNoteRow][28][Invoice A4][{\"$binary\":"))
      << lines.str(0);
  // Statements are traced with their bound values in their JSON encodings.
  const std::regex insert(
      R"re(\n\{"sql":"Insert Into T_PrintExport [^"]*","params":\[0,28,7,)re"
      R"re(\{"\$date":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d"\},"[^"]+","copies=2","",0,)re"
      R"re(\{"\$binary":"[A-Za-z0-9+/]+=*"\}\],)re");
  EXPECT_TRUE(std::regex_search(demo.err, insert)) << demo.err;
  // The clerk got copies on first use, then printed with a template of her
  // own and counted the print on the application's table.
  EXPECT_NE(demo.out.find("\n{\"28|3\":[\"copies=2\","), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("\n{\"28|5\":[\"copies=1\","), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("SI-1001 printed 1, SI-1002 printed 1, SI-1003 printed 0"),
            std::string::npos);
  EXPECT_NE(demo.out.find("\n{\"1007|2\":[\"landscape\","), std::string::npos) << demo.out;

  // The picture the demo stored and printed, read again with the statement's
  // line break: 250 bytes beginning with the PNG signature.
  const Outcome again =
      Run({"--dsn", dsn, "--trace", "call", "clsPrintSetupQuery", "GetPictureData",
           R"({"TableName":"t_ICItemPicture","FieldName":"FPicture",)"
           R"("PrimaryKeyField":"FItemID","PrimaryKeyValue":"1"})"});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(std::regex_match(
      again.out, std::regex(R"re(\{"\$binary":"iVBORw0KGgo[A-Za-z0-9+/]{323}=="\}\n)re")))
      << again.out;
  EXPECT_NE(demo.out.find("\n" + again.out), std::string::npos) << demo.out;
  EXPECT_EQ(again.err,
            R"({"sql":"select FPicture from t_ICItemPicture\r\n where FItemID=1","params":[],)"
            R"("ran":"select FPicture AS \"FPicture\" from t_ICItemPicture\r\n where FItemID=?",)"
            R"("ranParams":[1]})"
            "\n");
}

}  // namespace

namespace {

// The operator's commands: what a script reads of them, and how they exit.
class OperatorCommandsTest : public OrvoprintTest {
 protected:
  // What a member answers the clerk of the demo on a store.
  std::string Answers(const std::string& dsn) {
    std::string answers;
    for (const std::vector<std::string>& call :
         {std::vector<std::string>{"clsPrintSetupQuery", "GetNotePrintData", "28"},
          {"clsPrintSetupQuery", "GetPageAndPrintSet", "28"},
          {"clsPrintSetupQueryRpt", "GetRptNotePrintData", "1007"}}) {
      std::vector<std::string> args = {"--dsn", dsn, "--user", "7", "--user-name", "Alice", "call"};
      args.insert(args.end(), call.begin(), call.end());
      const Outcome answered = Run(args);
      EXPECT_EQ(answered.exitCode, 0) << answered.err;
      answers += answered.out;
    }
    return answers;
  }
};

TEST_F(OperatorCommandsTest, ExportImportCopyAndCheckPrintJsonAndExitAsEveryCommandDoes) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "demo"}).exitCode, 0);
  const std::string folder = (directory_.Path() / "export").string();

  const Outcome exported = Run({"--dsn", Dsn(), "export", folder});
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  const auto written = nlohmann::json::parse(exported.out);
  EXPECT_EQ(written["rows"].size(), 6u);
  EXPECT_GT(written["files"].get<int>(), 0);
  // Nothing but the result: no progress bar where stderr is no terminal.
  EXPECT_EQ(exported.err, "");
  const Outcome again = Run({"--dsn", Dsn(), "export", folder});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("is not empty; export writes only into a new or empty folder"),
            std::string::npos)
      << again.err;

  const Outcome imported = Run({"--dsn", Dsn("imported.db"), "import", folder, "--json"});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(nlohmann::json::parse(imported.out), written);
  ExpectRefused(Run({"--dsn", Dsn("imported.db"), "import", folder}), 1,
                "The target store is not empty");

  const Outcome copied = Run({"--dsn", Dsn("imported.db"), "copy", "--to", Dsn("copied.db")});
  ASSERT_EQ(copied.exitCode, 0) << copied.err;
  EXPECT_EQ(nlohmann::json::parse(copied.out), (nlohmann::json{{"rows", written["rows"]}}));
  EXPECT_EQ(Answers(Dsn("copied.db")), Answers(Dsn()));

  const Outcome sound = Run({"--dsn", Dsn("copied.db"), "check"});
  EXPECT_EQ(sound.exitCode, 0) << sound.err;
  EXPECT_EQ(nlohmann::json::parse(sound.out)["sound"], true) << sound.out;
  // A template deleted behind the store's back leaves its assignment rows.
  Sqlite(directory_.Path() / "copied.db", "delete from T_PrintExportNote");
  const Outcome faulty = Run({"--dsn", Dsn("copied.db"), "check", "--json"});
  EXPECT_EQ(faulty.exitCode, 1);
  const auto report = nlohmann::json::parse(faulty.out);
  EXPECT_EQ(report["sound"], false);
  EXPECT_EQ(report["danglingRows"][0]["table"], "T_PrintExport") << faulty.out;
}

TEST_F(OperatorCommandsTest, TemplatesListsWhatTheFiltersLetThroughAndRefusesBadOptions) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "demo"}).exitCode, 0);
  const Outcome all = Run({"--dsn", Dsn(), "--trace", "templates"});
  ASSERT_EQ(all.exitCode, 0) << all.err;
  const auto listed = nlohmann::json::parse(all.out);
  EXPECT_FALSE(listed["templates"].empty());
  EXPECT_NE(all.err.find("\"sql\":\"select FId, FName"), std::string::npos) << all.err;
  const Outcome reports = Run({"--dsn", Dsn(), "templates", "--report", "1007", "--json"});
  ASSERT_EQ(reports.exitCode, 0) << reports.err;
  const auto reported = nlohmann::json::parse(reports.out);
  ASSERT_FALSE(reported["templates"].empty()) << reports.out;
  for (const auto& item : reported["templates"]) {
    EXPECT_EQ(item["family"], "report");
    EXPECT_EQ(item["FNewRptId"], 1007);
  }

  ExpectRefused(Run({"--dsn", Dsn(), "templates", "--report", "1", "--bill-type", "2"}), 2,
                "excludes");
  ExpectRefused(Run({"--dsn", Dsn(), "templates", "--user", "seven"}), 2, "orvoprint: ");
  ExpectRefused(Run({"--dsn", Dsn(), "copy"}), 2, "--to is required");
  ExpectRefused(Run({"--dsn", Dsn(), "export"}), 2, "DIR is required");
  for (const char* command :
       {"templates", "export", "import", "copy", "check", "history", "restore", "compact"}) {
    const Outcome help = Run({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_NE(help.out.find("--json"), std::string::npos) << help.out;
  }
}

TEST_F(OperatorCommandsTest, HistoryListsWhatAnOperatorsSqlReplacedAndRestorePutsItBack) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "demo"}).exitCode, 0);
  const fs::path store = directory_.Path() / "store.db";
  const std::string body = Sqlite(store, "select hex(FData) from T_PrintExportNote where FId = 1");
  Sqlite(store, "update T_PrintExportNote set FData = x'00' where FId = 1");

  const Outcome listed = Run({"--dsn", Dsn(), "history", "--template", "1"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const auto versions = nlohmann::json::parse(listed.out)["versions"];
  ASSERT_EQ(versions.size(), 1u) << listed.out;
  EXPECT_EQ(versions[0]["FChange"], "update");
  const int version = versions[0]["FVersion"];

  const Outcome restored = Run({"--dsn", Dsn(), "restore", "--version", std::to_string(version)});
  ASSERT_EQ(restored.exitCode, 0) << restored.err;
  EXPECT_EQ(nlohmann::json::parse(restored.out)["restored"]["action"], "updated");
  EXPECT_EQ(Sqlite(store, "select hex(FData) from T_PrintExportNote where FId = 1"), body);
  EXPECT_EQ(Sqlite(store,
                   "select FChange from T_PrintExportNote_History order by FVersion desc "
                   "limit 1"),
            "restore\n");

  ExpectRefused(Run({"--dsn", Dsn(), "restore", "--version", "99999"}), 1,
                "holds no version 99999; nothing was restored");
  ExpectRefused(Run({"--dsn", Dsn(), "restore"}), 2, "--version is required");
  ExpectRefused(Run({"--dsn", Dsn(), "history", "--since", "yesterday"}), 2,
                "--since takes a local time");
  ExpectRefused(Run({"--dsn", Dsn(), "history", "--since", "2026-\xc3\x28"}), 2,
                "not \"2026-\\xC3(\"");
}

TEST_F(OperatorCommandsTest, ACompactedVersionIsListedAndRestoredWhole) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "demo"}).exitCode, 0);
  const fs::path store = directory_.Path() / "store.db";
  const std::string row = "select FName, hex(FData) from T_PrintExportNote where FId = 1";
  Sqlite(store, "update T_PrintExportNote set FData = randomblob(4000) where FId = 1");
  const std::string before = Sqlite(store, row);
  Sqlite(store, "update T_PrintExportNote set FName = 'Renamed' where FId = 1");
  Sqlite(store, "update T_PrintExportNote set FData = x'00' where FId = 1");

  const Outcome compacted = Run({"--dsn", Dsn(), "compact", "--json"});
  ASSERT_EQ(compacted.exitCode, 0) << compacted.err;
  const auto done = nlohmann::json::parse(compacted.out)["compacted"];
  EXPECT_EQ(done["templates"], 1);
  // Only the renamed version has its body in the newer one; the others keep
  // theirs whole, as the bodies after them have nothing of theirs.
  EXPECT_EQ(done["versions"], 1);
  EXPECT_EQ(done["unreadable"], 0);

  const auto versions = nlohmann::json::parse(
      Run({"--dsn", Dsn(), "history", "--template", "1", "--json"}).out)["versions"];
  ASSERT_EQ(versions.size(), 3u);
  EXPECT_EQ(versions[1]["bytes"], 4000);
  const Outcome restored = Run(
      {"--dsn", Dsn(), "restore", "--version", std::to_string(versions[1]["FVersion"].get<int>())});
  ASSERT_EQ(restored.exitCode, 0) << restored.err;
  EXPECT_EQ(Sqlite(store, row), before);
}

// The store moved to the server and back answers the members as the file did.
TEST_F(OperatorCommandsTest, AStoreCopiedToTheServerAndBackAnswersAsBefore) {
  const orvo::testing::Backend& server = orvo::testing::PostgresBackend();
  if (!server.unavailable.empty()) GTEST_SKIP() << server.unavailable;
  const orvo::testing::FreshStore store(server, directory_.Path());
  ASSERT_EQ(Run({"--dsn", Dsn(), "demo"}).exitCode, 0);
  const Outcome there = Run({"--dsn", Dsn(), "copy", "--to", store.Dsn()});
  ASSERT_EQ(there.exitCode, 0) << there.err;
  EXPECT_EQ(Answers(store.Dsn()), Answers(Dsn()));
  const Outcome back = Run({"--dsn", store.Dsn(), "copy", "--to", Dsn("back.db")});
  ASSERT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(Answers(Dsn("back.db")), Answers(Dsn()));
  EXPECT_EQ(Run({"--dsn", store.Dsn(), "check"}).exitCode, 0);
}

}  // namespace
