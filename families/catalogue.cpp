#include "families/catalogue.hpp"

#include "families/owner_chain.hpp"
#include "store/row_to_dictionary.hpp"

namespace orvo::families {

std::shared_ptr<Dictionary> ReadCatalogue(component::MethodContext& context,
                                          const CatalogueStatements& statements,
                                          std::span<const Hole> holes,
                                          const CopyManagerTemplates& copy) {
  auto rows = FirstFound(context, {statements.userList}, holes);
  if (rows.Eof()) {
    const std::int32_t user_id = context.UserID();
    const std::string user_name = context.UserName();
    // Only a first call copies, and only it takes the write lock: catalogue
    // reads of users who have their templates never wait for one another.
    // Under the lock the user's list is asked again, unseen by the observer
    // as the lock itself is: another first call may have copied meanwhile.
    context.Connection().LockForWriting();
    if (RunUnobserved(context, statements.userList, holes).Eof()) {
      copy(context.ConnectionPtr(), user_id, user_name);
    }
    rows = FirstFound(context, {statements.userList, statements.managerList}, holes);
  }
  if (rows.Eof()) rows = FirstFound(context, {statements.newestList}, holes);

  auto result = std::make_shared<Dictionary>();
  auto list = std::make_shared<Vector>();
  for (; !rows.Eof(); rows.MoveNext()) list->Add(store::RowToDictionary(rows));
  result->SetObject("Data", list);
  result->SetValue("Option",
                   SettingsText(context, statements.userOption, statements.managerOption, holes));
  return result;
}

}  // namespace orvo::families
