// GetRptNotePrintData of the standard query class, whose statements leave
// report sub-types out (a given sub-type only chooses the chain), and of the
// report query class, which chooses by FTypeSub: the body of the report
// template the calling user selected, with the user's settings text.

#include "families/print_data.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

// The chosen template's report and id.
const families::ChosenColumns kReportColumns("FRptId", "FNoteId");

constexpr std::string_view kStandardSubTypeChain[] = {
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId  Where i.FRptId={report} And i.FSel=1 and "
    "FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And i.FSel=1 and "
    "FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And i.FSel=1"};
constexpr std::string_view kStandardPlainChain[] = {
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And i.FSel=1 and "
    "FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And i.FSel=1 and "
    "FPreparerId={manager}"};
constexpr families::PrintDataStatements kStandard{
    .subTypeChain = kStandardSubTypeChain,
    .plainChain = kStandardPlainChain,
    .userSettings =
        "Select FData from T_RptExcelPrintExport where FRptId={report} and FNoteId=0 "
        " and FPreparerId={user}",
    .managerSettings =
        "Select FData from T_RptExcelPrintExport where FRptId={report} and "
        "FNoteId=0  and FPreparerId={manager}",
    .chosen = &kReportColumns};

constexpr std::string_view kReportClassSubTypeChain[] = {
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId  Where i.FRptId={report} And "
    "i.FTypeSub='{subType}' And i.FSel=1 and FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And "
    "i.FTypeSub='' And i.FSel=1 and FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And "
    "i.FTypeSub='{subType}' And i.FSel=1 and FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And "
    "i.FTypeSub='' And i.FSel=1 and FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And "
    "i.FTypeSub='{subType}' And i.FSel=1"};
constexpr std::string_view kReportClassPlainChain[] = {
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId={report} And "
    "isnull(i.FTypeSub, '') = ''  And i.FSel=1 and FPreparerId={user}",
    kStandardPlainChain[1]};
constexpr families::PrintDataStatements kReportClass{.subTypeChain = kReportClassSubTypeChain,
                                                     .plainChain = kReportClassPlainChain,
                                                     .userSettings = kStandard.userSettings,
                                                     .managerSettings = kStandard.managerSettings,
                                                     .chosen = &kReportColumns};

template <class T>
std::shared_ptr<Dictionary> ReadReportPrintData(T& self, const std::string& sDsn,
                                                std::int32_t rptId, const std::string& FSubType,
                                                const families::PrintDataStatements& statements) {
  return component::MethodFrame::Run(
      self, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"report", rptId}, families::SubTypeHole(FSubType)};
        return families::ReadPrintData(context, statements, holes, FSubType);
      });
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetRptNotePrintData(const std::string& sDsn,
                                                                    std::int32_t rptId,
                                                                    const std::string& FSubType) {
  return ReadReportPrintData(*this, sDsn, rptId, FSubType, kStandard);
}

std::shared_ptr<Dictionary> clsPrintSetupQueryRpt::GetRptNotePrintData(
    const std::string& sDsn, std::int32_t rptId, const std::string& FSubType) {
  return ReadReportPrintData(*this, sDsn, rptId, FSubType, kReportClass);
}

}  // namespace orvo
