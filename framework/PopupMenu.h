#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"

namespace orlit {

class TAccessibleControl;
class TControl;
class TCustomForm;
class TPopupMenuForm;

// One entry of a popup menu. The caption "-" makes a separator; "&" before a letter makes it the
// item's accelerator (underlined, chosen by typing it) and "&&" shows one "&". The glyph, when
// there is one, is drawn with its transparent colour left out, greyed while the item is disabled.
class TMenuItem : public TObject {
 public:
  explicit TMenuItem(std::string caption = {}) : caption_(std::move(caption)) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  const PixelImage& Glyph() const { return glyph_; }
  void SetGlyph(PixelImage glyph) { glyph_ = std::move(glyph); }

  bool IsSeparator() const { return caption_ == "-"; }
  // The lower-case accelerator character; 0 when the caption has none.
  char32_t Accelerator() const;
  // A separator, hidden or disabled item cannot be chosen.
  bool Selectable() const { return visible_ && enabled_ && !IsSeparator(); }

  TNotifyEvent OnClick;

 private:
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  PixelImage glyph_;
};

// How the menu's window is drawn; the look-and-feel layer picks one for its kind.
enum TMenuLook { mlStandard, mlFlat, mlUltraFlat, mlOffice11 };

// A menu that pops up in a window of its own over the desktop. Popup runs it modally: the
// arrows move the highlight over the items that can be chosen (wrapping round), Home and End go
// to the first and last, Enter or Space choose the highlighted item, an accelerator chooses its
// item (the highlight moves on when several share it), Escape closes; the pointer highlights the
// item under it and a click chooses it. A click outside the menu or the focus going elsewhere
// closes it. The chosen item's OnClick fires once the menu has closed.
class TPopupMenu : public TComponent {
 public:
  static constexpr int kItemHeight = 22;
  static constexpr int kSeparatorHeight = 9;
  static constexpr int kGlyphSize = 16;
  static constexpr int kGutterWidth = 26;
  static constexpr int kMinWidth = 120;

  TMenuItem* Add(std::string caption);
  const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }

  TMenuLook Look() const { return look_; }
  void SetLook(TMenuLook look) { look_ = look; }

  // Shows the menu with its top-left corner at a screen point (moved onto the monitor when it
  // would leave it) and returns once it has closed. The item chosen, or null. OnPopup fires first;
  // nothing shows when no item is visible then.
  TMenuItem* Popup(TPoint screen);
  // The menu's window while it is shown; null otherwise.
  TCustomForm* Form() const;
  // The highlighted item while shown; null when none is.
  TMenuItem* Highlighted() const;

  TNotifyEvent OnPopup;

 private:
  std::vector<std::unique_ptr<TMenuItem>> items_;
  TMenuLook look_ = mlStandard;
  TPopupMenuForm* form_ = nullptr;
};

// The accessible node of a menu's window; null for any other control.
std::unique_ptr<TAccessibleControl> MakePopupMenuAccessible(TControl& control);

}  // namespace orlit
