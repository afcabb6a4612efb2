// Runs the built orvoprint program as a user would and checks what it prints
// on stdout and stderr and how it exits.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

extern char** environ;

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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Each test gets a directory of its own for its store and the captured output.
class OrvoprintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orvoprint-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
  }

  // A data source in the test's directory, created on first use.
  std::string Dsn() const {
    return "Provider=SQLite;Data Source=" + (directory_ / "store.db").string();
  }

  // Runs orvoprint with `args`, stdin empty, and waits for it to end. The
  // calling user comes from the command line only, never from the
  // environment of whoever runs the tests.
  Outcome Run(const std::vector<std::string>& args) {
    const fs::path out = directory_ / "stdout.txt";
    const fs::path err = directory_ / "stderr.txt";
    std::vector<std::string> words = {ORVOPRINT_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string_view variable(*entry);
      if (variable.starts_with("ORVO_USER_ID=") || variable.starts_with("ORVO_USER_NAME="))
        continue;
      envp.push_back(*entry);
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    Outcome outcome;
    if (spawned != 0) {
      ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
      return outcome;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) {
        ADD_FAILURE() << "waitpid: " << std::strerror(errno);
        return outcome;
      }
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = Contents(out);
    outcome.err = Contents(err);
    return outcome;
  }

  fs::path directory_;
};

// The lines of one class in the members listing: from its heading to the
// next empty line.
std::vector<std::string> ClassSection(const std::string& listing, const std::string& name) {
  std::vector<std::string> section;
  bool inside = false;
  for (const std::string& line : Lines(listing)) {
    if (!inside && line.starts_with(name + "  ")) inside = true;
    if (inside && line.empty()) break;
    if (inside) section.push_back(line);
  }
  return section;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(OrvoprintTest, MembersListsTheSixClassesWithTheirIdentitiesAndDispids) {
  const Outcome listed = Run({"members"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(Lines(listed.out).front(),
            "OrvoMPrintExport  {66C9AD08-8B70-4B4A-9487-E73B85BBB233}  version 1.2, locale 0x409");
  const std::pair<const char*, const char*> classes[] = {
      {"clsPrintSetupQuery", "{0338DDFC-4C69-41F8-9011-77D3F24B71A2}"},
      {"clsPrintSetupUpdate", "{B7A111D9-60D7-4F02-B0B4-051BC3A33AD3}"},
      {"clsPrintSetupQueryLM", "{F2DC903C-DEDD-4A80-A0C6-D182F3FAF3C6}"},
      {"clsPrintSetupUpdateLM", "{82EB896E-BAD4-4A7A-B03F-60D469A3F67F}"},
      {"clsPrintSetupQueryRpt", "{6FE60FA6-AEB4-4C90-BF69-09598BB1180A}"},
      {"clsPrintSetupUpdateRpt", "{E78EBCE2-2403-4014-A8F7-6EE4B3D846A5}"},
  };
  for (const auto& [name, clsid] : classes) {
    const std::vector<std::string> section = ClassSection(listed.out, name);
    ASSERT_FALSE(section.empty()) << name;
    EXPECT_EQ(section.front(), std::string(name) + "  " + clsid + "  OrvoMPrintExport." + name);
  }
  EXPECT_TRUE(Contains(
      ClassSection(listed.out, "clsPrintSetupQuery"),
      "  0x60030006  GetPageAndPrintSet(sDsn As String, fClassTypeId As Long) As Dictionary"));
  EXPECT_TRUE(Contains(ClassSection(listed.out, "clsPrintSetupQueryLM"),
                       "  0x60030006  GetPageAndPrintSet(sDsn As String, fClassTypeId As Long,"
                       " dataFrom As Long) As Dictionary"));
  EXPECT_TRUE(Contains(ClassSection(listed.out, "clsPrintSetupQueryRpt"),
                       "  0x60030002  GetPictureData(sDsn As String, dctDataInfo As Dictionary)"
                       " As VARIANT"));
  EXPECT_TRUE(Contains(ClassSection(listed.out, "clsPrintSetupUpdateRpt"),
                       "  0x68030000  Property Get TransMode() As Long"));

  // One class alone, also by its ProgID.
  const Outcome one = Run({"members", "OrvoMPrintExport.clsPrintSetupUpdateLM"});
  ASSERT_EQ(one.exitCode, 0) << one.err;
  EXPECT_EQ(Lines(one.out), ClassSection(listed.out, "clsPrintSetupUpdateLM"));
}

TEST_F(OrvoprintTest, TransModeNeedsNoDataSource) {
  const Outcome called = Run(
      {"--dsn", "Data Source=/nonexistent/dir/x.db", "call", "clsPrintSetupUpdate", "TransMode"});
  EXPECT_EQ(called.exitCode, 0) << called.err;
  EXPECT_EQ(called.out, "2\n");
  EXPECT_EQ(called.err, "");
}

TEST_F(OrvoprintTest, InitCreatesTheTablesOnceAndAFreshStoreHasNoSettings) {
  const std::string tables =
      R"({"tables":["T_PrintExport","T_PrintExportNote","T_PrintExportLM",)"
      R"("T_PrintExportNoteLM","T_RptExcelPrintExport","T_RptExcelPrintExportNote"]})"
      "\n";
  const Outcome first = Run({"--dsn", Dsn(), "init"});
  EXPECT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.out, tables);
  const Outcome again = Run({"--dsn", Dsn(), "init"});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, tables);

  const Outcome settings =
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "28"});
  EXPECT_EQ(settings.exitCode, 0) << settings.err;
  EXPECT_EQ(settings.out, "{}\n");
  EXPECT_EQ(settings.err, "");
}

TEST_F(OrvoprintTest, AFailingCallPrintsTheErrorOnStderrAndExitsOne) {
  // A store without tables: the statement is refused.
  const Outcome refused =
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "28"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, R"({"error":{"number":-2147217900,"source":"SQLite",)"
                         R"("description":"no such table: T_PrintExport"}})"
                         "\n");

  // GetPictureData reports its own number and source with the database's text;
  // the Dictionary argument is given as JSON.
  const Outcome picture = Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPictureData",
                               R"({"TableName":"t_NoSuchTable","FieldName":"FPicture",)"
                               R"("PrimaryKeyField":"FItemID","PrimaryKeyValue":"1"})"});
  EXPECT_EQ(picture.exitCode, 1);
  EXPECT_EQ(picture.out, "");
  EXPECT_EQ(picture.err,
            R"({"error":{"number":-2147221503,"source":"OrvoMPrintExport:GetPictureData",)"
            R"("description":"no such table: t_NoSuchTable"}})"
            "\n");
}

TEST_F(OrvoprintTest, ACommandLineThatDoesNotSayWhatToDoExitsTwo) {
  const std::vector<std::vector<std::string>> usages = {
      {"call", "clsNoSuchClass", "GetPageAndPrintSet", "28"},
      {"call", "clsPrintSetupQuery", "NoSuchMember"},
      {"call", "clsPrintSetupQuery", "GetPageAndPrintSet", "abc"},
      {"call", "clsPrintSetupQuery", "GetPageAndPrintSet"},
  };
  for (std::vector<std::string> args : usages) {
    args.insert(args.begin(), {"--dsn", Dsn()});
    SCOPED_TRACE(args[4]);
    const Outcome outcome = Run(args);
    EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(outcome.err.starts_with("orvoprint: ")) << outcome.err;
  }
  // Nothing was run against the data source.
  EXPECT_FALSE(fs::exists(directory_ / "store.db"));
}

TEST_F(OrvoprintTest, TracePrintsEachStatementAsTheClassWroteIt) {
  ASSERT_EQ(Run({"--dsn", Dsn(), "init"}).exitCode, 0);
  const Outcome traced = Run({"--dsn", Dsn(), "--user", "7", "--trace", "call",
                              "clsPrintSetupQuery", "GetPageAndPrintSet", "28"});
  EXPECT_EQ(traced.exitCode, 0) << traced.err;
  EXPECT_EQ(traced.out, "{}\n");
  // The user's settings row first, then the manager user's.
  EXPECT_EQ(Lines(traced.err),
            (std::vector<std::string>{
                R"({"sql":"Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28)"
                R"( And FPreparerId=7","params":[]})",
                R"({"sql":"Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28)"
                R"( And FPreparerId=16394","params":[]})"}));
}

TEST_F(OrvoprintTest, DemoRunsARoundTripAndLeavesAStoreForFurtherCalls) {
  const Outcome demo = Run({"--dsn", Dsn(), "--trace", "demo"});
  ASSERT_EQ(demo.exitCode, 0) << demo.err;
  // The 250-byte picture, beginning with the PNG signature, read in chunks.
  const std::regex picture(R"re(\n\{"\$binary":"(iVBORw0KGgo[A-Za-z0-9+/]*=*)"\}\n)re");
  std::smatch found;
  ASSERT_TRUE(std::regex_search(demo.out, found, picture)) << demo.out;
  EXPECT_EQ(found[1].length(), 336);
  // TransMode answers 2 right after the command that asks for it.
  const std::vector<std::string> out = Lines(demo.out);
  const auto asked = std::find_if(out.begin(), out.end(), [](const std::string& line) {
    return line.ends_with(" call clsPrintSetupUpdate TransMode");
  });
  ASSERT_NE(asked, out.end()) << demo.out;
  ASSERT_NE(asked + 1, out.end());
  EXPECT_EQ(asked[1], "2");

  // Every statement is traced as {"sql": text, "params": [...]}, the values
  // in their JSON encodings: the demo binds its settings rows as parameters.
  bool sawBinaryAndDate = false;
  for (const std::string& line : Lines(demo.err)) {
    const auto traced = nlohmann::ordered_json::parse(line, nullptr, false);
    ASSERT_TRUE(traced.is_object()) << line;
    ASSERT_EQ(traced.size(), 2u) << line;
    EXPECT_EQ(traced.begin().key(), "sql");
    EXPECT_TRUE(traced["sql"].is_string()) << line;
    ASSERT_TRUE(traced.contains("params") && traced["params"].is_array()) << line;
    bool binary = false;
    bool date = false;
    for (const auto& param : traced["params"]) {
      binary = binary || (param.is_object() && param.contains("$binary"));
      date = date || (param.is_object() && param.contains("$date"));
    }
    sawBinaryAndDate = sawBinaryAndDate || (binary && date);
  }
  EXPECT_TRUE(sawBinaryAndDate) << demo.err;

  // The same picture through the command line, with the statement's line break.
  const Outcome again =
      Run({"--dsn", Dsn(), "--trace", "call", "clsPrintSetupQuery", "GetPictureData",
           R"({"TableName":"t_ICItemPicture","FieldName":"FPicture",)"
           R"("PrimaryKeyField":"FItemID","PrimaryKeyValue":"1"})"});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, R"({"$binary":")" + found[1].str() + "\"}\n");
  EXPECT_EQ(again.err,
            R"({"sql":"select FPicture from t_ICItemPicture\r\n where FItemID=1","params":[]})"
            "\n");
}

}  // namespace
