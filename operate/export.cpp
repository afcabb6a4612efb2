#include "operate/folder.hpp"
#include "operate/manifest.hpp"
#include "operate/operations.hpp"
#include "operate/read_snapshot.hpp"
#include "operate/store_rows.hpp"

namespace orvo::operate {

MoveReport ExportStore(const std::string& dsn, const std::filesystem::path& folder,
                       const Watchers& watchers) {
  const auto source = OpenStore(dsn, watchers.observer);
  RequireCurrentStore(*source, "The store");
  ReadingSnapshot snapshot(*source);

  std::uint64_t total = 0;
  for (const store::Table& table : store::Tables()) total += CountRows(*source, table);

  // The folder is made or taken only once the store is known to be readable.
  ExportFolder out(folder);
  ProgressCount progress(watchers.progress, total);
  ManifestWriter manifest(store::SchemaOf(*source).CurrentVersion());
  MoveReport report;
  for (const store::Table& table : store::Tables()) {
    manifest.BeginTable(table, LastIdentity(*source, table));
    std::uint64_t rows = 0;
    ForEachRow(*source, table, [&](const std::vector<Variant>& values) {
      manifest.Row(table, values, out, report.files);
      ++rows;
      progress.Done();
    });
    report.rows.emplace_back(table.name, rows);
  }
  // Written last: a folder without it is no export, whatever else it holds.
  const std::string text = manifest.Finish();
  out.Write(kManifestName,
            ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  out.Keep();
  return report;
}

}  // namespace orvo::operate
