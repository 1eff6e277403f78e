#include "editors/ImageEdit.h"

#include <algorithm>
#include <cstring>

#include "editors/ImagePopupMenu.h"
#include "framework/Canvas.h"
#include "framework/ClipboardShortcuts.h"
#include "platform/PictureError.h"
#include "platform/VirtualKeys.h"

namespace orlit {
namespace {

// The header some writers put before a graphic's file: 1, 256 and the length that follows.
constexpr std::size_t kValueHeaderSize = 8;
constexpr int kWheelNotch = 120;
// Where the context menu opens when the keyboard asks for it.
constexpr TPoint kKeyboardMenuPoint{10, 10};

std::string_view WithoutValueHeader(std::string_view bytes) {
  if (bytes.size() < kValueHeaderSize) return bytes;
  const auto byte = [bytes](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const std::uint32_t length =
      byte(4) | (byte(5) << 8) | (byte(6) << 16) | (static_cast<std::uint32_t>(byte(7)) << 24);
  const bool header = byte(0) == 1 && byte(1) == 0 && byte(2) == 0 && byte(3) == 1 &&
                      length == bytes.size() - kValueHeaderSize;
  return header ? bytes.substr(kValueHeaderSize) : bytes;
}

// A transparent graphic drawn over the background colour first, as one opaque picture.
PixelImage OverBackground(const PixelImage& image, TColor background) {
  PixelImage work = image;
  const std::uint32_t key = image.TransparentColor();
  const std::uint32_t fill = ColorToRGB(background) & 0xFFFFFF;
  // TColor keeps red in the low byte; pixels keep it in the high one.
  const std::uint32_t pixel_fill = ((fill & 0xFF) << 16) | (fill & 0xFF00) | ((fill >> 16) & 0xFF);
  for (int y = 0; y < work.Height(); ++y) {
    for (std::uint32_t& p : work.Row(y)) {
      if (p == key) p = pixel_fill;
    }
  }
  work.SetTransparent(false);
  return work;
}

}  // namespace

// --- measuring and painting ------------------------------------------------------------------

TRect TcxImageViewData::PictureRect(const TRect& client, int picture_width, int picture_height,
                                    bool stretch, bool center, TPoint scroll_pos) {
  const int cw = client.Width();
  const int ch = client.Height();
  int width = picture_width;
  int height = picture_height;
  if (stretch && picture_width > 0 && picture_height > 0 && cw > 0 && ch > 0) {
    const double client_ratio = static_cast<double>(cw) / ch;
    const double picture_ratio = static_cast<double>(picture_width) / picture_height;
    if (client_ratio >= picture_ratio) {
      height = ch;
      width = static_cast<int>(static_cast<long long>(ch) * picture_width / picture_height);
    } else {
      width = cw;
      height = static_cast<int>(static_cast<long long>(cw) * picture_height / picture_width);
    }
  }
  TRect rect = TRect::FromBounds(client.Left, client.Top, width, height);
  if (center) return rect.Offset((cw - width) / 2, (ch - height) / 2);
  if (!stretch) return rect.Offset(-scroll_pos.X, -scroll_pos.Y);
  return rect;
}

void TcxImageViewInfo::Paint(TcxCanvas& canvas) const {
  if (picture == nullptr || picture->Empty()) {
    if (!caption.empty()) {
      canvas.Font().Assign(font);
      canvas.Font().SetColor(text_color);
      canvas.Brush().SetStyle(bsClear);
      TRect rect = text_rect;
      canvas.DrawText(caption, rect, cxAlignHCenter | cxAlignVCenter | cxSingleLine, enabled);
    }
  } else {
    const TGraphic& graphic = *picture->Graphic();
    canvas.SaveClipRegion();
    canvas.IntersectClipRect(text_rect);
    if (graphic.Transparent() && !transparent) {
      canvas.Handle().StretchDraw(
          picture_rect, OverBackground(graphic.ImageAt(canvas.Handle().Scale()), background_color));
    } else {
      canvas.Canvas().StretchDraw(picture_rect, graphic);
    }
    canvas.RestoreClipRegion();
  }
  if (show_focus_rect) canvas.FrameRect(border_rect, clBlack);
}

// --- the control -----------------------------------------------------------------------------

TcxCustomImage::TcxCustomImage()
    : TcxCustomEdit(std::make_unique<TcxImageProperties>()),
      picture_(std::make_unique<TPicture>()) {
  SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TcxCustomImage::~TcxCustomImage() { picture_->OnChange = nullptr; }

void TcxCustomImage::ContextPopup(TPoint point) {
  if (Properties().PopupMenuLayout().MenuItems() == 0) return;
  if (!popup_menu_) popup_menu_ = std::make_unique<TcxImagePopupMenu>(*this);
  popup_menu_->Popup(ClientToScreen(point));
}

void TcxCustomImage::SetEditValue(const Variant& value) {
  setting_value_ = true;
  try {
    if (value.IsNull()) {
      picture_->SetGraphic(std::unique_ptr<TGraphic>());
    } else {
      const std::string bytes = value.ToString();
      const std::string_view file = WithoutValueHeader(bytes);
      std::unique_ptr<TGraphic> graphic = Properties().GetGraphicClass(this).create();
      try {
        graphic->LoadFromBytes({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
      } catch (const EInvalidGraphic&) {
        graphic.reset();
      }
      picture_->SetGraphic(std::move(graphic));
    }
  } catch (...) {
    setting_value_ = false;
    throw;
  }
  setting_value_ = false;
  TcxCustomEdit::SetEditValue(value);
}

void TcxCustomImage::PictureChanged() {
  TGraphic* graphic = picture_->Graphic();
  const TcxImageTransparency transparency = Properties().GraphicTransparency();
  if (graphic != nullptr && transparency != gtDefault) {
    const bool transparent = transparency == gtTransparent;
    // Setting it reports a change again, which then finds it set.
    if (graphic->Transparent() != transparent) graphic->SetTransparent(transparent);
  }
  if (!Loading()) {
    scroll_pos_ = {};
    AdjustSize();
    StyleChanged();
    Invalidate();
  }
  if (setting_value_) return;
  if (picture_->Empty()) {
    TcxCustomEdit::SetEditValue(Variant::Null());
  } else {
    const std::vector<std::uint8_t> bytes = graphic->SaveToBytes();
    TcxCustomEdit::SetEditValue(
        Variant(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
  }
  if (!Loading()) SetModifiedSinceEntry(true);
}

TRect TcxCustomImage::ClientArea() {
  return static_cast<const TcxImageViewInfo&>(ViewInfo()).text_rect;
}

TPoint TcxCustomImage::MaxScrollPos() {
  const TRect client = ClientArea();
  return {std::max(0, picture_->Width() - client.Width()),
          std::max(0, picture_->Height() - client.Height())};
}

void TcxCustomImage::ScrollBy(int steps_x, int steps_y) {
  if (Properties().Center() || Properties().Stretch()) return;
  const TPoint limit = MaxScrollPos();
  const TPoint pos{std::clamp(scroll_pos_.X + steps_x * kScrollStep, 0, limit.X),
                   std::clamp(scroll_pos_.Y + steps_y * kScrollStep, 0, limit.Y)};
  if (pos == scroll_pos_) return;
  scroll_pos_ = pos;
  StyleChanged();
  Invalidate();
}

std::unique_ptr<TcxContainerViewInfo> TcxCustomImage::CreateViewInfo() {
  return std::make_unique<TcxImageViewInfo>();
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomImage::CreateViewData() const {
  return std::make_unique<TcxImageViewData>(Properties());
}

void TcxCustomImage::CalculateViewInfo(TcxContainerViewInfo& view_info) {
  TcxCustomEdit::CalculateViewInfo(view_info);
  auto& info = static_cast<TcxImageViewInfo&>(view_info);
  const TcxCustomImageProperties& properties = Properties();
  info.picture = picture_.get();
  info.caption = properties.Caption();
  ActiveStyle().GetVisibleFont(info.font);
  info.center = properties.Center();
  info.stretch = properties.Stretch();
  info.show_focus_rect = properties.ShowFocusRect() && Focused();
  info.scroll_pos = scroll_pos_;
  info.picture_rect = picture_->Empty() ? TRect{}
                                        : TcxImageViewData::PictureRect(
                                              info.text_rect, picture_->Width(), picture_->Height(),
                                              info.stretch, info.center, scroll_pos_);
}

void TcxCustomImage::PaintContent(TCanvas& canvas) {
  TcxCanvas cx_canvas(canvas);
  static_cast<const TcxImageViewInfo&>(ViewInfo()).Paint(cx_canvas);
}

bool TcxCustomImage::CanAutoSize(int& new_width, int& new_height) {
  if (picture_->Empty()) return false;
  const int border = EditBorderWidth(ToEditBorderStyle(Style().BorderStyle()));
  const TRect margins = ViewData().GetTextMargins();
  const int shadow = HasShadow() ? kShadowSize : 0;
  new_width = picture_->Width() + 2 * border + margins.Left + margins.Right + shadow;
  new_height = picture_->Height() + 2 * border + margins.Top + margins.Bottom + shadow;
  return true;
}

void TcxCustomImage::EditorKeyDown(int& key, TShiftState shift) {
  // A picture has no undo; the letters stand in for the typed characters it never takes.
  const ClipboardCommand command = ClipboardCommandOfKey(key, shift, /*letters=*/true);
  if (command != ClipboardCommand::kNone) {
    key = 0;
    RunClipboardCommand(*this, command);
    return;
  }
  if (key == VK_APPS) {
    key = 0;
    ContextPopup(kKeyboardMenuPoint);
    return;
  }
  TcxCustomEdit::EditorKeyDown(key, shift);
}

void TcxCustomImage::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TcxCustomEdit::MouseUp(button, shift, x, y);
  if (button == mbRight) ContextPopup({x, y});
}

bool TcxCustomImage::DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos) {
  if (TcxCustomEdit::DoMouseWheel(shift, wheel_delta, mouse_pos)) return true;
  const int steps = -wheel_delta / kWheelNotch;
  if (steps == 0) return false;
  ((shift & ssShift) != 0) ? ScrollBy(steps, 0) : ScrollBy(0, steps);
  return true;
}

void TcxCustomImage::Loaded() {
  TcxCustomEdit::Loaded();
  scroll_pos_ = {};
  AdjustSize();
}

}  // namespace orlit
