#pragma once

#include <array>
#include <memory>
#include <string>

#include "framework/Font.h"
#include "framework/Persistent.h"
#include "lookandfeel/BorderStyles.h"
#include "platform/SystemColors.h"

namespace orlit {

class TcxContainer;
class TcxLookAndFeel;
class TcxStyleController;

// The attributes of a container style, by their bit in the assigned-value set.
enum TcxContainerStyleValue {
  csvBorderColor,
  csvBorderStyle,
  csvColor,
  csvEdges,
  csvFont,
  csvHotTrack,
  csvShadow,
  csvTextColor,
  csvTextStyle,
  csvTransparentBorder,
};
inline constexpr int kContainerStyleValueCount = 10;

// A set of style values (container values 0..9, the editor additions after them).
class TcxContainerStyleValues {
 public:
  constexpr TcxContainerStyleValues() = default;
  static constexpr TcxContainerStyleValues FromBits(unsigned bits) {
    TcxContainerStyleValues values;
    values.bits_ = bits;
    return values;
  }
  constexpr unsigned Bits() const { return bits_; }
  constexpr bool Contains(int value) const { return (bits_ >> value & 1u) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Include(int value) { bits_ |= 1u << value; }
  constexpr void Exclude(int value) { bits_ &= ~(1u << value); }
  friend constexpr bool operator==(TcxContainerStyleValues, TcxContainerStyleValues) = default;

 private:
  unsigned bits_ = 0;
};

// The state a style stands for: its index in TcxContainerStyles.
enum TcxContainerStyleState { cssNormal, cssFocused, cssDisabled, cssHot };
inline constexpr int kContainerStyleStateCount = 4;

// Which classes a set of four styles is made of.
enum class ContainerStyleKind { kContainer, kEdit, kLabel };

// One style of a container: attribute values, the set of those explicitly assigned, and the
// resolution of each attribute. A read takes the style's own value when assigned, else the
// value its style controller assigned for the same state, else a default by state (see each
// getter). Font, Shadow, Edges, HotTrack, TransparentBorder, LookAndFeel and StyleController
// live on the normal style: a state style reads and writes them there.
//
// Setters store only a change (or a first assignment) and then tell the owner: the container,
// which recomputes and repaints, or the style controller, which tells the styles using it.
class TcxCustomContainerStyle : public TPersistent {
 public:
  // `container` is the control the style belongs to, `controller` the controller it belongs to
  // (at most one of them); `parent_style` is the normal style, null for the normal style itself.
  TcxCustomContainerStyle(TcxContainer* container, TcxStyleController* controller,
                          TcxContainerStyleState state, TcxCustomContainerStyle* parent_style);
  ~TcxCustomContainerStyle() override;

  TcxContainerStyleState State() const { return state_; }
  bool IsBaseStyle() const { return parent_style_ == nullptr; }
  TcxCustomContainerStyle* ParentStyle() const { return parent_style_; }
  TcxCustomContainerStyle& BaseStyle() { return parent_style_ ? *parent_style_ : *this; }
  const TcxCustomContainerStyle& BaseStyle() const {
    return parent_style_ ? *parent_style_ : *this;
  }
  TcxContainer* Container() const { return container_; }

  // Not stored with the form; writing it can clear bits (the values stay but no longer count).
  TcxContainerStyleValues AssignedValues() const { return assigned_; }
  void SetAssignedValues(TcxContainerStyleValues values);
  // The names of the values in bit order, as the style reports them.
  virtual int GetStyleValueCount() const { return kContainerStyleValueCount; }
  std::string GetStyleValueName(int value) const;
  // Assigned here, or in the controller's style of the same state.
  bool IsValueAssigned(int value) const;

  // Disabled: clBtnShadow; normal: clWindowFrame; focused and hot: the normal style's.
  TColor BorderColor() const;
  void SetBorderColor(TColor color);
  // Normal: by the look and feel's kind; focused and hot: the normal one, mapped while hot
  // tracking (none to flat, single to thick, flat to 3D); disabled: the normal one.
  TcxContainerBorderStyle BorderStyle() const;
  void SetBorderStyle(TcxContainerBorderStyle style);
  // Normal: the parent's colour while the control's ParentColor is set (before anything else),
  // else clWindow (clBtnFace for a transparent container); disabled: clBtnFace; focused and
  // hot: the normal style's.
  TColor Color() const;
  void SetColor(TColor color);
  TcxBorders Edges() const;
  void SetEdges(TcxBorders edges);
  // The normal style's font object. While not assigned it follows the control's font; a change
  // made to it by the application assigns it.
  TFont& Font();
  // The font in effect: own when assigned, else the controller's when assigned there, else the
  // control's.
  const TFont& ResolvedFont() const;
  bool HotTrack() const;
  void SetHotTrack(bool hot_track);
  bool Shadow() const;
  void SetShadow(bool shadow);
  // Disabled: clBtnShadow; normal: the font's colour; focused and hot: the normal style's.
  TColor TextColor() const;
  void SetTextColor(TColor color);
  // Normal: the font's style; the others: the normal style's.
  TFontStyles TextStyle() const;
  void SetTextStyle(TFontStyles style);
  bool TransparentBorder() const;
  void SetTransparentBorder(bool transparent_border);
  // The font text is drawn with: the resolved font with TextColor and TextStyle applied.
  void GetVisibleFont(TFont& font) const;

  TcxLookAndFeel& LookAndFeel() const;
  // Shared, not owned: either side may go first. The normal style's look and feel follows the
  // controller's.
  TcxStyleController* StyleController() const { return BaseStyle().style_controller_; }
  void SetStyleController(TcxStyleController* controller);
  // The controller asked in the resolution: the own one, else for editor styles the
  // process-wide default edit style controller.
  TcxStyleController* ActiveStyleController() const;

  // Clears every bit and the look and feel's assigned values; the control loses ParentColor,
  // takes ParentFont again and its font defaults.
  void RestoreDefaults();
  // Copies values, assigned bits and the controller from another container style.
  void Assign(const TPersistent& source) override;

  // Changes between the two are announced once, at the end.
  void BeginUpdate() { ++update_count_; }
  void EndUpdate();

  // The control's own font changed: taken over while the style's font is not assigned.
  void ControlFontChanged(const TFont& font);

 protected:
  virtual bool IsEditStyle() const { return false; }
  // The normal style's border style and hot tracking while they are not assigned.
  virtual TcxContainerBorderStyle DefaultBorderStyle() const;
  virtual bool DefaultHotTrack() const { return true; }
  // The style that assigned `value`: this one, or a controller's style of the same state.
  const TcxCustomContainerStyle* AssignedSource(int value) const;
  template <typename T>
  void SetValue(int value, T& field, const T& new_value);
  void Changed();

 private:
  friend class TcxStyleController;
  friend class TcxContainerStyles;

  // From the controller this style uses.
  void ControllerChanged() { Changed(); }
  void ControllerDestroying(TcxStyleController* controller);
  void FontObjectChanged();
  void RegisterWithController();
  void UnregisterFromController();
  void UpdateLookAndFeelMaster();

  TcxContainer* container_;
  TcxStyleController* owning_controller_;
  TcxContainerStyleState state_;
  TcxCustomContainerStyle* parent_style_;
  TcxStyleController* style_controller_ = nullptr;
  // The controller the style is registered with (own or the default one); normal styles only.
  TcxStyleController* registered_controller_ = nullptr;
  std::unique_ptr<TcxLookAndFeel> look_and_feel_;

  TcxContainerStyleValues assigned_;
  TColor border_color_ = clWindowFrame;
  TcxContainerBorderStyle border_style_ = cbsUltraFlat;
  TColor color_ = clWindow;
  TcxBorders edges_ = cxBordersAll;
  TFont font_;
  bool hot_track_ = true;
  bool shadow_ = false;
  TColor text_color_ = clWindowText;
  TFontStyles text_style_ = 0;
  bool transparent_border_ = true;

  int update_count_ = 0;
  bool changed_while_updating_ = false;
  bool taking_control_font_ = false;
};

template <typename T>
void TcxCustomContainerStyle::SetValue(int value, T& field, const T& new_value) {
  if (assigned_.Contains(value) && field == new_value) return;
  field = new_value;
  assigned_.Include(value);
  Changed();
}

// The style of a plain container.
class TcxContainerStyle : public TcxCustomContainerStyle {
 public:
  using TcxCustomContainerStyle::TcxCustomContainerStyle;
};

// The four styles of one container or controller, by state: normal, focused, disabled, hot.
class TcxContainerStyles : public TObject {
 public:
  TcxContainerStyles(TcxContainer* container, TcxStyleController* controller,
                     ContainerStyleKind kind);
  ~TcxContainerStyles() override;

  TcxCustomContainerStyle& Values(int state) const { return *styles_[state]; }
  TcxCustomContainerStyle& Style() const { return Values(cssNormal); }
  TcxCustomContainerStyle& StyleFocused() const { return Values(cssFocused); }
  TcxCustomContainerStyle& StyleDisabled() const { return Values(cssDisabled); }
  TcxCustomContainerStyle& StyleHot() const { return Values(cssHot); }

  void BeginUpdate();
  void EndUpdate();

 private:
  std::array<std::unique_ptr<TcxCustomContainerStyle>, kContainerStyleStateCount> styles_;
};

}  // namespace orlit
