// SavePageAndPrintSet of the standard and the partitioned update class:
// stores the calling user's page and print settings of a bill type in the
// user's settings row. A user without one gets a new row whose option text is
// taken from the manager user's settings row of the bill type.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// The host decides what the call's work means: the method never votes
// Complete, only Abort when it fails.
constexpr component::MethodConvention kConvention{.completeAtEnd = false, .writes = true};

void SaveSettings(PrintSetupObject& self, const std::string& sDsn, const bills::NoteRows& rows,
                  std::int32_t type, const Variant& printSetValue) {
  component::MethodFrame::Run(self, kConvention, sDsn, [&](component::MethodContext& context) {
    ado::Connection& connection = context.Connection();
    const std::string table = rows.family.rowTable;
    const std::string settings_row = " Where FBillId=0 And FBillType=" + std::to_string(type) +
                                     rows.Partition() + " And FPreparerId=";
    const bool has_row =
        !connection
             .Execute("Select  * From " + table + settings_row + std::to_string(context.UserID()))
             ->Eof();

    ado::Command command;
    command.ActiveConnection = context.ConnectionPtr();
    ado::Parameters& parameters = command.GetParameters();
    if (!has_row) {
      const auto manager =
          connection.Execute("Select  FData From " + table + settings_row + "16394");
      // A manager's row whose option text is Null fails here, before anything is written.
      const std::string seed = manager->Eof() ? "" : CStr(manager->Fields("FData").Value());
      command.CommandText = "Insert Into " + table +
                            " (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,FData" +
                            rows.IfPartitioned(",FDataFrom") + ")  Values(?,?,?,?,?,?,?" +
                            rows.IfPartitioned(",?") + ")";
      bills::AppendInput(command, ado::adInteger, 0, Variant());
      bills::AppendInput(command, ado::adInteger, 0, Variant());
      bills::AppendInput(command, ado::adInteger, 0, Variant());
      bills::AppendInput(command, ado::adDate, 0, Variant());
      bills::AppendInput(command, ado::adVarChar, 255, Variant());
      bills::AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, Variant());
      bills::AppendInput(command, ado::adVarChar, 255, Variant());
      rows.AppendPartition(command);
      parameters(0).Value = 0;
      parameters(1).Value = type;
      parameters(2).Value = static_cast<std::int32_t>(context.UserID());
      parameters(3).Value = Date::Now();
      parameters(4).Value = bills::kSettingsRowName;
      parameters(5).Value = printSetValue;
      parameters(6).Value = seed;
    } else {
      // Every settings row of the user and type gets the settings; nothing
      // else of them changes.
      command.CommandText = "Update " + table +
                            " Set FPrintSet=? Where  FbillId=0 And FBillType=? And FPreparerId=?" +
                            rows.IfPartitioned(" AND FDataFrom=?");
      bills::AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, Variant());
      bills::AppendInput(command, ado::adInteger, 0, Variant());
      bills::AppendInput(command, ado::adInteger, 0, Variant());
      rows.AppendPartition(command);
      parameters(0).Value = printSetValue;
      parameters(1).Value = type;
      parameters(2).Value = static_cast<std::int32_t>(context.UserID());
    }
    command.Execute();
  });
}

}  // namespace

void clsPrintSetupUpdate::SavePageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                                              const Variant& printSetValue) {
  SaveSettings(*this, sDsn, {bills::kBillFamily}, fClassTypeId, printSetValue);
}

void clsPrintSetupUpdateLM::SavePageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                                                const Variant& printSetValue,
                                                std::int32_t dataFrom) {
  SaveSettings(*this, sDsn, {bills::kPartitionedBillFamily, dataFrom}, fClassTypeId, printSetValue);
}

}  // namespace orvo
