#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/call_scope.hpp"
#include "orvo/host/collections.hpp"
#include "orvo/host/service_hub.hpp"
#include "tools/orvoprint/commands.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

namespace {

const orvo::ClassInfo& FindClass(const std::string& name) {
  const orvo::ClassInfo* cls = orvo::ClassRegistry::Instance().Find(name);
  if (cls == nullptr) cls = orvo::ClassRegistry::Instance().Find("OrvoMPrintExport." + name);
  if (cls == nullptr) throw UsageError("no class is named " + name + " (see: orvoprint members)");
  return *cls;
}

bool IsDataSource(const orvo::ParamInfo& param) {
  return param.name == "sDsn" && param.type == orvo::ParamType::String;
}

// The most an argument file may hold: far more than any print template, and
// little enough that a file without end (/dev/zero) is refused at once.
constexpr std::size_t kMaxArgumentFile = std::size_t{64} << 20;

// The bytes of an argument file. Every failure (no such file, a directory, a
// file too large) is a std::invalid_argument naming the file and the reason.
orvo::Bytes ReadArgumentFile(const std::string& path) {
  const auto cannotRead = [&](const std::string& reason) {
    return std::invalid_argument("cannot read " + path + ": " + reason);
  };
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) throw cannotRead(std::strerror(errno));
  orvo::Bytes bytes;
  std::uint8_t buffer[1 << 16];
  // Reading goes on past the bound, to tell a file that is too large (or has
  // no end, as a device may not) from one that just fits.
  while (bytes.size() <= kMaxArgumentFile) {
    const std::size_t read = std::fread(buffer, 1, sizeof buffer, file.get());
    bytes.insert(bytes.end(), buffer, buffer + read);
    if (read < sizeof buffer) {
      if (std::ferror(file.get())) throw cannotRead(std::strerror(errno));
      break;
    }
  }
  if (bytes.size() > kMaxArgumentFile) {
    throw cannotRead("it holds more than " + std::to_string(kMaxArgumentFile >> 20) + " MiB");
  }
  return bytes;
}

// Whether a word that is no JSON value was plainly meant as one: after blanks,
// it opens an object, an array or a string. Such a word is a mistake to
// report, never a text to pass on.
bool MeantAsJson(std::string_view word) {
  const std::size_t first = word.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos &&
         std::string_view("{[\"").find(word[first]) != std::string_view::npos;
}

// What the JSON parser says is wrong, without its "[json.exception...]" tag.
std::string JsonFault(const OrderedJson::exception& error) {
  const std::string_view what = error.what();
  const std::size_t tag = what.find("] ");
  return std::string(tag == std::string_view::npos ? what : what.substr(tag + 2));
}

// A word taken as text, which must be UTF-8 as every text of the library is.
orvo::Variant Text(const orvo::ParamInfo& param, const std::string& word) {
  if (!orvo::IsValidUtf8(word)) throw UsageError(param.name + " is not UTF-8 text");
  return orvo::Variant(word);
}

// One command-line word as the value of a parameter, read by its type.
orvo::Variant Argument(const orvo::ParamInfo& param, const std::string& word) {
  using orvo::ParamType;
  try {
    switch (param.type) {
      case ParamType::String:
        return Text(param, word);
      case ParamType::Variant: {
        if (word.size() > 1 && word[0] == '@') {
          return orvo::Variant(ReadArgumentFile(word.substr(1)));
        }
        // A word that is no JSON value is taken as the text it is, unless it
        // was plainly meant as one. A word that begins with a number too large
        // for a Double is refused too: the parser reports it out of range, not
        // as a syntax fault, and it must not reach a member as infinity.
        try {
          return FromJson(OrderedJson::parse(word));
        } catch (const OrderedJson::parse_error&) {
          if (MeantAsJson(word)) throw;
        }
        return Text(param, word);
      }
      case ParamType::Dictionary: {
        OrderedJson json = OrderedJson::parse(word);
        if (!json.is_object()) throw UsageError(param.name + " must be a JSON object");
        return FromJson(json);
      }
      case ParamType::Vector: {
        OrderedJson json = OrderedJson::parse(word);
        if (!json.is_array()) throw UsageError(param.name + " must be a JSON array");
        return FromJson(json);
      }
      case ParamType::Object:
        return FromJson(OrderedJson::parse(word));
      default:
        return orvo::CoerceArgument(orvo::Variant(word), param.type);
    }
  } catch (const OrderedJson::exception& error) {
    throw UsageError(param.name + " must be JSON, not " + orvo::QuotedForError(word) + " (" +
                     JsonFault(error) + ")");
  } catch (const orvo::AutomationError& error) {
    throw UsageError(param.name + " must be a " + std::string(orvo::ParamTypeName(param.type)) +
                     ", not " + orvo::QuotedForError(word) + " (" + error.description() + ")");
  } catch (const std::invalid_argument& error) {
    throw UsageError(param.name + ": " + error.what());
  }
}

std::string Signature(const orvo::MemberInfo& member) {
  std::string text = member.name;
  for (const orvo::ParamInfo& param : member.params) {
    if (IsDataSource(param) || param.type == orvo::ParamType::Connection) continue;
    text += param.optional ? " [" + param.name + "]" : " " + param.name;
  }
  return text;
}

}  // namespace

CallResult Call(const Options& options, const std::vector<std::string>& words) {
  if (words.size() < 2) throw UsageError("call needs CLASS and MEMBER");
  const orvo::ClassInfo& cls = FindClass(words[0]);
  const orvo::MemberInfo* member = cls.FindMember(words[1]);
  if (member == nullptr) throw UsageError(cls.name + " has no member " + words[1]);

  // The data source and a connection come from --dsn; every other parameter
  // takes the next word, and omitted optional ones keep their defaults.
  std::vector<orvo::Variant> args;
  std::shared_ptr<orvo::ado::Connection> connection;
  std::size_t next = 2;
  for (const orvo::ParamInfo& param : member->params) {
    if (IsDataSource(param)) {
      args.emplace_back(options.dsn);
    } else if (param.type == orvo::ParamType::Connection) {
      connection = orvo::host::ServiceHub::Current()->PooledConnection(options.dsn);
      args.emplace_back(connection);
    } else if (next < words.size()) {
      args.push_back(Argument(param, words[next++]));
    } else if (param.optional) {
      break;
    } else {
      throw UsageError("missing " + param.name + "; usage: " + cls.name + " " + Signature(*member));
    }
  }
  if (next < words.size()) {
    throw UsageError("too many arguments; usage: " + cls.name + " " + Signature(*member));
  }

  // A member given a connection (the copies of the manager's templates) runs
  // in whatever unit of work its caller holds, and a copy that stops halfway
  // keeps what it wrote so far. The command line is that caller: it gives the
  // call a unit of work of its own, so the copy is kept whole or not at all.
  std::optional<orvo::host::CallScope> unit;
  if (connection) {
    unit.emplace(orvo::ado::TransactionKind::Writing);
    orvo::host::CallScope::Enlist(connection);
  }
  auto object = cls.create();
  CallResult result{object->Invoke(member->dispid, args), member->result != orvo::ParamType::None};
  if (unit) unit->End();
  return result;
}

int RunCall(const Options& options, const std::vector<std::string>& words, std::ostream& out) {
  const CallResult result = Call(options, words);
  if (result.hasResult) {
    out << ToJson(result.value).dump(-1, ' ', false, OrderedJson::error_handler_t::replace) << '\n';
  }
  return 0;
}

}  // namespace orvoprint
