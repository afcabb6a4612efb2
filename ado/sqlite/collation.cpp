#include "ado/sqlite/collation.hpp"

#include "ado/sqlite/error.hpp"
#include "automation/ascii.hpp"

namespace orvo::ado::sqlite {

namespace {

int Compare(void* /*context*/, int leftLength, const void* leftData, int rightLength,
            const void* rightData) {
  const auto* left = static_cast<const char*>(leftData);
  const auto* right = static_cast<const char*>(rightData);
  while (leftLength > 0 && left[leftLength - 1] == ' ') --leftLength;
  while (rightLength > 0 && right[rightLength - 1] == ' ') --rightLength;
  const int common = leftLength < rightLength ? leftLength : rightLength;
  for (int i = 0; i < common; ++i) {
    // Bytes compare unsigned, so UTF-8 sequences sort after ASCII.
    const auto a = static_cast<unsigned char>(ascii::ToLower(left[i]));
    const auto b = static_cast<unsigned char>(ascii::ToLower(right[i]));
    if (a != b) return a < b ? -1 : 1;
  }
  return leftLength < rightLength ? -1 : (leftLength > rightLength ? 1 : 0);
}

}  // namespace

void RegisterEarlierCaseInsensitiveCollation(sqlite3* db) {
  const int rc = sqlite3_create_collation_v2(db, kEarlierCaseInsensitiveCollation, SQLITE_UTF8,
                                             nullptr, &Compare, nullptr);
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db, rc);
}

}  // namespace orvo::ado::sqlite
