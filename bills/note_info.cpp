// GetNoteInfo of the standard and the partitioned query class: the templates
// the calling user may choose from for a bill type, first giving a user
// without any copies of the manager user's, and the user's option text.

#include "families/catalogue.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// May copy the manager's templates: completes at its end. Its unit of work
// begins as a reading one; a first call takes the write lock when it finds
// it must copy, so that concurrent first calls for one user copy once.
constexpr component::MethodConvention kConvention{};

// The user's list writes a blank after "fbilltype=", the manager user's does not.
constexpr families::CatalogueStatements kStandard{
    .userList =
        "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where "
        "fbilltype= {type} and fbillid>0 and FPreparerId={user}",
    .managerList =
        "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where "
        "fbilltype={type} and fbillid>0 and FPreparerId={manager}",
    .newestList =
        " select distinct a.fbilltype,a.fname,a.fbillid,a.fbilltypesub,a.fsel from "
        "T_PrintExport a inner join  (select   fbilltype,fname,max(fbillid) fbillid "
        "from T_PrintExport where fbilltype={type} and fbillid>0  group by "
        "fbilltype,fname) b on a.fbilltype=b.fbilltype and  a.fname=b.fname and  "
        "a.fbillid=b.fbillid ",
    .userOption =
        "select fdata from T_PrintExport where fbilltype={type} and fbillid=0 and "
        "FPreparerId={user}",
    .managerOption =
        "select fdata from T_PrintExport where fbilltype={type} and fbillid=0 and "
        "FPreparerId={manager}"};

constexpr families::CatalogueStatements kPartitioned{
    .userList =
        "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExportLM where "
        "fbilltype= {type} and fbillid>0 AND FDataFrom = {dataFrom} and FPreparerId={user}",
    .managerList =
        "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExportLM where "
        "fbilltype={type} and fbillid>0 AND FDataFrom = {dataFrom} and "
        "FPreparerId={manager}",
    .newestList =
        " select distinct a.fbilltype,a.fname,a.fbillid,a.fbilltypesub,a.fsel from "
        "T_PrintExportLM a inner join  (select   fbilltype,fname,max(fbillid) fbillid "
        "from T_PrintExportLM where fbilltype={type} and fbillid>0 AND FDataFrom = "
        "{dataFrom}  group by fbilltype,fname) b on a.fbilltype=b.fbilltype and  "
        "a.fname=b.fname and  a.fbillid=b.fbillid AND a.FDataFrom = {dataFrom} ",
    .userOption =
        "select fdata from T_PrintExportLM where fbilltype={type} and fbillid=0 AND "
        "FDataFrom = {dataFrom} and FPreparerId={user}",
    .managerOption =
        "select fdata from T_PrintExportLM where fbilltype={type} and fbillid=0 AND "
        "FDataFrom = {dataFrom} and FPreparerId={manager}"};

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetNoteInfo(const std::string& sDsn,
                                                            std::int32_t classTypeId) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"type", classTypeId}};
        return families::ReadCatalogue(
            context, kStandard, holes,
            [&](const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
                const std::string& name) { CopyManagerNoteInfo(cn, classTypeId, user, name); });
      });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetNoteInfo(const std::string& sDsn,
                                                              std::int32_t classTypeId,
                                                              std::int32_t dataFrom) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"type", classTypeId}, {"dataFrom", dataFrom}};
        return families::ReadCatalogue(context, kPartitioned, holes,
                                       [&](const std::shared_ptr<ado::Connection>& cn,
                                           std::int32_t user, const std::string& name) {
                                         CopyManagerNoteInfo(cn, classTypeId, user, name, dataFrom);
                                       });
      });
}

}  // namespace orvo
