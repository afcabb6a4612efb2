#include "operate/manifest.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>

#include "operate/store_rows.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::operate {

namespace {

using Json = nlohmann::json;

constexpr const char* kFormat = "OrvoMPrintExport store";
// Rows without their bytes: a store of millions of rows stays well below.
constexpr std::uint64_t kMostManifestBytes = std::uint64_t{1} << 30;
constexpr std::int64_t kLargestId = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void Bad(const std::string& what) {
  Refuse("The manifest is refused: " + what + ". Nothing was written.");
}

std::string Where(const store::Table& table, std::int64_t id, const store::Column& column) {
  return table.name + " FId " + std::to_string(id) + " " + column.name;
}

// Whether a column holds a value of this kind (Null aside). A date column of
// SQLite holds whatever another program wrote there, and it is carried as it
// is.
bool Takes(store::ColumnKind column, Variant::Kind kind) {
  switch (column) {
    case store::ColumnKind::Identity:
    case store::ColumnKind::WholeNumber:
      return kind == Variant::Kind::Long;
    case store::ColumnKind::Text:
      return kind == Variant::Kind::String;
    case store::ColumnKind::Date:
      return kind == Variant::Kind::Date || kind == Variant::Kind::String ||
             kind == Variant::Kind::Long || kind == Variant::Kind::Double ||
             kind == Variant::Kind::Bytes;
    case store::ColumnKind::Binary:
      break;
  }
  return kind == Variant::Kind::Bytes;
}

std::string DateText(const Date& date) {
  std::string text = date.GeneralText();
  text[10] = 'T';
  return text;
}

std::optional<std::int64_t> WholeNumber(const Json& value) {
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(number);
  }
  if (value.is_number_integer()) return value.get<std::int64_t>();
  return std::nullopt;
}

std::size_t Characters(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += Utf8CharacterLength(text, at)) ++count;
  return count;
}

// Whether an object has exactly these keys.
bool HasKeys(const Json& value, std::initializer_list<const char*> keys) {
  if (!value.is_object() || value.size() != keys.size()) return false;
  return std::all_of(keys.begin(), keys.end(),
                     [&](const char* key) { return value.contains(key); });
}

// Reads one value of a row. Checking, it looks at the file a value of bytes
// names and records its name in `files`; otherwise it reads the file.
Variant Decode(const store::Table& table, const store::Column& column, std::int64_t id,
               const Json& value, const ImportFolder& folder, std::set<std::string>* files) {
  const auto refuse = [&](const std::string& why) { Bad(Where(table, id, column) + " " + why); };
  if (value.is_null()) return Variant::Null();
  Variant::Kind kind = Variant::Kind::Empty;
  Variant decoded;
  if (value.is_string()) {
    const auto& text = value.get_ref<const std::string&>();
    if (!IsValidUtf8(text)) refuse("is not UTF-8 text");
    if (column.kind == store::ColumnKind::Text &&
        Characters(text) > static_cast<std::size_t>(column.characters)) {
      refuse("holds more than " + std::to_string(column.characters) + " characters");
    }
    kind = Variant::Kind::String;
    decoded = Variant(text);
  } else if (value.is_number_float()) {
    kind = Variant::Kind::Double;
    decoded = Variant(value.get<double>());
  } else if (value.is_number()) {
    const std::optional<std::int64_t> number = WholeNumber(value);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() || *number > kLargestId) {
      refuse("holds a number outside 32 bits");
    }
    kind = Variant::Kind::Long;
    decoded = Variant(static_cast<std::int32_t>(*number));
  } else if (HasKeys(value, {"$date"}) && value["$date"].is_string()) {
    const auto& text = value["$date"].get_ref<const std::string&>();
    Date date;
    // Only the one spelling export writes, so that a round trip is exact.
    if (!Date::Parse(text, date) || DateText(date) != text) refuse("holds no date");
    kind = Variant::Kind::Date;
    decoded = Variant(date);
  } else if (HasKeys(value, {"$file", "size"}) && value["$file"].is_string()) {
    const std::string expected = ValueFileName(table, static_cast<std::int32_t>(id), column);
    if (value["$file"] != expected) refuse("must name the file " + expected);
    const std::optional<std::int64_t> size = WholeNumber(value["size"]);
    if (!size || *size < 0 || *size > ado::kLongBinarySize) refuse("has no size of bytes");
    kind = Variant::Kind::Bytes;
    const auto bytes = static_cast<std::uint64_t>(*size);
    if (files != nullptr) {
      if (folder.SizeOf(expected) != bytes) refuse("names a file of another size");
      files->insert(expected);
    } else {
      decoded = Variant(folder.Read(expected, bytes));
    }
  } else {
    refuse("holds a value the manifest does not carry");
  }
  if (!Takes(column.kind, kind)) refuse("holds a value its column does not take");
  return decoded;
}

// Parses JSON, refusing an object that names a key twice (which a parser
// would otherwise settle by keeping one of them) and nesting deeper than the
// manifest's own (the document, its tables, a table, its rows, a row, a
// value), so that no text can make the parser hold a tower of empty arrays.
Json ParseStrict(const std::string& text) {
  constexpr int kDeepest = 5;
  std::vector<std::set<std::string>> keys;
  const Json::parser_callback_t callback = [&](int depth, Json::parse_event_t event, Json& parsed) {
    if ((event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start) &&
        depth > kDeepest) {
      Bad("it nests arrays and objects deeper than a manifest does");
    }
    if (event == Json::parse_event_t::object_start) keys.emplace_back();
    if (event == Json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
    if (event == Json::parse_event_t::key && !keys.empty() &&
        !keys.back().insert(parsed.get<std::string>()).second) {
      Bad("it names the key \"" + parsed.get<std::string>() + "\" twice in one object");
    }
    return true;
  };
  try {
    return Json::parse(text, callback);
  } catch (const Json::exception& error) {
    Bad(std::string("it is not JSON (") + error.what() + ")");
  }
}

std::int64_t RequireNumber(const Json& value, const std::string& what, std::int64_t least,
                           std::int64_t most) {
  const std::optional<std::int64_t> number = WholeNumber(value);
  if (!number || *number < least || *number > most) {
    Bad(what + " must be a whole number from " + std::to_string(least) + " to " +
        std::to_string(most));
  }
  return *number;
}

// Checks one table's entry and every row of it.
ManifestTable CheckTable(const store::Table& table, const Json& entry, std::size_t at,
                         const ImportFolder& folder, std::set<std::string>& files) {
  if (!HasKeys(entry, {"name", "columns", "lastId", "rows"})) {
    Bad("table " + std::to_string(at + 1) + " must have name, columns, lastId and rows");
  }
  if (entry["name"] != table.name)
    Bad("table " + std::to_string(at + 1) + " must be " + table.name);
  if (entry["columns"] != Json(ColumnNames(table))) {
    Bad("the columns of " + table.name + " are not those of this library's schema");
  }
  ManifestTable checked{&table,
                        RequireNumber(entry["lastId"], table.name + " lastId", 0, kLargestId), at};
  const Json& rows = entry["rows"];
  if (!rows.is_array()) Bad("the rows of " + table.name + " must be an array");
  std::int64_t previous = 0;
  for (const Json& row : rows) {
    if (!row.is_array() || row.size() != table.columns.size()) {
      Bad("a row of " + table.name + " must hold a value for each of its " +
          std::to_string(table.columns.size()) + " columns");
    }
    const std::int64_t id = RequireNumber(row[0], "an FId of " + table.name, 1, kLargestId);
    if (id <= previous) {
      Bad(table.name + " FId " + std::to_string(id) +
          " comes twice or out of order; rows go by rising FId");
    }
    previous = id;
    for (std::size_t i = 1; i < table.columns.size(); ++i) {
      Decode(table, table.columns[i], id, row[i], folder, &files);
    }
  }
  if (checked.lastId < previous) {
    Bad(table.name + " lastId " + std::to_string(checked.lastId) + " lies below its FId " +
        std::to_string(previous));
  }
  return checked;
}

}  // namespace

std::string ValueFileName(const store::Table& table, std::int32_t id, const store::Column& column) {
  return table.name + "." + std::to_string(id) + "." + column.name;
}

ManifestWriter::ManifestWriter(int schemaVersion) {
  text_ = "{\"format\":" + Json(kFormat).dump() +
          ",\"formatVersion\":" + std::to_string(kManifestVersion) +
          ",\"schemaVersion\":" + std::to_string(schemaVersion) + ",\"tables\":[";
}

void ManifestWriter::BeginTable(const store::Table& table, std::int64_t lastId) {
  if (!firstTable_) text_ += "]},";
  firstTable_ = false;
  firstRow_ = true;
  text_ += "\n{\"name\":" + Json(table.name).dump() +
           ",\"columns\":" + Json(ColumnNames(table)).dump() +
           ",\"lastId\":" + std::to_string(lastId) + ",\"rows\":[";
}

void ManifestWriter::Row(const store::Table& table, const std::vector<Variant>& values,
                         ExportFolder& folder, std::uint64_t& files) {
  const std::int32_t id = CLng(values[0]);
  Json row = Json::array();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const store::Column& column = table.columns[i];
    const Variant& value = values[i];
    if (value.IsNull()) {
      row.push_back(nullptr);
      continue;
    }
    if (!Takes(column.kind, value.kind())) {
      Refuse(Where(table, id, column) + " holds a " + std::string(value.KindName()) +
             ", which its column does not take; the store was not exported.");
    }
    switch (value.kind()) {
      case Variant::Kind::Long:
        row.push_back(value.AsLong());
        break;
      case Variant::Kind::Double:
        if (!std::isfinite(value.AsDouble())) {
          Refuse(Where(table, id, column) + " holds a number that is not finite.");
        }
        row.push_back(value.AsDouble());
        break;
      case Variant::Kind::Date:
        row.push_back({{"$date", DateText(value.AsDate())}});
        break;
      case Variant::Kind::Bytes: {
        const std::string name = ValueFileName(table, id, column);
        folder.Write(name, value.AsBytes());
        ++files;
        row.push_back({{"$file", name}, {"size", value.AsBytes().size()}});
        break;
      }
      default:
        if (!IsValidUtf8(value.AsString())) {
          Refuse(Where(table, id, column) +
                 " holds text that is not UTF-8; the store was not exported.");
        }
        row.push_back(value.AsString());
        break;
    }
  }
  text_ += (firstRow_ ? "\n" : ",\n") + row.dump();
  firstRow_ = false;
}

std::string ManifestWriter::Finish() {
  return text_ + (firstTable_ ? "" : "]}") + "\n]}\n";
}

Manifest ReadManifest(const ImportFolder& folder, int currentSchemaVersion) {
  const std::vector<std::string> names = folder.Names();
  if (std::find(names.begin(), names.end(), kManifestName) == names.end()) {
    Refuse("The folder holds no " + std::string(kManifestName) +
           ": it is no exported store. Nothing was written.");
  }
  const std::uint64_t size = folder.SizeOf(kManifestName);
  if (size > kMostManifestBytes) Bad("it is larger than 1 GiB");
  const Bytes bytes = folder.Read(kManifestName, size);
  Manifest manifest{ParseStrict(std::string(bytes.begin(), bytes.end())), {}, 0, 0};
  const Json& document = manifest.document;
  if (!HasKeys(document, {"format", "formatVersion", "schemaVersion", "tables"}) ||
      document["format"] != kFormat) {
    Bad("it is no manifest of an exported store");
  }
  const std::int64_t version =
      RequireNumber(document["formatVersion"], "formatVersion", 1, kLargestId);
  if (version > kManifestVersion) {
    Refuse("The manifest has format version " + std::to_string(version) +
           ", newer than the version " + std::to_string(kManifestVersion) +
           " that this library reads. Nothing was written.");
  }
  const std::int64_t schema =
      RequireNumber(document["schemaVersion"], "schemaVersion", 1, kLargestId);
  if (schema > currentSchemaVersion) {
    Refuse("The manifest comes from a store of schema version " + std::to_string(schema) +
           ", newer than the version " + std::to_string(currentSchemaVersion) +
           " that this library makes. Nothing was written.");
  }
  manifest.schemaVersion = static_cast<int>(schema);
  const Json& tables = document["tables"];
  if (!tables.is_array() || tables.size() != store::Tables().size()) {
    Bad("it must list the store's " + std::to_string(store::Tables().size()) + " tables");
  }
  std::set<std::string> files;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    manifest.tables.push_back(CheckTable(store::Tables()[i], tables[i], i, folder, files));
    manifest.rowCount += tables[i]["rows"].size();
  }
  for (const std::string& name : names) {
    if (name != kManifestName && files.count(name) == 0) {
      Bad("the folder holds " + name + ", which it does not name");
    }
  }
  return manifest;
}

const nlohmann::json& RowsOf(const Manifest& manifest, const ManifestTable& table) {
  return manifest.document["tables"][table.at]["rows"];
}

std::vector<Variant> DecodeRow(const store::Table& table, const nlohmann::json& row,
                               const ImportFolder& folder) {
  std::vector<Variant> values;
  values.reserve(table.columns.size());
  const std::int64_t id = row[0].get<std::int64_t>();
  values.emplace_back(static_cast<std::int32_t>(id));
  for (std::size_t i = 1; i < table.columns.size(); ++i) {
    values.push_back(Decode(table, table.columns[i], id, row[i], folder, nullptr));
  }
  return values;
}

}  // namespace orvo::operate
