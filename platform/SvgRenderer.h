#pragma once

#include <cstdint>
#include <span>

#include "platform/PeerWait.h"
#include "platform/PixelImage.h"

namespace orlit {

// The largest drawing rendered: 2048 x 2048 pixels' worth.
inline constexpr std::uint64_t kMaxSvgPixels = std::uint64_t{4} << 20;
// The processor time one drawing may take: a few kilobytes of filters can ask for minutes.
inline constexpr int kMaxSvgCpuSeconds = 2;

// Whether SVG drawings can be rendered here: the renderer library is loaded on the first call
// (of this or RenderSvg), so that programs that never meet a drawing do not pay for it.
bool IsSvgRendererAvailable();

// Renders an SVG document at its own size in pixels times `scale` (a screen's device scale: the
// drawing made sharp at the pixels it will be shown with); what it leaves clear becomes the
// picture's transparent colour. The drawing is made in a process of its own, stopped after
// kMaxSvgCpuSeconds of processor time, and `wait` passes the time until it answers (the window's
// WaitForPeer keeps the window answering). Throws EInvalidGraphic when the renderer is missing,
// the document cannot be read, or it has no size of its own or a rendered size above
// kMaxSvgPixels, and
// EInvalidGraphic "Picture too complex to draw" when the drawing takes too long or crashes the
// renderer; EAbort when the user quits meanwhile.
PixelImage RenderSvg(std::span<const std::uint8_t> data, const PeerWaiter& wait = PollForPeer,
                     double scale = 1);

}  // namespace orlit
