// The folders that export writes and import reads, handled as a hostile
// local user may have prepared them: a name in the folder is never followed
// when it is a symbolic link, a file is never replaced, and only regular
// files are read. Names are single path components that the caller made.
//
// Each object owns its folder's descriptor; one thread.

#ifndef ORVO_OPERATE_FOLDER_HPP_
#define ORVO_OPERATE_FOLDER_HPP_

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "orvo/automation/variant.hpp"

namespace orvo::operate {

// A folder that export fills: one that did not exist (made here) or an empty
// directory. Until Keep is called, destroying it removes every file it wrote,
// and the folder itself when it made it.
class ExportFolder {
 public:
  explicit ExportFolder(const std::filesystem::path& path);
  ~ExportFolder();
  ExportFolder(const ExportFolder&) = delete;
  ExportFolder& operator=(const ExportFolder&) = delete;

  // Writes a new file; raises when the name exists, whatever it is.
  void Write(const std::string& name, ByteSpan bytes);
  void Keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  bool made_ = false;
  bool kept_ = false;
  std::vector<std::string> written_;
};

// A folder that import reads.
class ImportFolder {
 public:
  explicit ImportFolder(const std::filesystem::path& path);
  ~ImportFolder();
  ImportFolder(const ImportFolder&) = delete;
  ImportFolder& operator=(const ImportFolder&) = delete;

  // The names the folder holds, without "." and "..".
  std::vector<std::string> Names() const;
  // The size of a regular file; raises for anything else or a missing name.
  std::uint64_t SizeOf(const std::string& name) const;
  // The bytes of a regular file that must hold `size` of them, no more and
  // no fewer.
  Bytes Read(const std::string& name, std::uint64_t size) const;

 private:
  int Open(const std::string& name, std::uint64_t& size) const;

  std::filesystem::path path_;
  int fd_ = -1;
};

}  // namespace orvo::operate

#endif  // ORVO_OPERATE_FOLDER_HPP_
