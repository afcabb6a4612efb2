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

  SeedSettingsRow(28, kUser, Bytes{1, 2, 3});
  for (const Variant& set : {query->Invoke("getpageandprintset", {Dsn(), "28"}),
                             query->Invoke(0x60030006, {Dsn(), 28})}) {
    EXPECT_EQ(set.ObjectAs<Dictionary>()->Value("Set"), Variant(Bytes{1, 2, 3}));
  }
}

TEST_P(LateBoundTest, TemplateReadsTakeTheirArgumentsInOrder) {
  using ::testing::Contains;
  using ::testing::HasSubstr;
  auto cn = Hub().PooledConnection(Dsn());
  cn->SetObserver(Hub().StatementObserver());  // the copies are given this connection
  auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
  query->Invoke("GetCurrNote", {Dsn(), 31});
  query->Invoke("GetNoteInfo", {Dsn(), 32});
  query->Invoke("GetNotePrintData", {Dsn(), 33});
  query->Invoke("CopyManagerNoteInfo", {Variant(cn), 34, 8, "Bob"});
  query->Invoke("GetRptNoteInfo", {Dsn(), 1009});
  query->Invoke("GetRptNotePrintData", {Dsn(), 1010, "Y"});
  query->Invoke("CopyRptManagerNoteInfo", {Variant(cn), 1011, 8, "Bob"});
  auto lm = CreateObject("OrvoMPrintExport.clsPrintSetupQueryLM");
  lm->Invoke("GetCurrNote", {Dsn(), 29, 4});
  lm->Invoke("GetNoteInfo", {Dsn(), 30, 5});
  lm->Invoke("GetNotePrintData", {Dsn(), 28, 3, "X"});
  lm->Invoke("CopyManagerNoteInfo", {Variant(cn), 27, 8, "Bob", 2});
  auto rpt = CreateObject("OrvoMPrintExport.clsPrintSetupQueryRpt");
  rpt->Invoke("GetRptNoteInfo", {Dsn(), 1008});
  rpt->Invoke("GetRptNotePrintData", {Dsn(), 1007, "Z"});
  rpt->Invoke("CopyRptManagerNoteInfo", {Variant(cn), 1012, 8, "Bob"});
  const auto texts = Observer().Texts();
  for (const char* fragment :
       {"FBillType=31 And FPreparerId=7", "fbilltype= 32 and fbillid>0 and FPreparerId=7",
        "i.FBillType=33 And isnull(", "fbilltype=34 and FPreparerId=16394",
        "FRptId= 1009 and FNoteId>0", "i.FRptId=1010 And i.FSel=1 and FPreparerId=7",
        "FRptId=1011 and FPreparerId=16394", "FBillType=29 AND FDataFrom = 4 And FPreparerId=7",
        "fbilltype= 30 and fbillid>0 AND FDataFrom = 5",
        "i.FBillTypeSub='X' and i.FSel=1 AND i.FDataFrom = 3",
        "fbilltype=27 AND FDataFrom = 2 and FPreparerId=16394",
        "fsel,FTypeSub from "
        "T_RptExcelPrintExport where FRptId= 1008",
        "i.FTypeSub='Z' And i.FSel=1 and FPreparerId=7",
        "FSel,FTypeSub from T_RptExcelPrintExport where FRptId=1012"}) {
    EXPECT_THAT(texts, Contains(HasSubstr(fragment)));
  }
}

TEST_P(LateBoundTest, UpdateMembersTakeTheirArgumentsInOrder) {
  auto update = CreateObject("OrvoMPrintExport.clsPrintSetupUpdate");
  auto partitioned = CreateObject("OrvoMPrintExport.clsPrintSetupUpdateLM");
  auto report = CreateObject("OrvoMPrintExport.clsPrintSetupUpdateRpt");
  const auto id = [](const Variant& inserted) { return inserted.ObjectAs<Vector>()->Item(1); };
  const Variant bill = id(update->Invoke("InsertNoteRow", {Dsn(), 28, "Invoice", "body"}));
  const Variant lm = id(partitioned->Invoke("InsertNoteRow", {Dsn(), 28, "Invoice", "body", 3}));
  EXPECT_TRUE(update->Invoke("UpdateNoteRow", {Dsn(), 28, "new"}).IsEmpty());
  partitioned->Invoke("UpdateNoteRow", {Dsn(), 28, "new", 3, "Invoice"});
  auto data = std::make_shared<Dictionary>();
  data->SetValue("fNoteName", "Saved");
  EXPECT_EQ(update->Invoke("SaveNewBill", {Dsn(), 29, data}), Variant(false));
  partitioned->Invoke("SaveNewBill", {Dsn(), 29, data, 3});
  EXPECT_TRUE(update->Invoke("SavePageAndPrintSet", {Dsn(), 28, "set"}).IsEmpty());
  partitioned->Invoke("SavePageAndPrintSet", {Dsn(), 28, "set", 3});
  auto modi = std::make_shared<Dictionary>();
  modi->SetValue("Option", "o");
  modi->SetObject("Data", std::make_shared<Vector>());
  update->Invoke("UpdateUserNoteData", {Dsn(), 28, modi});
  partitioned->Invoke("UpdateUserNoteData", {Dsn(), 28, modi, 3});
  EXPECT_EQ(Count("T_PrintExportNote", "FNewBillType=28 and FData=x'6e6577'"), 1);
  EXPECT_EQ(Count("T_PrintExportNoteLM", "FDataFrom=3 and FNewBillType=28 and FData=x'6e6577'"), 1);
  EXPECT_EQ(Count("T_PrintExportNoteLM", "FDataFrom=3 and FName='Saved'"), 1);
  EXPECT_EQ(
      Count("T_PrintExportLM", "FDataFrom=3 and FBillId=0 and FPrintSet=x'736574' and FData='o'"),
      1);

  const Variant label =
      partitioned->Invoke("AddBarCodeTemplate", {Dsn(), 30, "Box", "label", "5", 1, "x"});
  EXPECT_EQ(label.ObjectAs<Dictionary>()->Value("FUserId"), Variant("5"));
  EXPECT_EQ(Count("T_PrintExportLM", "FBillType=30 and FPreparerId=5 and FName='Box'"), 1);
  EXPECT_EQ(partitioned->Invoke("DeleteBarCodeTemplate",
                                {Dsn(), label.ObjectAs<Dictionary>()->Value("FID")}),
            Variant(true));
  update->Invoke("AddBarCodeTemplate", {Dsn(), 30, "Box", "label"});
  Exec("create table t_Invoice (FInterID INTEGER, FPrintCount INTEGER)");
  Exec("insert into t_Invoice values (?, 0)", {bill});
  auto counter = std::make_shared<Dictionary>();
  counter->SetValue("TableName", "t_Invoice");
  counter->SetValue("FieldName", "FPrintCount");
  counter->SetValue("PriKey", "FInterID");
  counter->SetValue("InterIDs", CStr(bill));
  for (const auto& object : {update, partitioned, report}) {
    object->Invoke("UpdatePrintCount", {Dsn(), counter});
  }
  EXPECT_EQ(Count("t_Invoice", "FPrintCount=3"), 1);
  EXPECT_EQ(update->Invoke("DeleteNoteRow", {Dsn(), 28, bill}), Variant(true));
  EXPECT_EQ(partitioned->Invoke("DeleteNoteRow", {Dsn(), 28, lm, 3}), Variant(true));
  EXPECT_EQ(Count("T_PrintExportLM", "FBillId>0"), 0);

  for (const auto& object : {update, report}) {
    const Variant note = id(object->Invoke("InsertRptNoteRow", {Dsn(), 40, "Sales", "body"}));
    object->Invoke("UpdateUserRptNoteData", {Dsn(), 40, modi});
    EXPECT_EQ(Count("T_RptExcelPrintExport", "FRptId=40 and FNoteId=0 and FData='o'"), 1);
    EXPECT_EQ(object->Invoke("DeleteRptNoteRow", {Dsn(), 40, note}), Variant(true));
    Exec("delete from T_RptExcelPrintExport");
  }
  EXPECT_EQ(Count("T_RptExcelPrintExportNote"), 0);
}

ORVO_INSTANTIATE_STORE_SUITE(LateBoundTest);

}  // namespace
}  // namespace orvo
