// GetRptNoteInfo of the standard query class (reports without sub-types) and
// of the report query class (which lists FTypeSub too): the report templates
// the calling user may choose from, first giving a user without any copies of
// the manager user's, and the user's option text.

#include "families/catalogue.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// May copy the manager's templates: completes at its end. Its unit of work
// begins as a reading one; a first call takes the write lock when it finds
// it must copy, so that concurrent first calls for one user copy once.
constexpr component::MethodConvention kConvention{};

constexpr families::CatalogueStatements kStandard{
    .userList =
        "select FRptId,fname,FNoteId,fsel from T_RptExcelPrintExport where FRptId= "
        "{report} and FNoteId>0 and FPreparerId={user}",
    .managerList =
        "select FRptId,fname,FNoteId,fsel from T_RptExcelPrintExport where "
        "FRptId={report} and FNoteId>0 and FPreparerId={manager}",
    .newestList =
        " select distinct a.FRptId,a.fname,a.FNoteId,a.fsel from T_RptExcelPrintExport "
        "a inner join  (select   FRptId,fname,max(FNoteId) FNoteId from "
        "T_RptExcelPrintExport where FRptId={report} and FNoteId>0  group by "
        "FRptId,fname) b on a.FRptId=b.FRptId and  a.fname=b.fname and  "
        "a.FNoteId=b.FNoteId ",
    .userOption =
        "select fdata from T_RptExcelPrintExport where FRptId={report} and FNoteId=0 "
        "and FPreparerId={user}",
    .managerOption =
        "select fdata from T_RptExcelPrintExport where FRptId={report} and FNoteId=0 "
        "and FPreparerId={manager}"};

// The report class lists the sub-type last; the grouping stays by name.
constexpr families::CatalogueStatements kReportClass{
    .userList =
        "select FRptId,fname,FNoteId,fsel,FTypeSub from T_RptExcelPrintExport where "
        "FRptId= {report} and FNoteId>0 and FPreparerId={user}",
    .managerList =
        "select FRptId,fname,FNoteId,fsel,FTypeSub from T_RptExcelPrintExport where "
        "FRptId={report} and FNoteId>0 and FPreparerId={manager}",
    .newestList =
        " select distinct a.FRptId,a.fname,a.FNoteId,a.fsel,a.FTypeSub from "
        "T_RptExcelPrintExport a inner join  (select   FRptId,fname,max(FNoteId) "
        "FNoteId from T_RptExcelPrintExport where FRptId={report} and FNoteId>0  group "
        "by FRptId,fname) b on a.FRptId=b.FRptId and  a.fname=b.fname and  "
        "a.FNoteId=b.FNoteId ",
    .userOption = kStandard.userOption,
    .managerOption = kStandard.managerOption};

template <class T>
std::shared_ptr<Dictionary> ReadReportCatalogue(T& self, const std::string& sDsn,
                                                std::int32_t rptId,
                                                const families::CatalogueStatements& statements) {
  return component::MethodFrame::Run(
      self, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"report", rptId}};
        return families::ReadCatalogue(
            context, statements, holes,
            [&](const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
                const std::string& name) { self.CopyRptManagerNoteInfo(cn, rptId, user, name); });
      });
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetRptNoteInfo(const std::string& sDsn,
                                                               std::int32_t rptId) {
  return ReadReportCatalogue(*this, sDsn, rptId, kStandard);
}

std::shared_ptr<Dictionary> clsPrintSetupQueryRpt::GetRptNoteInfo(const std::string& sDsn,
                                                                  std::int32_t rptId) {
  return ReadReportCatalogue(*this, sDsn, rptId, kReportClass);
}

}  // namespace orvo
