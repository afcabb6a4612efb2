#include "tools/orvoprint/trace.hpp"

#include <ostream>

#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

void TraceObserver::BeforeExecute(std::string_view text, const std::vector<orvo::Variant>& params) {
  OrderedJson line = OrderedJson::object();
  line["sql"] = std::string(text);
  line["params"] = OrderedJson::array();
  for (const orvo::Variant& param : params) line["params"].push_back(ToJson(param));
  out_ << line.dump(-1, ' ', false, OrderedJson::error_handler_t::replace) << std::endl;
}

}  // namespace orvoprint
