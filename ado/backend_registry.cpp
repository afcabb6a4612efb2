#include "ado/backend.hpp"
#include "ado/sqlite/sqlite_backend.hpp"
#include "orvo/automation/ascii.hpp"

namespace orvo::ado {

namespace {

struct BuiltInBackend {
  std::string_view provider;
  BackendOpener open;
};

constexpr BuiltInBackend kBackends[] = {
    {"SQLite", &OpenSqliteBackend},
};

}  // namespace

BackendOpener FindBackend(std::string_view provider) {
  for (const BuiltInBackend& backend : kBackends) {
    if (ascii::EqualsIgnoreCase(backend.provider, provider)) return backend.open;
  }
  return nullptr;
}

}  // namespace orvo::ado
