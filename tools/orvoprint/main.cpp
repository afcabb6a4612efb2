// orvoprint: creates a template store, calls any member of the component's
// classes late-bound and prints the result as JSON, lists the classes, and
// runs a demonstration. See the README for the command-line contract.

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"
#include "tools/orvoprint/trace.hpp"

namespace {

std::string Environment(const char* name, std::string fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

void PrintError(const orvo::AutomationError& error) {
  orvoprint::OrderedJson body = orvoprint::OrderedJson::object();
  body["number"] = error.number();
  body["source"] = error.source();
  body["description"] = error.description();
  std::cerr << orvoprint::OrderedJson{{"error", body}}.dump(
                   -1, ' ', false, orvoprint::OrderedJson::error_handler_t::replace)
            << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  orvoprint::Options options;
  CLI::App app{"orvoprint: the OrvoMPrintExport template store from the command line"};
  app.require_subcommand(1);
  app.fallthrough();
  int user_id = 0;
  std::string user_text = Environment("ORVO_USER_ID", "16394");
  options.userName = Environment("ORVO_USER_NAME", "Manager");
  app.add_option("--dsn", options.dsn, "data source text")
      ->default_str(options.dsn)
      ->each([&](const std::string&) { options.dsnGiven = true; });
  app.add_option("--user", user_text, "calling user id (ORVO_USER_ID, else 16394)");
  app.add_option("--user-name", options.userName,
                 "calling user name (ORVO_USER_NAME, else Manager)");
  app.add_flag("--trace", options.trace, "print every statement as JSON on stderr");

  auto* init = app.add_subcommand("init", "create the tables in the data source (idempotent)");
  auto* call = app.add_subcommand("call", "create CLASS, call MEMBER late-bound, print the result");
  std::vector<std::string> call_words;
  call->add_option("CLASS MEMBER ARG", call_words, "the class, the member and its arguments")
      ->required();
  std::string members_class;
  auto* members = app.add_subcommand("members", "list classes and members with DISPIDs");
  members->add_option("CLASS", members_class, "one class only");
  auto* demo = app.add_subcommand("demo", "build a small store and show what callers see");

  try {
    app.parse(argc, argv);
    try {
      std::size_t used = 0;
      user_id = std::stoi(user_text, &used);
      if (used != user_text.size() || user_id < -32768 || user_id > 32767)
        throw std::out_of_range("");
    } catch (const std::exception&) {
      throw orvoprint::UsageError("--user must be a 16-bit user id, not " + user_text);
    }
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  } catch (const orvoprint::UsageError& error) {
    std::cerr << "orvoprint: " << error.what() << '\n';
    return 2;
  }
  options.userId = static_cast<std::int16_t>(user_id);

  auto hub = orvo::host::ServiceHub::Current();
  hub->SignIn(options.userId, options.userName);
  if (options.trace)
    hub->SetStatementObserver(std::make_shared<orvoprint::TraceObserver>(std::cerr));

  try {
    if (*init) return orvoprint::RunInit(options, std::cout);
    if (*call) return orvoprint::RunCall(options, call_words, std::cout);
    if (*members) return orvoprint::RunMembers(members_class, std::cout);
    if (*demo) return orvoprint::RunDemo(options, std::cout);
  } catch (const orvoprint::UsageError& error) {
    std::cerr << "orvoprint: " << error.what() << '\n';
    return 2;
  } catch (const orvo::AutomationError& error) {
    PrintError(error);
    return 1;
  } catch (const std::exception& error) {
    PrintError(orvo::AutomationError(orvo::HResult(0x80004005u), "orvoprint", error.what()));
    return 1;
  }
  return 2;
}
