#include "ado/connection_string.hpp"
#include "operate/operations.hpp"
#include "operate/read_snapshot.hpp"
#include "operate/store_rows.hpp"
#include "store/filling.hpp"

namespace orvo::operate {

MoveReport CopyStore(const std::string& from, const std::string& to, const Watchers& watchers) {
  if (ado::IdentityOf(from).key == ado::IdentityOf(to).key) {
    Refuse("The source and the target are the same store. Nothing was written.");
  }
  const auto source = OpenStore(from, watchers.observer);
  RequireCurrentStore(*source, "The source store");
  ReadingSnapshot snapshot(*source);
  std::uint64_t total = 0;
  for (const store::Table& table : store::Tables()) total += CountRows(*source, table);

  const auto target = OpenStore(to, watchers.observer, ado::IfMissing::Create);
  MoveReport report;
  store::CreateSchemaThen(*target, [&] {
    RequireNoRows(*target, "The target store");
    ProgressCount progress(watchers.progress, total);
    report = {};
    for (const store::Table& table : store::Tables()) {
      std::uint64_t rows = 0;
      ForEachRow(*source, table, [&](const std::vector<Variant>& values) {
        InsertRow(*target, table, values);
        ++rows;
        progress.Done();
      });
      SetLastIdentity(*target, table, LastIdentity(*source, table));
      report.rows.emplace_back(table.name, rows);
    }
  });
  return report;
}

}  // namespace orvo::operate
