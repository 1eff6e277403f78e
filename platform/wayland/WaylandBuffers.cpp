#include "platform/wayland/WaylandBuffers.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace orlit {

namespace {

constexpr wl_buffer_listener kBufferListener = {
    .release = [](void* data,
                  wl_buffer* buffer) { static_cast<WaylandBuffers*>(data)->Released(buffer); },
};

}  // namespace

WaylandBuffers::WaylandBuffers(wl_shm* shm, TSize size)
    : size_(size), buffer_bytes_(static_cast<std::size_t>(size.cx) * size.cy * 4) {
  const std::size_t pool_bytes = buffer_bytes_ * kMaxBuffers;
  // Pages are taken only when written: the third buffer usually costs nothing.
  fd_ = memfd_create("orlit-frame", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd_ < 0 || ftruncate(fd_, static_cast<off_t>(pool_bytes)) != 0) {
    if (fd_ >= 0) close(fd_);
    throw EWindowSystemError("Cannot get memory for the window's pixels");
  }
  memory_ = mmap(nullptr, pool_bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (memory_ == MAP_FAILED) {
    close(fd_);
    throw EWindowSystemError("Cannot get memory for the window's pixels");
  }
  pool_.reset(wl_shm_create_pool(shm, fd_, static_cast<std::int32_t>(pool_bytes)));
}

WaylandBuffers::~WaylandBuffers() {
  for (Buffer& buffer : buffers_) buffer.buffer.reset();
  pool_.reset();
  munmap(memory_, buffer_bytes_ * kMaxBuffers);
  close(fd_);
}

int WaylandBuffers::FreeBuffer() {
  if (newest_ >= 0 && !buffers_[newest_].held) return newest_;
  // An emptied buffer only when no other is free.
  for (int i = 0; i < kMaxBuffers; ++i) {
    const Buffer& buffer = buffers_[i];
    if (buffer.buffer && !buffer.held && !buffer.emptied) return i;
  }
  for (int i = 0; i < kMaxBuffers; ++i) {
    Buffer& buffer = buffers_[i];
    if (buffer.buffer && !buffer.held) return i;
    if (buffer.buffer) continue;
    const auto offset = static_cast<std::int32_t>(buffer_bytes_ * static_cast<std::size_t>(i));
    buffer.buffer.reset(wl_shm_pool_create_buffer(pool_.get(), offset, size_.cx, size_.cy,
                                                  size_.cx * 4, WL_SHM_FORMAT_XRGB8888));
    wl_buffer_add_listener(buffer.buffer.get(), &kBufferListener, this);
    buffer.pixels = reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(memory_) + offset);
    buffer.stale = {0, 0, size_.cx, size_.cy};
    return i;
  }
  return -1;
}

void WaylandBuffers::CopyRows(const FrameView& from, Buffer& to, const TRect& area) const {
  const TRect inside = area.Intersect({0, 0, size_.cx, size_.cy});
  const auto bytes = static_cast<std::size_t>(inside.Width()) * 4;
  for (int y = inside.Top; y < inside.Bottom; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(from.pixels) +
                                               static_cast<std::ptrdiff_t>(y) * from.stride_bytes);
    std::memcpy(to.pixels + static_cast<std::ptrdiff_t>(y) * size_.cx + inside.Left,
                row + inside.Left, bytes);
  }
}

bool WaylandBuffers::Write(const FrameView& frame, const TRect& area) {
  const int target = FreeBuffer();
  if (target < 0) return false;
  Buffer& buffer = buffers_[target];
  if (target != newest_ && newest_ >= 0 && !buffer.stale.IsEmpty()) {
    const Buffer& newest = buffers_[newest_];
    CopyRows({newest.pixels, size_.cx, size_.cy, size_.cx * 4}, buffer, buffer.stale);
  }
  CopyRows(frame, buffer, area);
  buffer.emptied = false;
  for (Buffer& other : buffers_) {
    if (&other != &buffer && other.buffer) other.stale = other.stale.Union(area);
  }
  buffer.stale = {};
  newest_ = target;
  return true;
}

void WaylandBuffers::Released(const wl_buffer* released) {
  for (Buffer& buffer : buffers_) {
    if (buffer.buffer.get() == released) buffer.held = false;
  }
  // One idle buffer beside the newest is enough for the next change: the pages of any other go
  // back to the system, and it is brought up to date whole when it is needed again.
  bool idle_kept = false;
  for (int i = 0; i < kMaxBuffers; ++i) {
    Buffer& buffer = buffers_[i];
    if (!buffer.buffer || buffer.held || buffer.emptied || i == newest_) continue;
    if (!idle_kept) {
      idle_kept = true;
      continue;
    }
    fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE,
              static_cast<off_t>(buffer_bytes_ * static_cast<std::size_t>(i)),
              static_cast<off_t>(buffer_bytes_));
    buffer.emptied = true;
    buffer.stale = {0, 0, size_.cx, size_.cy};
  }
}

wl_buffer* WaylandBuffers::TakeNewest() {
  if (newest_ < 0) return nullptr;
  buffers_[newest_].held = true;
  return buffers_[newest_].buffer.get();
}

}  // namespace orlit
