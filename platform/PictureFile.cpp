#include "platform/PictureFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/ClipboardPicture.h"
#include "platform/FileDescriptor.h"
#include "platform/PictureError.h"
#include "platform/PngCodec.h"

namespace orlit {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Linux's own bound on the links one path may pass through.
constexpr int kMaxLinksFollowed = 40;
// Our temporary files: short, whatever the length of the name they replace, and recognisable
// when a crash leaves one behind.
constexpr std::string_view kTempPrefix = ".orlit-save-";
constexpr std::string_view kTempSuffix = "XXXXXX";
constexpr time_t kLeftoverAgeSeconds = 24 * 60 * 60;

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

// The mode a replacing file gets: the old file's without set-user-ID and set-group-ID, which a
// file rewritten by someone else must not carry; a new file's as the umask allows.
mode_t ModeFor(const struct stat* existing) {
  if (existing != nullptr) return existing->st_mode & 0777;
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// Temporary files of ours that a crash left in `folder` more than a day ago; younger ones may
// belong to a save still running.
void RemoveOldLeftovers(const std::string& folder) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const time_t now = time(nullptr);
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(kTempPrefix) || name.size() != kTempPrefix.size() + kTempSuffix.size()) {
      continue;
    }
    struct stat info {};
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
        now - info.st_mtime > kLeftoverAgeSeconds) {
      unlinkat(dirfd(dir), entry->d_name, 0);
    }
  }
  closedir(dir);
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
  // Without blocking: a FIFO or a device would otherwise wait for a writer before saying what it
  // is.
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info {};
  if (file.get() < 0 || fstat(file.get(), &info) != 0) {
    throw EFOpenError(SourceText(N_("Cannot open file \"%s\". %s"), {path, Reason(errno)}));
  }
  if (!S_ISREG(info.st_mode))
    throw EFOpenError(SourceText(N_("Cannot open file \"%s\". Not a file"), {path}));
  if (static_cast<std::uint64_t>(info.st_size) > kMaxPictureDataBytes) {
    throw EInvalidGraphic(SourceText(N_("The picture file \"%s\" is too large"), {path}));
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  while (true) {
    const ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EFOpenError(SourceText(N_("Cannot read file \"%s\". %s"), {path, Reason(errno)}));
    }
    if (bytes.size() + static_cast<std::size_t>(got) > kMaxPictureDataBytes) {
      throw EInvalidGraphic(SourceText(N_("The picture file \"%s\" is too large"), {path}));
    }
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data,
                     FileSteps& steps) {
  const auto fail = [&path](int error) {
    throw EFCreateError(SourceText(N_("Cannot create file \"%s\". %s"), {path, Reason(error)}));
  };
  const std::string target = FinalTarget(path);
  if (target.empty()) fail(ELOOP);
  const std::size_t slash = target.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    throw EFCreateError(SourceText(N_("Cannot create file \"%s\". Not a file"), {path}));
  }
  std::string temp_path = folder + std::string(kTempPrefix) + std::string(kTempSuffix);
  const int fd = steps.CreateTemp(temp_path);
  if (fd < 0) fail(errno);
  TempFile temp(steps, temp_path, fd);

  if (exists) {
    // Owner and group as they were, where we may give them: the owner only by the superuser, a
    // group of ours by anyone. A file that keeps ours instead is still whole.
    if (fchown(temp.fd(), existing.st_uid, existing.st_gid) != 0) {
      [[maybe_unused]] const int ignored =
          fchown(temp.fd(), static_cast<uid_t>(-1), existing.st_gid);
    }
  }
  fchmod(temp.fd(), ModeFor(exists ? &existing : nullptr));  // after fchown, which may clear bits

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
  RemoveOldLeftovers(folder);
}

void WritePngFile(const std::string& path, const PixelImage& image) {
  WriteFileSafely(path, EncodePng(image));
}

}  // namespace orlit
