#pragma once

// The JPEG library, opened with the first JPEG read or written instead of linked: the window's own
// pictures come decoded by the build, so a start never needs it. The codec includes this header,
// never <jpeglib.h>: it declares the library's functions, then names each one the codec uses for
// its opened counterpart.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace orlit {

#define ORLIT_JPEG_FUNCTIONS(X) \
  X(CreateCompress)             \
  X(CreateDecompress)           \
  X(calc_output_dimensions)     \
  X(destroy_compress)           \
  X(destroy_decompress)         \
  X(finish_compress)            \
  X(finish_decompress)          \
  X(mem_src)                    \
  X(read_header)                \
  X(read_scanlines)             \
  X(set_defaults)               \
  X(set_quality)                \
  X(start_compress)             \
  X(start_decompress)           \
  X(std_error)                  \
  X(write_scanlines)

struct JpegLibrary {
#define ORLIT_JPEG_MEMBER(name) decltype(&::jpeg_##name) name = nullptr;
  ORLIT_JPEG_FUNCTIONS(ORLIT_JPEG_MEMBER)
#undef ORLIT_JPEG_MEMBER

  // Kept for the life of the process once opened; null when the library or one of its functions
  // is missing.
  static const JpegLibrary* Get();
};

}  // namespace orlit

#define jpeg_CreateCompress (::orlit::JpegLibrary::Get()->CreateCompress)
#define jpeg_CreateDecompress (::orlit::JpegLibrary::Get()->CreateDecompress)
#define jpeg_calc_output_dimensions (::orlit::JpegLibrary::Get()->calc_output_dimensions)
#define jpeg_destroy_compress (::orlit::JpegLibrary::Get()->destroy_compress)
#define jpeg_destroy_decompress (::orlit::JpegLibrary::Get()->destroy_decompress)
#define jpeg_finish_compress (::orlit::JpegLibrary::Get()->finish_compress)
#define jpeg_finish_decompress (::orlit::JpegLibrary::Get()->finish_decompress)
#define jpeg_mem_src (::orlit::JpegLibrary::Get()->mem_src)
#define jpeg_read_header (::orlit::JpegLibrary::Get()->read_header)
#define jpeg_read_scanlines (::orlit::JpegLibrary::Get()->read_scanlines)
#define jpeg_set_defaults (::orlit::JpegLibrary::Get()->set_defaults)
#define jpeg_set_quality (::orlit::JpegLibrary::Get()->set_quality)
#define jpeg_start_compress (::orlit::JpegLibrary::Get()->start_compress)
#define jpeg_start_decompress (::orlit::JpegLibrary::Get()->start_decompress)
#define jpeg_std_error (::orlit::JpegLibrary::Get()->std_error)
#define jpeg_write_scanlines (::orlit::JpegLibrary::Get()->write_scanlines)
