// SavePageAndPrintSet of the standard and the partitioned update class:
// stores the calling user's page and print settings of a bill type in the
// user's settings row. A user without one gets a new row whose option text is
// taken from the manager user's settings row of the bill type.

#include "families/owner_chain.hpp"
#include "families/template_writes.hpp"
#include "families/text_command.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// The host decides what the call's work means: the method never votes
// Complete, only Abort when it fails.
constexpr component::MethodConvention kConvention{.completeAtEnd = false, .writes = true};

struct SettingsStatements {
  std::string_view userRow;      // the user's settings row ({user})
  std::string_view managerData;  // the manager user's option text ({manager})
  std::string_view insert;
  std::string_view update;  // every settings row of the user and type
  bool partitioned;         // insert and update take the partition as their last value
};

constexpr SettingsStatements kStandard{
    .userRow =
        "Select  * From T_PrintExport Where FBillId=0 And FBillType={type} And "
        "FPreparerId={user}",
    .managerData =
        "Select  FData From T_PrintExport Where FBillId=0 And FBillType={type} And "
        "FPreparerId={manager}",
    .insert =
        "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,"
        "FData)  Values(?,?,?,?,?,?,?)",
    .update =
        "Update T_PrintExport Set FPrintSet=? Where  FbillId=0 And FBillType=? And "
        "FPreparerId=?",
    .partitioned = false};

// Note the two spellings of the partition: " AND FDataFrom = " in the
// selects, " AND FDataFrom=?" in the update.
constexpr SettingsStatements kPartitioned{
    .userRow =
        "Select  * From T_PrintExportLM Where FBillId=0 And FBillType={type} AND "
        "FDataFrom = {dataFrom} And FPreparerId={user}",
    .managerData =
        "Select  FData From T_PrintExportLM Where FBillId=0 And FBillType={type} AND "
        "FDataFrom = {dataFrom} And FPreparerId={manager}",
    .insert =
        "Insert Into T_PrintExportLM (FBillId,FBillType,FPreparerId,FDate,FName,FPrintSet,"
        "FData,FDataFrom)  Values(?,?,?,?,?,?,?,?)",
    .update =
        "Update T_PrintExportLM Set FPrintSet=? Where  FbillId=0 And FBillType=? And "
        "FPreparerId=? AND FDataFrom=?",
    .partitioned = true};

void SaveSettings(PrintSetupObject& self, const std::string& sDsn,
                  const SettingsStatements& statements, const std::vector<families::Hole>& holes,
                  std::int32_t type, const Variant& printSetValue) {
  component::MethodFrame::Run(self, kConvention, sDsn, [&](component::MethodContext& context) {
    const bool has_row = !families::RunOwned(context, statements.userRow, holes).Eof();
    // The parameters are appended first and given their values afterwards,
    // by position; the partition alone comes with its value.
    if (!has_row) {
      auto manager = families::RunOwned(context, statements.managerData, holes);
      // A manager's row whose option text is Null fails here, before anything is written.
      const std::string seed = manager.Eof() ? "" : CStr(manager.Fields("FData").Value());
      families::TextCommand insert(context.ConnectionPtr(), std::string(statements.insert));
      insert.Input(ado::adInteger, 0, Variant())
          .Input(ado::adInteger, 0, Variant())
          .Input(ado::adInteger, 0, Variant())
          .Input(ado::adDate, 0, Variant())
          .Input(ado::adVarChar, 255, Variant())
          .Input(ado::adLongVarBinary, ado::kLongBinarySize, Variant())
          .Input(ado::adVarChar, 255, Variant());
      if (statements.partitioned) insert.Partition(holes);
      ado::Parameters& parameters = insert.Parameters();
      parameters(0).Value = 0;
      parameters(1).Value = type;
      parameters(2).Value = static_cast<std::int32_t>(context.UserID());
      parameters(3).Value = Date::Now();
      parameters(4).Value = std::string(families::kSettingsRowName);
      parameters(5).Value = printSetValue;
      parameters(6).Value = seed;
      insert.Execute();
    } else {
      // Nothing else of the rows changes.
      families::TextCommand update(context.ConnectionPtr(), std::string(statements.update));
      update.Input(ado::adLongVarBinary, ado::kLongBinarySize, Variant())
          .Input(ado::adInteger, 0, Variant())
          .Input(ado::adInteger, 0, Variant());
      if (statements.partitioned) update.Partition(holes);
      ado::Parameters& parameters = update.Parameters();
      parameters(0).Value = printSetValue;
      parameters(1).Value = type;
      parameters(2).Value = static_cast<std::int32_t>(context.UserID());
      update.Execute();
    }
  });
}

}  // namespace

void clsPrintSetupUpdate::SavePageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                                              const Variant& printSetValue) {
  SaveSettings(*this, sDsn, kStandard, {{"type", fClassTypeId}}, fClassTypeId, printSetValue);
}

void clsPrintSetupUpdateLM::SavePageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                                                const Variant& printSetValue,
                                                std::int32_t dataFrom) {
  SaveSettings(*this, sDsn, kPartitioned, {{"type", fClassTypeId}, {"dataFrom", dataFrom}},
               fClassTypeId, printSetValue);
}

}  // namespace orvo
