// GetNotePrintData of the standard and the partitioned query class, and the
// print data read that the report classes' GetRptNotePrintData shares.

#include "bills/print_data.hpp"

#include <vector>

#include "bills/owned_statement.hpp"
#include "component/sql_text.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace bills {

namespace {

// The template statements, in the order they are tried. Only the first
// statement of a sub-type chain joins with one blank before "Where"; every
// other has two.
std::vector<OwnedStatement> TemplateChain(const PrintDataFamily& family,
                                          const std::string& FSubType) {
  const std::string first = family.join + family.where;
  const std::string other = family.join + " " + family.where;
  if (FSubType.empty()) {
    const std::string unset =
        family.subTypeColumn.empty() ? "" : " And isnull(" + family.subTypeColumn + ", '') = '' ";
    return {{other + unset + " And i.FSel=1" + family.partition, Owner::User},
            {other + " And i.FSel=1" + family.partition, Owner::Manager}};
  }
  const std::string partition = family.partition.empty() ? "" : family.partition + " ";
  if (family.subTypeColumn.empty()) {
    const std::string selected = " And i.FSel=1" + partition;
    return {{first + selected, Owner::User},
            {other + selected, Owner::Manager},
            {other + selected, Owner::Anyone}};
  }
  const auto of_sub_type = [&](const std::string& subType) {
    return " And " + family.subTypeColumn + "='" + subType + "'" + family.selectedAfterSubType +
           partition;
  };
  const std::string given = of_sub_type(component::QuotesDoubled(FSubType));
  const std::string unset = of_sub_type("");
  return {{first + given, Owner::User},
          {other + unset, Owner::User},
          {other + given, Owner::Manager},
          {other + unset, Owner::Manager},
          {other + given, Owner::Anyone}};
}

}  // namespace

std::shared_ptr<Dictionary> ReadPrintData(component::MethodContext& context,
                                          const PrintDataFamily& family,
                                          const std::string& FSubType) {
  auto chosen = RunUntilFound(context, TemplateChain(family, FSubType));
  const std::string settings = ReadSettingsText(context, family.settingsHead);
  auto result = std::make_shared<Dictionary>();
  if (chosen->Eof()) return result;
  auto entry = std::make_shared<Vector>();
  const Variant body = chosen->Fields("fblob").Value();
  const std::int32_t id = CLng(chosen->Fields(family.idColumn).Value());
  const std::int32_t key = CLng(chosen->Fields(family.keyColumn).Value());
  entry->Add(settings);
  entry->Add(body);
  result->SetObject(std::to_string(key) + "|" + std::to_string(id), entry);
  return result;
}

}  // namespace bills

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

bills::PrintDataFamily BillPrintData(const std::string& suffix, std::int32_t fClassTypeId,
                                     const std::string& partition,
                                     const std::string& settingsPartition) {
  const std::string t = std::to_string(fClassTypeId);
  return {"Select c.FData as FBlob,i.* From T_PrintExport" + suffix +
              " i inner Join T_PrintExportNote" + suffix + " c  On i.FbillId=c.FId ",
          " Where i.FBillType=" + t,
          "i.FBillTypeSub",
          " and i.FSel=1",
          partition,
          "Select FData from T_PrintExport" + suffix + " where fbilltype=" + t + " and fbillid=0" +
              settingsPartition + " ",
          "FBillType",
          "FBillId"};
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetNotePrintData(const std::string& sDsn,
                                                                 std::int32_t fClassTypeId,
                                                                 const std::string& FSubType) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        return bills::ReadPrintData(context, BillPrintData("", fClassTypeId, "", ""), FSubType);
      });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetNotePrintData(const std::string& sDsn,
                                                                   std::int32_t fClassTypeId,
                                                                   std::int32_t dataFrom,
                                                                   const std::string& FSubType) {
  const std::string d = std::to_string(dataFrom);
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        return bills::ReadPrintData(
            context,
            BillPrintData("LM", fClassTypeId, " AND i.FDataFrom = " + d + " AND c.FDataFrom = " + d,
                          " AND FDataFrom = " + d),
            FSubType);
      });
}

}  // namespace orvo
