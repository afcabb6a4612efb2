#include <cctype>

#include "ado/backend.hpp"
#include "ado/sqlite/sqlite_backend.hpp"

namespace orvo::ado {

namespace {

struct BuiltInBackend {
  std::string_view provider;
  BackendOpener open;
};

constexpr BuiltInBackend kBackends[] = {
    {"SQLite", &OpenSqliteBackend},
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

BackendOpener FindBackend(std::string_view provider) {
  for (const BuiltInBackend& backend : kBackends) {
    if (EqualsNoCase(backend.provider, provider)) return backend.open;
  }
  return nullptr;
}

}  // namespace orvo::ado
