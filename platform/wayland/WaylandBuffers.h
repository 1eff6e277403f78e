#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/Geometry.h"
#include "platform/WindowSystem.h"
#include "platform/wayland/WaylandLibrary.h"
#include "platform/wayland/WaylandProxy.h"

namespace orlit {

// What one window shows, in shared-memory buffers of one size that the compositor reads from.
// The newest picture is kept whole in one buffer; while the compositor still holds that one, the
// next change goes into another, which is first brought up to date from the newest, so each
// change copies only what changed since. Two buffers are the rule, a third is made only when the
// compositor holds on to both, and the pages of all but one idle buffer beside the newest go back
// to the system.
class WaylandBuffers {
 public:
  // `size` in device pixels. Throws EWindowSystemError when the memory cannot be had.
  WaylandBuffers(wl_shm* shm, TSize size);
  ~WaylandBuffers();
  WaylandBuffers(const WaylandBuffers&) = delete;
  WaylandBuffers& operator=(const WaylandBuffers&) = delete;

  TSize Size() const { return size_; }
  // Copies `area` (device pixels inside both) of `frame` into the newest picture. False when the
  // compositor holds every buffer; the change is then lost and the caller must write it again
  // once a buffer comes back.
  bool Write(const FrameView& frame, const TRect& area);
  // The buffer with the newest picture, to be attached; the compositor holds it from now until it
  // releases it. Null before the first Write.
  wl_buffer* TakeNewest();
  bool HasPicture() const { return newest_ >= 0; }
  // For the compositor's release of one of them.
  void Released(const wl_buffer* buffer);

 private:
  static constexpr int kMaxBuffers = 3;
  struct Buffer {
    WaylandPtr<wl_buffer> buffer;
    std::uint32_t* pixels = nullptr;
    bool held = false;     // by the compositor
    TRect stale;           // what the newest picture has that this buffer lacks
    bool emptied = false;  // its pages given back
  };

  int FreeBuffer();
  void CopyRows(const FrameView& from, Buffer& to, const TRect& area) const;

  TSize size_;
  std::size_t buffer_bytes_;
  int fd_ = -1;
  void* memory_ = nullptr;
  WaylandPtr<wl_shm_pool> pool_;
  std::array<Buffer, kMaxBuffers> buffers_;
  int newest_ = -1;
};

}  // namespace orlit
