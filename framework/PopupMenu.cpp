#include "framework/PopupMenu.h"

#include <algorithm>

#include "framework/Accelerator.h"
#include "framework/AccessibleModel.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Form.h"
#include "platform/WindowSystem.h"

namespace orlit {

namespace {

constexpr int kTextGap = 6;
constexpr int kRightMargin = 18;
constexpr TColor kOffice11Gutter = RGB(227, 239, 255);
constexpr TColor kOffice11Hot = RGB(255, 238, 194);
constexpr TColor kOffice11HotFrame = RGB(0, 0, 128);

// The glyph of a disabled item: its pixels lightened to grey, the transparent colour kept.
PixelImage Greyed(const PixelImage& glyph) {
  PixelImage grey = glyph;
  const std::uint32_t see_through = glyph.TransparentColor();
  for (int y = 0; y < grey.Height(); ++y) {
    for (std::uint32_t& pixel : grey.Row(y)) {
      if (glyph.Transparent() && pixel == see_through) continue;
      const std::uint32_t luma =
          ((pixel >> 16 & 0xFF) * 30 + (pixel >> 8 & 0xFF) * 59 + (pixel & 0xFF) * 11) / 100;
      const std::uint32_t light = 128 + luma / 2;
      pixel = light << 16 | light << 8 | light;
    }
  }
  return grey;
}

}  // namespace

char32_t TMenuItem::Accelerator() const {
  const char32_t c = AcceleratorOf(caption_);
  return c < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(c))) : c;
}

// The window of a shown menu.
class TPopupMenuForm : public TCustomForm {
 public:
  explicit TPopupMenuForm(TPopupMenu& menu) : menu_(menu) {
    SetBorderStyle(bsNone);
    SetPosition(poDesigned);
    SetColor(clMenu);
    DeviceContext& measure = MeasuringContext();
    measure.SelectFont(Font().Handle());
    const int frame = FrameWidth();
    int width = 0;
    int y = frame;
    for (const auto& item : menu_.Items()) {
      if (!item->Visible()) continue;
      const int height =
          item->IsSeparator() ? TPopupMenu::kSeparatorHeight : TPopupMenu::kItemHeight;
      rows_.push_back({item.get(), TRect{frame, y, 0, y + height}});
      y += height;
      if (!item->IsSeparator()) {
        TRect text{0, 0, 0, 0};
        measure.DrawText(item->Caption(), text, DT_CALCRECT | DT_SINGLELINE);
        width = std::max(width, text.Width());
      }
    }
    const int total_width = std::max(TPopupMenu::kMinWidth,
                                     TPopupMenu::kGutterWidth + kTextGap + width + kRightMargin) +
                            2 * frame;
    for (Row& row : rows_) row.rect.Right = total_width - frame;
    SetBounds(Left(), Top(), total_width, y + frame);
  }

  bool Done() const { return done_; }
  TMenuItem* Chosen() const { return chosen_; }
  // The items shown, separators included, and where, in client coordinates.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  TMenuItem* RowItem(int row) const { return rows_[static_cast<std::size_t>(row)].item; }
  TRect RowRect(int row) const { return rows_[static_cast<std::size_t>(row)].rect; }
  TMenuItem* Highlighted() const {
    return highlight_ >= 0 ? rows_[static_cast<std::size_t>(highlight_)].item : nullptr;
  }

 protected:
  void Paint(TCanvas& canvas) override {
    const TRect client = ClientRect();
    canvas.Brush().SetColor(clMenu);
    canvas.FillRect(client);
    const TMenuLook look = menu_.Look();
    if (look == mlOffice11) {
      canvas.Brush().SetColor(kOffice11Gutter);
      canvas.FillRect(
          {client.Left, client.Top, TPopupMenu::kGutterWidth + FrameWidth(), client.Bottom});
    }
    for (std::size_t i = 0; i < rows_.size(); ++i)
      PaintRow(canvas, rows_[i], static_cast<int>(i) == highlight_);
    TRect frame = client;
    if (look == mlStandard) {
      canvas.Frame3D(frame, cl3DLight, cl3DDkShadow, 1);
      canvas.Frame3D(frame, clBtnHighlight, clBtnShadow, 1);
    } else {
      canvas.Brush().SetColor(look == mlOffice11 ? RGB(0, 45, 150) : clBtnShadow);
      canvas.FrameRect(frame);
    }
  }

  void KeyDown(int& key, TShiftState shift) override {
    switch (key) {
      case VK_UP:
      case VK_DOWN:
        // With nothing highlighted, Up starts from the bottom.
        MoveHighlight(key == VK_DOWN ? 1 : -1, highlight_ >= 0 || key == VK_DOWN
                                                   ? highlight_
                                                   : static_cast<int>(rows_.size()));
        break;
      case VK_HOME:
        MoveHighlight(1, -1);
        break;
      case VK_END:
        MoveHighlight(-1, static_cast<int>(rows_.size()));
        break;
      case VK_RETURN:
      case VK_SPACE:
        if (TMenuItem* item = Highlighted()) Choose(item);
        break;
      case VK_ESCAPE:
        Choose(nullptr);
        break;
      default:
        TCustomForm::KeyDown(key, shift);
        return;
    }
    key = 0;
  }

  void KeyPress(char32_t& key) override {
    const char32_t typed =
        key < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(key))) : key;
    key = 0;
    std::vector<int> matches;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i].item->Selectable() && rows_[i].item->Accelerator() == typed) {
        matches.push_back(static_cast<int>(i));
      }
    }
    if (matches.size() == 1) {
      Choose(rows_[static_cast<std::size_t>(matches.front())].item);
    } else if (!matches.empty()) {
      const auto next = std::upper_bound(matches.begin(), matches.end(), highlight_);
      SetHighlight(next != matches.end() ? *next : matches.front());
    }
  }

  void MouseMove(TShiftState shift, int x, int y) override {
    TCustomForm::MouseMove(shift, x, y);
    const int row = RowAt({x, y});
    if (row >= 0 && rows_[static_cast<std::size_t>(row)].item->Selectable()) SetHighlight(row);
    if (row < 0 && ClientRect().Contains({x, y})) return;
    if (row < 0) SetHighlight(-1);
  }

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    TCustomForm::MouseDown(button, shift, x, y);
    pressed_inside_ = ClientRect().Contains({x, y});
    if (!pressed_inside_) Choose(nullptr);
  }

  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
    TCustomForm::MouseUp(button, shift, x, y);
    // The release of the click that opened the menu chooses nothing.
    if (!pressed_inside_) return;
    const int row = RowAt({x, y});
    if (row >= 0 && rows_[static_cast<std::size_t>(row)].item->Selectable()) {
      Choose(rows_[static_cast<std::size_t>(row)].item);
    }
  }

  void Deactivate() override {
    TCustomForm::Deactivate();
    Choose(nullptr);
  }

  void Close() override { Choose(nullptr); }

 private:
  struct Row {
    TMenuItem* item;
    TRect rect;
  };

  int FrameWidth() const { return menu_.Look() == mlStandard ? 2 : 1; }

  int RowAt(TPoint point) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i].rect.Contains(point)) return static_cast<int>(i);
    }
    return -1;
  }

  void SetHighlight(int row) {
    if (row == highlight_) return;
    for (const int old_or_new : {highlight_, row}) {
      if (old_or_new >= 0) InvalidateRect(rows_[static_cast<std::size_t>(old_or_new)].rect);
    }
    highlight_ = row;
  }

  // The next item that can be chosen in `step`'s direction from `from`, wrapping round.
  void MoveHighlight(int step, int from) {
    const int count = static_cast<int>(rows_.size());
    for (int n = 1; n <= count; ++n) {
      const int row = ((from + step * n) % count + count) % count;
      if (rows_[static_cast<std::size_t>(row)].item->Selectable()) {
        SetHighlight(row);
        return;
      }
    }
  }

  void Choose(TMenuItem* item) {
    if (done_) return;
    done_ = true;
    chosen_ = item;
  }

  void PaintRow(TCanvas& canvas, const Row& row, bool hot) {
    const TMenuItem& item = *row.item;
    const TRect rect = row.rect;
    const TMenuLook look = menu_.Look();
    if (item.IsSeparator()) {
      const int middle = rect.Top + rect.Height() / 2;
      const int left =
          look == mlOffice11 ? rect.Left + TPopupMenu::kGutterWidth + kTextGap : rect.Left + 1;
      canvas.Brush().SetColor(clBtnShadow);
      canvas.FillRect({left, middle - 1, rect.Right - 1, middle});
      canvas.Brush().SetColor(clBtnHighlight);
      canvas.FillRect({left, middle, rect.Right - 1, middle + 1});
      return;
    }
    TColor text_color = item.Enabled() ? clMenuText : clGrayText;
    if (hot) {
      if (look == mlStandard || look == mlFlat) {
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(rect);
        if (item.Enabled()) text_color = clHighlightText;
      } else {
        canvas.Brush().SetColor(look == mlOffice11 ? kOffice11HotFrame : clHighlight);
        canvas.FrameRect(rect);
        canvas.Brush().SetColor(look == mlOffice11 ? kOffice11Hot : RGB(224, 232, 246));
        canvas.FillRect(rect.Inflate(-1, -1));
      }
    }
    const PixelImage& glyph = item.Glyph();
    if (!glyph.IsEmpty()) {
      const int x = rect.Left + (TPopupMenu::kGutterWidth - glyph.Width()) / 2;
      const int y = rect.Top + (rect.Height() - glyph.Height()) / 2;
      canvas.Handle().Draw(x, y, item.Enabled() ? glyph : Greyed(glyph));
    }
    TRect text{rect.Left + TPopupMenu::kGutterWidth + kTextGap, rect.Top, rect.Right - kRightMargin,
               rect.Bottom};
    if (!item.Enabled() && look == mlStandard && !hot) {
      // The desktop's engraved look of a disabled entry.
      canvas.Font().SetColor(clBtnHighlight);
      TRect shadow = text.Offset(1, 1);
      canvas.DrawText(item.Caption(), shadow, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      text_color = clBtnShadow;
    }
    canvas.Font().SetColor(text_color);
    canvas.DrawText(item.Caption(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }

  TPopupMenu& menu_;
  std::vector<Row> rows_;
  int highlight_ = -1;
  bool done_ = false;
  bool pressed_inside_ = false;
  TMenuItem* chosen_ = nullptr;
};

namespace {

// One item of a shown menu as assistive technology sees it; "click" chooses it as a click does.
class MenuItemAccessible final : public AccessibleNode {
 public:
  MenuItemAccessible(TPopupMenuForm& form, AccessibleNode& menu, int row)
      : form_(form), menu_(menu), row_(row) {}

  AccessibleRole Role() const override { return AccessibleRole::kMenuItem; }
  std::string Name() const override { return SpokenCaption(Item().Caption()); }
  std::string Description() const override { return {}; }
  AccessibleNode* Parent() const override { return &menu_; }
  std::vector<AccessibleNode*> Children() const override { return {}; }
  AccessibleStates States() const override {
    AccessibleStates states = kStateVisible | kStateShowing;
    if (Item().Enabled()) states |= kStateEnabled | kStateSensitive | kStateFocusable;
    if (form_.Highlighted() == &Item()) states |= kStateFocused;
    return states;
  }
  std::vector<AccessibleRelation> Relations() const override { return {}; }
  TRect Extents() const override {
    const TRect rect = form_.RowRect(row_);
    const TPoint origin = form_.ClientToScreen({rect.Left, rect.Top});
    return TRect::FromBounds(origin.X, origin.Y, rect.Width(), rect.Height());
  }
  TPoint WindowOrigin() const override { return form_.ClientToScreen({0, 0}); }
  void GrabFocus() override {}
  AccessibleText* Text() override { return nullptr; }
  std::vector<std::string> Actions() const override { return {"click"}; }
  void DoAction(int index) override {
    if (index != 0 || Application == nullptr || !Item().Selectable()) return;
    TPopupMenuForm* form = &form_;
    const TRect rect = form_.RowRect(row_);
    Application->Post([form, rect] {
      if (!AccessibleModel::Instance().Knows(*form) || form->Window() == nullptr) return;
      Event event;
      event.window = form->Window()->Id();
      event.position = {rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2};
      event.type = EventType::kMouseDown;
      event.shift = kShiftStateLeft;
      form->HandleEvent(event);
      event.type = EventType::kMouseUp;
      event.shift = 0;
      form->HandleEvent(event);
    });
  }

 private:
  const TMenuItem& Item() const { return *form_.RowItem(row_); }

  TPopupMenuForm& form_;
  AccessibleNode& menu_;
  int row_;
};

// The menu's window: a popup menu whose children are its items (separators left out).
class PopupMenuAccessible final : public TAccessibleControl {
 public:
  explicit PopupMenuAccessible(TPopupMenuForm& form) : TAccessibleControl(form) {
    for (int row = 0; row < form.RowCount(); ++row) {
      if (!form.RowItem(row)->IsSeparator()) {
        items_.push_back(std::make_unique<MenuItemAccessible>(form, *this, row));
      }
    }
  }
  ~PopupMenuAccessible() override {
    if (AccessibilityBridge* bridge = AccessibilityBridge::Current()) {
      for (const auto& item : items_) bridge->NodeRemoved(*item);
    }
  }
  std::vector<AccessibleNode*> Children() const override {
    std::vector<AccessibleNode*> children;
    for (const auto& item : items_) children.push_back(item.get());
    return children;
  }

 protected:
  AccessibleRole DefaultRole() const override { return AccessibleRole::kPopupMenu; }

 private:
  std::vector<std::unique_ptr<MenuItemAccessible>> items_;
};

}  // namespace

std::unique_ptr<TAccessibleControl> MakePopupMenuAccessible(TControl& control) {
  if (auto* form = dynamic_cast<TPopupMenuForm*>(&control)) {
    return std::make_unique<PopupMenuAccessible>(*form);
  }
  return nullptr;
}

TMenuItem* TPopupMenu::Add(std::string caption) {
  items_.push_back(std::make_unique<TMenuItem>(std::move(caption)));
  return items_.back().get();
}

TCustomForm* TPopupMenu::Form() const { return form_; }

TMenuItem* TPopupMenu::Highlighted() const {
  return form_ != nullptr ? form_->Highlighted() : nullptr;
}

TMenuItem* TPopupMenu::Popup(TPoint screen) {
  if (OnPopup) OnPopup(this);
  if (form_ != nullptr || Application == nullptr ||
      std::none_of(items_.begin(), items_.end(),
                   [](const auto& item) { return item->Visible(); })) {
    return nullptr;
  }
  TApplication& app = *Application;
  WindowSystem& desktop = app.Desktop();
  TCustomForm* active = app.ActiveForm();
  auto form = MakeComponent<TPopupMenuForm>(*this);
  // The desktop keeps the menu with the window it was opened over.
  if (TCustomForm* over = active != nullptr ? active : app.MainForm();
      over != nullptr && over->Window() != nullptr) {
    form->SetOwnerWindow(over->Window()->Id());
  }
  form->SetWindowKind(WindowKind::kPopup);

  // Onto the monitor under the point, opening leftwards or upwards where it would leave it.
  TRect area = desktop.DesktopRect();
  for (const TRect& monitor : desktop.MonitorRects()) {
    if (monitor.Contains(screen)) area = monitor;
  }
  int left = screen.X;
  int top = screen.Y;
  if (left + form->Width() > area.Right) left = std::max(area.Left, left - form->Width());
  if (top + form->Height() > area.Bottom) top = std::max(area.Top, top - form->Height());
  form->SetBounds(left, top, form->Width(), form->Height());

  TMenuItem* chosen = nullptr;
  {
    struct Shown {
      TPopupMenu& menu;
      WindowSystem& desktop;
      ~Shown() {
        menu.form_ = nullptr;
        desktop.SetCapture(0);
      }
    } shown{*this, desktop};
    form_ = form.get();
    form->Show();
    // A click anywhere comes to the menu, so that one outside it closes it.
    if (form->Window() != nullptr) desktop.SetCapture(form->Window()->Id());
    while (!form->Done() && !app.Terminated() && app.HandleMessage()) {
    }
    chosen = form->Chosen();
  }
  form.reset();
  if (active != nullptr &&
      std::find(app.Forms().begin(), app.Forms().end(), active) != app.Forms().end() &&
      active->Visible() && active->Window() != nullptr) {
    active->Window()->Raise();
    active->Window()->Focus();
  }
  if (chosen != nullptr && chosen->OnClick) chosen->OnClick(chosen);
  return chosen;
}

}  // namespace orlit
