// The manifest of an exported store (manifest.json): what the store's tables
// hold, row by row, with each value of bytes in a file of its own beside it.
// The format is written down in docs/decisions.md; export writes it and
// import reads it, treating it as hostile: every name, number, text and size
// is checked against the store's table descriptions before a row is written.
//
// Values and functions; any thread.

#ifndef ORVO_OPERATE_MANIFEST_HPP_
#define ORVO_OPERATE_MANIFEST_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "operate/folder.hpp"
#include "orvo/automation/variant.hpp"
#include "store/tables.hpp"

namespace orvo::operate {

inline constexpr const char* kManifestName = "manifest.json";
inline constexpr int kManifestVersion = 1;

// The file that holds the bytes of a value: "<table>.<id>.<column>".
std::string ValueFileName(const store::Table& table, std::int32_t id, const store::Column& column);

// Builds the manifest text a row at a time, one line per row, so that the same
// store always gives the same bytes.
class ManifestWriter {
 public:
  explicit ManifestWriter(int schemaVersion);
  void BeginTable(const store::Table& table, std::int64_t lastId);
  // Encodes a row; each value of bytes goes to `folder` under its file name.
  // Raises for a value that the manifest does not carry, naming it.
  void Row(const store::Table& table, const std::vector<Variant>& values, ExportFolder& folder,
           std::uint64_t& files);
  std::string Finish();

 private:
  std::string text_;
  bool firstTable_ = true;
  bool firstRow_ = true;
};

// A manifest read and checked against the store's tables and the folder.
struct ManifestTable {
  const store::Table* table = nullptr;
  std::int64_t lastId = 0;
  std::size_t at = 0;  // its place in the document's "tables"
};
struct Manifest {
  nlohmann::json document;
  std::vector<ManifestTable> tables;  // in the store's order
  std::uint64_t rowCount = 0;
  int schemaVersion = 0;  // of the store it came from
};

// Reads manifest.json of `folder` and checks all of it and every file it
// names (present, regular, of its size; no other file in the folder), so
// that an import refuses a bad folder before it writes anything.
Manifest ReadManifest(const ImportFolder& folder, int currentSchemaVersion);

// The rows of a checked table, as the document holds them.
const nlohmann::json& RowsOf(const Manifest& manifest, const ManifestTable& table);

// The values of a checked row, each value of bytes read from its file.
std::vector<Variant> DecodeRow(const store::Table& table, const nlohmann::json& row,
                               const ImportFolder& folder);

}  // namespace orvo::operate

#endif  // ORVO_OPERATE_MANIFEST_HPP_
