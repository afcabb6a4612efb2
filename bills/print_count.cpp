// UpdatePrintCount of the three update classes: adds 1 to a counter column
// of the rows of a business table whose key is in a list, typically to count
// how often documents were printed. The caller names the table, the columns
// and the keys; they are checked before they are placed into the statement.

#include <memory>
#include <string>
#include <string_view>

#include "bills/note_rows.hpp"
#include "bills/sql_names.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// Votes Abort before its statement, so the count is kept only when the
// method completes; its failures carry the help file 64.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Abort,
    .failure = component::MethodConvention::Failure::HelpFile64,
    .writes = true};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a number (an optional sign, digits, an optional decimal part) at
// `pos`; `pos` moves only past what was read.
bool ReadNumber(std::string_view text, std::size_t& pos) {
  std::size_t at = pos;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  const std::size_t digits = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  if (at == digits) return false;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fraction = ++at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    if (at == fraction) return false;
  }
  pos = at;
  return true;
}

// Reads a text between single quotes, its own quotes doubled, at `pos`.
bool ReadQuoted(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '\'') return false;
  for (std::size_t at = pos + 1; at < text.size(); ++at) {
    if (text[at] != '\'') continue;
    if (at + 1 < text.size() && text[at + 1] == '\'') {
      ++at;  // a doubled quote stands for one
      continue;
    }
    pos = at + 1;
    return true;
  }
  return false;
}

// Numbers or quoted texts separated by commas, blanks allowed around each:
// what may stand between the parentheses of an IN list without changing the
// statement.
void RequireIdList(std::string_view argument, std::string_view ids) {
  std::size_t pos = 0;
  for (;;) {
    while (pos < ids.size() && IsBlank(ids[pos])) ++pos;
    if (!ReadNumber(ids, pos) && !ReadQuoted(ids, pos)) break;
    while (pos < ids.size() && IsBlank(ids[pos])) ++pos;
    if (pos == ids.size()) return;
    if (ids[pos] != ',') break;
    ++pos;
  }
  throw RuntimeError(kInvalidProcedureCall,
                     std::string(argument) +
                         " must be numbers or texts between single quotes separated by commas, "
                         "not \"" +
                         std::string(ids) + "\".");
}

void CountPrint(PrintSetupObject& self, const std::string& sDsn,
                const std::shared_ptr<Dictionary>& dctPCData) {
  component::MethodFrame::Run(self, kConvention, sDsn, [&](component::MethodContext& context) {
    const Dictionary& data = bills::Required(dctPCData);
    const std::string table = CStr(data.Value("TableName"));
    const std::string field = CStr(data.Value("FieldName"));
    const std::string key = CStr(data.Value("PriKey"));
    const std::string ids = CStr(data.Value("InterIDs"));
    bills::RequireTableName("TableName", table);
    bills::RequireColumnName("FieldName", field);
    bills::RequireColumnName("PriKey", key);
    RequireIdList("InterIDs", ids);
    context.Connection().Execute("UPDATE " + table + " SET " + field + " = " + field +
                                 " + 1 WHERE " + key + " IN(  " + ids + ")\r\n");
  });
}

}  // namespace

void clsPrintSetupUpdate::UpdatePrintCount(const std::string& sDsn,
                                           const std::shared_ptr<Dictionary>& dctPCData) {
  CountPrint(*this, sDsn, dctPCData);
}

void clsPrintSetupUpdateLM::UpdatePrintCount(const std::string& sDsn,
                                             const std::shared_ptr<Dictionary>& dctPCData) {
  CountPrint(*this, sDsn, dctPCData);
}

void clsPrintSetupUpdateRpt::UpdatePrintCount(const std::string& sDsn,
                                              const std::shared_ptr<Dictionary>& dctPCData) {
  CountPrint(*this, sDsn, dctPCData);
}

}  // namespace orvo
