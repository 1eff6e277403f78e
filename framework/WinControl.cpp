#include "framework/WinControl.h"

#include <algorithm>

#include "framework/Canvas.h"
#include "framework/Form.h"

namespace orlit {

namespace {

// Enough for an automatically sized container whose children follow its size to settle.
constexpr int kMaxAlignPasses = 4;

}  // namespace

TWinControl::TWinControl() = default;

TWinControl::~TWinControl() {
  if (TCustomForm* form = Form()) form->ControlRemoved(this);
  // Children still here are owned elsewhere: they stay, without a parent.
  for (TControl* child : controls_) child->SetParentField(nullptr);
  controls_.clear();
  tab_list_.clear();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return controls_[static_cast<std::size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (; control != nullptr; control = control->Parent()) {
    if (control == this) return true;
  }
  return false;
}

std::vector<TControl*> TWinControl::PaintOrder() const {
  std::vector<TControl*> order;
  order.reserve(controls_.size());
  for (TControl* c : controls_) {
    if (dynamic_cast<TWinControl*>(c) == nullptr) order.push_back(c);
  }
  for (TControl* c : controls_) {
    if (dynamic_cast<TWinControl*>(c) != nullptr) order.push_back(c);
  }
  return order;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allow_disabled, bool allow_windowed,
                                    bool all_levels) const {
  const std::vector<TControl*> order = PaintOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    TControl* c = *it;
    if (!c->Visible() || (!allow_disabled && !c->Enabled())) continue;
    auto* windowed = dynamic_cast<TWinControl*>(c);
    if (windowed != nullptr && !allow_windowed) continue;
    if (!c->BoundsRect().Contains(pos)) continue;
    if (all_levels && windowed != nullptr) {
      TControl* inner = windowed->ControlAtPos({pos.X - c->Left(), pos.Y - c->Top()},
                                               allow_disabled, allow_windowed, true);
      if (inner != nullptr) return inner;
    }
    return c;
  }
  return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->SetParentField(this);
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    tab_list_.push_back(windowed);
    if (windowed->tab_order_ >= 0 && !Loading() && !windowed->Loading()) {
      windowed->UpdateTabOrder(windowed->tab_order_);
    }
  }
  ChildChanged(control);
}

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  tab_list_.erase(std::remove(tab_list_.begin(), tab_list_.end(), control), tab_list_.end());
  control->SetParentField(nullptr);
  if ((ComponentState() & csDestroying) == 0) Realign();
}

void TWinControl::ChildChanged(TControl* child) { RealignFor(child); }

void TWinControl::MoveToFront(TControl* control, bool front) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (front) {
    controls_.push_back(control);
  } else {
    controls_.insert(controls_.begin(), control);
  }
  control->Invalidate();
}

void TWinControl::Realign() { RealignFor(nullptr); }

void TWinControl::RealignFor(TControl* control) {
  if (Loading()) return;
  if (align_depth_ > 0) {
    align_again_ = true;
    return;
  }
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } depth(align_depth_);
  for (int pass = 0; pass < kMaxAlignPasses; ++pass) {
    align_again_ = false;
    TRect rect = ClientRect();
    AdjustClientRect(rect);
    AlignControls(control, rect);
    AdjustSize();
    if (!align_again_) break;
  }
}

void TWinControl::AdjustClientRect(TRect& /*rect*/) const {}

namespace {

// Whether `a` lies nearer to the edge of `align` than `b`, as the desktop's layout decides it.
bool InsertBefore(const TControl* a, const TControl* b, TAlign align) {
  switch (align) {
    case alTop:
      return a->Top() < b->Top();
    case alBottom:
      return a->Top() + a->Height() >= b->Top() + b->Height();
    case alLeft:
      return a->Left() < b->Left();
    case alRight:
      return a->Left() + a->Width() >= b->Left() + b->Width();
    default:
      return false;
  }
}

}  // namespace

void TWinControl::AlignControls(TControl* control, TRect rect) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    if (control != nullptr && control->Parent() == this && control->Visible() &&
        control->Align() == align) {
      list.push_back(control);
    }
    for (TControl* c : controls_) {
      if (c == control || !c->Visible() || c->Align() != align) continue;
      std::size_t at = 0;
      while (at < list.size() && !InsertBefore(c, list[at], align)) ++at;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), c);
    }
    for (TControl* c : list) {
      switch (align) {
        case alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
          rect.Top = std::min(rect.Top + c->Height(), rect.Bottom);
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
          rect.Bottom = std::max(rect.Bottom - c->Height(), rect.Top);
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height());
          rect.Left = std::min(rect.Left + c->Width(), rect.Right);
          break;
        case alRight:
          c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
          rect.Right = std::max(rect.Right - c->Width(), rect.Left);
          break;
        default:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
          break;
      }
    }
  }
}

bool TWinControl::CanAutoSize(int& new_width, int& new_height) {
  int right = -1;
  int bottom = -1;
  for (const TControl* c : controls_) {
    if (!c->Visible()) continue;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  if (right < 0) return false;
  TRect client = ClientRect();
  AdjustClientRect(client);
  new_width = right + (Width() - client.Right);
  new_height = bottom + (Height() - client.Bottom);
  return true;
}

void TWinControl::PaintBackground(TCanvas& canvas) {
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
}

bool TWinControl::CanFocus() const {
  TCustomForm* form = Form();
  if (form == nullptr) return false;
  for (const TControl* c = this; c != nullptr; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

void TWinControl::SetFocus() {
  TCustomForm* form = Form();
  if (form == nullptr) return;
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  form->SetFocusedControl(this);
}

bool TWinControl::Focused() const {
  const TCustomForm* form = Form();
  return form != nullptr && form->ActiveControl() == this && form->Active();
}

int TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  const auto& list = Parent()->tab_list_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int tab_order) {
  tab_order_ = tab_order;
  if (Parent() != nullptr && !Loading() && !Parent()->Loading()) UpdateTabOrder(tab_order);
}

void TWinControl::UpdateTabOrder(int tab_order) {
  if (Parent() == nullptr || tab_order < 0) return;
  auto& list = Parent()->tab_list_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  const int count = static_cast<int>(list.size());
  tab_order = std::min(tab_order, count - 1);
  list.erase(it);
  list.insert(list.begin() + tab_order, this);
}

void TWinControl::FixupTabList() {
  const int count = static_cast<int>(tab_list_.size());
  std::vector<TWinControl*> by_order(tab_list_.size(), nullptr);
  for (TWinControl* c : tab_list_) {
    if (c->tab_order_ >= 0 && c->tab_order_ < count) {
      by_order[static_cast<std::size_t>(c->tab_order_)] = c;
    }
  }
  for (int i = 0; i < count; ++i) {
    if (TWinControl* c = by_order[static_cast<std::size_t>(i)]) c->UpdateTabOrder(i);
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tab_list_) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(int& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char32_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::DialogChar(char32_t key) {
  // By index, so that focus handlers changing the children leave no dangling iterator.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i]->DialogChar(key)) return true;
  }
  return false;
}

void TWinControl::BoundsChanged() { Realign(); }

void TWinControl::VisibleChanged() {}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  for (TControl* c : controls_) c->ParentColorChanged();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}

}  // namespace orlit
