#include <gtest/gtest.h>

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ado/columns_read.hpp"
#include "ado/shaped_statement.hpp"
#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

// What every backend must do with the statements the classes run.
class BackendTest : public testing::StoreTest,
                    public ::testing::WithParamInterface<orvo::testing::Backend> {
 protected:
  const orvo::testing::Backend& StoreBackend() const override { return GetParam(); }
};

// The spellings that the suites of the classes, run on every backend, do not
// show: the identity before any insert, a top that limits, and the names of
// the fields of a "*" list and of a select list.
TEST_P(BackendTest, IdentityTopAndFieldNamesAreTheClassesOwn) {
  EXPECT_TRUE(Scalar("select @@IDENTITY").IsNull());  // no insert yet
  cn_->Execute("insert into T_PrintExportNote (FName,FData) values ('Body',x'090807')");
  cn_->Execute("insert into T_PrintExport (FBillType,FBillId,FName) values (28,1,'a'),(28,1,'b')");
  EXPECT_EQ(Scalar("select @@IDENTITY"), Variant(2));
  EXPECT_EQ(cn_->Execute("Select top 1 FId From T_PrintExport Where FBillType=28")->RecordCount(),
            1);
  EXPECT_EQ(
      Names("Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c "
            " On i.FbillId=c.FId"),
      "FBlob,FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FBillTypeSub,FSel,FPrintSet");
  EXPECT_EQ(Names("select fbilltype,[FName],count(1) as FNoteNumber from [T_PrintExport] "
                  "group by fbilltype,[FName]"),
            "fbilltype,FName,FNoteNumber");
}

TEST_P(BackendTest, ValuesComeBackWithTheTypesOfTheirColumns) {
  NewCommand(
      "Insert Into T_PrintExportNote(FScreenId,FNewBillType,FCreateDate,FModifyDate,FData) "
      "Values(?,?,?,?,?)",
      {{adVarChar, 20, 28},
       {adVarChar, 20, 28},
       {adDate, 0, Date::FromParts(2024, 5, 6, 7, 8, 9)},
       {adDate, 0, "2024-05-07 10:11:12"},
       {adLongVarBinary, 2147483647, Bytes{}}})
      ->Execute();
  auto note = cn_->Execute("select * from T_PrintExportNote");
  EXPECT_EQ(note->Fields("FScreenId").Value(), Variant("28"));
  EXPECT_EQ(note->Fields("FNewBillType").Type(), adInteger);
  EXPECT_EQ(note->Fields("FCreateDate").Value(), Variant(Date::FromParts(2024, 5, 6, 7, 8, 9)));
  EXPECT_EQ(note->Fields("FModifyDate").Value(), Variant(Date::FromParts(2024, 5, 7, 10, 11, 12)));
  EXPECT_EQ(note->Fields("FModifyDate").Type(), adDBTimeStamp);
  // An empty byte array stays an empty byte array, not Null.
  EXPECT_EQ(note->Fields("FData").Value(), Variant(Bytes{}));
  EXPECT_EQ(note->Fields("FData").Type(), adLongVarBinary);

  NewCommand("Insert Into T_PrintExport (FBillId,FName,FData,FBillTypeSub,FSel) Values(?,?,?,?,?)",
             {{adInteger, 0, 5.0},
              {adVarChar, 255, "n"},
              {adVarChar, 255, Variant::Null()},
              {adVarChar, 255, ""},
              {adBoolean, 0, "True"}})
      ->Execute();
  auto rs = cn_->Execute("select * from T_PrintExport");
  EXPECT_EQ(rs->Fields("FBillId").Value(), Variant(5));
  EXPECT_EQ(rs->Fields("FName").Type(), adVarChar);
  EXPECT_TRUE(rs->Fields("FData").Value().IsNull());
  EXPECT_EQ(rs->Fields("FBillTypeSub").Value(), Variant(""));
  EXPECT_EQ(rs->Fields("FSel").Value(), Variant(1));  // a Boolean is stored as 1 or 0
  auto big = cn_->Execute("select 5000000000 as big");
  EXPECT_EQ(big->Fields(0).Value(), Variant(5000000000.0));
  EXPECT_EQ(big->Fields(0).Type(), adBigInt);
}

TEST_P(BackendTest, FailuresMapToStableNumbersWithTheProviderAsSource) {
  const AutomationError unknown = ErrorOf([&] { cn_->Execute("select * from T_Missing"); });
  EXPECT_EQ(unknown.number(), kErrStatementRefused);
  EXPECT_EQ(unknown.source(), GetParam().name);
  // A double-quoted name is always a name, never a text value in disguise.
  for (const char* text : {"select \"nosuchcolumn\" from T_PrintExport",
                           "create index IX_Quoted on T_PrintExport (\"nosuchcolumn\")"}) {
    EXPECT_EQ(ErrorOf([&] { cn_->Execute(text); }).number(), kErrStatementRefused) << text;
  }
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("select 1; select 2"); }).number(), kErrStatementRefused);
  EXPECT_EQ(cn_->Execute("select 1;")->Fields(0).Value(), Variant(1));
  // A run that fails on its values leaves the statement ready for the next one.
  const BoundValue one{adInteger, Variant(1)}, two{adInteger, Variant(2)};
  EXPECT_EQ(ErrorOf([&] { cn_->ExecuteWith("select ? + ?", {one}); }).number(),
            kErrStatementRefused);
  EXPECT_EQ(cn_->ExecuteWith("select ? + ?", {one, two})->Fields(0).Value(), Variant(3));
  cn_->Execute("insert into T_PrintExport (FId,FName) values (1,'a')");
  const AutomationError constraint =
      ErrorOf([&] { cn_->Execute("insert into T_PrintExport (FId,FName) values (1,'b')"); });
  EXPECT_EQ(constraint.number(), kErrConstraint);
  EXPECT_EQ(constraint.source(), GetParam().name);
}

// A statement in its shape, as the classes give one: the text with its
// values in place is what an observer would see.
class Shaped final : public ShapedStatement {
 public:
  Shaped(std::string_view shape, std::vector<BoundValue> values)
      : shape_(shape), values_(std::move(values)) {}
  std::string_view Shape() const override { return shape_; }
  std::span<const BoundValue> Values() const override { return values_; }
  std::string Text() const override { return std::string(shape_); }
  bool ShapeKnownWellFormed() const override { return false; }

 private:
  std::string_view shape_;
  std::vector<BoundValue> values_;
};

TEST_P(BackendTest, AShapeReadsAtMostTheRowsAskedForAndRunsAgainFromTheStart) {
  cn_->Execute("insert into T_PrintExport (FBillType,FName) values (28,'c'),(28,'a'),(28,'b')");
  const Shaped names("select FName from T_PrintExport where FBillType=? order by FName",
                     {{adInteger, Variant(28)}});
  const auto read = [&](std::size_t maxRecords) {
    std::string text;
    for (auto rows = cn_->Execute(names, maxRecords); !rows->Eof(); rows->MoveNext()) {
      text += rows->Fields(0).Value().AsString();
    }
    return text;
  };
  EXPECT_EQ(read(1), "a");
  EXPECT_EQ(read(2), "ab");
  EXPECT_EQ(read(0), "abc");
  EXPECT_EQ(read(5), "abc");
  // A run stopped after its first row leaves nothing pending: a write and
  // the next run see the store as it is now.
  EXPECT_EQ(read(1), "a");
  cn_->Execute("insert into T_PrintExport (FBillType,FName) values (28,'0')");
  EXPECT_EQ(read(0), "0abc");
}

// The library's own reads name the columns they use of a "Select *"; the
// others are not copied, and reading one is a fault of the read.
TEST_P(BackendTest, AReadThatNamesItsColumnsHoldsOnlyThoseAndRefusesTheOthers) {
  cn_->Execute(
      "insert into T_PrintExport (FBillType,FBillId,FName,FData,FBillTypeSub) values "
      "(28,5,'a','body a','x'),(28,6,'b','body b','y')");
  const Shaped rows("select * from T_PrintExport where FBillType=? order by FBillId",
                    {{adInteger, Variant(28)}});
  const auto text = [](const std::shared_ptr<Recordset>& read, std::string_view name) {
    return read->Fields(name).Value().AsString();
  };
  // Names are found as Fields finds them: without regard to case, past
  // their first eight letters too.
  const ColumnsRead names{"fname", "FBILLTYPESUB"};
  const ColumnsRead bodies{"FData"};
  for (int turn = 0; turn < 2; ++turn) {
    auto read = cn_->Execute(rows, 0, &names);
    EXPECT_EQ(read->FieldCount(), 10);  // every column is still there
    EXPECT_EQ(read->RecordCount(), 2);
    EXPECT_EQ(text(read, "FName") + text(read, "fBillTypeSub"), "ax");
    EXPECT_THROW(read->Fields("FData").Value(), std::logic_error);
    EXPECT_THROW(read->Fields("FBillId").Value(), std::logic_error);
    read->MoveNext();
    EXPECT_EQ(text(read, "FName") + text(read, "FBillTypeSub"), "by");
    // Another read of the same statement has its own columns.
    read = cn_->Execute(rows, 1, &bodies);
    EXPECT_EQ(text(read, "fdata"), "body a");
    EXPECT_THROW(read->Fields("FName").Value(), std::logic_error);
    // And a run without a read has them all.
    EXPECT_EQ(text(cn_->Execute(rows), "FName"), "a");
  }
  // A name the statement lacks leaves every column read, so that asking for
  // it raises what it raises without a read.
  const ColumnsRead stray{"FName", "FNoSuchColumn"};
  auto read = cn_->Execute(rows, 0, &stray);
  EXPECT_EQ(text(read, "FData"), "body a");
  EXPECT_EQ(ErrorOf([&] { read->Fields("FNoSuchColumn"); }).number(), kErrItemNotFound);
  // More reads of one statement than its reader remembers: each still gets
  // its own columns.
  const ColumnsRead each[] = {{"FName"}, {"FData"}, {"FBillTypeSub"},
                              {"FName"}, {"FData"}, {"FBillTypeSub"}};
  const char* const wanted[] = {"FName", "FData", "FBillTypeSub"};
  for (int turn = 0; turn < 2; ++turn) {
    for (std::size_t i = 0; i < std::size(each); ++i) {
      read = cn_->Execute(rows, 1, &each[i]);
      EXPECT_NO_THROW(read->Fields(wanted[i % 3]).Value()) << i;
      EXPECT_THROW(read->Fields(wanted[(i + 1) % 3]).Value(), std::logic_error) << i;
    }
  }
}

// A statement of more columns than a read can mark has every one read.
TEST_P(BackendTest, AReadOfAStatementOfManyColumnsHoldsThemAll) {
  std::string select = "select 0 as c0";
  for (int i = 1; i <= 64; ++i) {
    select += ", " + std::to_string(i) + " as c" + std::to_string(i);
  }
  const Shaped wide(select, {});
  const ColumnsRead first{"c0"};
  const auto read = cn_->Execute(wide, 0, &first);
  EXPECT_EQ(read->FieldCount(), 65);
  EXPECT_EQ(read->Fields("c64").Value(), Variant(64));
  EXPECT_EQ(read->Fields("c0").Value(), Variant(0));
  // As many columns as it can mark: the last one is found in its place.
  const std::string sixtyFour = select.substr(0, select.rfind(','));
  const Shaped full(sixtyFour, {});
  const ColumnsRead ends{"c0", "c62", "c63"};
  const auto ended = cn_->Execute(full, 0, &ends);
  EXPECT_EQ(ended->FieldCount(), 64);
  EXPECT_EQ(ended->RecordCount(), 1);
  EXPECT_EQ(ended->Fields("c63").Value(), Variant(63));
  EXPECT_EQ(ended->Fields("c62").Value(), Variant(62));
  EXPECT_THROW(ended->Fields("c61").Value(), std::logic_error);
}

INSTANTIATE_TEST_SUITE_P(Backends, BackendTest, ::testing::ValuesIn(orvo::testing::Backends()),
                         [](const auto& instance) { return instance.param.name; });

}  // namespace
}  // namespace orvo::ado
