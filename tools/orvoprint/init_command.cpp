#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "ado/statement_observer.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/store/schema.hpp"
#include "store/history.hpp"
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

// The N of "--history-keep N" or "--history-keep=N": a whole number from 0.
std::optional<std::int32_t> HistoryKeepOption(const std::vector<std::string>& args) {
  constexpr std::string_view kOption = "--history-keep";
  std::string text;
  if (args.empty()) return std::nullopt;
  if (args.size() == 2 && args[0] == kOption) {
    text = args[1];
  } else if (args.size() == 1 && args[0].starts_with(std::string(kOption) + "=")) {
    text = args[0].substr(kOption.size() + 1);
  } else {
    throw UsageError("usage: orvoprint init [--history-keep N]");
  }
  std::int32_t versions = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), versions);
  if (error != std::errc() || end != text.data() + text.size() || versions < 0) {
    throw UsageError("--history-keep takes a whole number from 0 (no history) up, not " +
                     orvo::QuotedForError(text));
  }
  return versions;
}

}  // namespace

int RunInit(const Options& options, const std::vector<std::string>& args, std::ostream& out) {
  const std::optional<std::int32_t> keep = HistoryKeepOption(args);
  const auto observer = orvo::host::ServiceHub::Current()->StatementObserver();
  const orvo::store::SchemaOutcome outcome = orvo::store::CreateStore(options.dsn, observer);
  const auto connection = orvo::ado::Connection::Open(options.dsn);
  connection->SetObserver(observer);
  if (keep) orvo::store::KeepHistory(*connection, *keep);
  OrderedJson report{{"tables", orvo::store::TableNames()},
                     {"schemaVersion", outcome.version},
                     {"action", ActionName(outcome.action)}};
  if (outcome.action == orvo::store::SchemaOutcome::Action::Upgraded) {
    report["fromVersion"] = outcome.fromVersion;
  }
  report["historyKeep"] = orvo::store::HistoryKeep(*connection);
  out << report.dump() << '\n';
  return 0;
}

}  // namespace orvoprint
