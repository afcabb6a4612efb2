#include "orvo/component/type_library.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;

TEST(TypeLibrary, ClassesAnswerToTheirProgIdAndClassIdentifier) {
  RegisterComponentClasses();
  ASSERT_EQ(TypeLibrary().classes.size(), 6u);
  for (const ClassInfo* cls : TypeLibrary().classes) {
    EXPECT_EQ(cls->progId, "OrvoMPrintExport." + cls->name);
    EXPECT_EQ(cls->interfaceName, "_" + cls->name);
    auto by_progid = CreateObject(cls->progId);
    auto by_clsid = CreateObject(cls->clsid);
    EXPECT_EQ(&by_progid->TypeInfo(), cls);
    EXPECT_EQ(&by_clsid->TypeInfo(), cls);
  }
  auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
  EXPECT_NE(std::dynamic_pointer_cast<clsPrintSetupQuery>(query), nullptr);
  auto update = CreateObject("{E78EBCE2-2403-4014-A8F7-6EE4B3D846A5}");
  EXPECT_NE(std::dynamic_pointer_cast<clsPrintSetupUpdateRpt>(update), nullptr);
}

class LateBoundTest : public testing::StoreTest {};

TEST_P(LateBoundTest, EveryMemberIsBuiltAndAnUnknownOneRaises438) {
  for (const ClassInfo* cls : TypeLibrary().classes) {
    for (const MemberInfo& member : cls->members) {
      EXPECT_NE(member.thunk, nullptr) << cls->name << "." << member.name;
    }
    EXPECT_EQ(ErrorOf([&] {
                cls->create()->Invoke("GetNothing", {Dsn(), 28});
              }).number(),
              438)
        << cls->name;
  }
  EXPECT_TRUE(Hub().Journal().empty());
}

TEST_P(LateBoundTest, MembersAreCalledByNameOrDispidAndRefuseWrongArgumentsBeforeRunning) {
  auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
  std::shared_ptr<Dispatch> not_a_dictionary = std::make_shared<Vector>();
  EXPECT_EQ(ErrorOf([&] {
              query->Invoke("GetPictureData", {Dsn(), not_a_dictionary});
            }).number(),
            13);
  EXPECT_EQ(ErrorOf([&] {
              query->Invoke("CopyManagerNoteInfo", {not_a_dictionary, 28, 7, "Alice"});
            }).number(),
            13);  // not a connection
  EXPECT_EQ(ErrorOf([&] { query->Invoke("GetPageAndPrintSet", {Dsn()}); }).number(), 449);
  EXPECT_TRUE(Hub().Journal().empty());

  SeedSettingsRow(testing::kBillTables, 28, kUser, Bytes{1, 2, 3});
  for (const Variant& set : {query->Invoke("getpageandprintset", {Dsn(), "28"}),
                             query->Invoke(0x60030006, {Dsn(), 28})}) {
    EXPECT_EQ(set.ObjectAs<Dictionary>()->Value("Set"), Variant(Bytes{1, 2, 3}));
  }
}

// The template operations of every family are called late-bound by their
// own suites; these are the other members that take more than a data source
// and a bill type.
TEST_P(LateBoundTest, MembersTakeTheirArgumentsInOrder) {
  auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
  auto lm = CreateObject("OrvoMPrintExport.clsPrintSetupQueryLM");
  query->Invoke("GetCurrNote", {Dsn(), 31});
  lm->Invoke("GetCurrNote", {Dsn(), 29, 4});
  EXPECT_THAT(Observer().Texts(),
              ::testing::Contains(::testing::HasSubstr("FBillType=31 And FPreparerId=7")));
  EXPECT_THAT(Observer().Texts(), ::testing::Contains(::testing::HasSubstr(
                                      "FBillType=29 AND FDataFrom = 4 And FPreparerId=7")));

  auto update = CreateObject("OrvoMPrintExport.clsPrintSetupUpdate");
  auto partitioned = CreateObject("OrvoMPrintExport.clsPrintSetupUpdateLM");
  auto report = CreateObject("OrvoMPrintExport.clsPrintSetupUpdateRpt");
  SeedTemplate(testing::kBillTables, 28, "Invoice", Bytes{1});
  SeedTemplate(testing::kBillTablesLM.InPartition(3), 28, "Invoice", Bytes{1});
  EXPECT_TRUE(update->Invoke("UpdateNoteRow", {Dsn(), 28, "new"}).IsEmpty());
  partitioned->Invoke("UpdateNoteRow", {Dsn(), 28, "new", 3, "Invoice"});
  auto data = std::make_shared<Dictionary>();
  data->SetValue("fNoteName", "Saved");
  EXPECT_EQ(update->Invoke("SaveNewBill", {Dsn(), 29, data}), Variant(false));
  partitioned->Invoke("SaveNewBill", {Dsn(), 29, data, 3});
  EXPECT_TRUE(update->Invoke("SavePageAndPrintSet", {Dsn(), 28, "set"}).IsEmpty());
  partitioned->Invoke("SavePageAndPrintSet", {Dsn(), 28, "set", 3});
  EXPECT_EQ(Count("T_PrintExportNote", "FNewBillType=28 and FData=x'6e6577'"), 1);
  EXPECT_EQ(Count("T_PrintExportNoteLM", "FDataFrom=3 and FNewBillType=28 and FData=x'6e6577'"), 1);
  EXPECT_EQ(Count("T_PrintExportNoteLM", "FDataFrom=3 and FNewBillType=29 and FName='Saved'"), 1);
  EXPECT_EQ(Count("T_PrintExportLM", "FDataFrom=3 and FBillId=0 and FPrintSet=x'736574'"), 1);

  const Variant label =
      partitioned->Invoke("AddBarCodeTemplate", {Dsn(), 30, "Box", "label", "5", 1, "x"});
  EXPECT_EQ(Count("T_PrintExportLM", "FBillType=30 and FPreparerId=5 and FName='Box'"), 1);
  EXPECT_EQ(partitioned->Invoke("DeleteBarCodeTemplate",
                                {Dsn(), label.ObjectAs<Dictionary>()->Value("FID")}),
            Variant(true));
  EXPECT_EQ(Count("T_PrintExportLM", "FName='Box'"), 0);
  Exec("create table t_Invoice (FInterID INTEGER, FPrintCount INTEGER)");
  Exec("insert into t_Invoice values (7, 0)");
  auto counter = std::make_shared<Dictionary>();
  counter->SetValue("TableName", "t_Invoice");
  counter->SetValue("FieldName", "FPrintCount");
  counter->SetValue("PriKey", "FInterID");
  counter->SetValue("InterIDs", "7");
  for (const auto& object : {update, partitioned, report}) {
    object->Invoke("UpdatePrintCount", {Dsn(), counter});
  }
  EXPECT_EQ(Count("t_Invoice", "FPrintCount=3"), 1);
}

ORVO_INSTANTIATE_STORE_SUITE(LateBoundTest);

}  // namespace
}  // namespace orvo
