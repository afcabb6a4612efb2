// Command and Parameter: a statement with "?" markers and the values bound to
// them in marker order. Each value is converted to its parameter's type when
// the command runs; a text longer than its parameter's declared size is
// refused (0x80040E57), never cut.
//
// Used on one thread; parameters are shared between the command and whoever
// created them, so assigning a value through either is seen by the other.

#ifndef ORVO_ADO_COMMAND_HPP_
#define ORVO_ADO_COMMAND_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ado/bound_value.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/automation/dispatch.hpp"

namespace orvo::ado {

class Connection;
class Recordset;

class Parameter {
 public:
  Parameter(std::string name, DataTypeEnum type, std::int32_t direction, std::int32_t size,
            Variant value)
      : Name(std::move(name)),
        Type(type),
        Direction(direction),
        Size(size),
        Value(std::move(value)) {}

  std::string Name;
  DataTypeEnum Type;
  std::int32_t Direction;
  std::int32_t Size;
  Variant Value;

  // The value converted to the parameter's type: Empty and Null become Null;
  // raises the conversion's error, or 0x80040E57 for a text or byte array
  // longer than Size (when Size > 0). `position` (from 1) names the parameter
  // in messages.
  BoundValue Bind(std::size_t position) const;
};

class Parameters {
 public:
  void Append(std::shared_ptr<Parameter> parameter) { items_.push_back(std::move(parameter)); }
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // By position from 0; raises 0x800A0CC1 outside the collection.
  Parameter& operator()(std::int32_t index);
  const std::vector<std::shared_ptr<Parameter>>& Items() const { return items_; }

 private:
  std::vector<std::shared_ptr<Parameter>> items_;
};

class Command : public Dispatch {
 public:
  const ClassInfo& TypeInfo() const override;

  std::shared_ptr<Connection> ActiveConnection;
  std::int32_t CommandType = adCmdText;
  std::string CommandText;

  std::shared_ptr<Parameter> CreateParameter(std::string name, DataTypeEnum type,
                                             std::int32_t direction, std::int32_t size,
                                             Variant value = Variant());
  Parameters& GetParameters() { return parameters_; }

  // Binds every parameter and runs CommandText on ActiveConnection; raises
  // 0x800A0E7D when no connection is set.
  std::shared_ptr<Recordset> Execute();

 private:
  Parameters parameters_;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_COMMAND_HPP_
