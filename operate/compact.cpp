#include "operate/operations.hpp"
#include "operate/store_rows.hpp"

namespace orvo::operate {

store::Compaction CompactStore(const std::string& dsn, const Watchers& watchers) {
  const auto connection = OpenStore(dsn, watchers.observer);
  RequireCurrentStore(*connection, "The store");
  return store::CompactHistory(*connection);
}

}  // namespace orvo::operate
