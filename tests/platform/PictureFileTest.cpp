#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/PictureFile.h"

namespace orlit {
namespace {

namespace fs = std::filesystem;

enum class Step { kNone, kCreate, kWrite, kSync, kClose, kRename };

// The system's steps, with one of them failing.
class FailingSteps : public FileSteps {
 public:
  explicit FailingSteps(Step failing) : failing_(failing) {}
  int CreateTemp(std::string& path) override {
    return Fails(Step::kCreate) ? -1 : FileSteps::CreateTemp(path);
  }
  ssize_t Write(int fd, const void* data, std::size_t size) override {
    // A short first write, so that the rest must follow.
    if (Fails(Step::kWrite) && written_) return -1;
    written_ = true;
    return FileSteps::Write(fd, data, size > 1 ? size / 2 : size);
  }
  int Sync(int fd) override { return Fails(Step::kSync) ? -1 : FileSteps::Sync(fd); }
  int Close(int fd) override {
    const int result = FileSteps::Close(fd);
    return Fails(Step::kClose) ? -1 : result;
  }
  int Rename(const std::string& from, const std::string& to) override {
    return Fails(Step::kRename) ? -1 : FileSteps::Rename(from, to);
  }

 private:
  bool Fails(Step step) {
    if (step != failing_) return false;
    errno = EIO;
    return true;
  }
  Step failing_;
  bool written_ = false;
};

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PictureFileTest, AFailedStepLeavesTheOldFileAndNoTemporaryFile) {
  const fs::path folder = fs::temp_directory_path() / ("orlit_safe_" + std::to_string(getpid()));
  const fs::path target = folder / "pictures" / "logo.bmp";
  const fs::path links = folder / "links";
  fs::create_directories(target.parent_path());
  fs::create_directories(links);
  fs::create_symlink("../pictures/logo.bmp", links / "to_logo.bmp");
  fs::create_symlink("second.bmp", links / "first.bmp");
  fs::create_symlink(target, links / "second.bmp");
  const std::vector<std::uint8_t> fresh = {'n', 'e', 'w', ' ', 'd', 'a', 't', 'a'};
  // Saved under its own name, through a link from another folder, and through a chain of links.
  for (const fs::path& saved : {target, links / "to_logo.bmp", links / "first.bmp"}) {
    for (const Step step :
         {Step::kCreate, Step::kWrite, Step::kSync, Step::kClose, Step::kRename, Step::kNone}) {
      std::ofstream(target, std::ios::binary) << "old";
      fs::permissions(target, fs::perms(0640));
      FailingSteps steps(step);
      if (step == Step::kNone) {
        WriteFileSafely(saved, fresh, steps);
        EXPECT_EQ(Contents(target), "new data");
        EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
        EXPECT_EQ(ReadPictureFile(saved), fresh);
      } else {
        EXPECT_THROW(WriteFileSafely(saved, fresh, steps), EFCreateError) << int(step);
        EXPECT_EQ(Contents(target), "old") << int(step);
      }
      EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), {}), 1) << int(step);
      EXPECT_EQ(std::distance(fs::directory_iterator(links), {}), 3) << int(step);
      for (const auto& link : fs::directory_iterator(links)) EXPECT_TRUE(link.is_symlink());
    }
  }
  EXPECT_THROW(ReadPictureFile(folder / "missing.bmp"), EFOpenError);
  EXPECT_THROW(ReadPictureFile(folder), EFOpenError);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace orlit
