// GetPageAndPrintSet of the standard and the partitioned query class: the
// calling user's page and print settings for a bill type, else the manager
// user's.

#include <span>

#include "families/owner_chain.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

struct PageSettingsStatements {
  std::string_view user;     // the user's settings row
  std::string_view manager;  // the manager user's
};

constexpr PageSettingsStatements kStandard{
    .user =
        "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType={type} And "
        "FPreparerId={user}",
    .manager =
        "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType={type} And "
        "FPreparerId={manager}"};

constexpr PageSettingsStatements kPartitioned{
    .user =
        "Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = {dataFrom} And "
        "FBillType={type} And FPreparerId={user}",
    .manager =
        "Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = {dataFrom} "
        "And FBillType={type} And FPreparerId={manager}"};

std::shared_ptr<Dictionary> ReadPageAndPrintSet(component::MethodContext& context,
                                                const PageSettingsStatements& statements,
                                                std::span<const families::Hole> holes) {
  // Only the first row counts; its settings may be Null.
  auto settings = families::FirstFound(context, {statements.user, statements.manager}, holes, 1);
  auto result = std::make_shared<Dictionary>();
  if (!settings.Eof()) result->SetValue("Set", settings.Fields(0).Value());
  settings.Close();
  return result;
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetPageAndPrintSet(const std::string& sDsn,
                                                                   std::int32_t fClassTypeId) {
  return component::MethodFrame::Run(*this, kConvention, sDsn,
                                     [&](component::MethodContext& context) {
                                       const families::Hole holes[] = {{"type", fClassTypeId}};
                                       return ReadPageAndPrintSet(context, kStandard, holes);
                                     });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetPageAndPrintSet(const std::string& sDsn,
                                                                     std::int32_t fClassTypeId,
                                                                     std::int32_t dataFrom) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"type", fClassTypeId}, {"dataFrom", dataFrom}};
        return ReadPageAndPrintSet(context, kPartitioned, holes);
      });
}

}  // namespace orvo
