// UpdateNoteRow of the standard and the partitioned update class: replaces
// the body of every template of a bill type (of one name, when a name is
// given), whoever created them, and records the calling user as their last
// modifier. A bill type without templates is left as it is.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

Variant ReplaceBodies(PrintSetupObject& self, const std::string& sDsn, const bills::NoteRows& rows,
                      std::int32_t type, const Variant& fNoteBlob, const std::string& sNoteName) {
  return component::MethodFrame::Run(
      self, bills::kWriting, sDsn, [&](component::MethodContext& context) {
        const std::string user_name = context.UserName();
        const char* table = rows.family.noteTable;
        // Whether the type has a template at all; names and creators play no part.
        const auto any =
            context.Connection().Execute(std::string("Select top 1 FId From ") + table +
                                         " Where FNewBillType=" + std::to_string(type) +
                                         rows.Partition() + rows.IfPartitioned(" "));
        if (any->Eof()) return Variant();

        ado::Command command;
        command.ActiveConnection = context.ConnectionPtr();
        command.CommandType = ado::adCmdText;
        command.CommandText = std::string("Update ") + table +
                              " Set FModifierName=?,FModifyDate=? ,FData=? Where FNewBillType=? " +
                              (sNoteName.empty() ? "" : " AND FName = ? ") +
                              rows.IfPartitioned("AND FDataFrom =? ");
        bills::AppendInput(command, ado::adVarChar, rows.family.userNameSize, user_name);
        bills::AppendInput(command, ado::adDate, 0, Date::Now());
        bills::AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob);
        bills::AppendInput(command, ado::adVarChar, 20, type);
        if (!sNoteName.empty()) bills::AppendInput(command, ado::adVarChar, 510, sNoteName);
        rows.AppendPartition(command);
        command.Execute();
        return Variant();
      });
}

}  // namespace

Variant clsPrintSetupUpdate::UpdateNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                           const Variant& fNoteBlob, const std::string& sNoteName) {
  return ReplaceBodies(*this, sDsn, {bills::kBillFamily}, fClassType, fNoteBlob, sNoteName);
}

Variant clsPrintSetupUpdateLM::UpdateNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                             const Variant& fNoteBlob, std::int32_t dataFrom,
                                             const std::string& sNoteName) {
  return ReplaceBodies(*this, sDsn, {bills::kPartitionedBillFamily, dataFrom}, fClassType,
                       fNoteBlob, sNoteName);
}

}  // namespace orvo
