#include <ostream>

#include "ado/statement_observer.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

namespace {

const char* ActionName(orvo::store::SchemaOutcome::Action action) {
  switch (action) {
    case orvo::store::SchemaOutcome::Action::Created:
      return "created";
    case orvo::store::SchemaOutcome::Action::Upgraded:
      return "upgraded";
    case orvo::store::SchemaOutcome::Action::Current:
      break;
  }
  return "current";
}

}  // namespace

int RunInit(const Options& options, std::ostream& out) {
  const orvo::store::SchemaOutcome outcome =
      orvo::store::CreateStore(options.dsn, orvo::host::ServiceHub::Current()->StatementObserver());
  OrderedJson report{{"tables", orvo::store::TableNames()},
                     {"schemaVersion", outcome.version},
                     {"action", ActionName(outcome.action)}};
  if (outcome.action == orvo::store::SchemaOutcome::Action::Upgraded) {
    report["fromVersion"] = outcome.fromVersion;
  }
  out << report.dump() << '\n';
  return 0;
}

}  // namespace orvoprint
