// GetNoteInfo of the standard and the partitioned query class, and the
// catalogue routine that the report classes' GetRptNoteInfo shares.

#include "bills/note_info.hpp"

#include "bills/owned_statement.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"
#include "store/row_to_dictionary.hpp"

namespace orvo {

namespace bills {

namespace {

std::string Joined(const std::vector<std::string>& columns, const std::string& prefix) {
  std::string list;
  for (const std::string& column : columns) list += (list.empty() ? "" : ",") + prefix + column;
  return list;
}

}  // namespace

std::shared_ptr<Dictionary> ReadCatalogue(component::MethodContext& context,
                                          const CatalogueFamily& family, std::int32_t key,
                                          const CopyManagerTemplates& copy) {
  const std::string k = std::to_string(key);
  const std::string& id = family.idColumn;
  const std::string& kc = family.keyColumn;
  const std::string select = "select " + Joined(family.columns, "") + " from " + family.table;
  // The user's list writes a blank after the "=", the manager user's does not.
  const OwnedStatement user_list{
      select + " where " + kc + "= " + k + " and " + id + ">0" + family.partition, Owner::User};
  const OwnedStatement manager_list{
      select + " where " + kc + "=" + k + " and " + id + ">0" + family.partition, Owner::Manager};
  // For each name, the rows of any user that point to the highest template id.
  const std::string newest_list =
      " select distinct " + Joined(family.columns, "a.") + " from " + family.table +
      " a inner join " + " (select   " + kc + ",fname,max(" + id + ") " + id + " from " +
      family.table + " where " + kc + "=" + k + " and " + id + ">0" + family.partition + " " +
      " group by " + kc + ",fname) b on a." + kc + "=b." + kc + " and  a.fname=b.fname and  a." +
      id + "=b." + id + family.joinPartition + " ";

  auto rows = RunUntilFound(context, {user_list});
  if (rows->Eof()) {
    const std::int32_t user_id = context.UserID();
    const std::string user_name = context.UserName();
    copy(context.ConnectionPtr(), user_id, user_name);
    rows = RunUntilFound(context, {user_list, manager_list});
  }
  if (rows->Eof()) rows = context.Connection().Execute(newest_list);

  auto result = std::make_shared<Dictionary>();
  auto list = std::make_shared<Vector>();
  for (; !rows->Eof(); rows->MoveNext()) list->Add(store::RowToDictionary(*rows));
  result->SetObject("Data", list);
  result->SetValue("Option",
                   ReadSettingsText(context, "select fdata from " + family.table + " where " + kc +
                                                 "=" + k + " and " + id + "=0" + family.partition));
  return result;
}

}  // namespace bills

namespace {

// May copy the manager's templates: completes at its end, and its unit of
// work begins as a writing one so that concurrent first calls for one user
// wait for each other instead of copying twice.
constexpr component::MethodConvention kConvention{.writes = true};

bills::CatalogueFamily BillCatalogue(const std::string& table, const std::string& partition,
                                     const std::string& joinPartition) {
  return {table,       {"fbilltype", "fname", "fbillid", "fbilltypesub", "fsel"},
          "fbilltype", "fbillid",
          partition,   joinPartition};
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetNoteInfo(const std::string& sDsn,
                                                            std::int32_t classTypeId) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        return bills::ReadCatalogue(
            context, BillCatalogue("T_PrintExport", "", ""), classTypeId,
            [&](const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
                const std::string& name) { CopyManagerNoteInfo(cn, classTypeId, user, name); });
      });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetNoteInfo(const std::string& sDsn,
                                                              std::int32_t classTypeId,
                                                              std::int32_t dataFrom) {
  const std::string d = std::to_string(dataFrom);
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        return bills::ReadCatalogue(
            context,
            BillCatalogue("T_PrintExportLM", " AND FDataFrom = " + d, " AND a.FDataFrom = " + d),
            classTypeId,
            [&](const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
                const std::string& name) {
              CopyManagerNoteInfo(cn, classTypeId, user, name, dataFrom);
            });
      });
}

}  // namespace orvo
