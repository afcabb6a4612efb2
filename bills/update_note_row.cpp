// UpdateNoteRow of the standard and the partitioned update class: replaces
// the body of every template of a bill type (of one name, when a name is
// given), whoever created them, and records the calling user as their last
// modifier. A bill type without templates is left as it is.

#include "families/template_writes.hpp"
#include "families/text_command.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

struct ReplaceStatements {
  std::string_view any;           // whether the bill type has a template at all
  std::string_view update;        // every template of the type
  std::string_view updateOfName;  // those of one name
  std::int32_t modifierSize;      // characters of the modifier parameter
  bool partitioned;               // the updates take the partition as their last value
};

constexpr ReplaceStatements kStandard{
    .any = "Select top 1 FId From T_PrintExportNote Where FNewBillType={type}",
    .update =
        "Update T_PrintExportNote Set FModifierName=?,FModifyDate=? ,FData=? Where "
        "FNewBillType=? ",
    .updateOfName =
        "Update T_PrintExportNote Set FModifierName=?,FModifyDate=? ,FData=? Where "
        "FNewBillType=?  AND FName = ? ",
    .modifierSize = 30,
    .partitioned = false};

constexpr ReplaceStatements kPartitioned{
    .any =
        "Select top 1 FId From T_PrintExportNoteLM Where FNewBillType={type} AND FDataFrom = "
        "{dataFrom} ",
    .update =
        "Update T_PrintExportNoteLM Set FModifierName=?,FModifyDate=? ,FData=? Where "
        "FNewBillType=? AND FDataFrom =? ",
    .updateOfName =
        "Update T_PrintExportNoteLM Set FModifierName=?,FModifyDate=? ,FData=? Where "
        "FNewBillType=?  AND FName = ? AND FDataFrom =? ",
    .modifierSize = 20,
    .partitioned = true};

Variant ReplaceBodies(PrintSetupObject& self, const std::string& sDsn,
                      const ReplaceStatements& statements, const std::vector<families::Hole>& holes,
                      std::int32_t type, const Variant& fNoteBlob, const std::string& sNoteName) {
  return component::MethodFrame::Run(
      self, families::kWriting, sDsn, [&](component::MethodContext& context) {
        const std::string user_name = context.UserName();
        // Names and creators play no part in whether there is one.
        if (context.Connection().Execute(families::FilledStatement(statements.any, holes))->Eof()) {
          return Variant();
        }
        families::TextCommand update(
            context.ConnectionPtr(),
            std::string(sNoteName.empty() ? statements.update : statements.updateOfName));
        update.Input(ado::adVarChar, statements.modifierSize, user_name)
            .Input(ado::adDate, 0, Date::Now())
            .Input(ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob)
            .Input(ado::adVarChar, 20, type);
        if (!sNoteName.empty()) update.Input(ado::adVarChar, 510, sNoteName);
        if (statements.partitioned) update.Partition(holes);
        update.Execute();
        return Variant();
      });
}

}  // namespace

Variant clsPrintSetupUpdate::UpdateNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                           const Variant& fNoteBlob, const std::string& sNoteName) {
  return ReplaceBodies(*this, sDsn, kStandard, {{"type", fClassType}}, fClassType, fNoteBlob,
                       sNoteName);
}

Variant clsPrintSetupUpdateLM::UpdateNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                             const Variant& fNoteBlob, std::int32_t dataFrom,
                                             const std::string& sNoteName) {
  return ReplaceBodies(*this, sDsn, kPartitioned, {{"type", fClassType}, {"dataFrom", dataFrom}},
                       fClassType, fNoteBlob, sNoteName);
}

}  // namespace orvo
