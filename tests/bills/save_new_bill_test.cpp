// SaveNewBill of the bill families.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/families.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

// The statements that store "Invoice" of type 28 as a new template, then
// replace it, and the values bound to the insert and to the update.
struct SaveNew {
  const testing::Family* family;
  const char* lookup;
  const char* insert;
  const char* insertValues;
  const char* update;
  const char* updateValues;
};

const SaveNew kSaves[] = {
    {&testing::kBills,
     "Select FId From T_PrintExportNote Where FNewBillType=28 And FName='Invoice'",
     "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FNewBillType,FCreateDate,"
     "FModifyDate,FData) Values(?,?,?,?,?,?,?)",
     "String:Invoice, String:28, String:Manager, String:28, Date, Date, Byte():new",
     "Update T_PrintExportNote Set FCreateDate=?,FModifyDate=?,FData=? Where FNewBillType=? And "
     "FName=?",
     "Date, Date, Byte():new, String:28, String:Invoice"},
    {&testing::kPartitioned,
     "Select FId From T_PrintExportNoteLM Where FNewBillType=28 AND FDataFrom = 1 And "
     "FName='Invoice'",
     "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FNewBillType,FCreateDate,"
     "FModifyDate,FData,FDataFrom) Values(?,?,?,?,?,?,?,?)",
     "String:Invoice, String:28, String:Manager, String:28, Date, Date, Byte():new, Long:1",
     "Update T_PrintExportNoteLM Set FCreateDate=?,FModifyDate=?,FData=? Where FNewBillType=? And "
     "FName=? AND FDataFrom=?",
     "Date, Date, Byte():new, String:28, String:Invoice, Long:1"},
};

std::shared_ptr<Dictionary> Data(const std::string& name) {
  auto data = std::make_shared<Dictionary>();
  data->SetValue("fNoteName", name);
  data->SetValue("FNoteBlob", Bytes{'n', 'e', 'w'});
  data->SetValue("Username", "Carol");  // never stored: the creator is always "Manager"
  return data;
}

class SaveNewBillTest : public testing::FamilyTest<SaveNew> {
 protected:
  Variant Save(const std::shared_ptr<Dictionary>& data) {
    return F().family->Call(F().family->update, "SaveNewBill", {Dsn(), 28, Variant(data)});
  }
};

TEST_P(SaveNewBillTest, NewNameIsTheManagersTemplateAndAnExistingOneIsReplacedForEveryCreator) {
  const Bytes old{'o', 'l', 'd'};
  SeedTemplate(Elsewhere(), 28, "Invoice", old);
  EXPECT_EQ(Save(Data("Invoice")), Variant(false));
  EXPECT_EQ(Row(T().notes, "FName,FScreenId,FCreatorName,FModifierName,FNewBillType", T().Scope()),
            "Invoice|28|Manager|NULL|28");
  EXPECT_EQ(Count(T().rows), 0);  // and no assignment
  EXPECT_EQ(Votes().back(), "Complete");

  SeedTemplate(T(), 28, "Invoice", old, {{"FCreatorName", "Alice"}});
  SeedTemplate(T(), 28, "Other", old);
  SeedTemplate(T(), 29, "Invoice", old);
  Save(Data("Invoice"));
  EXPECT_EQ(Count(T().notes, "FCreatorName='Alice' and FData=x'6e6577' and FCreateDate<>'" +
                                 std::string(kSeeded) + "'"),
            1);
  EXPECT_EQ(Count(T().notes, "FData=x'6f6c64' and " + T().Scope()), 2);
  EXPECT_EQ(Count(Elsewhere().notes, "FData=x'6f6c64' and " + Elsewhere().Scope()), 1);
  EXPECT_THAT(Observer().Texts(), ElementsAre(F().lookup, F().insert, F().lookup, F().update));
  EXPECT_EQ(Params(1), F().insertValues);
  EXPECT_EQ(Params(3), F().updateValues);

  // An empty dictionary stores an empty name without body.
  Save(std::make_shared<Dictionary>());
  EXPECT_EQ(Count(T().notes, "FName='' and FData is null"), 1);
}

TEST_P(SaveNewBillTest, DataThatCannotBeReadFailsBeforeTheDataSourceIsOpened) {
  auto unreadable = std::make_shared<Dictionary>();
  unreadable->SetObject("fNoteName", std::make_shared<Vector>());  // no text
  EXPECT_THROW(Save(unreadable), AutomationError);
  EXPECT_THAT(Votes(), ElementsAre("Abort"));
  EXPECT_TRUE(Observer().Statements().empty());
}

ORVO_INSTANTIATE_FAMILY_SUITE(SaveNewBillTest, kSaves);

}  // namespace
}  // namespace orvo
