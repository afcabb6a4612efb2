// GetRptNotePrintData of the standard query class, whose statements leave
// report sub-types out (a given sub-type only chooses the chain), and of the
// report query class, which chooses by FTypeSub: the bill print data read
// over the report tables.

#include "bills/print_data.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

template <class T>
std::shared_ptr<Dictionary> ReadReportPrintData(T& self, const std::string& sDsn,
                                                std::int32_t rptId, const std::string& FSubType,
                                                const char* subTypeColumn) {
  const std::string r = std::to_string(rptId);
  return component::MethodFrame::Run(
      self, kConvention, sDsn, [&](component::MethodContext& context) {
        return bills::ReadPrintData(
            context,
            {"Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
             "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId ",
             " Where i.FRptId=" + r, subTypeColumn, " And i.FSel=1", "",
             "Select FData from T_RptExcelPrintExport where FRptId=" + r + " and FNoteId=0 ",
             "FRptId", "FNoteId"},
            FSubType);
      });
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetRptNotePrintData(const std::string& sDsn,
                                                                    std::int32_t rptId,
                                                                    const std::string& FSubType) {
  return ReadReportPrintData(*this, sDsn, rptId, FSubType, "");
}

std::shared_ptr<Dictionary> clsPrintSetupQueryRpt::GetRptNotePrintData(
    const std::string& sDsn, std::int32_t rptId, const std::string& FSubType) {
  return ReadReportPrintData(*this, sDsn, rptId, FSubType, "i.FTypeSub");
}

}  // namespace orvo
