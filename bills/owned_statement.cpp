#include "bills/owned_statement.hpp"

#include "orvo/automation/conversions.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::bills {

std::string StatementText(component::MethodContext& context, const OwnedStatement& statement) {
  switch (statement.owner) {
    case Owner::User:
      return statement.head + " and FPreparerId=" + std::to_string(context.UserID());
    case Owner::Manager:
      return statement.head + " and FPreparerId=" + std::to_string(kManagerUser);
    case Owner::Anyone:
      break;
  }
  return statement.head;
}

std::shared_ptr<ado::Recordset> RunUntilFound(component::MethodContext& context,
                                              const std::vector<OwnedStatement>& statements) {
  std::shared_ptr<ado::Recordset> rows;
  for (const OwnedStatement& statement : statements) {
    rows = context.Connection().Execute(StatementText(context, statement));
    if (!rows->Eof()) break;
  }
  return rows;
}

std::string ReadSettingsText(component::MethodContext& context, const std::string& head) {
  auto settings = RunUntilFound(context, {{head, Owner::User}, {head, Owner::Manager}});
  if (settings->Eof()) return {};
  return CStr(Utility::ValueOrDefault(settings->Fields("FData").Value(), ""));
}

}  // namespace orvo::bills
