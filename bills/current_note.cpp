// GetCurrNote of the standard and the partitioned query class: the templates
// assigned to the calling user for one bill type, with the global
// "SaveByUser" number and the bill type's set of key and value pairs. The
// user's own rows only; there is no fallback to the manager user.

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "ado/columns_read.hpp"
#include "families/owner_chain.hpp"
#include "families/print_data.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

struct CurrentNoteStatements {
  std::string_view assignments;  // the calling user's assignment rows ({user})
  std::string_view saveByUser;   // the global row
  std::string_view billTypeSet;  // the bill type's set of key and value pairs
};

// Two blanks stand before the first "Where".
constexpr CurrentNoteStatements kStandard{
    .assignments =
        "Select * From T_PrintExport  Where FBillId>0 And FBillType={type} And "
        "FPreparerId={user}",
    .saveByUser =
        "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and "
        "FName='SaveByUser'",
    .billTypeSet = "SELECT FData From T_PrintExport Where FBillType={type} and FBillId =-1"};

constexpr CurrentNoteStatements kPartitioned{
    .assignments =
        "Select * From T_PrintExportLM  Where FBillId>0 And FBillType={type} AND "
        "FDataFrom = {dataFrom} And FPreparerId={user}",
    .saveByUser =
        "SELECT FData From T_PrintExportLM Where FBillType=0 and FBillId =0 AND "
        "FDataFrom = {dataFrom} and FName='SaveByUser'",
    .billTypeSet =
        "SELECT FData From T_PrintExportLM Where FBillType={type} AND FDataFrom = "
        "{dataFrom} and FBillId =-1"};

// "A,1|B,2|" holds the pairs A=1 and B=2: pieces joined by "|", each a key, a
// comma and a value. Empty pieces are skipped, parts after the value are
// ignored, and a piece without a comma has no value to store (9).
std::shared_ptr<Dictionary> BillTypeSet(std::string_view list) {
  auto set = std::make_shared<Dictionary>();
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t bar = std::min(list.find('|', start), list.size());
    const std::string_view piece = list.substr(start, bar - start);
    start = bar + 1;
    if (piece.empty()) continue;
    const std::size_t comma = piece.find(',');
    if (comma == std::string_view::npos) throw RuntimeError(kSubscriptOutOfRange);
    const std::string_view value = piece.substr(comma + 1);
    set->SetValue(piece.substr(0, comma), Variant(value.substr(0, value.find(','))));
  }
  return set;
}

// What is read of an assignment row: the statement selects all of it.
constexpr std::string_view kBillId = "FBillId";
constexpr std::string_view kBillType = "FBillType";
constexpr std::string_view kName = "fname";
constexpr std::string_view kData = "fData";
const ado::ColumnsRead kAssignmentRead{kBillId, kBillType, kName, kData};

std::shared_ptr<Dictionary> ReadCurrentNote(component::MethodContext& context,
                                            const CurrentNoteStatements& statements,
                                            std::span<const families::Hole> holes) {
  ado::Connection& connection = context.Connection();
  auto result = std::make_shared<Dictionary>();
  {
    ado::Recordset rows =
        families::RunOwned(context, statements.assignments, holes, 0, &kAssignmentRead);
    if (!rows.Eof()) {
      // Looked up once: a field reads whichever row is current.
      const ado::Field billId = rows.Fields(kBillId);
      const ado::Field billType = rows.Fields(kBillType);
      const ado::Field name = rows.Fields(kName);
      const ado::Field data = rows.Fields(kData);
      do {
        const std::int32_t bill_id = CLng(billId.Value());
        const std::int32_t bill_type = CLng(billType.Value());
        // Built in place: a list of initial values would be copied once more.
        std::vector<Variant> entry;
        entry.reserve(4);
        entry.emplace_back(bill_id);
        entry.emplace_back(bill_type);
        entry.emplace_back(CStr(name.Value()));
        entry.push_back(data.Value());
        result->SetObject(families::EntryKey(bill_type, bill_id).Text(),
                          std::make_shared<Vector>(std::move(entry)));
        rows.MoveNext();
      } while (!rows.Eof());
    }
  }

  // Of the global row and the bill type's set, the first row counts.
  ado::Recordset saveByUser =
      connection.Read(families::FilledStatement(statements.saveByUser, holes), 1);
  result->SetValue("SaveByUser", saveByUser.Eof()
                                     ? Variant(std::int16_t{1})
                                     : Variant(CLng(saveByUser.Fields("FData").Value())));

  ado::Recordset set = connection.Read(families::FilledStatement(statements.billTypeSet, holes), 1);
  std::string list;
  if (!set.Eof()) list = CStr(Utility::ValueOrDefault(set.Fields(0).Value(), ""));
  result->SetObject("BillTypeSet", BillTypeSet(list));
  return result;
}

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetCurrNote(const std::string& sDsn,
                                                            std::int32_t fClssTypeId) {
  return component::MethodFrame::Run(*this, kConvention, sDsn,
                                     [&](component::MethodContext& context) {
                                       const families::Hole holes[] = {{"type", fClssTypeId}};
                                       return ReadCurrentNote(context, kStandard, holes);
                                     });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetCurrNote(const std::string& sDsn,
                                                              std::int32_t fClssTypeId,
                                                              std::int32_t dataFrom) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"type", fClssTypeId}, {"dataFrom", dataFrom}};
        return ReadCurrentNote(context, kPartitioned, holes);
      });
}

}  // namespace orvo
