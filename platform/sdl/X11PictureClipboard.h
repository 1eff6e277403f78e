#pragma once

#include <SDL.h>

#include <memory>
#include <optional>

#include "platform/PixelImage.h"

namespace orlit {

// Pictures on the X clipboard (the CLIPBOARD selection), which SDL does not offer. It shares
// SDL's X connection through a window of its own: requests from other programs reach it as SDL's
// window-manager events, which the backend hands to HandleEvent; while it reads another program's
// picture it waits on the connection itself, taking only its own window's events.
//
// Owning: the picture is offered as PNG and BMP until another program takes the clipboard; data
// larger than one request goes incrementally (INCR), and a transfer whose requestor stops taking
// chunks is dropped after kReplyTimeoutMs.
//
// Reading: each answer of the owner (the formats it offers, the data, every incremental chunk) is
// waited for at most kReplyTimeoutMs, the whole transfer at most kTransferTimeoutMs, and no more
// than kMaxPictureDataBytes are taken; an owner that breaks any of these, or answers with data of
// the wrong shape, gives nothing (or EInvalidGraphic when its picture cannot be decoded).
class X11PictureClipboard {
 public:
  static constexpr int kReplyTimeoutMs = 2000;
  static constexpr int kTransferTimeoutMs = 10000;

  // Null when `window` is not on X.
  static std::unique_ptr<X11PictureClipboard> Create(SDL_Window* window);
  ~X11PictureClipboard();

  // Takes the clipboard for `picture`; throws EWindowSystemError when the server refuses.
  void Offer(const PixelImage& picture);
  bool HasPicture();
  std::optional<PixelImage> Picture();
  // The clipboard is ours: it holds our picture and no text.
  bool OwnsClipboard();
  // SDL has just taken the clipboard for text: a clipboard owned by its window holds no picture,
  // and asking it would wait for an answer only our own loop could give.
  void NoteTextOwner();

  // An SDL_SYSWMEVENT; events of other windows than ours and our requestors are ignored.
  void HandleEvent(const SDL_Event& event);

 private:
  struct State;
  explicit X11PictureClipboard(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;
};

}  // namespace orlit
