#include "ado/sqlite/collation.hpp"

#include "ado/sqlite/error.hpp"

namespace orvo::ado::sqlite {

namespace {

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int Compare(void* /*context*/, int leftLength, const void* leftData, int rightLength,
            const void* rightData) {
  const auto* left = static_cast<const unsigned char*>(leftData);
  const auto* right = static_cast<const unsigned char*>(rightData);
  while (leftLength > 0 && left[leftLength - 1] == ' ') --leftLength;
  while (rightLength > 0 && right[rightLength - 1] == ' ') --rightLength;
  const int common = leftLength < rightLength ? leftLength : rightLength;
  for (int i = 0; i < common; ++i) {
    const unsigned char a = FoldAscii(left[i]);
    const unsigned char b = FoldAscii(right[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return leftLength < rightLength ? -1 : (leftLength > rightLength ? 1 : 0);
}

}  // namespace

void RegisterCaseInsensitiveCollation(sqlite3* db) {
  const int rc = sqlite3_create_collation_v2(db, kCaseInsensitiveCollation, SQLITE_UTF8, nullptr,
                                             &Compare, nullptr);
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db, rc);
}

}  // namespace orvo::ado::sqlite
