// ShapedBackend is what the backends share that lift a text's literals into
// markers, so that one prepared statement serves every text of one shape:
// the connection's parameterizer, and what an observer is told a statement
// ran as. A backend adapts each shape to its dialect (Adapted) and keeps it.
//
// Used on its connection's thread, as every backend.

#ifndef ORVO_ADO_SHAPED_BACKEND_HPP_
#define ORVO_ADO_SHAPED_BACKEND_HPP_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/backend.hpp"
#include "ado/parameterize.hpp"
#include "ado/slot_binding.hpp"
#include "ado/statement_observer.hpp"

namespace orvo::ado {

class ShapedBackend : public Backend {
 public:
  RanStatement RanShape(std::string_view shape, std::span<const BoundValue> values) final {
    RanStatement ran{Adapted(shape), {}};
    for (const BoundValue& value : values) ran.params.push_back(value.value);
    return ran;
  }

  RanStatement Ran(std::string_view text, std::span<const BoundValue> params) final {
    parameterizer_.Parameterize(text);
    return RanStatement{Adapted(parameterizer_.Shape()), SlotValues(parameterizer_, params)};
  }

 protected:
  // The shape in the backend's dialect, adapted on its first use.
  virtual const std::string& Adapted(std::string_view shape) = 0;

  Parameterizer parameterizer_;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_SHAPED_BACKEND_HPP_
