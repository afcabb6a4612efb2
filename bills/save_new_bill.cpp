// SaveNewBill of the standard and the partitioned update class: stores a
// named template of a bill type under the creator "Manager", whoever calls.
// Templates of that name and type already stored get the new body and dates,
// whoever created them; otherwise one template is added. No assignment row is
// written.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "component/sql_text.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

bool SaveAsManager(PrintSetupObject& self, const std::string& sDsn, const bills::NoteRows& rows,
                   std::int32_t type, const std::shared_ptr<Dictionary>& dctData) {
  // Read before the data source is opened; an empty dictionary stores a
  // template with the empty name and no body.
  std::string name;
  Variant body;
  const auto read_data = [&] {
    const Dictionary& data = bills::Required(dctData);
    if (data.Count() > 0) {
      name = CStr(data.Value("fNoteName"));
      body = data.Value("FNoteBlob");
    }
  };
  return component::MethodFrame::Run(
      self, bills::kWriting, sDsn, read_data, [&](component::MethodContext& context) {
        const char* table = rows.family.noteTable;
        const auto existing = context.Connection().Execute(
            std::string("Select FId From ") + table +
            " Where FNewBillType=" + std::to_string(type) + rows.Partition() + " And FName='" +
            component::QuotesDoubled(name) + "'");

        ado::Command command;
        command.ActiveConnection = context.ConnectionPtr();
        command.CommandType = ado::adCmdText;
        if (existing->Eof()) {
          command.CommandText = std::string("Insert Into ") + table +
                                "(FName,FScreenId,FCreatorName,FNewBillType,FCreateDate,"
                                "FModifyDate,FData" +
                                rows.IfPartitioned(",FDataFrom") + ") Values(?,?,?,?,?,?,?" +
                                rows.IfPartitioned(",?") + ")";
          bills::AppendInput(command, ado::adVarChar, 255, name);
          bills::AppendInput(command, ado::adVarChar, 20, std::to_string(type));
          bills::AppendInput(command, ado::adVarChar, rows.family.userNameSize, "Manager");
          bills::AppendInput(command, ado::adVarChar, 20, type);
          bills::AppendInput(command, ado::adDate, 0, Date::Now());
          bills::AppendInput(command, ado::adDate, 0, Date::Now());
          bills::AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, body);
        } else {
          command.CommandText =
              std::string("Update ") + table +
              " Set FCreateDate=?,FModifyDate=?,FData=? Where FNewBillType=? And FName=?" +
              rows.IfPartitioned(" AND FDataFrom=?");
          bills::AppendInput(command, ado::adDate, 0, Date::Now());
          bills::AppendInput(command, ado::adDate, 0, Date::Now());
          bills::AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, body);
          bills::AppendInput(command, ado::adVarChar, 20, type);
          bills::AppendInput(command, ado::adVarChar, 255, name);
        }
        rows.AppendPartition(command);
        command.Execute();
        // Callers learn of success only by the absence of an error.
        return false;
      });
}

}  // namespace

bool clsPrintSetupUpdate::SaveNewBill(const std::string& sDsn, std::int32_t fClassType,
                                      const std::shared_ptr<Dictionary>& dctData) {
  return SaveAsManager(*this, sDsn, {bills::kBillFamily}, fClassType, dctData);
}

bool clsPrintSetupUpdateLM::SaveNewBill(const std::string& sDsn, std::int32_t fClassType,
                                        const std::shared_ptr<Dictionary>& dctData,
                                        std::int32_t dataFrom) {
  return SaveAsManager(*this, sDsn, {bills::kPartitionedBillFamily, dataFrom}, fClassType, dctData);
}

}  // namespace orvo
