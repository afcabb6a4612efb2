#include "orvo/component/type_library.hpp"
#include "host/journal.hpp"

#include <gtest/gtest.h>

#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;

class LateBoundTest : public testing::StoreTest {};

TEST_P(LateBoundTest, MembersAreCalledByNameOrDispidAndRefuseWrongArgumentsBeforeRunning) {
  auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
  const Variant vector(std::make_shared<Vector>());
  EXPECT_EQ(ErrorOf([&] { query->Invoke("GetPictureData", {Dsn(), vector}); }).number(), 13);
  EXPECT_EQ(ErrorOf([&] {
              query->Invoke("CopyManagerNoteInfo", {vector, 28, 7, "A"});
            }).number(),
            13);  // not a connection
  EXPECT_TRUE(Hub().Journal().empty());
  SeedSettingsRow(testing::kBillTables, 28, kUser, Bytes{1, 2, 3});
  EXPECT_EQ(query->Invoke(0x60030006, {Dsn(), 28}).ObjectAs<Dictionary>()->Value("Set"),
            Variant(Bytes{1, 2, 3}));
}

// The members of the families and the bill-only reads and writes are called
// late-bound by their own suites; these are the others that take more than a
// data source and a bill type.
TEST_P(LateBoundTest, LabelAndPrintCountMembersTakeTheirArgumentsInOrder) {
  auto update = CreateObject("OrvoMPrintExport.clsPrintSetupUpdate");
  auto partitioned = CreateObject("OrvoMPrintExport.clsPrintSetupUpdateLM");
  auto report = CreateObject("OrvoMPrintExport.clsPrintSetupUpdateRpt");
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
