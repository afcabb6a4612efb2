// CopyManagerNoteInfo of the standard and the partitioned query class, and
// the copy loop that the report classes' CopyRptManagerNoteInfo shares.

#include "bills/copy_manager_notes.hpp"

#include <optional>

#include "orvo/ado/command.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/collections.hpp"
#include "store/debug_log.hpp"

namespace orvo {

namespace bills {

namespace {

// A column of the current row as text, Null as "".
std::string Text(ado::Recordset& rows, const std::string& column) {
  return CStr(Utility::ValueOrDefault(rows.Fields(column).Value(), ""));
}

// What the values of one insert are taken from.
struct CopySources {
  ado::Recordset& row;
  ado::Recordset* note;  // null when no template was copied
  const std::string& id;
  std::int32_t userId;
  const std::string& userName;
  std::int32_t argument;
};

Variant ValueOf(const CopyParameter& parameter, const CopySources& sources) {
  switch (parameter.value) {
    case CopyValue::RowText:
      return Text(sources.row, parameter.column);
    case CopyValue::RowNumber:
      return Val(Text(sources.row, parameter.column));
    case CopyValue::RowAsIs:
      return sources.row.Fields(parameter.column).Value();
    case CopyValue::TemplateText:
      return Text(*sources.note, parameter.column);
    case CopyValue::TemplateAsIs:
      return sources.note->Fields(parameter.column).Value();
    case CopyValue::TemplateId:
      return Val(sources.id);
    case CopyValue::UserId:
      return sources.userId;
    case CopyValue::UserName:
      return sources.userName;
    case CopyValue::Now:
      return Date::Now();
    case CopyValue::Argument:
      return sources.argument;
  }
  throw RuntimeError(kInvalidProcedureCall);
}

// Runs `text` as a command of its own on `cn`, its parameters created in
// order with the empty name and their values.
void Insert(const std::shared_ptr<ado::Connection>& cn, const std::string& text,
            const std::vector<CopyParameter>& parameters, const CopySources& sources) {
  ado::Command command;
  command.ActiveConnection = cn;
  command.CommandType = ado::adCmdText;
  command.CommandText = text;
  for (const CopyParameter& parameter : parameters) {
    command.GetParameters().Append(command.CreateParameter(
        "", parameter.type, ado::adParamInput, parameter.size, ValueOf(parameter, sources)));
  }
  command.Execute();
  command.ActiveConnection = nullptr;
}

}  // namespace

void CopyManagerTemplates(const ManagerCopyFamily& family,
                          const std::shared_ptr<ado::Connection>& cn, std::int32_t UserID,
                          const std::string& userName, std::int32_t argument) {
  if (!cn) throw RuntimeError(kObjectNotSet);
  auto rows = cn->Execute(family.managerRows);
  for (; !rows->Eof(); rows->MoveNext()) {
    std::string id = Text(*rows, family.idColumn);
    std::shared_ptr<ado::Recordset> note;
    if (Val(id) != 0) {
      note = cn->Execute(family.templateHead + CStr(Val(id)) + family.templateTail);
      if (note->Eof()) {
        // Not an error: the user still gets the row, pointing where the manager's does.
        family.reportMissingTemplate("当前单据（" + Text(*rows, "FName") + "）对应用户（" +
                                     userName + "）的套打模板数据不存在！");
        note.reset();
      } else {
        Insert(cn, family.templateInsert, family.templateParameters,
               {*rows, note.get(), id, UserID, userName, argument});
        auto identity = cn->Execute("select @@IDENTITY");
        const Variant made = identity->Fields(0).Value();
        if (!made.IsNull()) id = CStr(made);
      }
    }
    auto existing =
        cn->Execute(family.duplicateHead + Text(*rows, family.keyColumn) + family.duplicateId + id +
                    family.duplicateTail + " and FPreParerID=" + std::to_string(UserID));
    if (existing->Eof()) {
      Insert(cn, family.rowInsert, family.rowParameters,
             {*rows, note.get(), id, UserID, userName, argument});
    }
  }
}

std::vector<CopyParameter> TemplateCopyParameters(const char* newTypeColumn,
                                                  std::int32_t nameSize) {
  return {{CopyValue::TemplateText, "FName", ado::adVarChar, 255},
          {CopyValue::TemplateText, "FScreenID", ado::adVarChar, 20},
          {CopyValue::UserName, nullptr, ado::adVarChar, nameSize},
          {CopyValue::UserName, nullptr, ado::adVarChar, nameSize},
          {CopyValue::TemplateText, newTypeColumn, ado::adVarChar, 20},
          {CopyValue::Now, nullptr, ado::adDate, 0},
          {CopyValue::Now, nullptr, ado::adDate, 0},
          {CopyValue::TemplateAsIs, "FData", ado::adLongVarBinary, ado::kLongBinarySize}};
}

}  // namespace bills

namespace {

// With `dataFrom`, the partitioned family: every statement and insert names
// the partition.
bills::ManagerCopyFamily BillCopy(std::int32_t classTypeId, std::optional<std::int32_t> dataFrom) {
  using bills::CopyValue;
  const std::string suffix = dataFrom ? "LM" : "";
  const std::string partition = dataFrom ? " AND FDataFrom = " + std::to_string(*dataFrom) : "";
  std::vector<bills::CopyParameter> template_parameters =
      bills::TemplateCopyParameters("FNewBillType", 30);
  std::vector<bills::CopyParameter> row_parameters{
      {CopyValue::TemplateId, nullptr, ado::adInteger, 0},
      {CopyValue::RowNumber, "FBillType", ado::adInteger, 0},
      {CopyValue::UserId, nullptr, ado::adInteger, 0},
      {CopyValue::Now, nullptr, ado::adDate, 0},
      {CopyValue::RowText, "FName", ado::adVarChar, 255},
      {CopyValue::RowText, "FData", ado::adVarChar, 255},
      {CopyValue::RowText, "FBillTypeSub", ado::adVarChar, 255},
      {CopyValue::RowNumber, "FSel", ado::adInteger, 0},
      {CopyValue::RowAsIs, "FPrintSet", ado::adLongVarBinary, ado::kLongBinarySize}};
  if (dataFrom) {
    template_parameters.push_back({CopyValue::Argument, nullptr, ado::adInteger, 0});
    row_parameters.push_back({CopyValue::Argument, nullptr, ado::adInteger, 0});
  }
  return {
      "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel "
      "from T_PrintExport" +
          suffix + " where fbilltype=" + std::to_string(classTypeId) + partition +
          " and FPreparerId=16394",
      "FBillType",
      "FBillId",
      "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
      "FNewBillType from T_PrintExportNote" +
          suffix + " where fid=",
      dataFrom ? partition + " " : "",
      "Insert Into T_PrintExportNote" + suffix +
          "(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,FCreateDate,FModifyDate,FData" +
          (dataFrom ? ",FDataFrom) Values(?,?,?,?,?,?,?,?,?)" : ") Values(?,?,?,?,?,?,?,?)"),
      std::move(template_parameters),
      "select * from T_PrintExport" + suffix + " where fbilltype=",
      " and FBillID=",
      partition,
      "Insert Into T_PrintExport" + suffix +
          " (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,FSel,FPrintSet" +
          (dataFrom ? ",FDataFrom)  Values(?,?,?,?,?,?,?,?,?,?)" : ")  Values(?,?,?,?,?,?,?,?,?)"),
      std::move(row_parameters),
      &store::WriteDebugLog};
}

}  // namespace

void clsPrintSetupQuery::CopyManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                             std::int32_t classTypeId, std::int32_t UserID,
                                             const std::string& userName) {
  bills::CopyManagerTemplates(BillCopy(classTypeId, std::nullopt), cn, UserID, userName, 0);
}

void clsPrintSetupQueryLM::CopyManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                               std::int32_t classTypeId, std::int32_t UserID,
                                               const std::string& userName, std::int32_t dataFrom) {
  bills::CopyManagerTemplates(BillCopy(classTypeId, dataFrom), cn, UserID, userName, dataFrom);
}

}  // namespace orvo
