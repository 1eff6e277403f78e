#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "convert/Exceptions.h"
#include "platform/PixelImage.h"

namespace orlit {

// A file that cannot be opened for reading, or created or written.
ORLIT_EXCEPTION_CLASS(EFOpenError, Exception);
ORLIT_EXCEPTION_CLASS(EFCreateError, Exception);

// The system calls a safe write goes through; tests replace one to make it fail.
class FileSteps {
 public:
  virtual ~FileSteps() = default;
  // mkstemp: `path_template` ends in "XXXXXX", which becomes the name made.
  virtual int CreateTemp(std::string& path_template);
  virtual ssize_t Write(int fd, const void* data, std::size_t size);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const std::string& from, const std::string& to);

  static FileSteps& System();
};

// A picture file's bytes. Throws EFOpenError when it cannot be read or is not a regular file (a
// FIFO or a device is refused at once, never waited on), and EInvalidGraphic when it is larger
// than any picture we can hold (before reading it).
std::vector<std::uint8_t> ReadPictureFile(const std::string& path);

// Writes `data` to a new file beside `path` (".orlit-save-XXXXXX", short whatever the name it
// replaces), flushes it to the disk and renames it over `path`, so that `path` holds either its
// old contents or all the new ones, never a part. On any failure the temporary file is removed
// and EFCreateError thrown; `path` is untouched. A replaced file keeps its permissions, less the
// set-user-ID and set-group-ID bits, and its owner and group where the system lets us give them.
// A symbolic link stays one: the file it leads to is what is replaced. A hard link does not: the
// name saved to gets a new file and the other names keep the old one, as with every save that
// cannot leave a half-written file. Something that is not a regular file is not replaced. Our
// temporary files older than a day in that folder, left by a crash, are removed.
void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data,
                     FileSteps& steps = FileSteps::System());

// `image` as an opaque PNG file, written safely. Throws EInvalidGraphic for an empty image and
// EFCreateError when the file cannot be written.
void WritePngFile(const std::string& path, const PixelImage& image);

}  // namespace orlit
