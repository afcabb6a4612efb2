#include "ado/command.hpp"

#include "ado/errors.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado {

Parameter& Parameters::operator()(std::int32_t index) {
  if (index < 0 || index >= Count()) throw ItemNotFoundError("ADODB.Parameters");
  return *items_[static_cast<std::size_t>(index)];
}

const ClassInfo& Command::TypeInfo() const {
  static const ClassInfo info{"Command", "", "_Command", "", "ADODB.Command", {}, [] {
                                return std::shared_ptr<Dispatch>(std::make_shared<Command>());
                              }};
  return info;
}

std::shared_ptr<Parameter> Command::CreateParameter(std::string name, DataTypeEnum type,
                                                    std::int32_t direction, std::int32_t size,
                                                    Variant value) {
  return std::make_shared<Parameter>(std::move(name), type, direction, size, std::move(value));
}

std::shared_ptr<Recordset> Command::Execute() {
  if (!ActiveConnection) throw NoConnectionError("ADODB.Command");
  if (CommandType != adCmdText) {
    throw InvalidArgumentError("ADODB.Command", "CommandType " + std::to_string(CommandType) +
                                                    " is not supported; only adCmdText (1) is");
  }
  // Every value is converted before anything runs, so a refused value leaves
  // the database untouched.
  std::vector<BoundValue> bound;
  bound.reserve(parameters_.Items().size());
  for (std::size_t i = 0; i < parameters_.Items().size(); ++i) {
    bound.push_back(parameters_.Items()[i]->Bind(i + 1));
  }
  return ActiveConnection->ExecuteWith(CommandText, bound);
}

}  // namespace orvo::ado
