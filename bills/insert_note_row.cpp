// InsertNoteRow of the standard and the partitioned update class: stores a
// template body for the calling user under a name and a bill type, replacing
// the body of the user's template of that name when there is one, and adds an
// assignment row for it. The report classes' InsertRptNoteRow runs the same
// steps on their own tables.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "component/sql_text.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace bills {

std::shared_ptr<Vector> InsertNoteRow(PrintSetupObject& self, const std::string& sDsn,
                                      const NoteRows& rows, std::int32_t type,
                                      const std::string& fNoteName, const Variant& fNoteBlob) {
  return component::MethodFrame::Run(self, kWriting, sDsn, [&](component::MethodContext& context) {
    const NoteFamily& family = rows.family;
    ado::Connection& connection = context.Connection();
    const std::string type_text = std::to_string(type);
    const std::string user_name = context.UserName();
    // A template is the user's by its creator's name, and of the type by its
    // screen id (not by its bill type).
    auto found = connection.Execute(std::string("select *  from ") + family.noteTable +
                                    " where FCreatorName='" + component::QuotesDoubled(user_name) +
                                    "' and FScreenId='" + type_text + "'" + rows.Partition() +
                                    " and FName='" + component::QuotesDoubled(fNoteName) + "'");

    ado::Command command;
    command.ActiveConnection = context.ConnectionPtr();
    command.CommandType = ado::adCmdText;
    std::int32_t id = 0;
    if (found->Eof()) {
      command.CommandText = std::string("Insert Into ") + family.noteTable +
                            "(FName,FScreenId,FCreatorName,FModifierName," + family.noteType +
                            ",FCreateDate,FModifyDate,FData" + rows.IfPartitioned(",FDataFrom") +
                            ") Values(?,?,?,?,?,?,?,?" + rows.IfPartitioned(",?") + ")";
      AppendInput(command, ado::adVarChar, 255, fNoteName);
      AppendInput(command, ado::adVarChar, 20, type_text);
      AppendInput(command, ado::adVarChar, family.userNameSize, user_name);
      AppendInput(command, ado::adVarChar, family.userNameSize, user_name);
      AppendInput(command, ado::adVarChar, 20, type);
      AppendInput(command, ado::adDate, 0, Date::Now());
      AppendInput(command, ado::adDate, 0, Date::Now());
      AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob);
      rows.AppendPartition(command);
      command.Execute();
      found = connection.Execute("select @@IDENTITY");
      const Variant identity = found->Fields(0).Value();
      id = identity.IsNull() ? 0 : CLng(identity);
    } else {
      // Only the body changes; the template keeps its dates and modifier.
      id = CLng(found->Fields("FID").Value());
      command.CommandText = std::string("Update ") + family.noteTable +
                            " set FData = ?  Where FID=" + std::to_string(id);
      AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob);
      command.Execute();
    }
    command.ActiveConnection = nullptr;
    found->Close();

    connection.Execute(rows.RowInsert(type, id, fNoteName, context.UserID(), ""));
    auto result = std::make_shared<Vector>();
    result->Add(id);
    result->Add(type);
    result->Add(fNoteName);
    result->Add(fNoteBlob);
    return result;
  });
}

}  // namespace bills

std::shared_ptr<Vector> clsPrintSetupUpdate::InsertNoteRow(const std::string& sDsn,
                                                           std::int32_t fClassType,
                                                           const std::string& fNoteName,
                                                           const Variant& fNoteBlob) {
  return bills::InsertNoteRow(*this, sDsn, {bills::kBillFamily}, fClassType, fNoteName, fNoteBlob);
}

std::shared_ptr<Vector> clsPrintSetupUpdateLM::InsertNoteRow(const std::string& sDsn,
                                                             std::int32_t fClassType,
                                                             const std::string& fNoteName,
                                                             const Variant& fNoteBlob,
                                                             std::int32_t dataFrom) {
  return bills::InsertNoteRow(*this, sDsn, {bills::kPartitionedBillFamily, dataFrom}, fClassType,
                              fNoteName, fNoteBlob);
}

}  // namespace orvo
