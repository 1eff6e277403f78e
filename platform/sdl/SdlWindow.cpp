#include "platform/sdl/SdlWindow.h"

#include <algorithm>
#include <cstring>

#include "platform/sdl/SdlWindowSystem.h"

namespace orlit {

namespace {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace

SdlWindow::SdlWindow(SdlWindowSystem* system, const WindowParams& params) : system_(system) {
  const TSize size = CheckedWindowSize(params.size);
  const int x = params.position ? params.position->X : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  const int y = params.position ? params.position->Y : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  window_.reset(SDL_CreateWindow(params.title.c_str(), x, y, size.cx, size.cy,
                                 SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN));
  if (!window_) throw EWindowSystemError(std::string("Cannot create a window: ") + SDL_GetError());
  id_ = SDL_GetWindowID(window_.get());
  system_->Register(this);
}

SdlWindow::~SdlWindow() { system_->Unregister(id_); }

void SdlWindow::Show() {
  SDL_ShowWindow(window_.get());
  SDL_RaiseWindow(window_.get());
  shown_ = true;
}

void SdlWindow::Hide() {
  SDL_HideWindow(window_.get());
  shown_ = false;
}

void SdlWindow::Minimize() { SDL_MinimizeWindow(window_.get()); }

void SdlWindow::Restore() { SDL_RestoreWindow(window_.get()); }

void SdlWindow::Raise() { SDL_RaiseWindow(window_.get()); }

void SdlWindow::Focus() {
  // Raising asks the window manager for the focus where the desktop does not let a program take it.
  if (SDL_SetWindowInputFocus(window_.get()) != 0) SDL_RaiseWindow(window_.get());
}

void SdlWindow::Move(TPoint top_left) {
  SDL_SetWindowPosition(window_.get(), top_left.X, top_left.Y);
}

void SdlWindow::Resize(TSize size) {
  const TSize checked = CheckedWindowSize(size);
  SDL_SetWindowSize(window_.get(), checked.cx, checked.cy);
}

void SdlWindow::SetTitle(const std::string& title) {
  SDL_SetWindowTitle(window_.get(), title.c_str());
}

void SdlWindow::SetIcon(const PixelImage& icon) {
  if (icon.IsEmpty()) return;
  SurfacePtr surface(
      SDL_CreateRGBSurfaceWithFormat(0, icon.Width(), icon.Height(), 32, SDL_PIXELFORMAT_ARGB8888));
  if (!surface) throw EWindowSystemError(std::string("Cannot set the icon: ") + SDL_GetError());
  const bool transparent = icon.Transparent();
  const std::uint32_t see_through = icon.TransparentColor();
  for (int y = 0; y < icon.Height(); ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<unsigned char*>(surface->pixels) +
                                          static_cast<std::ptrdiff_t>(y) * surface->pitch);
    auto source = icon.Row(y);
    for (int x = 0; x < icon.Width(); ++x) {
      const std::uint32_t rgb = source[static_cast<std::size_t>(x)];
      row[x] = (transparent && rgb == see_through) ? 0u : (0xFF000000u | rgb);
    }
  }
  SDL_SetWindowIcon(window_.get(), surface.get());
}

bool SdlWindow::Minimized() const {
  return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0;
}

bool SdlWindow::Focused() const {
  return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

TPoint SdlWindow::Position() const {
  TPoint position;
  SDL_GetWindowPosition(window_.get(), &position.X, &position.Y);
  return position;
}

TSize SdlWindow::Size() const {
  TSize size;
  SDL_GetWindowSize(window_.get(), &size.cx, &size.cy);
  return size;
}

void SdlWindow::Present(const FrameView& frame, const TRect& dirty) {
  if (!frame.IsValid()) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
  if (surface == nullptr) {
    throw EWindowSystemError(std::string("Cannot draw the window: ") + SDL_GetError());
  }
  const TRect area = dirty.Intersect(TRect{0, 0, frame.width, frame.height})
                         .Intersect(TRect{0, 0, surface->w, surface->h});
  if (area.IsEmpty()) return;
  SDL_Rect rect{area.Left, area.Top, area.Width(), area.Height()};
  if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
    // Same layout as the frame: copy the rows straight in.
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    for (int y = area.Top; y < area.Bottom; ++y) {
      const auto* source = reinterpret_cast<const unsigned char*>(frame.pixels) +
                           static_cast<std::ptrdiff_t>(y) * frame.stride_bytes + area.Left * 4;
      auto* target = static_cast<unsigned char*>(surface->pixels) +
                     static_cast<std::ptrdiff_t>(y) * surface->pitch + area.Left * 4;
      std::memcpy(target, source, static_cast<std::size_t>(area.Width()) * 4);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  } else {
    SurfacePtr source(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(frame.pixels), frame.width, frame.height, 32, frame.stride_bytes,
        SDL_PIXELFORMAT_RGB888));
    if (!source) throw EWindowSystemError(std::string("Cannot draw the window: ") + SDL_GetError());
    SDL_Rect target_rect = rect;
    SDL_BlitSurface(source.get(), &rect, surface, &target_rect);
  }
  presented_ = true;
  SDL_UpdateWindowSurfaceRects(window_.get(), &rect, 1);
}

void SdlWindow::SetCursor(CursorShape shape) {
  cursor_ = shape;
  system_->UpdateCursor();
}

void SdlWindow::Reshow() {
  if (presented_) SDL_UpdateWindowSurface(window_.get());
}

}  // namespace orlit
