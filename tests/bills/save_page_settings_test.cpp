// SavePageAndPrintSet of the bill families.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/error_of.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

// The statements of user 7's first save, which makes the settings row with
// the manager's option text "copies=2", and of the second, which changes it;
// the values bound to the insert and to the update.
struct SaveSettings {
  const testing::Family* family;
  const char* userRow;
  const char* managerOption;
  const char* insert;
  const char* insertValues;
  const char* update;
  const char* updateValues;
};

const SaveSettings kSaves[] = {
    {&testing::kBills,
     "Select  * From T_PrintExport Where FBillId=0 And FBillType=28 And FPreparerId=7",
     "Select  FData From T_PrintExport Where FBillId=0 And FBillType=28 And FPreparerId=16394",
     "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,FData)  "
     "Values(?,?,?,?,?,?,?)",
     "Long:0, Long:28, Long:7, Date, String:存放页面设置信息, Byte():set, String:copies=2",
     "Update T_PrintExport Set FPrintSet=? Where  FbillId=0 And FBillType=? And FPreparerId=?",
     "Byte():x, Long:28, Long:7"},
    {&testing::kPartitioned,
     "Select  * From T_PrintExportLM Where FBillId=0 And FBillType=28 AND FDataFrom = 1 And "
     "FPreparerId=7",
     "Select  FData From T_PrintExportLM Where FBillId=0 And FBillType=28 AND FDataFrom = 1 And "
     "FPreparerId=16394",
     "Insert Into T_PrintExportLM (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,FData,"
     "FDataFrom)  Values(?,?,?,?,?,?,?,?)",
     "Long:0, Long:28, Long:7, Date, String:存放页面设置信息, Byte():set, String:copies=2, Long:1",
     "Update T_PrintExportLM Set FPrintSet=? Where  FbillId=0 And FBillType=? And FPreparerId=? "
     "AND FDataFrom=?",
     "Byte():x, Long:28, Long:7, Long:1"},
};

class SavePageSettingsTest : public testing::FamilyTest<SaveSettings> {
 protected:
  void Save(const Bytes& set) {
    F().family->Call(F().family->update, "SavePageAndPrintSet", {Dsn(), 28, set});
  }
  std::string Settings(std::int16_t user) {
    return Row(T().rows, "FName,FPrintSet,FData",
               "FBillId=0 and FBillType=28 and " + T().Scope() +
                   " and FPreparerId=" + std::to_string(user));
  }
};

TEST_P(SavePageSettingsTest, NewRowTakesTheManagersOptionTextButNotHisSettings) {
  SeedSettingsRow(T(), 28, kManager, Bytes{'m'}, "copies=2");
  SeedSettingsRow(Elsewhere(), 28, kManager, Bytes{'e'}, "elsewhere");
  Save(Bytes{'s', 'e', 't'});
  EXPECT_EQ(Settings(kUser), "存放页面设置信息|set|copies=2");
  // The host decides what becomes of the work: the method never votes Complete.
  EXPECT_THAT(Votes(), ElementsAre("Open"));
  Save(Bytes{'x'});
  EXPECT_EQ(Settings(kUser), "存放页面设置信息|x|copies=2");
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(F().userRow, F().managerOption, F().insert, F().userRow, F().update));
  EXPECT_EQ(Params(2), F().insertValues);
  EXPECT_EQ(Params(4), F().updateValues);
}

TEST_P(SavePageSettingsTest, WithoutTheManagersOptionTextItIsEmptyAndANullOneFails) {
  SignIn(kManager, "Manager");
  Save(Bytes{'m'});
  EXPECT_EQ(Settings(kManager), "存放页面设置信息|m|");
  Exec("update " + std::string(T().rows) + " set FData=NULL");
  SignIn(kUser, "Alice");
  EXPECT_EQ(ErrorOf([&] { Save(Bytes{'s'}); }).number(), 94);
  EXPECT_EQ(Count(T().rows), 1);
  EXPECT_EQ(Votes().back(), "Abort");
}

ORVO_INSTANTIATE_FAMILY_SUITE(SavePageSettingsTest, kSaves);

}  // namespace
}  // namespace orvo
