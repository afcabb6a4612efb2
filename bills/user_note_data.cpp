// UpdateUserNoteData of the standard and the partitioned update class: stores
// the calling user's option text for a bill type in the user's settings row
// and the user's choice among its templates in the user's assignment rows,
// adding the rows that are missing.

#include "families/template_writes.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// No blank stands between the template id and "and FPreParerID=" of a
// choice's update, nor between ")" and "values" of its insert.
constexpr families::ChoiceStatements kStandard{
    .settingsRow =
        "select * from T_PrintExport where fbilltype={type} and FBillID=0 and "
        "FPreParerID={userId}",
    .settingsInsert =
        "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
        "FData) values ({type},0,'{today}','存放页面设置信息',0,{userId},'{option}')",
    .settingsUpdate =
        "Update T_PrintExport set Fdata='{option}' where fbilltype={type} and "
        "FBillID=0 and FPreParerID={userId}",
    .choiceRow =
        "select * from T_PrintExport  where fbilltype={type} and FBillID={id} and "
        "FPreParerID={userId}",
    .choiceInsert =
        "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
        "FData,Fbilltypesub)values({type},{id},'{today}','{name}',{sel},{userId},'',"
        "'{subType}')",
    .choiceUpdate =
        "Update T_PrintExport set Fbilltypesub='{subType}',FSel={sel} where "
        "fbilltype={type} and FBillID={id}and FPreParerID={userId}"};

constexpr families::ChoiceStatements kPartitioned{
    .settingsRow =
        "select * from T_PrintExportLM where fbilltype={type} and FBillID=0 AND "
        "FDataFrom = {dataFrom} and FPreParerID={userId}",
    .settingsInsert =
        "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,"
        "FPreParerID,FData,FDataFrom) values ({type},0,'{today}','存放页面设置信息',0,"
        "{userId},'{option}',{dataFrom})",
    .settingsUpdate =
        "Update T_PrintExportLM set Fdata='{option}' where fbilltype={type} and "
        "FBillID=0 AND FDataFrom = {dataFrom} and FPreParerID={userId}",
    .choiceRow =
        "select * from T_PrintExportLM  where fbilltype={type} AND FDataFrom = "
        "{dataFrom} and FBillID={id} and FPreParerID={userId}",
    .choiceInsert =
        "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
        "FData,Fbilltypesub,FDataFrom)values({type},{id},'{today}','{name}',{sel},"
        "{userId},'','{subType}',{dataFrom})",
    .choiceUpdate =
        "Update T_PrintExportLM set Fbilltypesub='{subType}',FSel={sel} where "
        "fbilltype={type} AND FDataFrom = {dataFrom} and FBillID={id}and "
        "FPreParerID={userId}"};

}  // namespace

Variant clsPrintSetupUpdate::UpdateUserNoteData(const std::string& sDsn, std::int32_t fClassType,
                                                const std::shared_ptr<Dictionary>& modiData) {
  return families::StoreChoices(*this, sDsn, kStandard, {{"type", fClassType}}, modiData);
}

Variant clsPrintSetupUpdateLM::UpdateUserNoteData(const std::string& sDsn, std::int32_t fClassType,
                                                  const std::shared_ptr<Dictionary>& modiData,
                                                  std::int32_t dataFrom) {
  return families::StoreChoices(*this, sDsn, kPartitioned,
                                {{"type", fClassType}, {"dataFrom", dataFrom}}, modiData);
}

}  // namespace orvo
