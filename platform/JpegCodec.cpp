#include "platform/JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>

#include "platform/DecodeLimits.h"
#include "platform/JpegLibrary.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

// A progressive file may repeat scans without end, each one a full pass over the picture; real
// encoders write about ten.
constexpr int kMaxScans = 100;
// Each warning costs a search through the data; a file made of little else is refused.
constexpr long kMaxWarnings = 1000;
// libjpeg decodes at 1/2, 1/4 or 1/8 of the stored size, its inverse transforms that much
// cheaper; a 48-megapixel photograph is held at 1/2.
constexpr unsigned kMaxScaleDenominator = 8;
// Its entropy decoding still walks every stored block, so the stored size is bounded too.
constexpr std::uint64_t kMaxJpegStoredPixels = kMaxPicturePixels * 16;
// libjpeg's own work memory for one decode or encode: a progressive picture of the largest size
// keeps all its coefficients, 2 bytes per sample.
constexpr long kMaxWorkMemory = 256L * 1024 * 1024;
constexpr std::size_t kOutputChunk = 16 * 1024;

// libjpeg reports errors through these callbacks. The default handler would print and exit();
// ours jumps back to the setjmp in the function that called libjpeg, which returns false, and
// only its caller, with every libjpeg frame gone, throws.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  (*cinfo->err->format_message)(cinfo, reinterpret_cast<ErrorManager*>(cinfo->err)->message);
  JumpBack(cinfo);
}

// Warnings that mean pixel data is missing or damaged, which libjpeg would paper over with grey
// blocks: a picture is shown whole or not at all. Every other warning is about bytes outside the
// pixels (junk before a marker, a damaged APPn block) and leaves the picture whole, as every
// viewer shows it.
bool IsMissingPixelsWarning(int code) {
  switch (code) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_TOO_MUCH_DATA:
      return true;
    default:
      return false;
  }
}

void EmitMessage(j_common_ptr cinfo, int msg_level) {
  if (msg_level >= 0) return;  // trace messages
  if (IsMissingPixelsWarning(cinfo->err->msg_code)) ErrorExit(cinfo);
  if (++cinfo->err->num_warnings > kMaxWarnings) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "more than %ld warnings", kMaxWarnings);
    JumpBack(cinfo);
  }
}

void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxScans);
    JumpBack(cinfo);
  }
}

void InstallErrorManager(ErrorManager* err) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = ErrorExit;
  err->pub.emit_message = EmitMessage;
  err->pub.output_message = OutputMessage;
}

struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};

  Decoder() { cinfo.err = &err.pub; }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  // Also right after a failed jpeg_create_decompress: with no memory manager it does nothing.
  ~Decoder() { jpeg_destroy_decompress(&cinfo); }
};

// The functions that call setjmp hold no objects with destructors: longjmp would skip them.
bool ReadHeader(Decoder* d, const std::uint8_t* data, std::size_t size, std::uint64_t max_pixels) {
  InstallErrorManager(&d->err);
  if (setjmp(d->err.jump)) return false;
  jpeg_create_decompress(&d->cinfo);
  d->cinfo.mem->max_memory_to_use = kMaxWorkMemory;
  d->progress.progress_monitor = ProgressMonitor;
  d->cinfo.progress = &d->progress;
  jpeg_mem_src(&d->cinfo, data, size);
  jpeg_read_header(&d->cinfo, TRUE);
  const bool cmyk = d->cinfo.jpeg_color_space == JCS_CMYK || d->cinfo.jpeg_color_space == JCS_YCCK;
  d->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  d->cinfo.scale_num = 1;
  d->cinfo.scale_denom = 1;
  jpeg_calc_output_dimensions(&d->cinfo);
  while (std::uint64_t{d->cinfo.output_width} * d->cinfo.output_height > max_pixels &&
         d->cinfo.scale_denom < kMaxScaleDenominator) {
    d->cinfo.scale_denom *= 2;
    jpeg_calc_output_dimensions(&d->cinfo);
  }
  return true;
}

std::uint32_t ToRgb(const JSAMPLE* p, bool cmyk, bool inverted_cmyk) {
  if (!cmyk) return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  std::uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
  // Adobe's writers store CMYK inverted, so there the values already are 255 - ink.
  if (!inverted_cmyk) {
    c = 255 - c;
    m = 255 - m;
    y = 255 - y;
    k = 255 - k;
  }
  return ((c * k + 127) / 255 << 16) | ((m * k + 127) / 255 << 8) | (y * k + 127) / 255;
}

bool DecodePixels(Decoder* d, PixelImage* image, JSAMPLE* row) {
  if (setjmp(d->err.jump)) return false;
  jpeg_start_decompress(&d->cinfo);
  const bool cmyk = d->cinfo.out_color_space == JCS_CMYK;
  const bool inverted = d->cinfo.saw_Adobe_marker;
  const std::size_t components = cmyk ? 4 : 3;
  while (d->cinfo.output_scanline < d->cinfo.output_height) {
    const int y = static_cast<int>(d->cinfo.output_scanline);
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(&d->cinfo, rows, 1) != 1) ERREXIT(&d->cinfo, JERR_INPUT_EOF);
    std::span<std::uint32_t> out = image->Row(y);
    for (std::size_t x = 0; x < out.size(); ++x) {
      out[x] = ToRgb(row + x * components, cmyk, inverted);
    }
  }
  jpeg_finish_decompress(&d->cinfo);
  return true;
}

// Collects the compressed bytes in a vector the caller owns, so nothing libjpeg allocated for the
// output can outlive a failed encode.
struct VectorDestination {
  jpeg_destination_mgr pub;
  std::vector<std::uint8_t>* out;
};

bool Grow(std::vector<std::uint8_t>* out, std::size_t size) noexcept {
  try {
    out->resize(size);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

VectorDestination* DestinationOf(j_compress_ptr cinfo) {
  return reinterpret_cast<VectorDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
  VectorDestination* dest = DestinationOf(cinfo);
  if (!Grow(dest->out, kOutputChunk)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->out->data();
  dest->pub.free_in_buffer = dest->out->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  VectorDestination* dest = DestinationOf(cinfo);
  const std::size_t used = dest->out->size();
  if (!Grow(dest->out, used * 2)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->out->data() + used;
  dest->pub.free_in_buffer = dest->out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  VectorDestination* dest = DestinationOf(cinfo);
  dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

struct Encoder {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  VectorDestination dest{};

  explicit Encoder(std::vector<std::uint8_t>* out) {
    cinfo.err = &err.pub;
    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyOutputBuffer;
    dest.pub.term_destination = TermDestination;
    dest.out = out;
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  ~Encoder() { jpeg_destroy_compress(&cinfo); }
};

bool Compress(Encoder* e, const PixelImage* image, int quality, JSAMPLE* row) {
  InstallErrorManager(&e->err);
  if (setjmp(e->err.jump)) return false;
  jpeg_create_compress(&e->cinfo);
  e->cinfo.mem->max_memory_to_use = kMaxWorkMemory;
  e->cinfo.dest = &e->dest.pub;
  e->cinfo.image_width = static_cast<JDIMENSION>(image->Width());
  e->cinfo.image_height = static_cast<JDIMENSION>(image->Height());
  e->cinfo.input_components = 3;
  e->cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e->cinfo);
  jpeg_set_quality(&e->cinfo, quality, TRUE);
  jpeg_start_compress(&e->cinfo, TRUE);
  while (e->cinfo.next_scanline < e->cinfo.image_height) {
    std::span<const std::uint32_t> in = image->Row(static_cast<int>(e->cinfo.next_scanline));
    for (std::size_t x = 0; x < in.size(); ++x) {
      row[3 * x] = static_cast<JSAMPLE>(in[x] >> 16);
      row[3 * x + 1] = static_cast<JSAMPLE>(in[x] >> 8);
      row[3 * x + 2] = static_cast<JSAMPLE>(in[x]);
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&e->cinfo, rows, 1);
  }
  jpeg_finish_compress(&e->cinfo);
  return true;
}

// Before any object that calls the library on its destruction.
void RequireLibrary() {
  if (JpegLibrary::Get() == nullptr) {
    throw EInvalidGraphic("Cannot read or write JPEG: the JPEG library (libjpeg.so.62) is missing");
  }
}

}  // namespace

PixelImage DecodeJpeg(std::span<const std::uint8_t> data, std::uint64_t max_pixels) {
  RequireLibrary();
  Decoder decoder;
  if (!ReadHeader(&decoder, data.data(), data.size(), max_pixels)) {
    throw EInvalidGraphic(SourceText(N_("Invalid JPEG: %s"), {decoder.err.message}));
  }
  // The stored size is what the data must be in proportion to; the scaled one is what we hold.
  const JDIMENSION stored_width = decoder.cinfo.image_width;
  const JDIMENSION stored_height = decoder.cinfo.image_height;
  const JDIMENSION width = decoder.cinfo.output_width;
  const JDIMENSION height = decoder.cinfo.output_height;
  if (!IsPlausiblePictureSize(stored_width, stored_height, data.size(), kMaxJpegStoredPixels) ||
      std::uint64_t{width} * height > max_pixels ||
      !PixelImage::IsValidSize(static_cast<int>(width), static_cast<int>(height))) {
    throw EInvalidGraphic("Invalid JPEG: size " + std::to_string(stored_width) + " x " +
                          std::to_string(stored_height) + " too large for " +
                          std::to_string(data.size()) + " bytes");
  }
  PixelImage image(static_cast<int>(width), static_cast<int>(height));
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) *
                           static_cast<std::size_t>(decoder.cinfo.output_components));
  if (!DecodePixels(&decoder, &image, row.data())) {
    throw EInvalidGraphic(SourceText(N_("Invalid JPEG: %s"), {decoder.err.message}));
  }
  return image;
}

std::vector<std::uint8_t> EncodeJpeg(const PixelImage& image, int quality) {
  if (image.IsEmpty()) throw EInvalidGraphic("Cannot write an empty JPEG image");
  RequireLibrary();
  std::vector<std::uint8_t> out;
  std::vector<JSAMPLE> row(static_cast<std::size_t>(image.Width()) * 3);
  Encoder encoder(&out);
  if (!Compress(&encoder, &image, std::clamp(quality, 1, 100), row.data())) {
    throw EInvalidGraphic(std::string("Cannot write JPEG: ") + encoder.err.message);
  }
  return out;
}

}  // namespace orlit
