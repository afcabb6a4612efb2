// TempDirectory is a new directory under the system's temporary directory,
// removed with everything in it when the object goes: a place for a test's
// store files.
//
// Owned by one test.

#ifndef ORVO_TESTS_SUPPORT_TEMP_DIRECTORY_HPP_
#define ORVO_TESTS_SUPPORT_TEMP_DIRECTORY_HPP_

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace orvo::testing {

class TempDirectory {
 public:
  TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // A data source text for a SQLite file of this name in the directory.
  std::string SqliteDsn(const std::string& file = "store.db") const {
    return "Provider=SQLite;Data Source=" + (path_ / file).string();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_TEMP_DIRECTORY_HPP_
