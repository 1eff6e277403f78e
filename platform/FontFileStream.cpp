#include "platform/FontFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/FileDescriptor.h"

namespace orlit {
namespace {

constexpr std::size_t kBlockBytes = 4096;

// The file and the blocks of it read so far; the stream FreeType reads through lives in it.
class BlockReader {
 public:
  BlockReader(int fd, std::size_t size)
      : file_(fd), size_(size), blocks_((size + kBlockBytes - 1) / kBlockBytes) {}

  // Copies up to `count` bytes from `offset`: fewer at the end of the file, or where it cannot be
  // read.
  std::size_t Read(std::size_t offset, unsigned char* to, std::size_t count) {
    std::size_t done = 0;
    while (done < count && offset < size_) {
      const unsigned char* block = Block(offset / kBlockBytes);
      if (block == nullptr) break;
      const std::size_t within = offset % kBlockBytes;
      const std::size_t n = std::min({count - done, kBlockBytes - within, size_ - offset});
      std::memcpy(to + done, block + within, n);
      done += n;
      offset += n;
    }
    return done;
  }

  FT_StreamRec stream{};

 private:
  const unsigned char* Block(std::size_t index) {
    if (!blocks_[index]) {
      auto block = std::make_unique<unsigned char[]>(kBlockBytes);
      const std::size_t start = index * kBlockBytes;
      const std::size_t want = std::min(kBlockBytes, size_ - start);
      for (std::size_t got = 0; got < want;) {
        const ssize_t n =
            pread(file_.get(), block.get() + got, want - got, static_cast<off_t>(start + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return nullptr;
        got += static_cast<std::size_t>(n);
      }
      blocks_[index] = std::move(block);
    }
    return blocks_[index].get();
  }

  FileDescriptor file_;
  std::size_t size_;
  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
};

unsigned long ReadStream(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                         unsigned long count) {
  // A count of zero is a seek, which fails (non-zero) past the end.
  if (count == 0) return offset > stream->size ? 1 : 0;
  return static_cast<BlockReader*>(stream->descriptor.pointer)->Read(offset, buffer, count);
}

void CloseStream(FT_Stream stream) { delete static_cast<BlockReader*>(stream->descriptor.pointer); }

}  // namespace

FT_Error OpenFontFileFace(FT_Library library, const std::string& path, int index, FT_Face* face) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size <= 0) {
    return FT_Err_Cannot_Open_Resource;
  }
  auto reader =
      std::make_unique<BlockReader>(file.Release(), static_cast<std::size_t>(info.st_size));
  FT_StreamRec& stream = reader->stream;
  stream.size = static_cast<unsigned long>(info.st_size);
  stream.descriptor.pointer = reader.get();
  stream.read = ReadStream;
  stream.close = CloseStream;
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = &stream;
  // FreeType owns the stream from here: it closes it with the face, or at once when no face
  // can be made of the file.
  reader.release();
  return FT_Open_Face(library, &args, index, face);
}

}  // namespace orlit
