#include "families/manager_copy.hpp"

#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

namespace {

// The holes given for one statement, after the family's own.
std::span<const Hole> Also(std::initializer_list<Hole> more) {
  return {more.begin(), more.size()};
}

// The template copy: the manager's template as it is, with the user as its
// creator and modifier and the current time as both dates.
void InsertTemplateCopy(const ManagerCopy& family, const std::shared_ptr<ado::Connection>& cn,
                        ado::Recordset& manager, const std::string& userName,
                        const std::vector<Hole>& holes) {
  TextCommand insert(cn, std::string(family.templateInsert));
  AppendNewTemplate(insert, {.name = Text(manager, "FName"),
                             .screenId = Text(manager, "FScreenID"),
                             .creator = userName,
                             .modifier = userName,
                             .type = Text(manager, family.templateType),
                             .body = manager.Fields("FData").Value(),
                             .userNameSize = family.userNameSize});
  if (family.partitioned) insert.Partition(holes);
  insert.Execute();
}

}  // namespace

std::string Text(ado::Recordset& rows, std::string_view column) {
  return CStr(Utility::ValueOrDefault(rows.Fields(column).Value(), ""));
}

void CopyManagerTemplates(const ManagerCopy& family, const std::shared_ptr<ado::Connection>& cn,
                          std::int32_t UserID, const std::string& userName,
                          const std::vector<Hole>& holes, std::int32_t argument) {
  if (!cn) throw RuntimeError(kObjectNotSet);
  auto rows =
      cn->Execute(FilledStatement(family.managerRows, holes, Also({{"manager", kManagerUser}})));
  for (; !rows->Eof(); rows->MoveNext()) {
    std::string id = Text(*rows, family.idColumn);
    if (Val(id) != 0) {
      const auto note = cn->Execute(
          FilledStatement(family.templateRow, holes, Also({{"id", Verbatim{CStr(Val(id))}}})));
      if (note->Eof()) {
        // Not an error: the user still gets the row, pointing where the manager's does.
        family.reportMissingTemplate("当前单据（" + Text(*rows, "FName") + "）对应用户（" +
                                     userName + "）的套打模板数据不存在！");
      } else {
        InsertTemplateCopy(family, cn, *note, userName, holes);
        if (const auto made = NewIdentity(*cn)) id = std::to_string(*made);
      }
    }
    const auto existing =
        cn->Execute(FilledStatement(family.existingRow, holes,
                                    Also({{"key", Verbatim{Text(*rows, family.keyColumn)}},
                                          {"id", Verbatim{id}},
                                          {"userId", UserID}})));
    if (existing->Eof()) {
      TextCommand insert(cn, std::string(family.rowInsert));
      family.rowValues(insert, {*rows, id, UserID, argument});
      insert.Execute();
    }
  }
}

}  // namespace orvo::families
