#include "bills/note_rows.hpp"

#include "component/sql_text.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::bills {

const NoteFamily kBillFamily{.rowTable = "T_PrintExport",
                             .noteTable = "T_PrintExportNote",
                             .noteType = "FNewBillType",
                             .rowType = "FBillType",
                             .choiceType = "fbilltype",
                             .rowLink = "FBillID",
                             .deleteLink = "FBillId",
                             .subType = "Fbilltypesub",
                             .selAfterSub = "',FSel=",
                             .userNameSize = 30};

// The partitioned tables have the standard ones' columns, and keep their user
// names in 20 characters.
const NoteFamily kPartitionedBillFamily = [] {
  NoteFamily family = kBillFamily;
  family.rowTable = "T_PrintExportLM";
  family.noteTable = "T_PrintExportNoteLM";
  family.userNameSize = 20;
  return family;
}();

const NoteFamily kReportFamily{.rowTable = "T_RptExcelPrintExport",
                               .noteTable = "T_RptExcelPrintExportNote",
                               .noteType = "FNewRptId",
                               .rowType = "FRptId",
                               .choiceType = "FRptId",
                               .rowLink = "FNoteId",
                               .deleteLink = "FNoteId",
                               .subType = "FTypeSub",
                               .selAfterSub = "', FSel=",
                               .userNameSize = 30};

std::string NoteRows::Partition() const {
  return dataFrom ? " AND FDataFrom = " + std::to_string(*dataFrom) : std::string();
}

std::string NoteRows::IfPartitioned(std::string_view text) const {
  return dataFrom ? std::string(text) : std::string();
}

std::string NoteRows::PartitionValue() const {
  return dataFrom ? "," + std::to_string(*dataFrom) : std::string();
}

void NoteRows::AppendPartition(ado::Command& command) const {
  // Carried as a double, as the partition's text read back as a number.
  if (dataFrom) AppendInput(command, ado::adInteger, 0, static_cast<double>(*dataFrom));
}

std::string NoteRows::RowInsert(std::int32_t type, std::int32_t link, std::string_view name,
                                std::int32_t user, std::string_view data) const {
  const std::string sub_column = emptySubType ? std::string(",") + family.subType : "";
  return std::string("insert into ") + family.rowTable + " (" + family.rowType + "," +
         family.rowLink + ",FDate,FName,FSel,FPreParerID,FData" + IfPartitioned(",FDataFrom") +
         sub_column + ") values (" + std::to_string(type) + "," + std::to_string(link) + ",'" +
         Date::Now().ShortText() + "','" + component::QuotesDoubled(name) + "',0," +
         std::to_string(user) + ",'" + component::QuotesDoubled(data) + "'" + PartitionValue() +
         (emptySubType ? ",''" : "") + ")";
}

void AppendInput(ado::Command& command, ado::DataTypeEnum type, std::int32_t size, Variant value) {
  command.GetParameters().Append(
      command.CreateParameter("", type, ado::adParamInput, size, std::move(value)));
}

const Dictionary& Required(const std::shared_ptr<Dictionary>& dictionary) {
  if (!dictionary) throw RuntimeError(kObjectNotSet);
  return *dictionary;
}

}  // namespace orvo::bills
