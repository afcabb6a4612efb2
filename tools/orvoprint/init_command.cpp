#include <ostream>

#include "orvo/ado/connection.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

int RunInit(const Options& options, std::ostream& out) {
  auto hub = orvo::host::ServiceHub::Current();
  auto connection = hub->PooledConnection(options.dsn);
  connection->SetObserver(hub->StatementObserver());
  orvo::store::CreateSchema(*connection);
  OrderedJson tables = orvo::store::TableNames();
  out << OrderedJson{{"tables", tables}}.dump() << '\n';
  return 0;
}

}  // namespace orvoprint
