// AddBarCodeTemplate and DeleteBarCodeTemplate of the standard and the
// partitioned update class: barcode label templates, kept as rows of the
// assignment table with the label's layout in FPrintSet. A label's name is
// unique within its bill type. The partitioned class keeps its labels in its
// own table but without a partition.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "component/sql_text.hpp"
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
struct LabelTable {
  const char* table;
  const char* owner;  // the class as error sources name it
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

constexpr LabelTable kStandardLabels{
    "T_PrintExport", "OrvoMClassBillPrint.clsPrintSetupUpdate",
    AddConvention("OrvoMClassBillPrint.clsPrintSetupUpdate.AddBarCodeTemplate()")};
constexpr LabelTable kPartitionedLabels{
    "T_PrintExportLM", "OrvoMClassBillPrint.clsPrintSetupUpdateLM",
    AddConvention("OrvoMClassBillPrint.clsPrintSetupUpdateLM.AddBarCodeTemplate()")};

// The current local time as the number MMDDHHMMSS.
std::int32_t TimeStamp() {
  const Date::Parts now = Date::Now().ToParts();
  return now.month * 100000000 + now.day * 1000000 + now.hour * 10000 + now.minute * 100 +
         now.second;
}

// Each step marks its line first, as the error source reports them.
std::shared_ptr<Dictionary> AddLabel(PrintSetupObject& self, const LabelTable& labels,
                                     const std::string& sDsn, std::int32_t fClassType,
                                     const std::string& fNoteName, const Variant& fNoteBlob,
                                     const std::string& sUserId) {
  return component::MethodFrame::Run(
      self, labels.addConvention, sDsn, [&](component::MethodContext& context) {
        context.SetLine(3);
        const std::string duplicate_check =
            std::string("select count(1) as FNoteNumber from ") + labels.table +
            " \r\n where FName = '" + component::QuotesDoubled(fNoteName) +
            "' \r\n   and FBillType = " + std::to_string(fClassType);
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
        ado::Command command;
        context.SetLine(14);
        // Not stored, but a label is only added for a caller the host knows.
        context.UserName();
        context.SetLine(15);
        command.ActiveConnection = context.ConnectionPtr();
        command.CommandType = ado::adCmdText;
        context.SetLine(18);
        command.CommandText = std::string("Insert Into ") + labels.table +
                              "( \r\n  FBillType , FBillId , FPreparerId , \r\n  FDate , FName , "
                              "FPrintSet   \r\n ) Values(?,?,?,?,?,?)";
        context.SetLine(19);
        bills::AppendInput(command, ado::adUnsignedInt, 0, fClassType);
        context.SetLine(20);
        bills::AppendInput(command, ado::adUnsignedInt, 0, TimeStamp());
        context.SetLine(21);
        bills::AppendInput(command, ado::adUnsignedInt, 0, Val(sUserId));
        context.SetLine(22);
        bills::AppendInput(command, ado::adDate, 0, Date::Now());
        context.SetLine(23);
        bills::AppendInput(command, ado::adVarChar, 255, fNoteName);
        context.SetLine(24);
        bills::AppendInput(command, ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob);
        context.SetLine(25);
        command.Execute();
        context.SetLine(29);
        const auto identity = context.Connection().Execute("select @@IDENTITY");
        context.SetLine(30);
        const std::int32_t id = CLng(identity->Fields(0).Value());
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
bool DeleteLabel(PrintSetupObject& self, const LabelTable& labels, const std::string& sDsn,
                 std::int32_t FID) {
  return component::MethodFrame::Run(
      self, kDeleteConvention, sDsn, [&](component::MethodContext& context) {
        context.Connection().Execute(std::string("Delete ") + labels.table +
                                     " Where FID=" + std::to_string(FID));
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
