#include "ado/backend.hpp"
#include "ado/postgres/postgres_backend.hpp"
#include "ado/sqlite/sqlite_backend.hpp"
#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

constexpr BackendInfo kBackends[] = {
    {"SQLite", &OpenSqliteBackend, kSqliteKeys, "Data Source"},
    {"PostgreSQL", &OpenPostgresBackend, kPostgresKeys, ""},
};

}  // namespace

const BackendInfo* FindBackend(std::string_view provider) {
  for (const BackendInfo& backend : kBackends) {
    if (ascii::EqualsIgnoreCase(backend.provider, provider)) return &backend;
  }
  return nullptr;
}

}  // namespace orvo::ado
