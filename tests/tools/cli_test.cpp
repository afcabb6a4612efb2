// Runs the built orvoprint program as a user would and checks what it prints
// on stdout and stderr and how it exits.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

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

  std::string Dsn() const { return directory_.SqliteDsn(); }

  Outcome Run(const std::vector<std::string>& args) {
    const fs::path out = directory_.Path() / "stdout.txt";
    const fs::path err = directory_.Path() / "stderr.txt";
    std::string command = Quoted(ORVOPRINT_PATH);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command += " </dev/null >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(out), Contents(err)};
  }

  orvo::testing::TempDirectory directory_;
};

TEST_F(OrvoprintTest, MembersListsTheSixClassesWithTheirIdentitiesAndDispids) {
  const Outcome listed = Run({"members"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const std::string& out = listed.out;
  EXPECT_TRUE(out.starts_with(
      "OrvoMPrintExport  {66C9AD08-8B70-4B4A-9487-E73B85BBB233}  version 1.2, locale 0x409\n"));
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

TEST_F(OrvoprintTest, CallsThatNeedNoStoreDoNotOpenIt) {
  const Outcome called = Run(
      {"--dsn", "Data Source=/nonexistent/dir/x.db", "call", "clsPrintSetupUpdate", "TransMode"});
  EXPECT_EQ(called.exitCode, 0) << called.err;
  EXPECT_EQ(called.out, "2\n");
  EXPECT_EQ(called.err, "");

  // Command lines that do not say what to do; the second lacks its argument.
  for (const char* member : {"NoSuchMember", "GetPageAndPrintSet"}) {
    const Outcome usage = Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", member});
    EXPECT_EQ(usage.exitCode, 2) << usage.err;
    EXPECT_EQ(usage.out, "");
    EXPECT_TRUE(usage.err.starts_with("orvoprint: ")) << usage.err;
  }
  EXPECT_FALSE(fs::exists(directory_.Path() / "store.db"));
}

TEST_F(OrvoprintTest, InitThenCallsTraceTheirStatementsAndReportFailures) {
  // A call never makes a store: a data source that names no file is an error.
  const Outcome early =
      Run({"--dsn", Dsn(), "call", "clsPrintSetupQuery", "GetPageAndPrintSet", "28"});
  EXPECT_EQ(early.exitCode, 1);
  EXPECT_EQ(early.err, R"({"error":{"number":-2147467259,"source":"SQLite","description":)"
                       R"("The database file \")" +
                           (directory_.Path() / "store.db").string() +
                           R"(\" does not exist"}})"
                           "\n");
  EXPECT_FALSE(fs::exists(directory_.Path() / "store.db"));

  // Init says what it did: created the store, then found it current.
  for (const char* action : {"created", "current"}) {
    const Outcome init = Run({"--dsn", Dsn(), "init"});
    EXPECT_EQ(init.exitCode, 0) << init.err;
    EXPECT_EQ(init.out,
              R"({"tables":["T_PrintExport","T_PrintExportNote","T_PrintExportLM",)"
              R"("T_PrintExportNoteLM","T_RptExcelPrintExport","T_RptExcelPrintExportNote"],)"
              R"("schemaVersion":2,"action":")" +
                  std::string(action) + "\"}\n");
  }

  const Outcome traced = Run({"--dsn", Dsn(), "--user", "7", "--trace", "call",
                              "clsPrintSetupQuery", "GetPageAndPrintSet", "28"});
  EXPECT_EQ(traced.exitCode, 0) << traced.err;
  EXPECT_EQ(traced.out, "{}\n");
  // The user's settings row first, then the manager user's.
  EXPECT_EQ(traced.err,
            R"({"sql":"Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28)"
            R"( And FPreparerId=7","params":[]})"
            "\n"
            R"({"sql":"Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28)"
            R"( And FPreparerId=16394","params":[]})"
            "\n");

  // GetPictureData reports its own number and source with the database's text.
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

TEST_F(OrvoprintTest, DemoRunsARoundTripAndLeavesAStoreForFurtherCalls) {
  const Outcome demo = Run({"--dsn", Dsn(), "--trace", "demo"});
  ASSERT_EQ(demo.exitCode, 0) << demo.err;
  // Statements are traced with their bound values in their JSON encodings.
  const std::regex insert(
      R"re(\n\{"sql":"Insert Into T_PrintExport [^"]*","params":\[0,28,16394,)re"
      R"re(\{"\$date":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d"\},"[^"]+",)re"
      R"re(\{"\$binary":"[A-Za-z0-9+/]+=*"\},)re");
  EXPECT_TRUE(std::regex_search(demo.err, insert)) << demo.err;

  // The picture the demo stored and printed, read again with the statement's
  // line break: 250 bytes beginning with the PNG signature.
  const Outcome again =
      Run({"--dsn", Dsn(), "--trace", "call", "clsPrintSetupQuery", "GetPictureData",
           R"({"TableName":"t_ICItemPicture","FieldName":"FPicture",)"
           R"("PrimaryKeyField":"FItemID","PrimaryKeyValue":"1"})"});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(std::regex_match(
      again.out, std::regex(R"re(\{"\$binary":"iVBORw0KGgo[A-Za-z0-9+/]{323}=="\}\n)re")))
      << again.out;
  EXPECT_NE(demo.out.find("\n" + again.out), std::string::npos) << demo.out;
  EXPECT_EQ(again.err,
            R"({"sql":"select FPicture from t_ICItemPicture\r\n where FItemID=1","params":[]})"
            "\n");
}

}  // namespace
