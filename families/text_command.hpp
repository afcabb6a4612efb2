// How the classes run an insert or an update with values: a command of text
// on the working connection whose input parameters are created in marker
// order, each with the empty name and its value; and how they read back the
// id that an insert made ("select @@IDENTITY").
//
// Used inside a method's frame (or on a copy's connection), on its thread.

#ifndef ORVO_FAMILIES_TEXT_COMMAND_HPP_
#define ORVO_FAMILIES_TEXT_COMMAND_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ado/command.hpp"
#include "families/statement.hpp"
#include "orvo/ado/connection.hpp"

namespace orvo::families {

class TextCommand {
 public:
  TextCommand(const std::shared_ptr<ado::Connection>& connection, std::string text);

  // Appends an input parameter of `type` and `size` holding `value`.
  TextCommand& Input(ado::DataTypeEnum type, std::int32_t size, Variant value);
  // Appends the partitioned family's partition: the text of the hole
  // {dataFrom} among `holes` read back as a number, as an adInteger.
  TextCommand& Partition(std::span<const Hole> holes);
  // The parameters, to assign values by position after appending them.
  ado::Parameters& Parameters() { return command_.GetParameters(); }
  // Runs the command, then detaches it from its connection.
  void Execute();

 private:
  ado::Command command_;
};

// The values of a new template row, in the order every template insert binds
// them: name, screen id, creator, modifier (when the insert names one), bill
// type or report, creation and modification time (the current time, read for
// each), body.
struct NewTemplate {
  Variant name;
  Variant screenId;
  Variant creator;
  std::optional<Variant> modifier{};
  Variant type;
  Variant body;
  std::int32_t userNameSize;  // characters of the creator and modifier parameters
};
void AppendNewTemplate(TextCommand& insert, const NewTemplate& values);

// The id that the last insert on `connection` made, read with
// "select @@IDENTITY"; nullopt when the store gives Null (no insert made one).
std::optional<std::int32_t> NewIdentity(ado::Connection& connection);

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_TEXT_COMMAND_HPP_
