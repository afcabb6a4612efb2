#include "operate/folder.hpp"
#include "operate/manifest.hpp"
#include "operate/operations.hpp"
#include "operate/store_rows.hpp"
#include "store/backend_schema.hpp"
#include "store/filling.hpp"

namespace orvo::operate {

MoveReport ImportStore(const std::filesystem::path& folder, const std::string& dsn,
                       const Watchers& watchers) {
  const ImportFolder in(folder);
  // Checked whole before the target is opened, which may make its database.
  const Manifest manifest = ReadManifest(in, store::NewestSchemaVersion());

  const auto target = OpenStore(dsn, watchers.observer, ado::IfMissing::Create);
  MoveReport report;
  store::CreateSchemaThen(*target, [&] {
    if (manifest.schemaVersion > store::SchemaOf(*target).CurrentVersion()) {
      Refuse("The manifest comes from a store of schema version " +
             std::to_string(manifest.schemaVersion) +
             ", newer than the target's. Nothing was "
             "written.");
    }
    RequireNoRows(*target, "The target store");
    ProgressCount progress(watchers.progress, manifest.rowCount);
    report = {};
    for (const ManifestTable& table : manifest.tables) {
      std::uint64_t rows = 0;
      for (const nlohmann::json& row : RowsOf(manifest, table)) {
        const std::vector<Variant> values = DecodeRow(*table.table, row, in);
        for (const Variant& value : values) {
          if (value.kind() == Variant::Kind::Bytes) ++report.files;
        }
        InsertRow(*target, *table.table, values);
        ++rows;
        progress.Done();
      }
      SetLastIdentity(*target, *table.table, table.lastId);
      report.rows.emplace_back(table.table->name, rows);
    }
  });
  return report;
}

}  // namespace orvo::operate
