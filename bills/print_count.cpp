// UpdatePrintCount of the three update classes: adds 1 to a counter column
// of the rows of a business table whose key is in a list, typically to count
// how often documents were printed. The caller names the table, the columns
// and the keys; they are checked before they are placed into the statement.

#include <memory>
#include <string>

#include "bills/sql_names.hpp"
#include "component/frame.hpp"
#include "families/statement.hpp"
#include "families/template_writes.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// Votes Abort before its statement, so the count is kept only when the
// method completes; its failures carry the help file 64.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Abort,
    .failure = component::MethodConvention::Failure::HelpFile64,
    .writes = true};

void CountPrint(PrintSetupObject& self, const std::string& sDsn,
                const std::shared_ptr<Dictionary>& dctPCData) {
  component::MethodFrame::Run(self, kConvention, sDsn, [&](component::MethodContext& context) {
    const Dictionary& data = families::Required(dctPCData);
    const std::string table = CStr(data.Value("TableName"));
    const std::string field = CStr(data.Value("FieldName"));
    const std::string key = CStr(data.Value("PriKey"));
    const std::string ids = CStr(data.Value("InterIDs"));
    const auto business = bills::BusinessTable::Require(context.Connection(), "TableName", table);
    business.RequireColumn("FieldName", field);
    business.RequireColumn("PriKey", key);
    bills::RequireIdList(context.Connection(), "InterIDs", ids);
    using families::Verbatim;
    context.Connection().Execute(
        families::Fill("UPDATE {table} SET {field} = {field} + 1 WHERE {key} IN(  {ids})\r\n",
                       {{"table", Verbatim{table}},
                        {"field", Verbatim{field}},
                        {"key", Verbatim{key}},
                        {"ids", Verbatim{ids}}}));
  });
}

}  // namespace

void clsPrintSetupUpdate::UpdatePrintCount(const std::string& sDsn,
                                           const std::shared_ptr<Dictionary>& dctPCData) {
  CountPrint(*this, sDsn, dctPCData);
}

void clsPrintSetupUpdateLM::UpdatePrintCount(const std::string& sDsn,
                                             const std::shared_ptr<Dictionary>& dctPCData) {
  CountPrint(*this, sDsn, dctPCData);
}

void clsPrintSetupUpdateRpt::UpdatePrintCount(const std::string& sDsn,
                                              const std::shared_ptr<Dictionary>& dctPCData) {
  CountPrint(*this, sDsn, dctPCData);
}

}  // namespace orvo
