// GetPageAndPrintSet of the standard and the partitioned query class: the
// calling user's page and print settings for a bill type, else the manager
// user's.

#include <memory>
#include <string>

#include "component/frame.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

// `head` is the statement up to the owner condition, which names the user
// first and the manager user when the user has no settings row.
std::shared_ptr<Dictionary> ReadPageAndPrintSet(component::MethodContext& context,
                                                const std::string& head) {
  const std::int32_t user = context.UserID();
  auto settings = context.Connection().Execute(head + " And FPreparerId=" + std::to_string(user));
  if (settings->Eof()) settings = context.Connection().Execute(head + " And FPreparerId=16394");
  auto result = std::make_shared<Dictionary>();
  if (!settings->Eof()) result->SetValue("Set", settings->Fields(0).Value());
  settings->Close();
  return result;
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetPageAndPrintSet(const std::string& sDsn,
                                                                   std::int32_t fClassTypeId) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        return ReadPageAndPrintSet(
            context, "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=" +
                         std::to_string(fClassTypeId));
      });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetPageAndPrintSet(const std::string& sDsn,
                                                                     std::int32_t fClassTypeId,
                                                                     std::int32_t dataFrom) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        return ReadPageAndPrintSet(
            context, "Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = " +
                         std::to_string(dataFrom) +
                         " And FBillType=" + std::to_string(fClassTypeId));
      });
}

}  // namespace orvo
