#include "families/owner_chain.hpp"

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

std::string OwnedStatement(component::MethodContext& context, std::string_view pattern,
                           const std::vector<Hole>& holes) {
  std::vector<Hole> all = holes;
  if (HasHole(pattern, "user")) all.emplace_back("user", context.UserID());
  all.emplace_back("manager", kManagerUser);
  return Fill(pattern, all);
}

std::shared_ptr<ado::Recordset> FirstFound(component::MethodContext& context,
                                           std::span<const std::string_view> chain,
                                           const std::vector<Hole>& holes) {
  std::shared_ptr<ado::Recordset> rows;
  for (const std::string_view pattern : chain) {
    rows = context.Connection().Execute(OwnedStatement(context, pattern, holes));
    if (!rows->Eof()) break;
  }
  return rows;
}

std::string SettingsText(component::MethodContext& context, std::string_view userSettings,
                         std::string_view managerSettings, const std::vector<Hole>& holes) {
  const auto settings = FirstFound(context, {userSettings, managerSettings}, holes);
  if (settings->Eof()) return {};
  return CStr(Utility::ValueOrDefault(settings->Fields("FData").Value(), ""));
}

}  // namespace orvo::families
