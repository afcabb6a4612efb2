#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/store/schema.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

Bytes Picture(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
  return bytes;
}

std::shared_ptr<Dictionary> Info(const std::string& table, const std::string& field,
                                 const std::string& key, const Variant& value) {
  auto info = std::make_shared<Dictionary>();
  info->SetValue("TableName", table);
  info->SetValue("FieldName", field);
  info->SetValue("PrimaryKeyField", key);
  info->SetValue("PrimaryKeyValue", value);
  return info;
}

class PictureDataTest : public testing::StoreTest {
 protected:
  // How the store's database declares a column of bytes.
  std::string Bytea() { return std::string(store::BinaryColumnType(Db())); }

  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped()) return;
    Exec("create table t_Picture (FItemID integer primary key, FCode varchar(200), FImage " +
         Bytea() + ")");
  }
  void Store(std::int32_t id, const Variant& image) {
    Exec("insert into t_Picture (FItemID, FCode, FImage) values (?, ?, ?)",
         {id, "P" + std::to_string(id), image});
  }
};

TEST_P(PictureDataTest, ReturnsTheExactBytesForEverySizeAndEmptyForNone) {
  const std::size_t sizes[] = {1, 99, 100, 101, 250, 10 * 1024 * 1024};
  std::int32_t id = 0;
  for (std::size_t size : sizes) Store(++id, Picture(size));
  clsPrintSetupQuery query;
  id = 0;
  for (std::size_t size : sizes) {
    const Variant result =
        query.GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", std::to_string(++id)));
    ASSERT_EQ(result.kind(), Variant::Kind::Bytes) << size;
    EXPECT_TRUE(result == Variant(Picture(size))) << size;
  }
  // 150 characters in 450 bytes: the chunks must follow characters, not bytes.
  std::string text;
  for (int i = 0; i < 50; ++i) text += "存放x";
  Exec("update t_Picture set FCode=? where FItemID=1", {text});
  EXPECT_EQ(query.GetPictureData(Dsn(), Info("t_Picture", "FCode", "FItemID", "1")),
            Variant(Bytes(text.begin(), text.end())));
  // An empty picture, a Null one and a missing row.
  Store(10, Bytes{});
  Store(11, Variant::Null());
  for (const char* key : {"10", "11", "12"}) {
    EXPECT_TRUE(clsPrintSetupQueryLM()
                    .GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", key))
                    .IsEmpty())
        << key;
  }
}

TEST_P(PictureDataTest, DatabaseFailureIsReportedWithTheMethodsOwnNumberAndSource) {
  // A view that passes the checks and that the database refuses to read.
  for (const std::string& statement : GetParam().unreadableView) Exec(statement);
  Store(1, Picture(10));
  clsPrintSetupQuery query;
  query.GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", "1"));
  const AutomationError error =
      ErrorOf([&] { query.GetPictureData(Dsn(), Info("v_Broken", "FImage", "FItemID", "1")); });
  EXPECT_EQ(error.number(), HResult(0x80040001u));
  EXPECT_EQ(error.source(), "OrvoMPrintExport:GetPictureData");
  EXPECT_THAT(error.description(), ::testing::HasSubstr("t_Gone"));
  // The failing error's help travels with it.
  Observer().FailAt(1,
                    AutomationError(HResult(0x80004005u), "SQLite", "disk I/O error", "f.hlp", 3));
  const AutomationError failed =
      ErrorOf([&] { query.GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", "1")); });
  EXPECT_EQ(failed.number(), HResult(0x80040001u));
  EXPECT_EQ(failed.description(), "disk I/O error");
  EXPECT_EQ(failed.helpFile(), "f.hlp");
  EXPECT_EQ(failed.helpContext(), 3);
  EXPECT_THROW(query.GetPictureData(Dsn(), Info("t_Nothing", "FImage", "FItemID", "1")),
               AutomationError);
  // Neither the reads, the failures nor the refusal vote on the unit of work.
  for (const std::string& operation : Votes()) {
    EXPECT_NE(operation, "Complete");
    EXPECT_NE(operation, "Abort");
  }
}

// Whatever the caller's texts hold, the bytes are those of the named column
// in the row that the key names, or the call is refused before it reads.
// Without a description, the case is one that could change the statement.
TEST_P(PictureDataTest, NamesMustBeAnExistingTableAndItsColumnsAndValuesOneLiteral) {
  Store(1, Picture(10));
  Store(2, Picture(20));
  clsPrintSetupQueryLM query;
  const struct {
    std::shared_ptr<Dictionary> info;
    const char* description;
  } cases[] = {
      {Info("t_Picture; delete from t_Picture", "FImage", "FItemID", "1"), nullptr},
      {Info("t_Picture", "FImage,FCode", "FItemID", "1"), nullptr},
      {Info("t_Picture", "FImage", "FItemID=1 or 1", "1"), nullptr},
      {Info("t_Picture", "FImage", "FItemID", "1 or 1=1"), nullptr},
      {Info("t_Picture", "FImage", "[nokey]", "'nokey'"),
       "PrimaryKeyField must name a column of t_Picture, not \"[nokey]\"."},
      {Info("t_Picture", "[anything]", "FItemID", "2"),
       "FieldName must name a column of t_Picture, not \"[anything]\"."},
      {Info("t_Nothing", "FImage", "FItemID", "1"),
       "TableName must name an existing table, not \"t_Nothing\"."},
      // Every user's template bodies are not a business table's pictures.
      {Info("T_PrintExportNote", "FData", "FId", "1"),
       "TableName must name an existing table, not \"T_PrintExportNote\"."},
      {Info("main.[t_rptexcelprintexportnote]", "FData", "FId", "1"),
       "TableName must name an existing table, not \"main.[t_rptexcelprintexportnote]\"."},
  };
  for (const auto& c : cases) {
    const AutomationError error = ErrorOf([&] { query.GetPictureData(Dsn(), c.info); });
    EXPECT_EQ(error.number(), HResult(0x80040001u));
    EXPECT_EQ(error.source(), "OrvoMPrintExport:GetPictureData");
    if (c.description)
      EXPECT_EQ(error.description(), c.description);
    else
      EXPECT_THAT(error.description(), ::testing::HasSubstr(" must be "));
  }
  auto missing = std::make_shared<Dictionary>();
  missing->SetValue("TableName", "t_Picture");
  EXPECT_THROW(query.GetPictureData(Dsn(), missing), AutomationError);
  EXPECT_TRUE(Observer().Statements().empty());
  EXPECT_EQ(Count("t_Picture"), 2);
}

// A column that another connection renamed since the last read is no
// column any more: the read is refused, and the new name is read.
TEST_P(PictureDataTest, ColumnsAreThoseTheTableHasNow) {
  Store(1, Picture(10));
  clsPrintSetupQuery query;
  EXPECT_EQ(query.GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", "1")),
            Variant(Picture(10)));
  Exec("alter table t_Picture rename column FImage to FPhoto");
  EXPECT_EQ(ErrorOf([&] {
              query.GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", "1"));
            }).description(),
            "FieldName must name a column of t_Picture, not \"FImage\".");
  EXPECT_EQ(query.GetPictureData(Dsn(), Info("t_Picture", "FPhoto", "FItemID", "1")),
            Variant(Picture(10)));
}

TEST_P(PictureDataTest, TheCallersNamesQuotedOrBracketedAreUsedAsGiven) {
  Store(1, Picture(120));
  clsPrintSetupQueryRpt().GetPictureData(Dsn(), Info("t_Picture", "FImage", "FCode", "'P1'"));
  clsPrintSetupQueryRpt().GetPictureData(Dsn(), Info("t_Picture", "FImage", "FItemID", 1));
  EXPECT_THAT(Observer().Texts(), ElementsAre("select FImage from t_Picture\r\n where FCode='P1'",
                                              "select FImage from t_Picture\r\n where FItemID=1"));
  Exec("create table [Order Lines] ([key] integer, [true] " + Bytea() + ")");
  Exec("insert into [Order Lines] values (1, ?), (2, ?)", {Picture(5), Picture(7)});
  clsPrintSetupQuery query;
  EXPECT_EQ(query.GetPictureData(Dsn(), Info("[t_Picture]", "[FImage]", "FCode", "'P1'")),
            Variant(Picture(120)));
  // Names compare without regard to case, as the database compares them.
  EXPECT_EQ(query.GetPictureData(Dsn(), Info("T_PICTURE", "\"fimage\"", "fitemid", 1)),
            Variant(Picture(120)));
  // A keyword names a column only between brackets.
  EXPECT_EQ(query.GetPictureData(Dsn(), Info("[Order Lines]", "[true]", "[key]", "2")),
            Variant(Picture(7)));
  EXPECT_THROW(query.GetPictureData(Dsn(), Info("[Order Lines]", "true", "[key]", "2")),
               AutomationError);
}

ORVO_INSTANTIATE_STORE_SUITE(PictureDataTest);

}  // namespace
}  // namespace orvo
