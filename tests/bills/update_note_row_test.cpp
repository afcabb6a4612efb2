// UpdateNoteRow of the bill families.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/error_of.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

const Bytes kNew{'n', 'e', 'w'};
const Bytes kOld{'o', 'l', 'd'};

// The statements that replace Alice's (user 7's) new body in the templates
// of type 28, of name "Invoice" or of any name, and the values bound.
struct Replace {
  const testing::Family* family;
  const char* any;
  const char* updateOfName;
  const char* valuesOfName;
  const char* update;
  const char* values;
  std::size_t modifierSize;  // characters of the modifier
};

const Replace kReplaces[] = {
    {&testing::kBills, "Select top 1 FId From T_PrintExportNote Where FNewBillType=28",
     "Update T_PrintExportNote Set FModifierName=?,FModifyDate=? ,FData=? Where FNewBillType=?  "
     "AND FName = ? ",
     "String:Alice, Date, Byte():new, String:28, String:Invoice",
     "Update T_PrintExportNote Set FModifierName=?,FModifyDate=? ,FData=? Where FNewBillType=? ",
     "String:Alice, Date, Byte():new, String:28", 30},
    {&testing::kPartitioned,
     "Select top 1 FId From T_PrintExportNoteLM Where FNewBillType=28 AND FDataFrom = 1 ",
     "Update T_PrintExportNoteLM Set FModifierName=?,FModifyDate=? ,FData=? Where FNewBillType=?  "
     "AND FName = ? AND FDataFrom =? ",
     "String:Alice, Date, Byte():new, String:28, String:Invoice, Long:1",
     "Update T_PrintExportNoteLM Set FModifierName=?,FModifyDate=? ,FData=? Where FNewBillType=? "
     "AND FDataFrom =? ",
     "String:Alice, Date, Byte():new, String:28, Long:1", 20},
};

class UpdateNoteRowTest : public testing::FamilyTest<Replace> {
 protected:
  Variant Update(const std::string& name = "") {
    return F().family->Call(F().family->update, "UpdateNoteRow", {Dsn(), 28, kNew}, {name});
  }
  // The family's templates that now carry the new body, by the user as their
  // modifier, their creation date kept.
  std::int32_t Replaced() {
    return Count(T().notes, "FData=x'6e6577' and FModifierName='Alice' and FModifyDate<>'" +
                                std::string(kSeeded) + "' and FCreateDate='" + kSeeded + "' and " +
                                T().Scope());
  }
};

TEST_P(UpdateNoteRowTest, EveryTemplateOfTheTypeOrOfOneNameIsReplacedAndNoneIsLeftAlone) {
  EXPECT_TRUE(Update().IsEmpty());  // the type has no template
  SeedTemplate(T(), 28, "Invoice", kOld);
  SeedTemplate(T(), 28, "Other", kOld);
  SeedTemplate(T(), 29, "Invoice", kOld);
  SeedTemplate(Elsewhere(), 28, "Invoice", kOld);
  Update("Invoice");
  EXPECT_EQ(Replaced(), 1);
  EXPECT_EQ(Votes().back(), "Complete");
  Update();
  EXPECT_EQ(Replaced(), 2);
  EXPECT_EQ(Count(Elsewhere().notes, "FData=x'6f6c64' and " + Elsewhere().Scope()), 1);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(F().any, F().any, F().updateOfName, F().any, F().update));
  EXPECT_EQ(Params(2), F().valuesOfName);
  EXPECT_EQ(Params(4), F().values);
}

TEST_P(UpdateNoteRowTest, ModifierNamesLongerThanTheirParameterAreRefused) {
  SeedTemplate(T(), 28, "Invoice", kOld);
  SignIn(kUser, std::string(F().modifierSize + 1, 'n'));
  EXPECT_EQ(ErrorOf([&] { Update(); }).number(), HResult(0x80040E57u));
  EXPECT_EQ(Count(T().notes, "FData=x'6f6c64'"), 1);
}

ORVO_INSTANTIATE_FAMILY_SUITE(UpdateNoteRowTest, kReplaces);

}  // namespace
}  // namespace orvo
