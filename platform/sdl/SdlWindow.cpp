#include "platform/sdl/SdlWindow.h"

#include <algorithm>

#include "platform/sdl/SdlWindowSystem.h"

namespace orlit {

namespace {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace

SdlWindow::SdlWindow(SdlWindowSystem* system, const WindowParams& params) : system_(system) {
  const int scale = system_->Scale();
  const TSize size = CheckedWindowSize(params.size);
  const int x =
      params.position ? params.position->X * scale : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  const int y =
      params.position ? params.position->Y * scale : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  window_.reset(SDL_CreateWindow(params.title.c_str(), x, y, size.cx * scale, size.cy * scale,
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
  const int scale = system_->Scale();
  SDL_SetWindowPosition(window_.get(), top_left.X * scale, top_left.Y * scale);
}

void SdlWindow::Resize(TSize size) {
  const TSize checked = CheckedWindowSize(size);
  const int scale = system_->Scale();
  SDL_SetWindowSize(window_.get(), checked.cx * scale, checked.cy * scale);
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
  return ToLogical(position, system_->Scale());
}

TSize SdlWindow::Size() const {
  TSize size;
  SDL_GetWindowSize(window_.get(), &size.cx, &size.cy);
  const int scale = system_->Scale();
  return {size.cx / scale, size.cy / scale};
}

void SdlWindow::Present(const FrameView& frame, const TRect& dirty) {
  if (!frame.IsValid()) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
  if (surface == nullptr) {
    throw EWindowSystemError(std::string("Cannot draw the window: ") + SDL_GetError());
  }
  const int scale = system_->Scale();
  const TRect area = dirty.Intersect(TRect{0, 0, frame.width, frame.height})
                         .Intersect(TRect{0, 0, surface->w / scale, surface->h / scale});
  if (area.IsEmpty()) return;
  SDL_Rect rect{area.Left * scale, area.Top * scale, area.Width() * scale, area.Height() * scale};
  if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
    // Same layout as the frame: the rows go straight in.
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    ScaleUpInto(frame, area, scale, surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  } else {
    // Through a copy of the area in the frame's layout, which SDL converts.
    SurfacePtr source(
        SDL_CreateRGBSurfaceWithFormat(0, rect.w, rect.h, 32, SDL_PIXELFORMAT_RGB888));
    if (!source) throw EWindowSystemError(std::string("Cannot draw the window: ") + SDL_GetError());
    const auto* first = reinterpret_cast<const unsigned char*>(frame.pixels) +
                        static_cast<std::ptrdiff_t>(area.Top) * frame.stride_bytes + area.Left * 4;
    const FrameView view{reinterpret_cast<const std::uint32_t*>(first), area.Width(), area.Height(),
                         frame.stride_bytes};
    ScaleUpInto(view, TRect{0, 0, area.Width(), area.Height()}, scale, source->pixels,
                source->pitch);
    SDL_Rect target_rect = rect;
    SDL_BlitSurface(source.get(), nullptr, surface, &target_rect);
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
