#include <ostream>

#include "orvo/ado/connection.hpp"
#include "orvo/host/data_context.hpp"
#include "orvo/store/schema.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

int RunInit(const Options& options, std::ostream& out) {
  orvo::store::CreateStore(options.dsn, orvo::host::ServiceHub::Current()->StatementObserver());
  OrderedJson tables = orvo::store::TableNames();
  out << OrderedJson{{"tables", tables}}.dump() << '\n';
  return 0;
}

}  // namespace orvoprint
