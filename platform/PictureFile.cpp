#include "platform/PictureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/ClipboardPicture.h"
#include "platform/PictureError.h"

namespace orlit {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Linux's own bound on the links one path may pass through.
constexpr int kMaxLinksFollowed = 40;

// Closes the descriptor however the read ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The temporary file of one write: closed and removed unless the write got through.
class TempFile {
 public:
  TempFile(FileSteps& steps, std::string path, int fd)
      : steps_(steps), path_(std::move(path)), fd_(fd) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (fd_ >= 0) steps_.Close(fd_);
    if (!path_.empty()) unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  // Closing fails the write too: some file systems report write errors only then.
  int Close() {
    const int result = steps_.Close(fd_);
    fd_ = -1;
    return result;
  }
  void Keep() { path_.clear(); }

 private:
  FileSteps& steps_;
  std::string path_;
  int fd_;
};

// The file a chain of symbolic links ends at, so that saving replaces it and the links stay links.
// A link to nothing yet ends where it points. Returns an empty string for a chain too long or a
// loop, as the system's own bound on following links does.
std::string FinalTarget(std::string path) {
  for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    const ssize_t size = readlink(path.c_str(), link.data(), link.size());
    if (size < 0) return path;  // the steps that follow report why
    link.resize(static_cast<std::size_t>(size));
    const std::size_t slash = path.find_last_of('/');
    path = link.starts_with('/') || slash == std::string::npos ? link
                                                               : path.substr(0, slash + 1) + link;
  }
  return {};
}

}  // namespace

int FileSteps::CreateTemp(std::string& path_template) { return mkstemp(path_template.data()); }
ssize_t FileSteps::Write(int fd, const void* data, std::size_t size) {
  return write(fd, data, size);
}
int FileSteps::Sync(int fd) { return fsync(fd); }
int FileSteps::Close(int fd) { return close(fd); }
int FileSteps::Rename(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str());
}

FileSteps& FileSteps::System() {
  static FileSteps* const steps = new FileSteps;
  return *steps;
}

std::vector<std::uint8_t> ReadPictureFile(const std::string& path) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || fstat(file.get(), &info) != 0) {
    throw EFOpenError("Cannot open file \"" + path + "\". " + Reason(errno));
  }
  if (!S_ISREG(info.st_mode)) throw EFOpenError("Cannot open file \"" + path + "\". Not a file");
  if (static_cast<std::uint64_t>(info.st_size) > kMaxPictureDataBytes) {
    throw EInvalidGraphic("The picture file \"" + path + "\" is too large");
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  while (true) {
    const ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EFOpenError("Cannot read file \"" + path + "\". " + Reason(errno));
    }
    if (bytes.size() + static_cast<std::size_t>(got) > kMaxPictureDataBytes) {
      throw EInvalidGraphic("The picture file \"" + path + "\" is too large");
    }
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data,
                     FileSteps& steps) {
  const auto fail = [&path](int error) {
    throw EFCreateError("Cannot create file \"" + path + "\". " + Reason(error));
  };
  const std::string target = FinalTarget(path);
  if (target.empty()) fail(ELOOP);
  const std::size_t slash = target.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp_path = folder + "." + name + ".XXXXXX";
  const int fd = steps.CreateTemp(temp_path);
  if (fd < 0) fail(errno);
  TempFile temp(steps, temp_path, fd);

  struct stat existing {};
  const mode_t mode = stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  fchmod(temp.fd(), mode);  // mkstemp's 0600 otherwise; a file that keeps it is still whole

  std::size_t written = 0;
  while (written < data.size()) {
    const ssize_t result = steps.Write(temp.fd(), data.data() + written, data.size() - written);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) fail(result == 0 ? EIO : errno);
    written += static_cast<std::size_t>(result);
  }
  if (steps.Sync(temp.fd()) != 0) fail(errno);
  if (temp.Close() != 0) fail(errno);
  if (steps.Rename(temp.path(), target) != 0) fail(errno);
  temp.Keep();
  // The new name reaches the disk with the folder; the data already has.
  const FileDescriptor dir(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.get() >= 0) fsync(dir.get());
}

}  // namespace orlit
