// GetRptNoteInfo of the standard query class (reports without sub-types) and
// of the report query class (which lists FTypeSub too): the bill catalogue
// over the report tables.

#include "bills/note_info.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// May copy the manager's report templates: completes at its end, and begins
// as a writing unit of work so that concurrent first calls wait for each
// other instead of copying twice.
constexpr component::MethodConvention kConvention{.writes = true};

template <class T>
std::shared_ptr<Dictionary> ReadReportCatalogue(T& self, const std::string& sDsn,
                                                std::int32_t rptId,
                                                std::vector<std::string> columns) {
  return component::MethodFrame::Run(
      self, kConvention, sDsn, [&](component::MethodContext& context) {
        return bills::ReadCatalogue(
            context, {"T_RptExcelPrintExport", std::move(columns), "FRptId", "FNoteId", "", ""},
            rptId,
            [&](const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
                const std::string& name) { self.CopyRptManagerNoteInfo(cn, rptId, user, name); });
      });
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetRptNoteInfo(const std::string& sDsn,
                                                               std::int32_t rptId) {
  return ReadReportCatalogue(*this, sDsn, rptId, {"FRptId", "fname", "FNoteId", "fsel"});
}

std::shared_ptr<Dictionary> clsPrintSetupQueryRpt::GetRptNoteInfo(const std::string& sDsn,
                                                                  std::int32_t rptId) {
  return ReadReportCatalogue(*this, sDsn, rptId,
                             {"FRptId", "fname", "FNoteId", "fsel", "FTypeSub"});
}

}  // namespace orvo
