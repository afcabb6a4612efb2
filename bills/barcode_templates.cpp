// AddBarCodeTemplate and DeleteBarCodeTemplate of the standard and the
// partitioned update class: barcode label templates, kept as rows of the
// assignment table with the label's layout in FPrintSet. A label's name is
// unique within its bill type. The partitioned class keeps its labels in its
// own table but without a partition.

#include <memory>
#include <string>

#include "component/frame.hpp"
#include "families/text_command.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "store/dsn_value.hpp"
#include "store/messages.hpp"

namespace orvo {

namespace {

// The first user-defined object error plus 1984.
constexpr std::int32_t kDuplicateLabel = HResult(0x800407C0u);

// Where one class keeps its labels and how it names itself in error sources.
struct LabelStatements {
  std::string_view duplicateCheck;  // the rows of {name} and {type}
  std::string_view insert;
  std::string_view remove;  // the row {id}
  const char* owner;        // the class as error sources name it
  component::MethodConvention addConvention;
};

// Both write only when they complete: they vote Abort first. AddBarCodeTemplate
// reports its failures under its own name and the line of the failing step,
// and completes at its own line.
constexpr component::MethodConvention AddConvention(const char* source) {
  return {.start = component::MethodConvention::Start::Abort,
          .completeAtEnd = false,
          .failure = component::MethodConvention::Failure::Prefixed,
          .source = source,
          .writes = true};
}
constexpr component::MethodConvention kDeleteConvention{
    .start = component::MethodConvention::Start::Abort, .writes = true};

// The statements break their lines with CR LF.
constexpr LabelStatements kStandardLabels{
    .duplicateCheck =
        "select count(1) as FNoteNumber from T_PrintExport \r\n where FName = "
        "'{name}' \r\n   and FBillType = {type}",
    .insert =
        "Insert Into T_PrintExport( \r\n  FBillType , FBillId , FPreparerId , \r\n  FDate , "
        "FName , FPrintSet   \r\n ) Values(?,?,?,?,?,?)",
    .remove = "Delete T_PrintExport Where FID={id}",
    .owner = "OrvoMClassBillPrint.clsPrintSetupUpdate",
    .addConvention = AddConvention("OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()")};
constexpr LabelStatements kPartitionedLabels{
    .duplicateCheck =
        "select count(1) as FNoteNumber from T_PrintExportLM \r\n where FName = "
        "'{name}' \r\n   and FBillType = {type}",
    .insert =
        "Insert Into T_PrintExportLM( \r\n  FBillType , FBillId , FPreparerId , \r\n  FDate , "
        "FName , FPrintSet   \r\n ) Values(?,?,?,?,?,?)",
    .remove = "Delete T_PrintExportLM Where FID={id}",
    .owner = "OrvoMClassBillPrint.clsPrintSetupUpdateLM",
    .addConvention =
        AddConvention("OrvoMClassBillPrint.clsPrintSetupUpdateLM.AddBarCodeTemplate()")};

// The current local time as the number MMDDHHMMSS.
std::int32_t TimeStamp() {
  const Date::Parts now = Date::Now().ToParts();
  return now.month * 100000000 + now.day * 1000000 + now.hour * 10000 + now.minute * 100 +
         now.second;
}

// Each step marks its line first, as the error source reports them.
std::shared_ptr<Dictionary> AddLabel(PrintSetupObject& self, const LabelStatements& labels,
                                     const std::string& sDsn, std::int32_t fClassType,
                                     const std::string& fNoteName, const Variant& fNoteBlob,
                                     const std::string& sUserId) {
  return component::MethodFrame::Run(
      self, labels.addConvention, sDsn, [&](component::MethodContext& context) {
        context.SetLine(3);
        const families::Hole named[] = {{"name", families::Quoted{fNoteName}},
                                        {"type", fClassType}};
        const families::FilledStatement duplicate_check(labels.duplicateCheck, named);
        context.SetLine(7);
        const auto same_name = context.Connection().Execute(duplicate_check);
        context.SetLine(9);
        if (CLng(same_name->Fields("FNoteNumber").Value()) > 0) {
          context.SetLine(12);
          throw AutomationError(
              kDuplicateLabel, std::string(labels.owner) + "::AddBarCodeTemplate",
              store::FormatMessage("已经存在名为[%1]的条码打印模板！",
                                   store::GetDsnValue(sDsn, "Language"), {Variant(fNoteName)}));
        }
        context.SetLine(13);
        families::TextCommand insert(context.ConnectionPtr(), std::string(labels.insert));
        context.SetLine(14);
        // Not stored, but a label is only added for a caller the host knows.
        context.UserName();
        context.SetLine(19);
        insert.Input(ado::adUnsignedInt, 0, fClassType);
        context.SetLine(20);
        insert.Input(ado::adUnsignedInt, 0, TimeStamp());
        context.SetLine(21);
        insert.Input(ado::adUnsignedInt, 0, Val(sUserId));
        context.SetLine(22);
        insert.Input(ado::adDate, 0, Date::Now());
        context.SetLine(23);
        insert.Input(ado::adVarChar, 255, fNoteName);
        context.SetLine(24);
        insert.Input(ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob);
        context.SetLine(25);
        insert.Execute();
        context.SetLine(29);
        const auto made = families::NewIdentity(context.Connection());
        context.SetLine(30);
        // The id of a label is never Null.
        if (!made) throw RuntimeError(kInvalidUseOfNull);
        const std::int32_t id = *made;
        // Complete comes before the result is built, as its line says.
        context.SetLine(31);
        context.DataContext().Complete();
        context.SetLine(34);
        auto result = std::make_shared<Dictionary>();
        result->SetValue("FID", id);
        result->SetValue("FDataSrcId", fClassType);
        result->SetValue("FLabelName", fNoteName);
        result->SetValue("FValue", fNoteBlob);
        result->SetValue("FUserId", sUserId);
        return result;
      });
}

// Deletes whatever row has the id, a label or not.
bool DeleteLabel(PrintSetupObject& self, const LabelStatements& labels, const std::string& sDsn,
                 std::int32_t FID) {
  return component::MethodFrame::Run(
      self, kDeleteConvention, sDsn, [&](component::MethodContext& context) {
        context.Connection().Execute(families::FilledStatement(labels.remove, {{"id", FID}}));
        return true;
      });
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupUpdate::AddBarCodeTemplate(
    const std::string& sDsn, std::int32_t fClassType, const std::string& fNoteName,
    const Variant& fNoteBlob, const std::string& sUserId, std::int32_t /*sBillId*/,
    const Variant& /*vParam*/) {
  return AddLabel(*this, kStandardLabels, sDsn, fClassType, fNoteName, fNoteBlob, sUserId);
}

std::shared_ptr<Dictionary> clsPrintSetupUpdateLM::AddBarCodeTemplate(
    const std::string& sDsn, std::int32_t fClassType, const std::string& fNoteName,
    const Variant& fNoteBlob, const std::string& sUserId, std::int32_t /*sBillId*/,
    const Variant& /*vParam*/) {
  return AddLabel(*this, kPartitionedLabels, sDsn, fClassType, fNoteName, fNoteBlob, sUserId);
}

bool clsPrintSetupUpdate::DeleteBarCodeTemplate(const std::string& sDsn, std::int32_t FID) {
  return DeleteLabel(*this, kStandardLabels, sDsn, FID);
}

bool clsPrintSetupUpdateLM::DeleteBarCodeTemplate(const std::string& sDsn, std::int32_t FID) {
  return DeleteLabel(*this, kPartitionedLabels, sDsn, FID);
}

}  // namespace orvo
