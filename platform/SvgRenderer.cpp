#include "platform/SvgRenderer.h"

#include <cairo.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "platform/AlphaKey.h"
#include "platform/FileDescriptor.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

// The parts of the renderer's C interface used here, declared by hand: only its runtime
// library needs to be installed. The renderer draws on surfaces of the cairo it loads itself,
// reached through its handle, so it never depends on how the program was linked.
struct RsvgHandle;
struct GError {
  std::uint32_t domain;
  int code;
  char* message;
};
struct RsvgRectangle {
  double x, y, width, height;
};

struct RsvgLibrary {
  RsvgHandle* (*new_from_data)(const std::uint8_t*, std::size_t, GError**) = nullptr;
  int (*intrinsic_size_in_pixels)(RsvgHandle*, double*, double*) = nullptr;
  int (*render_document)(RsvgHandle*, cairo_t*, const RsvgRectangle*, GError**) = nullptr;
  void (*object_unref)(void*) = nullptr;
  void (*error_free)(GError*) = nullptr;
  cairo_surface_t* (*surface_create)(cairo_format_t, int, int) = nullptr;
  void (*surface_flush)(cairo_surface_t*) = nullptr;
  unsigned char* (*surface_data)(cairo_surface_t*) = nullptr;
  int (*surface_stride)(cairo_surface_t*) = nullptr;
  cairo_status_t (*surface_status)(cairo_surface_t*) = nullptr;
  void (*surface_destroy)(cairo_surface_t*) = nullptr;
  cairo_t* (*context_create)(cairo_surface_t*) = nullptr;
  void (*context_destroy)(cairo_t*) = nullptr;

  bool Complete() const {
    return new_from_data && intrinsic_size_in_pixels && render_document && object_unref &&
           error_free && surface_create && surface_flush && surface_data && surface_stride &&
           surface_status && surface_destroy && context_create && context_destroy;
  }
};

template <typename F>
void Bind(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
}

// Loaded once and kept for the life of the process; null when the library is not there.
const RsvgLibrary* Library() {
  static const RsvgLibrary* const library = []() -> const RsvgLibrary* {
    void* handle = dlopen("librsvg-2.so.2", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new RsvgLibrary;
    Bind(handle, "rsvg_handle_new_from_data", lib->new_from_data);
    Bind(handle, "rsvg_handle_get_intrinsic_size_in_pixels", lib->intrinsic_size_in_pixels);
    Bind(handle, "rsvg_handle_render_document", lib->render_document);
    Bind(handle, "g_object_unref", lib->object_unref);
    Bind(handle, "g_error_free", lib->error_free);
    Bind(handle, "cairo_image_surface_create", lib->surface_create);
    Bind(handle, "cairo_surface_flush", lib->surface_flush);
    Bind(handle, "cairo_image_surface_get_data", lib->surface_data);
    Bind(handle, "cairo_image_surface_get_stride", lib->surface_stride);
    Bind(handle, "cairo_surface_status", lib->surface_status);
    Bind(handle, "cairo_surface_destroy", lib->surface_destroy);
    Bind(handle, "cairo_create", lib->context_create);
    Bind(handle, "cairo_destroy", lib->context_destroy);
    if (lib->Complete()) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic(SourceText(N_("Invalid SVG drawing: %s"), {reason}));
}

// A surface and its drawing context of the renderer's cairo.
class RenderTarget {
 public:
  RenderTarget(const RsvgLibrary& lib, int width, int height)
      : lib_(lib),
        surface_(lib.surface_create(CAIRO_FORMAT_ARGB32, width, height)),
        cr_(lib.context_create(surface_)) {}
  ~RenderTarget() {
    lib_.context_destroy(cr_);
    lib_.surface_destroy(surface_);
  }
  RenderTarget(const RenderTarget&) = delete;
  RenderTarget& operator=(const RenderTarget&) = delete;

  bool Ok() const { return lib_.surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  cairo_t* Context() const { return cr_; }
  PixelImage Pixels(int width, int height) const {
    lib_.surface_flush(surface_);
    return ImageFromCairoPixels(lib_.surface_data(surface_), width, height,
                                lib_.surface_stride(surface_), true);
  }

 private:
  const RsvgLibrary& lib_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

class Handle {
 public:
  Handle(const RsvgLibrary& lib, std::span<const std::uint8_t> data) : lib_(lib) {
    GError* error = nullptr;
    handle_ = lib.new_from_data(data.data(), data.size(), &error);
    if (error != nullptr) {
      const std::string message = error->message != nullptr ? error->message : "unreadable";
      lib.error_free(error);
      if (handle_ != nullptr) lib.object_unref(handle_);
      Fail(message);
    }
    if (handle_ == nullptr) Fail("unreadable");
  }
  ~Handle() { lib_.object_unref(handle_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  RsvgHandle* get() const { return handle_; }

 private:
  const RsvgLibrary& lib_;
  RsvgHandle* handle_ = nullptr;
};

PixelImage RenderHere(const RsvgLibrary* lib, std::span<const std::uint8_t> data, double scale) {
  const Handle handle(*lib, data);
  double width = 0;
  double height = 0;
  if (!lib->intrinsic_size_in_pixels(handle.get(), &width, &height)) Fail("no size of its own");
  width *= scale;
  height *= scale;
  if (!(width >= 1 && height >= 1) ||
      std::ceil(width) * std::ceil(height) > static_cast<double>(kMaxSvgPixels)) {
    Fail("size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
  }
  const int w = static_cast<int>(std::ceil(width));
  const int h = static_cast<int>(std::ceil(height));
  const RenderTarget target(*lib, w, h);
  if (!target.Ok()) Fail("no memory to render into");
  const RsvgRectangle viewport{0, 0, width, height};
  GError* error = nullptr;
  const bool rendered =
      lib->render_document(handle.get(), target.Context(), &viewport, &error) != 0;
  if (error != nullptr) {
    const std::string message = error->message != nullptr ? error->message : "not rendered";
    lib->error_free(error);
    Fail(message);
  }
  if (!rendered) Fail("not rendered");
  return target.Pixels(w, h);
}

// What the renderer's process sends back: 'P', then width, height, whether transparent and the
// transparent colour (32 bits each, this machine's order), then the pixels; or 'E' and why not.
constexpr char kPictureTag = 'P';
constexpr char kErrorTag = 'E';
constexpr std::size_t kHeaderBytes = 1 + 4 * sizeof(std::uint32_t);
constexpr std::size_t kMaxErrorBytes = 4096;
// A renderer that uses no time of its own (stuck on a lock, say) is not waited for longer.
constexpr int kMaxRenderWallMs = 10000;

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// In the renderer's process: nothing here returns to the program.
[[noreturn]] void RenderForParent(const RsvgLibrary* lib, std::span<const std::uint8_t> data,
                                  double scale, int fd) {
  signal(SIGPIPE, SIG_IGN);
  const rlimit cpu{kMaxSvgCpuSeconds, kMaxSvgCpuSeconds + 1};
  setrlimit(RLIMIT_CPU, &cpu);
  std::string reply;
  try {
    const PixelImage image = RenderHere(lib, data, scale);
    const std::uint32_t header[4] = {static_cast<std::uint32_t>(image.Width()),
                                     static_cast<std::uint32_t>(image.Height()),
                                     image.Transparent() ? 1u : 0u, image.TransparentColor()};
    const bool sent = WriteAll(fd, &kPictureTag, 1) && WriteAll(fd, header, sizeof header) &&
                      WriteAll(fd, image.Pixels().data(), image.Pixels().size_bytes());
    _exit(sent ? 0 : 1);
  } catch (const Exception& e) {
    reply = e.Message();
  } catch (...) {
    reply = "Invalid SVG drawing: not rendered";
  }
  reply = kErrorTag + reply.substr(0, kMaxErrorBytes);
  _exit(WriteAll(fd, reply.data(), reply.size()) ? 0 : 1);
}

// The renderer's process, killed and reaped however the wait for it ends.
class RendererProcess {
 public:
  explicit RendererProcess(pid_t pid) : pid_(pid) {}
  RendererProcess(const RendererProcess&) = delete;
  RendererProcess& operator=(const RendererProcess&) = delete;
  ~RendererProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  // Whether it ended by itself after saying all it had to say.
  bool EndedWell() {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t pid_;
};

[[noreturn]] void TooComplex() { throw EInvalidGraphic(N_("Picture too complex to draw")); }

PixelImage PictureFromReply(const std::vector<std::uint8_t>& reply) {
  if (reply.empty()) TooComplex();
  if (reply[0] == kErrorTag) throw EInvalidGraphic(std::string(reply.begin() + 1, reply.end()));
  if (reply[0] != kPictureTag || reply.size() < kHeaderBytes) TooComplex();
  std::uint32_t header[4];
  std::memcpy(header, reply.data() + 1, sizeof header);
  const auto width = static_cast<int>(header[0]);
  const auto height = static_cast<int>(header[1]);
  if (static_cast<std::uint64_t>(header[0]) * header[1] > kMaxSvgPixels ||
      reply.size() - kHeaderBytes != std::size_t{header[0]} * header[1] * 4) {
    TooComplex();
  }
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    std::memcpy(
        image.Row(y).data(),
        reply.data() + kHeaderBytes + std::size_t{header[0]} * 4 * static_cast<std::size_t>(y),
        std::size_t{header[0]} * 4);
  }
  image.SetTransparent(header[2] != 0);
  image.SetTransparentColor(header[3]);
  return image;
}

}  // namespace

bool IsSvgRendererAvailable() { return Library() != nullptr; }

PixelImage RenderSvg(std::span<const std::uint8_t> data, const PeerWaiter& wait, double scale) {
  const RsvgLibrary* lib = Library();
  if (lib == nullptr)
    throw EInvalidGraphic(N_("SVG drawings cannot be shown: no renderer installed"));
  if (data.empty()) Fail("no data");
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) Fail("cannot start the renderer");
  FileDescriptor from_renderer(ends[0]);
  FileDescriptor to_parent(ends[1]);
  const pid_t pid = fork();
  if (pid < 0) Fail("cannot start the renderer");
  if (pid == 0) RenderForParent(lib, data, scale, to_parent.get());
  RendererProcess renderer(pid);
  to_parent.Close();

  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kMaxRenderWallMs);
  const std::size_t max_reply = kHeaderBytes + kMaxSvgPixels * 4 + kMaxErrorBytes;
  std::vector<std::uint8_t> reply;
  std::uint8_t buffer[65536];
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    switch (wait(from_renderer.get(), left > 0 ? static_cast<int>(left) : 0)) {
      case PeerWaitResult::kInterrupted:
        throw EAbort("The drawing was stopped");
      case PeerWaitResult::kTimedOut:
        TooComplex();
      case PeerWaitResult::kReady:
        break;
    }
    const ssize_t got = read(from_renderer.get(), buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) break;
    if (reply.size() + static_cast<std::size_t>(got) > max_reply) TooComplex();
    reply.insert(reply.end(), buffer, buffer + got);
  }
  // Killed by its time limit, or crashed on the drawing: either way it cannot be drawn.
  if (!renderer.EndedWell()) TooComplex();
  return PictureFromReply(reply);
}

}  // namespace orlit
