#include "framework/Form.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <exception>

#include "framework/AccessibleModel.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "platform/DeviceRect.h"

namespace orlit {

namespace {

constexpr int kDefaultFormWidth = 320;
constexpr int kDefaultFormHeight = 240;

// Set while RenderImage paints the back buffer to read it back.
bool reading_back_buffer = false;

struct ReadingBackBuffer {
  ReadingBackBuffer() { reading_back_buffer = true; }
  ~ReadingBackBuffer() { reading_back_buffer = false; }
  ReadingBackBuffer(const ReadingBackBuffer&) = delete;
  ReadingBackBuffer& operator=(const ReadingBackBuffer&) = delete;
};

// Gives the whole pages of a presented buffer back to the system; they return zeroed where the
// next paint draws. The server keeps what a visible window shows (and redraws it when
// uncovered), and every paint fills the rectangles it presents from the form's background up,
// so nothing outside them is ever read: between paints the frame is not held twice.
void ReleasePresentedPages(DeviceContext& dc) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(dc.Bits());
  const std::uintptr_t end = start + static_cast<std::uintptr_t>(dc.Stride()) * 4 *
                                         static_cast<std::uintptr_t>(dc.PixelHeight());
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t last = end / page * page;
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

// Has the system provide, in one call, the pages of the rows `rect` covers before they are
// painted: touched one at a time, the pages of a released buffer cost a fault each, a quarter of
// the faults of a start. Pages beside the rows, within the same allocation, are only made present,
// never changed. Where the call is unknown (kernels before 5.14) painting faults them in as before.
void ProvidePagesToPaint(const DeviceContext& dc, const TRect& rect) {
  const TRect device = DeviceRect(rect, dc.Scale());
  const auto row_bytes = static_cast<std::uintptr_t>(dc.Stride()) * 4;
  const auto top = static_cast<std::uintptr_t>(std::clamp(device.Top, 0, dc.PixelHeight()));
  const auto bottom = static_cast<std::uintptr_t>(std::clamp(device.Bottom, 0, dc.PixelHeight()));
  if (bottom <= top) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto bits = reinterpret_cast<std::uintptr_t>(dc.Bits());
  const std::uintptr_t first = (bits + top * row_bytes) / page * page;
  const std::uintptr_t last = (bits + bottom * row_bytes + page - 1) / page * page;
  madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
}

bool Inside(const TControl* control, const TControl* container) {
  for (; control != nullptr; control = control->Parent()) {
    if (control == container) return true;
  }
  return false;
}

TMouseButton ToMouseButton(MouseButton button) {
  switch (button) {
    case MouseButton::kRight:
      return mbRight;
    case MouseButton::kMiddle:
      return mbMiddle;
    case MouseButton::kLeft:
      break;
  }
  return mbLeft;
}

CursorShape ToCursorShape(TCursor cursor) {
  switch (cursor) {
    case crHandPoint:
      return CursorShape::kHandPoint;
    case crIBeam:
      return CursorShape::kIBeam;
    default:
      return CursorShape::kArrow;
  }
}

}  // namespace

TCustomForm::TCustomForm() {
  BeginLoading();
  SetVisibleField(false);
  SetBoundsFields(0, 0, kDefaultFormWidth, kDefaultFormHeight);
  SetParentFont(false);
  SetColor(clBtnFace);
  if (Application != nullptr) Application->AddForm(this);
}

TCustomForm::~TCustomForm() {
  AccessibleModel::Instance().FormGone(*this);
  if (Application != nullptr) Application->RemoveForm(this);
  ReleaseCapture();
  active_control_ = nullptr;
  key_target_ = nullptr;
  capture_ = nullptr;
  pressed_ = nullptr;
  hover_ = nullptr;
  entered_ = nullptr;
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  EndLoading();
  RealignTree(this);
  DoCreate();
}

void TCustomForm::RealignTree(TWinControl* control) {
  control->Realign();
  for (int i = 0; i < control->ControlCount(); ++i) {
    if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i))) RealignTree(child);
  }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control != nullptr &&
      (GetParentForm(control) != this || control == this || (!Loading() && !control->CanFocus()))) {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  SetFocusedControl(control);
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == this) control = nullptr;
  const unsigned request = ++focus_request_;
  TWinControl* old = active_control_;
  if (control == old) return;

  std::vector<TWinControl*> exits;
  for (TWinControl* c = old; c != nullptr && c != this; c = c->Parent()) {
    if (control != nullptr && c->ContainsControl(control)) break;
    exits.push_back(c);
  }
  for (TWinControl* c : exits) {
    c->DoExit();
    // The handler moved the focus itself, or took the control away.
    if (focus_request_ != request || active_control_ != old) return;
  }

  active_control_ = control;
  AccessibleModel::Instance().NoteFocus(*this);
  if (Active()) {
    if (old != nullptr) old->FocusChanged();
    if (control != nullptr && active_control_ == control) control->FocusChanged();
  }

  std::vector<TWinControl*> enters;
  for (TWinControl* c = active_control_; c != nullptr && c != this; c = c->Parent()) {
    if (old != nullptr && Inside(old, c)) break;
    enters.push_back(c);
  }
  for (auto it = enters.rbegin(); it != enters.rend(); ++it) {
    if (focus_request_ != request || active_control_ != control) return;
    (*it)->DoEnter();
  }
}

TWinControl* TCustomForm::FindNextControl(TWinControl* current, bool forward, bool check_tab_stop,
                                          bool check_parent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  const int count = static_cast<int>(list.size());
  if (count == 0) return nullptr;
  const auto found = std::find(list.begin(), list.end(), current);
  int index =
      found == list.end() ? (forward ? count - 1 : 0) : static_cast<int>(found - list.begin());
  for (int step = 0; step < count; ++step) {
    index = forward ? (index + 1) % count : (index + count - 1) % count;
    TWinControl* candidate = list[static_cast<std::size_t>(index)];
    if (candidate == current) break;
    if ((!check_tab_stop || candidate->TabStop()) &&
        (!check_parent || candidate->Parent() == this) && candidate->CanFocus()) {
      return candidate;
    }
  }
  return nullptr;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool check_tab_stop) {
  if (TWinControl* next = FindNextControl(current, forward, check_tab_stop, false)) {
    next->SetFocus();
  }
}

bool TCustomForm::Active() const {
  return window_ != nullptr && window_->Visible() && window_->Focused();
}

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled()) {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  if (window_ == nullptr) return;
  window_->Raise();
  window_->Focus();
}

void TCustomForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (!visible) {
    if (window_ != nullptr) window_->Hide();
    CancelMode();
    TWinControl::SetVisible(false);
    DoHide();
    return;
  }
  PlaceOnFirstShow();
  TWinControl::SetVisible(true);
  if (window_ == nullptr) CreateWindowHandle();
  // A failing OnShow or enter handler is reported, but the window still comes up: a program
  // whose only window never appears could not even be closed.
  std::exception_ptr error;
  try {
    DoShow();
    if (active_control_ == nullptr) {
      if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
        SetFocusedControl(first);
      }
    }
  } catch (...) {
    error = std::current_exception();
  }
  if (Visible() && window_ != nullptr) window_->Show();
  if (error) std::rethrow_exception(error);
}

void TCustomForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  TRect area;
  switch (position_) {
    case poDesigned:
      return;
    case poDesktopCenter:
    case poScreenCenter:
      if (Application == nullptr) return;
      area = Application->Desktop().DesktopRect();
      break;
    case poMainFormCenter: {
      TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
      if (main == nullptr || main == this) {
        if (Application == nullptr) return;
        area = Application->Desktop().DesktopRect();
      } else {
        area = main->BoundsRect();
      }
      break;
    }
  }
  SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2,
            Width(), Height());
}

void TCustomForm::CreateWindowHandle() {
  if (Application == nullptr) {
    throw EInvalidOperation("A form needs the application to be shown");
  }
  WindowParams params;
  params.title = WindowTitle();
  params.size = CheckedWindowSize({Width(), Height()});
  params.position = TPoint{Left(), Top()};
  params.owner = owner_window_;
  params.kind = window_kind_;
  window_ = Application->Desktop().CreateWindow(params);
  if (Application->MainForm() == this && !Application->Icon().IsEmpty()) {
    window_->SetIcon(Application->Icon());
  }
  Invalidate();
}

std::string TCustomForm::WindowTitle() const {
  if (Application != nullptr && Application->MainForm() == this) return Application->Title();
  return Caption();
}

void TCustomForm::TextChanged() {
  TWinControl::TextChanged();
  if (window_ != nullptr) window_->SetTitle(WindowTitle());
}

void TCustomForm::Close() {
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
  } else {
    Hide();
  }
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  if (window_ == nullptr) return;
  const TPoint position = window_->Position();
  if (position.X != Left() || position.Y != Top()) window_->Move({Left(), Top()});
  const TSize size = window_->Size();
  const TSize wanted = CheckedWindowSize({Width(), Height()});
  if (size.cx != wanted.cx || size.cy != wanted.cy) window_->Resize(wanted);
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::DialogKey(int& key, TShiftState shift) {
  if (key == VK_TAB && (shift & (ssCtrl | ssAlt)) == 0) {
    key = 0;
    SelectNext(active_control_, (shift & ssShift) == 0, true);
  }
}

void TCustomForm::CancelMode() {
  pressed_ = nullptr;
  ReleaseCapture();
}

void TCustomForm::ReleaseCapture() {
  capture_ = nullptr;
  if (window_ != nullptr && Application != nullptr &&
      Application->Desktop().Capture() == window_->Id()) {
    Application->Desktop().SetCapture(0);
  }
}

void TCustomForm::InvalidateFormRect(const TRect& rect) {
  dirty_.Add(rect.Intersect(ClientRect()));
}

void TCustomForm::ControlRemoved(TControl* control) {
  if (control == this) return;
  if (Inside(active_control_, control)) active_control_ = nullptr;
  if (Inside(key_target_, control)) key_target_ = nullptr;
  if (Inside(pressed_, control)) pressed_ = nullptr;
  if (Inside(hover_, control)) hover_ = nullptr;
  if (Inside(entered_, control)) entered_ = nullptr;
  if (Inside(dispatch_target_, control)) dispatch_target_ = nullptr;
  if (Inside(capture_, control)) ReleaseCapture();
}

void TCustomForm::DefocusControl(TControl* control) {
  if (control == this || !Inside(active_control_, control)) return;
  TWinControl* old = active_control_;
  active_control_ = nullptr;
  if (Active()) old->FocusChanged();
}

void TCustomForm::ActivationChanged(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active) {
    Activate();
  } else {
    Deactivate();
  }
  if (active_control_ != nullptr) active_control_->FocusChanged();
}

void TCustomForm::HandleEvent(const Event& event) {
  switch (event.type) {
    case EventType::kKeyDown:
      HandleKeyDown(event);
      break;
    case EventType::kKeyUp:
      HandleKeyUp(event);
      break;
    case EventType::kCharacter:
      HandleCharacter(event);
      break;
    case EventType::kMouseMove:
      HandleMouseMove(event);
      break;
    case EventType::kMouseDown:
    case EventType::kMouseDoubleClick:
      HandleMouseDown(event);
      break;
    case EventType::kMouseUp:
      HandleMouseUp(event);
      break;
    case EventType::kMouseWheel:
      HandleMouseWheel(event);
      break;
    case EventType::kMouseLeave:
      SetHover(nullptr);
      break;
    case EventType::kFocusGained:
      // A window manager that ignores the dialog hints focuses a clicked window all the same.
      if (!window_->Enabled() && PassFocusToDialog()) break;
      ActivationChanged(true);
      break;
    case EventType::kFocusLost:
      ActivationChanged(false);
      break;
    case EventType::kMoved:
      SetBoundsFields(event.position.X, event.position.Y, Width(), Height());
      break;
    case EventType::kCloseRequest:
      Close();
      break;
    case EventType::kScaleChanged:
      // The back buffer is made anew at the new scale.
      Invalidate();
      break;
    default:
      break;
  }
}

void TCustomForm::HandleKeyDown(const Event& event) {
  TWinControl* target = active_control_ != nullptr ? active_control_ : this;
  key_target_ = target;
  drop_character_ = false;
  const TShiftState shift = event.shift & kShiftStateKeys;
  int key = event.key;
  target->KeyDown(key, shift);
  if (key == 0) return;
  DialogKey(key, shift);
  drop_character_ = key == 0;
}

void TCustomForm::HandleKeyUp(const Event& event) {
  key_target_ = nullptr;
  drop_character_ = false;
  TWinControl* target = active_control_ != nullptr ? active_control_ : this;
  int key = event.key;
  target->KeyUp(key, event.shift & kShiftStateKeys);
}

void TCustomForm::HandleCharacter(const Event& event) {
  if (drop_character_) {
    drop_character_ = false;
    return;
  }
  TWinControl* target = key_target_;
  if (target == nullptr) target = active_control_ != nullptr ? active_control_ : this;
  char32_t key = event.character;
  // Ctrl with Alt is AltGr, which types characters rather than choosing accelerators. Alt with a
  // character only ever chooses one: when none answers, nothing is typed, as on the desktop.
  const bool alt = (event.shift & (ssAlt | ssCtrl)) == ssAlt;
  if (alt) {
    DialogChar(key);
    return;
  }
  if (!target->WantsCharacters() && DialogChar(key)) return;
  target->KeyPress(key);
}

TControl* TCustomForm::HitTest(TPoint pos) const {
  TControl* control = ControlAtPos(pos, false, true, true);
  return control != nullptr ? control : const_cast<TCustomForm*>(this);
}

TPoint TCustomForm::ToControl(const TControl* control, TPoint pos) const {
  for (const TControl* c = control; c != nullptr && c != this; c = c->Parent()) {
    pos.X -= c->Left();
    pos.Y -= c->Top();
  }
  return pos;
}

void TCustomForm::SetHover(TControl* control) {
  hover_ = control;
  // While a control has the capture, only it hears of the mouse coming and going.
  TControl* entered = (capture_ == nullptr || control == capture_) ? control : nullptr;
  if (entered == entered_) return;
  TControl* old = entered_;
  entered_ = entered;
  if (old != nullptr) old->MouseLeave();
  // A leave handler may have moved things on; the newer state stands.
  if (entered != nullptr && entered_ == entered) entered->MouseEnter();
}

void TCustomForm::SetCursorOf(const TControl* control) {
  if (window_ == nullptr) return;
  TCursor cursor = crDefault;
  for (const TControl* c = control; c != nullptr && cursor == crDefault; c = c->Parent()) {
    cursor = c->Cursor();
  }
  const CursorShape shape = ToCursorShape(cursor);
  if (window_->Cursor() != shape) window_->SetCursor(shape);
}

void TCustomForm::UpdateCursor() { SetCursorOf(capture_ != nullptr ? capture_ : hover_); }

void TCustomForm::HandleMouseMove(const Event& event) {
  SetHover(HitTest(event.position));
  TControl* target = capture_ != nullptr ? capture_ : hover_;
  if (target == nullptr) return;
  SetCursorOf(target);
  const TPoint local = ToControl(target, event.position);
  target->MouseMove(event.shift, local.X, local.Y);
}

void TCustomForm::HandleMouseDown(const Event& event) {
  const bool double_click = event.type == EventType::kMouseDoubleClick;
  const TMouseButton button = ToMouseButton(event.button);
  SetHover(HitTest(event.position));
  TControl* target = capture_ != nullptr ? capture_ : hover_;
  if (target == nullptr) return;
  if (button == mbLeft) {
    auto* windowed = dynamic_cast<TWinControl*>(target);
    if (windowed != nullptr && windowed != active_control_ && windowed->FocusOnClick() &&
        windowed->CanFocus()) {
      SetFocusedControl(windowed);
      // An exit handler kept the focus, or the control went away: the press goes no further.
      if (active_control_ != windowed) return;
    }
  }
  if (capture_ == nullptr) {
    capture_ = target;
    if (window_ != nullptr && Application != nullptr) {
      Application->Desktop().SetCapture(window_->Id());
    }
  }
  if (button == mbLeft) pressed_ = double_click ? nullptr : target;
  const TPoint local = ToControl(target, event.position);
  if (double_click && button == mbLeft) {
    dispatch_target_ = target;
    target->DblClick();
    if (dispatch_target_ != target) return;
  }
  target->MouseDown(button, event.shift, local.X, local.Y);
}

void TCustomForm::HandleMouseUp(const Event& event) {
  const TMouseButton button = ToMouseButton(event.button);
  TControl* hit = HitTest(event.position);
  TControl* target = capture_ != nullptr ? capture_ : hit;
  const bool click = button == mbLeft && pressed_ == target && hit == target;
  if (button == mbLeft) pressed_ = nullptr;
  if ((event.shift & kShiftStateButtons) == 0) ReleaseCapture();
  const TPoint local = ToControl(target, event.position);
  if (click) {
    dispatch_target_ = target;
    target->Click();
    // A click handler may take the control away.
    target = dispatch_target_;
  }
  if (target != nullptr) target->MouseUp(button, event.shift, local.X, local.Y);
  SetHover(HitTest(event.position));
  UpdateCursor();
}

bool TCustomForm::PassFocusToDialog() {
  for (TCustomForm* form : Application->Forms()) {
    NativeWindow* dialog = form->Window();
    if (form == this || form->OwnerWindow() != window_->Id() || dialog == nullptr ||
        !dialog->Visible()) {
      continue;
    }
    dialog->Raise();
    dialog->Focus();
    return true;
  }
  return false;
}

void TCustomForm::HandleMouseWheel(const Event& event) {
  // The control under the pointer scrolls, as desktop toolkits have it, not the focused one: the
  // log can be read without clicking into it.
  TControl* target = capture_ != nullptr ? capture_ : HitTest(event.position);
  target->DoMouseWheel(event.shift, event.wheel_delta, ClientToScreen(event.position));
}

void TCustomForm::EnsureBackBuffer() {
  const int width = std::max(Width(), 1);
  const int height = std::max(Height(), 1);
  // Drawn at the screen's resolution; the layout stays in 96-dpi pixels.
  const double scale = Application->Desktop().Scale();
  if (back_buffer_ && back_buffer_->Width() == width && back_buffer_->Height() == height &&
      back_buffer_->Scale() == scale) {
    return;
  }
  back_buffer_ = std::make_unique<DeviceContext>(width, height, scale);
  dirty_.Clear();
  dirty_.Add(ClientRect());
}

void TCustomForm::PaintDirty() {
  if (dirty_.Empty()) return;
  EnsureBackBuffer();
  // Taken first: painting may invalidate again, for the next round.
  const std::vector<TRect> rects = dirty_.Rects();
  dirty_.Clear();
  DeviceContext& dc = *back_buffer_;
  for (const TRect& rect : rects) {
    ProvidePagesToPaint(dc, rect);
    SavedDc saved(dc);
    dc.IntersectClipRect(rect);
    PaintControl(this, dc, {0, 0});
  }
  if (window_ != nullptr && window_->Visible()) {
    const FrameView frame{dc.Bits(), dc.PixelWidth(), dc.PixelHeight(), dc.Stride() * 4};
    for (const TRect& rect : rects) window_->Present(frame, rect);
    if (!reading_back_buffer) ReleasePresentedPages(dc);
  }
}

void TCustomForm::PaintControl(TControl* control, DeviceContext& dc, TPoint origin) {
  SavedDc saved(dc);
  dc.SetViewportOrgEx(origin.X, origin.Y);
  if (dc.IntersectClipRect(control->ClientRect()) == NULLREGION) return;
  TCanvas canvas(dc);
  canvas.Font().Assign(control->Font());
  canvas.Brush().SetColor(control->Color());
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (windowed == nullptr) {
    control->Paint(canvas);
    return;
  }
  windowed->PaintBackground(canvas);
  control->Paint(canvas);
  for (TControl* child : windowed->PaintOrder()) {
    if (child->Visible()) {
      PaintControl(child, dc, {origin.X + child->Left(), origin.Y + child->Top()});
    }
  }
}

PixelImage TCustomForm::RenderImage() {
  const ReadingBackBuffer reading;
  Invalidate();
  PaintDirty();
  return back_buffer_ ? back_buffer_->ToPixelImage() : PixelImage();
}

}  // namespace orlit
