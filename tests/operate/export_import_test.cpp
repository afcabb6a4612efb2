// Exporting a store to a folder and importing it again: byte for byte the
// same, and every folder or manifest that is not what export wrote refused
// before anything is written.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>

#include <nlohmann/json.hpp>

#include "operate/operations.hpp"
#include "operate_support.hpp"
#include "support/error_of.hpp"

namespace orvo::operate {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using testing::ErrorOf;
using testing::Store;
using ExportImportTest = testing::OperateTest;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Every file of a folder with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = Contents(entry.path());
  }
  return files;
}

std::string Refusal(const std::function<void()>& operation) {
  return ErrorOf(operation).description();
}

TEST_P(ExportImportTest, ARoundTripGivesTheSameRowsIdsIdentitiesAndBytes) {
  const Store source(GetParam());
  source.Seed();
  const fs::path first = source.Directory() / "first";
  const MoveReport exported = ExportStore(source.Dsn(), first, {});
  // Four rows a table; of the bodies, 0 bytes, 1 byte and a large one in
  // each binary column (of the date columns too, none).
  EXPECT_EQ(exported.rows[5],
            std::make_pair(std::string("T_RptExcelPrintExportNote"), std::uint64_t{4}));
  EXPECT_EQ(exported.files, 18u);
  EXPECT_EQ(fs::file_size(first / "T_PrintExportNote.1.FData"), 0u);
  EXPECT_EQ(Contents(first / "T_PrintExportNote.2.FData"), std::string(1, '\0'));
  EXPECT_EQ(fs::file_size(first / "T_PrintExportNote.3.FData"), 3u * 1024 * 1024 + 7);
  EXPECT_FALSE(fs::exists(first / "T_PrintExportNote.4.FData"));  // Null

  const Store target(GetParam());
  std::vector<std::uint64_t> seen;
  ImportStore(first, target.Dsn(), {nullptr, [&](std::uint64_t done, std::uint64_t total) {
                                      seen.push_back(done);
                                      EXPECT_EQ(total, 24u);
                                    }});
  EXPECT_EQ(seen.size(), 25u);
  EXPECT_EQ(target.Read(), source.Read());

  const fs::path second = target.Directory() / "second";
  ExportStore(target.Dsn(), second, {});
  EXPECT_EQ(Files(second), Files(first));
  for (const store::Table& table : store::Tables()) {
    EXPECT_EQ(target.NextId(table.name), 6) << table.name;
  }
}

TEST_P(ExportImportTest, ExportWritesOnlyIntoANewOrEmptyFolderOfItsOwn) {
  const Store source(GetParam());
  source.Seed();
  const fs::path base = source.Directory();

  fs::create_directory(base / "full");
  Write(base / "full" / "manifest.json", "mine");
  EXPECT_NE(Refusal([&] { ExportStore(source.Dsn(), base / "full", {}); }).find("is not empty"),
            std::string::npos);
  EXPECT_EQ(Files(base / "full"), (std::map<std::string, std::string>{{"manifest.json", "mine"}}));

  fs::create_directory(base / "elsewhere");
  fs::create_directory_symlink(base / "elsewhere", base / "link");
  EXPECT_NE(Refusal([&] { ExportStore(source.Dsn(), base / "link", {}); }).find("symbolic link"),
            std::string::npos);
  EXPECT_TRUE(fs::is_empty(base / "elsewhere"));

  Write(base / "file", "kept");
  ASSERT_EQ(::mkfifo((base / "fifo").c_str(), 0600), 0);
  for (const char* name : {"file", "fifo"}) {
    EXPECT_NE(Refusal([&] { ExportStore(source.Dsn(), base / name, {}); }).find("is not a folder"),
              std::string::npos)
        << name;
  }
  EXPECT_EQ(Contents(base / "file"), "kept");

  // A store that cannot be read is refused before the folder is made.
  const Store none(testing::SqliteBackend());
  none.Exec("create table Other (a integer)");
  EXPECT_NE(Refusal([&] { ExportStore(none.Dsn(), base / "new", {}); }).find("no template store"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(base / "new"));

  // A failure part way removes what was written, and the folder export made.
  const Store failing(GetParam());
  failing.Seed();
  // The rows of the third table are read once the first two wrote files.
  const auto fail = [] {
    return std::make_shared<testing::FailingStatement>("from T_PrintExportLM where", 1);
  };
  EXPECT_EQ(Refusal([&] { ExportStore(failing.Dsn(), base / "part", {fail(), {}}); }), "refused");
  EXPECT_FALSE(fs::exists(base / "part"));
  fs::create_directory(base / "empty");
  EXPECT_EQ(Refusal([&] { ExportStore(failing.Dsn(), base / "empty", {fail(), {}}); }), "refused");
  EXPECT_TRUE(fs::is_empty(base / "empty"));
}

// A good export to spoil, and a target that must stay without rows.
class ImportRefusalTest : public ExportImportTest {
 protected:
  void SetUp() override {
    ExportImportTest::SetUp();
    if (IsSkipped()) return;
    source_ = std::make_unique<Store>(GetParam());
    source_->Seed();
    good_ = source_->Directory() / "good";
    ExportStore(source_->Dsn(), good_, {});
    target_ = std::make_unique<Store>(GetParam());
    target_->Create();
  }

  // Imports a copy of the good export, changed by `spoil`, and gives the
  // refusal; the target must be as it was.
  std::string Spoiled(const std::function<void(const fs::path&)>& spoil) {
    const fs::path folder = source_->Directory() / ("spoiled" + std::to_string(++count_));
    fs::copy(good_, folder);
    spoil(folder);
    const std::string refusal = Refusal([&] { ImportStore(folder, target_->Dsn(), {}); });
    for (const auto& [table, rows] : target_->Read().rows) EXPECT_TRUE(rows.empty()) << table;
    return refusal;
  }

  std::string SpoiledManifest(const std::function<void(Json&)>& spoil) {
    return Spoiled([&](const fs::path& folder) {
      Json manifest = Json::parse(Contents(folder / "manifest.json"));
      spoil(manifest);
      Write(folder / "manifest.json", manifest.dump());
    });
  }

  std::string SpoiledText(const std::string& from, const std::string& to) {
    return Spoiled([&](const fs::path& folder) {
      std::string text = Contents(folder / "manifest.json");
      const auto at = text.find(from);
      ASSERT_NE(at, std::string::npos) << from;
      text.replace(at, from.size(), to);
      Write(folder / "manifest.json", text);
    });
  }

  std::unique_ptr<Store> source_;
  std::unique_ptr<Store> target_;
  fs::path good_;
  int count_ = 0;
};

#define EXPECT_REFUSED(refusal, part) \
  EXPECT_NE((refusal).find(part), std::string::npos) << (refusal)

TEST_P(ImportRefusalTest, AFolderThatIsNotWhatExportWroteIsRefused) {
  const fs::path base = source_->Directory();
  EXPECT_REFUSED(Refusal([&] { ImportStore(base / "missing", target_->Dsn(), {}); }),
                 "does not exist");
  fs::create_directory_symlink(good_, base / "link");
  EXPECT_REFUSED(Refusal([&] { ImportStore(base / "link", target_->Dsn(), {}); }), "symbolic link");
  const std::string file = "T_PrintExportNote.3.FData";
  EXPECT_REFUSED(Spoiled([](const fs::path& f) { fs::remove(f / "manifest.json"); }),
                 "holds no manifest.json");
  EXPECT_REFUSED(Spoiled([](const fs::path& f) { Write(f / "stray", ""); }),
                 "holds stray, which it does not name");
  EXPECT_REFUSED(Spoiled([&](const fs::path& f) { fs::remove(f / file); }), "lacks the file");
  EXPECT_REFUSED(Spoiled([&](const fs::path& f) { std::ofstream(f / file, std::ios::app) << 'x'; }),
                 "names a file of another size");
  EXPECT_REFUSED(Spoiled([&](const fs::path& f) {
                   fs::rename(f / file, base / "outside");
                   fs::create_symlink(base / "outside", f / file);
                 }),
                 "is a symbolic link");
  EXPECT_REFUSED(Spoiled([&](const fs::path& f) {
                   fs::remove(f / file);
                   ASSERT_EQ(::mkfifo((f / file).c_str(), 0600), 0);
                 }),
                 "is not a regular file");
}

TEST_P(ImportRefusalTest, AHostileManifestIsRefused) {
  // tables[1] is T_PrintExportNote: FId, FName, FScreenId, FCreatorName,
  // FModifierName, FNewBillType, FCreateDate, FModifyDate, FData.
  const auto note = [](Json& m) -> Json& { return m["tables"][1]["rows"]; };
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[0][8]["$file"] = "../../etc/passwd"; }),
                 "T_PrintExportNote FId 1 FData must name the file T_PrintExportNote.1.FData");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[1][0] = 1; }),
                 "comes twice or out of order");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[0][0] = 0; }), "from 1 to 2147483647");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[3][0] = 2147483648LL; }),
                 "from 1 to 2147483647");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[0][5] = 2147483648LL; }),
                 "FNewBillType holds a number outside 32 bits");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[0][2] = std::string(21, 'x'); }),
                 "FScreenId holds more than 20 characters");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[0][8]["size"] = 99999999999LL; }),
                 "has no size of bytes");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) {
                   note(m)[0][1] = {{"$date", "2024-02-28T00:00:00"}};
                 }),
                 "FName holds a value its column does not take");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) {
                   note(m)[0][6] = {{"$date", "2024-02-30T00:00:00"}};
                 }),
                 "FCreateDate holds no date");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) {
                   note(m)[0][6] = {{"$date", "2024-02-28 00:00"}};
                 }),
                 "FCreateDate holds no date");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { note(m)[0].erase(8); }),
                 "for each of its 9 columns");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { m["tables"][1]["lastId"] = 3; }),
                 "lastId 3 lies below its FId 4");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { m["tables"][1]["columns"][1] = "FOther"; }),
                 "are not those of this library's schema");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { m["formatVersion"] = 2; }),
                 "format version 2, newer");
  EXPECT_REFUSED(SpoiledManifest([&](Json& m) { m["schemaVersion"] = 99; }),
                 "schema version 99, newer");
  EXPECT_REFUSED(SpoiledText("\"formatVersion\":1", "\"formatVersion\":1,\"formatVersion\":1"),
                 "names the key \"formatVersion\" twice");
  EXPECT_REFUSED(SpoiledText("O'Bri", "O'Br\xC3\x28"), "is not JSON");
  EXPECT_REFUSED(SpoiledText("{", "["), "is not JSON");
  EXPECT_REFUSED(SpoiledText("[1,", "[[[[[[[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]]]]]],"),
                 "nests arrays and objects deeper than a manifest does");
}

TEST_P(ImportRefusalTest, ATargetThatHoldsRowsIsRefusedUntouched) {
  target_->Exec("insert into T_PrintExportLM (FName) values ('kept')");
  const testing::Content before = target_->Read();
  EXPECT_REFUSED(Refusal([&] { ImportStore(good_, target_->Dsn(), {}); }),
                 "The target store is not empty (rows: T_PrintExportLM 1)");
  EXPECT_EQ(target_->Read(), before);
}

ORVO_INSTANTIATE_STORE_SUITE(ExportImportTest);
ORVO_INSTANTIATE_STORE_SUITE(ImportRefusalTest);

}  // namespace
}  // namespace orvo::operate
