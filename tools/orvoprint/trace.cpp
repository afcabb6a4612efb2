#include "tools/orvoprint/trace.hpp"
#include "ado/statement_observer.hpp"

#include <ostream>

namespace orvoprint {

void TraceObserver::BeforeExecute(std::string_view text, const std::vector<orvo::Variant>& params) {
  OrderedJson line = OrderedJson::object();
  line["sql"] = std::string(text);
  line["params"] = OrderedJson::array();
  for (const orvo::Variant& param : params) line["params"].push_back(ToJson(param));
  pending_ = std::move(line);
}

void TraceObserver::Adapted(std::string_view /*text*/, const orvo::ado::RanStatement& ran) {
  if (!pending_) return;
  (*pending_)["ran"] = ran.text;
  (*pending_)["ranParams"] = OrderedJson::array();
  for (const orvo::Variant& param : ran.params) (*pending_)["ranParams"].push_back(ToJson(param));
  Write();
}

void TraceObserver::AfterExecute(std::string_view /*text*/,
                                 const orvo::AutomationError* /*error*/) {
  if (pending_) Write();
}

void TraceObserver::Write() {
  out_ << pending_->dump(-1, ' ', false, OrderedJson::error_handler_t::replace) << std::endl;
  pending_.reset();
}

}  // namespace orvoprint
