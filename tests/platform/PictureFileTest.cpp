#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
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

TEST(PictureFileTest, NonRegularFilesAreRefusedWithoutWaiting) {
  const fs::path folder = fs::temp_directory_path() / ("orlit_fifo_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path fifo = folder / "pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Blocking opens would wait here for a writer that never comes.
  EXPECT_THROW(ReadPictureFile(fifo), EFOpenError);
  EXPECT_THROW(WriteFileSafely(fifo, std::vector<std::uint8_t>{1}), EFCreateError);
  EXPECT_TRUE(fs::is_fifo(fifo));
  fs::remove_all(folder);
}

TEST(PictureFileTest, SavingDropsSetIdBitsUsesAShortNameAndClearsOldLeftovers) {
  const fs::path folder = fs::temp_directory_path() / ("orlit_save_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path target = folder / (std::string(250, 'n') + ".bmp").substr(0, 250);
  std::ofstream(target) << "old";
  ASSERT_EQ(chmod(target.c_str(), 06750), 0);
  const fs::path old_leftover = folder / ".orlit-save-abc123";
  const fs::path young_leftover = folder / ".orlit-save-def456";
  const fs::path not_ours = folder / ".orlit-save-other";
  for (const fs::path& p : {old_leftover, young_leftover, not_ours}) std::ofstream(p) << "x";
  const auto two_days_ago = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(old_leftover, two_days_ago);
  fs::last_write_time(not_ours, two_days_ago);

  WriteFileSafely(target, std::vector<std::uint8_t>{'n', 'e', 'w'});
  EXPECT_EQ(Contents(target), "new");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0750u);
  EXPECT_FALSE(fs::exists(old_leftover));
  EXPECT_TRUE(fs::exists(young_leftover));
  EXPECT_TRUE(fs::exists(not_ours));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace orlit
