#include "families/text_command.hpp"

#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::families {

TextCommand::TextCommand(const std::shared_ptr<ado::Connection>& connection, std::string text) {
  command_.ActiveConnection = connection;
  command_.CommandType = ado::adCmdText;
  command_.CommandText = std::move(text);
}

TextCommand& TextCommand::Input(ado::DataTypeEnum type, std::int32_t size, Variant value) {
  command_.GetParameters().Append(
      command_.CreateParameter("", type, ado::adParamInput, size, std::move(value)));
  return *this;
}

TextCommand& TextCommand::Partition(std::span<const Hole> holes) {
  return Input(ado::adInteger, 0, Val(HoleNamed(holes, "dataFrom").Written()));
}

void TextCommand::Execute() {
  command_.Execute();
  command_.ActiveConnection = nullptr;
}

void AppendNewTemplate(TextCommand& insert, const NewTemplate& values) {
  insert.Input(ado::adVarChar, 255, values.name)
      .Input(ado::adVarChar, 20, values.screenId)
      .Input(ado::adVarChar, values.userNameSize, values.creator);
  if (values.modifier) insert.Input(ado::adVarChar, values.userNameSize, *values.modifier);
  insert.Input(ado::adVarChar, 20, values.type)
      .Input(ado::adDate, 0, Date::Now())
      .Input(ado::adDate, 0, Date::Now())
      .Input(ado::adLongVarBinary, ado::kLongBinarySize, values.body);
}

std::optional<std::int32_t> NewIdentity(ado::Connection& connection) {
  const Variant made = connection.Execute("select @@IDENTITY")->Fields(0).Value();
  if (made.IsNull()) return std::nullopt;
  return CLng(made);
}

}  // namespace orvo::families
