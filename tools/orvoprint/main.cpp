// orvoprint: creates a template store, calls any member of the component's
// classes late-bound and prints the result as JSON, lists the classes, and
// runs a demonstration. See the README for the command-line contract.

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "automation/ascii.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/service_hub.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"
#include "tools/orvoprint/trace.hpp"

namespace {

struct Command {
  const char* name;
  const char* usage;  // what follows the name
  const char* purpose;
  // A command that reads its own options, --help among them; null for one
  // that main reads the words of.
  int (*run)(const orvoprint::Options&, const std::vector<std::string>&, std::ostream&) = nullptr;
};

constexpr Command kCommands[] = {
    {"init", "[--history-keep N]",
     "create the store, or upgrade it in place (idempotent); keep N versions of each template"},
    {"call", "CLASS MEMBER [ARG ...]",
     "create CLASS, call MEMBER late-bound, print the result as JSON"},
    {"members", "[CLASS]", "list classes and members with DISPIDs and parameters"},
    {"demo", "", "build a small store and run printing round trips on it"},
    {"templates", "[--user ID] [--bill-type N|--report N] [--partition N] [--json]",
     "list templates and assignment rows", &orvoprint::RunTemplates},
    {"export", "DIR [--json]", "write the store into a new or empty folder", &orvoprint::RunExport},
    {"import", "DIR [--json]", "read an exported folder into a store without rows",
     &orvoprint::RunImport},
    {"copy", "--to DSN [--json]", "copy the store into a store without rows, either backend",
     &orvoprint::RunCopy},
    {"check", "[--json]", "check the schema, the database's integrity and dangling rows",
     &orvoprint::RunCheck},
    {"history", "[--template ID] [--user ID] [--bill-type N|--report N] [--since TIME] [--json]",
     "list the earlier versions of templates and settings", &orvoprint::RunHistory},
    {"restore", "--version V [--json]", "put an earlier version back as the current row",
     &orvoprint::RunRestore},
    {"compact", "[--json]", "keep the history's new versions as differences (run daily)",
     &orvoprint::RunCompact},
};

std::string CommandLine(const Command& command) {
  std::string line = std::string("  ") + command.name + " " + command.usage;
  // A long usage goes on a line of its own.
  line = line.size() >= 32 ? line + "\n" : line;
  line.resize(line.ends_with("\n") ? line.size() + 32 : 32, ' ');
  return line + command.purpose + "\n";
}

std::string CommandList() {
  std::string text = "Commands:\n";
  for (const Command& command : kCommands) text += CommandLine(command);
  return text;
}

// The value of an environment variable that is set, even to an empty text: a
// variable stands for its option, and an empty one is not an absent one.
std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return value;
}

// The name of what gave `option` its value, for a message that names it: the
// variable that stands for the option when the command line leaves it out.
std::string Origin(const CLI::Option& option, const char* variable) {
  return option.count() == 0 && std::getenv(variable) != nullptr ? variable : option.get_name();
}

// A user id as --user or ORVO_USER_ID (`source`) gives it: a whole 16-bit
// number, blanks and tabs around it ignored as the conversions of a Long
// ignore them.
std::int16_t UserId(const std::string& text, const std::string& source) {
  const std::size_t first = text.find_first_not_of(" \t");
  std::string_view number;
  if (first != std::string::npos) {
    number = std::string_view(text).substr(first, text.find_last_not_of(" \t") - first + 1);
  }
  // from_chars takes a minus but no plus sign.
  if (number.size() > 1 && number[0] == '+' && orvo::ascii::IsDigit(number[1])) {
    number.remove_prefix(1);
  }
  std::int16_t id = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), id);
  if (!number.empty() && error == std::errc() && end == number.data() + number.size()) return id;
  throw orvoprint::UsageError(source + " must be a 16-bit user id, not " +
                              orvo::QuotedForError(text));
}

// Standard output, written straight through with write(2), keeping the reason
// of the first write that failed: by the time the program sees that its output
// was lost, errno has long been used again. Nothing is held back, so results
// and the trace on stderr reach a terminal in the order they were made.
class StandardOutput final : public std::streambuf {
 public:
  // The reason the first failed write gave; 0 while every write succeeded.
  int error() const { return error_; }

 protected:
  std::streamsize xsputn(const char* text, std::streamsize size) override {
    std::streamsize written = 0;
    while (error_ == 0 && written < size) {
      const ssize_t n =
          ::write(STDOUT_FILENO, text + written, static_cast<std::size_t>(size - written));
      if (n > 0) {
        written += n;
      } else if (n == 0 || errno != EINTR) {
        error_ = n == 0 ? EIO : errno;
      }
    }
    return written;
  }

  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char character = traits_type::to_char_type(c);
    return xsputn(&character, 1) == 1 ? c : traits_type::eof();
  }

 private:
  int error_ = 0;
};

// Runs the command that `words` name. The words reach the command exactly as
// typed: brackets, blanks and leading dashes are theirs.
int RunCommand(const orvoprint::Options& options, const std::vector<std::string>& words) {
  using orvoprint::UsageError;
  if (words.empty()) throw UsageError("a command is needed\n" + CommandList());
  const std::string& name = words.front();
  std::vector<std::string> args(words.begin() + 1, words.end());
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    if (command.run != nullptr) return command.run(options, args, std::cout);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
      std::cout << "Usage: orvoprint [OPTIONS] " << command.name << " " << command.usage << "\n"
                << command.purpose << "\n";
      return 0;
    }
    if (name == "call") {
      // A "--" ends the options, so that a word after it may begin with "-";
      // the call has no options of its own, so it is simply left out.
      for (auto word = args.begin(); word != args.end(); ++word) {
        if (*word == "--") {
          args.erase(word);
          break;
        }
      }
      return orvoprint::RunCall(options, args, std::cout);
    }
    if (name == "members" && args.size() <= 1) {
      return orvoprint::RunMembers(args.empty() ? "" : args[0], std::cout);
    }
    if (name == "init") return orvoprint::RunInit(options, args, std::cout);
    if (args.empty() && name == "demo") return orvoprint::RunDemo(options, std::cout);
    throw UsageError("too many arguments; usage: orvoprint " + std::string(command.name) + " " +
                     command.usage);
  }
  if (name.starts_with("-")) throw UsageError("no option is named " + name);
  throw UsageError("no command is named " + name + "\n" + CommandList());
}

void PrintError(const orvo::AutomationError& error) {
  orvoprint::OrderedJson body = orvoprint::OrderedJson::object();
  body["number"] = error.number();
  body["source"] = error.source();
  body["description"] = error.description();
  if (!error.nativeCode().empty()) body["code"] = error.nativeCode();
  std::cerr << orvoprint::OrderedJson{{"error", body}}.dump(
                   -1, ' ', false, orvoprint::OrderedJson::error_handler_t::replace)
            << '\n';
}

// Says what the command line lacks; gives the exit code for it. The words
// that a usage error names are the caller's, whatever bytes.
int PrintUsageError(const orvoprint::UsageError& error) {
  std::cerr << "orvoprint: " << orvo::EscapedForError(error.what()) << '\n';
  return 2;
}

// Runs the command and gives the exit code: 0, 1 for a raised error, 2 for a
// command line that does not say what to do.
int Run(const orvoprint::Options& options, const std::vector<std::string>& words) {
  try {
    return RunCommand(options, words);
  } catch (const orvoprint::UsageError& error) {
    return PrintUsageError(error);
  } catch (const orvo::AutomationError& error) {
    PrintError(error);
  } catch (const std::exception& error) {
    PrintError(orvo::AutomationError(orvo::HResult(0x80004005u), "orvoprint", error.what()));
  }
  return 1;
}

// Parses the command line and runs the command; gives the exit code.
int ParseAndRun(int argc, char** argv) {
  orvoprint::Options options;
  CLI::App app{"orvoprint: the OrvoMPrintExport template store from the command line", "orvoprint"};
  // Everything from the command on is the command's own, word for word: the
  // option parser would read brackets as lists and take "--" for itself.
  app.prefix_command();
  app.footer(CommandList());
  const std::string manager = std::to_string(orvo::kManagerUser);
  std::string userText = Environment("ORVO_USER_ID").value_or(manager);
  options.userName = Environment("ORVO_USER_NAME").value_or("Manager");
  app.add_option("--dsn", options.dsn, "data source text")
      ->default_str(options.dsn)
      ->each([&](const std::string&) { options.dsnGiven = true; });
  const CLI::Option* userOption =
      app.add_option("--user", userText, "calling user id (ORVO_USER_ID, else " + manager + ")");
  const CLI::Option* userNameOption = app.add_option(
      "--user-name", options.userName, "calling user name (ORVO_USER_NAME, else Manager)");
  app.add_flag("--trace", options.trace, "print every statement as JSON on stderr");
  app.set_version_flag("--version", "orvoprint " ORVOPRINT_VERSION, "print the version and exit");
  app.failure_message([](const CLI::App* failed, const CLI::Error& error) {
    return orvo::EscapedForError(CLI::FailureMessage::simple(failed, error));
  });

  try {
    app.parse(argc, argv);
    options.userId = UserId(userText, Origin(*userOption, "ORVO_USER_ID"));
    // Texts that reach the library must be UTF-8, as all of its texts are.
    if (!orvo::IsValidUtf8(options.userName)) {
      throw orvoprint::UsageError(Origin(*userNameOption, "ORVO_USER_NAME") + " is not UTF-8 text");
    }
    if (!orvo::IsValidUtf8(options.dsn)) throw orvoprint::UsageError("--dsn is not UTF-8 text");
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  } catch (const orvoprint::UsageError& error) {
    return PrintUsageError(error);
  }

  auto hub = orvo::host::ServiceHub::Current();
  hub->SignIn(options.userId, options.userName);
  if (options.trace) {
    hub->SetStatementObserver(std::make_shared<orvoprint::TraceObserver>(std::cerr));
  }
  return Run(options, app.remaining());
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that goes away (orvoprint members | head -c1) makes writes fail
  // with EPIPE, reported as any failed write is, rather than ending the
  // program unannounced.
  std::signal(SIGPIPE, SIG_IGN);
  StandardOutput output;
  std::streambuf* const stdio = std::cout.rdbuf(&output);
  int code = ParseAndRun(argc, argv);
  // Given back before `output` is gone: std::cout is flushed once more at exit.
  std::cout.rdbuf(stdio);
  // Output that never reached its reader is a failure, not a success.
  if (output.error() != 0) {
    std::cerr << "orvoprint: cannot write the result: " << std::strerror(output.error()) << '\n';
    if (code == 0) code = 1;
  }
  return code;
}
