// SaveNewBill of the standard and the partitioned update class: stores a
// named template of a bill type under the creator "Manager", whoever calls.
// Templates of that name and type already stored get the new body and dates,
// whoever created them; otherwise one template is added. No assignment row is
// written.

#include "families/template_writes.hpp"
#include "families/text_command.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

struct SaveStatements {
  std::string_view lookup;  // the templates of {type} and {name}
  std::string_view insert;
  std::int32_t creatorSize;  // characters of the creator parameter
  std::string_view update;
  bool partitioned;  // insert and update take the partition as their last value
};

constexpr SaveStatements kStandard{
    .lookup = "Select FId From T_PrintExportNote Where FNewBillType={type} And FName='{name}'",
    .insert =
        "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FNewBillType,"
        "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?)",
    .creatorSize = 30,
    .update =
        "Update T_PrintExportNote Set FCreateDate=?,FModifyDate=?,FData=? Where "
        "FNewBillType=? And FName=?",
    .partitioned = false};

constexpr SaveStatements kPartitioned{
    .lookup =
        "Select FId From T_PrintExportNoteLM Where FNewBillType={type} AND FDataFrom = "
        "{dataFrom} And FName='{name}'",
    .insert =
        "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FNewBillType,"
        "FCreateDate,FModifyDate,FData,FDataFrom) Values(?,?,?,?,?,?,?,?)",
    .creatorSize = 20,
    .update =
        "Update T_PrintExportNoteLM Set FCreateDate=?,FModifyDate=?,FData=? Where "
        "FNewBillType=? And FName=? AND FDataFrom=?",
    .partitioned = true};

bool SaveAsManager(PrintSetupObject& self, const std::string& sDsn,
                   const SaveStatements& statements, const std::vector<families::Hole>& holes,
                   std::int32_t type, const std::shared_ptr<Dictionary>& dctData) {
  // Read before the data source is opened; an empty dictionary stores a
  // template with the empty name and no body.
  std::string name;
  Variant body;
  const auto read_data = [&] {
    const Dictionary& data = families::Required(dctData);
    if (data.Count() > 0) {
      name = CStr(data.Value("fNoteName"));
      body = data.Value("FNoteBlob");
    }
  };
  return component::MethodFrame::Run(
      self, families::kWriting, sDsn, read_data, [&](component::MethodContext& context) {
        const auto existing = context.Connection().Execute(families::FilledStatement(
            statements.lookup, families::With(holes, {{"name", families::Quoted{name}}})));
        if (existing->Eof()) {
          families::TextCommand insert(context.ConnectionPtr(), std::string(statements.insert));
          families::AppendNewTemplate(insert, {.name = name,
                                               .screenId = std::to_string(type),
                                               .creator = "Manager",
                                               .type = type,
                                               .body = body,
                                               .userNameSize = statements.creatorSize});
          if (statements.partitioned) insert.Partition(holes);
          insert.Execute();
        } else {
          // Every template of the type and name, whoever created it.
          families::TextCommand update(context.ConnectionPtr(), std::string(statements.update));
          update.Input(ado::adDate, 0, Date::Now())
              .Input(ado::adDate, 0, Date::Now())
              .Input(ado::adLongVarBinary, ado::kLongBinarySize, body)
              .Input(ado::adVarChar, 20, type)
              .Input(ado::adVarChar, 255, name);
          if (statements.partitioned) update.Partition(holes);
          update.Execute();
        }
        // Callers learn of success only by the absence of an error.
        return false;
      });
}

}  // namespace

bool clsPrintSetupUpdate::SaveNewBill(const std::string& sDsn, std::int32_t fClassType,
                                      const std::shared_ptr<Dictionary>& dctData) {
  return SaveAsManager(*this, sDsn, kStandard, {{"type", fClassType}}, fClassType, dctData);
}

bool clsPrintSetupUpdateLM::SaveNewBill(const std::string& sDsn, std::int32_t fClassType,
                                        const std::shared_ptr<Dictionary>& dctData,
                                        std::int32_t dataFrom) {
  return SaveAsManager(*this, sDsn, kPartitioned, {{"type", fClassType}, {"dataFrom", dataFrom}},
                       fClassType, dctData);
}

}  // namespace orvo
