#include "operate/folder.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "operate/store_rows.hpp"

namespace orvo::operate {

namespace {

[[noreturn]] void RefuseErrno(const std::string& what, int error) {
  Refuse(what + ": " + std::strerror(error) + ".");
}

// Opens the directory `path` names without following a link there.
int OpenDirectory(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) return fd;
  const int error = errno;
  struct stat st {};
  if (error == ENOENT) Refuse("The folder " + path.string() + " does not exist.");
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    Refuse(path.string() + " is a symbolic link; give the folder itself.");
  }
  if (error == ENOTDIR) Refuse(path.string() + " is not a folder.");
  RefuseErrno("Cannot open the folder " + path.string(), error);
}

// The names in an open directory, read through a descriptor of its own so
// that `fd` keeps its place.
std::vector<std::string> EntriesOf(int fd, const std::filesystem::path& path) {
  const int own = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
  if (dir == nullptr) {
    const int error = errno;
    if (own >= 0) ::close(own);
    RefuseErrno("Cannot list the folder " + path.string(), error);
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

}  // namespace

ExportFolder::ExportFolder(const std::filesystem::path& path) : path_(path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) RefuseErrno("Cannot look at " + path.string(), errno);
    if (::mkdir(path.c_str(), 0777) != 0) {
      RefuseErrno("Cannot make the folder " + path.string(), errno);
    }
    made_ = true;
  } else if (S_ISLNK(st.st_mode)) {
    Refuse(path.string() + " is a symbolic link; export writes only into a folder of its own.");
  } else if (!S_ISDIR(st.st_mode)) {
    Refuse(path.string() + " is not a folder; export writes into a new or empty folder.");
  }
  fd_ = OpenDirectory(path);
  if (!made_ && !EntriesOf(fd_, path).empty()) {
    ::close(fd_);
    Refuse("The folder " + path.string() +
           " is not empty; export writes only into a new or empty folder.");
  }
}

ExportFolder::~ExportFolder() {
  if (!kept_) {
    for (const std::string& name : written_) ::unlinkat(fd_, name.c_str(), 0);
    if (made_) ::rmdir(path_.c_str());
  }
  ::close(fd_);
}

void ExportFolder::Write(const std::string& name, ByteSpan bytes) {
  const int fd =
      ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) RefuseErrno("Cannot make " + (path_ / name).string(), errno);
  written_.push_back(name);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      ::close(fd);
      RefuseErrno("Cannot write " + (path_ / name).string(), error);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) RefuseErrno("Cannot write " + (path_ / name).string(), errno);
}

ImportFolder::ImportFolder(const std::filesystem::path& path)
    : path_(path), fd_(OpenDirectory(path)) {}

ImportFolder::~ImportFolder() {
  ::close(fd_);
}

std::vector<std::string> ImportFolder::Names() const {
  return EntriesOf(fd_, path_);
}

int ImportFolder::Open(const std::string& name, std::uint64_t& size) const {
  // Not blocking, so that a FIFO planted under a file's name cannot hold the
  // import up; it is refused as what it is.
  const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) Refuse("The folder " + path_.string() + " lacks the file " + name + ".");
    if (error == ELOOP) Refuse((path_ / name).string() + " is a symbolic link, not a file.");
    RefuseErrno("Cannot read " + (path_ / name).string(), error);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    Refuse((path_ / name).string() + " is not a regular file.");
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

std::uint64_t ImportFolder::SizeOf(const std::string& name) const {
  std::uint64_t size = 0;
  ::close(Open(name, size));
  return size;
}

Bytes ImportFolder::Read(const std::string& name, std::uint64_t size) const {
  std::uint64_t found = 0;
  const int fd = Open(name, found);
  Bytes bytes;
  if (found == size) {
    bytes.resize(size);
    std::size_t done = 0;
    // One byte more than expected is asked for, to see that the file ends.
    std::uint8_t extra = 0;
    for (;;) {
      const bool inside = done < bytes.size();
      const ssize_t n =
          ::read(fd, inside ? bytes.data() + done : &extra, inside ? bytes.size() - done : 1);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        const int error = errno;
        ::close(fd);
        RefuseErrno("Cannot read " + (path_ / name).string(), error);
      }
      if (n == 0 || !inside) {
        found = done + static_cast<std::size_t>(inside ? 0 : n);
        break;
      }
      done += static_cast<std::size_t>(n);
    }
  }
  ::close(fd);
  if (found != size) {
    Refuse((path_ / name).string() + " holds " + std::to_string(found) + " bytes, not the " +
           std::to_string(size) + " that the manifest gives.");
  }
  return bytes;
}

}  // namespace orvo::operate
