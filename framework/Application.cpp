#include "framework/Application.h"

#include <cxxabi.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <exception>
#include <typeinfo>
#include <utility>

#include "convert/FormatSettings.h"
#include "framework/AccessibleModel.h"
#include "framework/Form.h"
#include "framework/MessageBox.h"
#include "framework/ModalScope.h"
#include "framework/Timer.h"

namespace orlit {

TApplication* Application = nullptr;

WindowSystem* Desktop() { return Application != nullptr ? &Application->Desktop() : nullptr; }

namespace {

std::string RunningExecutable() {
  std::array<char, 4096> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}

std::string FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string PointerText(const void* address) {
  std::array<char, 2 * sizeof(void*) + 1> text{};
  std::snprintf(text.data(), text.size(), "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  return text.data();
}

}  // namespace

TApplication::TApplication(WindowSystem& desktop, std::string executable_path)
    : desktop_(desktop),
      exe_name_(executable_path.empty() ? RunningExecutable() : std::move(executable_path)),
      title_(TitleFromExecutable(exe_name_)) {
  if (Application == nullptr) Application = this;
}

TApplication::~TApplication() {
  DestroyComponents();
  // Timers owned elsewhere outlive the desktop's timers: they stop here.
  for (auto& [id, timer] : timers_) {
    desktop_.KillTimer(id);
    timer->id_ = 0;
  }
  timers_.clear();
  if (post_timer_ != 0) desktop_.KillTimer(post_timer_);
  if (Application == this) Application = nullptr;
}

std::string TApplication::TitleFromExecutable(std::string_view path) {
  std::string title = FileName(path);
  title = title.substr(0, title.find('.'));
  for (std::size_t i = 1; i < title.size(); ++i) {
    title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
  }
  return title;
}

void TApplication::SetTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  if (main_form_ != nullptr && main_form_->Window() != nullptr) {
    main_form_->Window()->SetTitle(title_);
  }
}

void TApplication::SetIcon(PixelImage icon) {
  icon_ = std::move(icon);
  if (main_form_ != nullptr && main_form_->Window() != nullptr && !icon_.IsEmpty()) {
    main_form_->Window()->SetIcon(icon_);
  }
}

void TApplication::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TApplication::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (main_form_ == form) main_form_ = nullptr;
}

bool TApplication::HasForm(const TCustomForm* form) const {
  return form != nullptr && std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == main_form_) main_form_ = nullptr;
  TComponent::Notification(component, operation);
}

TCustomForm* TApplication::FindForm(WindowId window) const {
  if (window == 0) return nullptr;
  for (TCustomForm* form : forms_) {
    if (form->Window() != nullptr && form->Window()->Id() == window) return form;
  }
  return nullptr;
}

TCustomForm* TApplication::ActiveForm() const {
  for (TCustomForm* form : forms_) {
    if (form->Active()) return form;
  }
  return nullptr;
}

TControl* TApplication::FindControl(TPoint screen) const {
  std::vector<TCustomForm*> order;
  if (TCustomForm* active = ActiveForm()) order.push_back(active);
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
    if (*it != ActiveForm()) order.push_back(*it);
  }
  for (TCustomForm* form : order) {
    if (!form->Visible() || form->Window() == nullptr || form->Window()->Minimized()) continue;
    const TPoint local = form->ScreenToClient(screen);
    if (!form->ClientRect().Contains(local)) continue;
    TControl* control = form->ControlAtPos(local, false, true, true);
    return control != nullptr ? control : form;
  }
  return nullptr;
}

void TApplication::Run() {
  if (main_form_ != nullptr && !main_form_->Visible()) {
    try {
      main_form_->Show();
    } catch (...) {
      HandleException(main_form_);
    }
  }
  while (!terminated_ && HandleMessage()) {
  }
}

void TApplication::ProcessMessages() {
  Event event;
  while (desktop_.PollEvent(&event)) Dispatch(event);
  Idle();
}

bool TApplication::HandleMessage() {
  // Each pass is guarded whole: an error while waiting for events is reported
  // like any other.
  try {
    Event event;
    if (!desktop_.PollEvent(&event)) {
      Idle();
      if (!desktop_.WaitEvent(&event)) return false;
    }
    Dispatch(event);
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::Idle() {
  const std::vector<TCustomForm*> forms = forms_;
  for (TCustomForm* form : forms) {
    if (!HasForm(form)) continue;
    try {
      form->PaintDirty();
    } catch (...) {
      HandleException(form);
    }
  }
  try {
    // The frames go out now, ahead of the work that waits for them, and after each form has
    // given back the pages of its frame.
    desktop_.Flush();
    if (after_first_frame_ && main_form_ != nullptr && main_form_->Visible()) {
      std::exchange(after_first_frame_, nullptr)();
    }
    AccessibleModel::Instance().Update();
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::Post(std::function<void()> work) {
  posted_.push_back(std::move(work));
  if (post_timer_ == 0) post_timer_ = desktop_.SetTimer(1);
}

void TApplication::RunPosted() {
  desktop_.KillTimer(post_timer_);
  post_timer_ = 0;
  const std::vector<std::function<void()>> posted = std::exchange(posted_, {});
  for (const std::function<void()>& work : posted) {
    try {
      work();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Dispatch(const Event& event) {
  switch (event.type) {
    case EventType::kQuit:
      Terminate();
      return;
    case EventType::kTimer: {
      if (event.timer == post_timer_) {
        RunPosted();
        return;
      }
      auto it = timers_.find(event.timer);
      if (it == timers_.end()) return;
      TTimer* timer = it->second;
      try {
        timer->Timer();
      } catch (...) {
        HandleException(timer);
      }
      return;
    }
    case EventType::kSettingsChanged:
      try {
        LoadFormatSettings();
      } catch (...) {
        HandleException(this);
      }
      return;
    default:
      break;
  }
  TCustomForm* form = FindForm(event.window);
  if (form == nullptr) return;
  if (event.type == EventType::kMinimized) WindowMinimized();
  if (event.type == EventType::kRestored) Restore();
  try {
    form->HandleEvent(event);
  } catch (...) {
    HandleException(form);
  }
}

void TApplication::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  for (TCustomForm* form : forms_) {
    if (form->Visible() && form->Window() != nullptr) form->Window()->Minimize();
  }
  if (OnMinimize) OnMinimize(this);
}

void TApplication::WindowMinimized() {
  // The desktop minimised one window: the program goes to the taskbar as a
  // whole.
  if (!minimized_) Minimize();
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  for (TCustomForm* form : forms_) {
    if (form->Visible() && form->Window() != nullptr) form->Window()->Restore();
  }
  if (main_form_ != nullptr && main_form_->Visible() && main_form_->Window() != nullptr) {
    main_form_->Window()->Raise();
    main_form_->Window()->Focus();
  }
  if (OnRestore) OnRestore(this);
}

void TApplication::HandleException(TObject* /*sender*/) {
  const std::exception_ptr error = std::current_exception();
  if (!error) return;
  for (TCustomForm* form : forms_) form->CancelMode();
  try {
    try {
      std::rethrow_exception(error);
    } catch (const EAbort&) {
    } catch (const Exception& e) {
      ShowException(e);
    } catch (const std::exception& e) {
      ShowForeignException(TypeName(typeid(e)), e.what(), &e);
    } catch (...) {
      const std::type_info* type = abi::__cxa_current_exception_type();
      ShowForeignException(type != nullptr ? TypeName(*type) : "unknown", "", nullptr);
    }
  } catch (...) {
    // The box itself could not be shown; the error must not vanish without a
    // trace.
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: %s\n", title_.c_str(), e.what());
    } catch (...) {
      std::fprintf(stderr, "%s: unknown error\n", title_.c_str());
    }
  }
}

void TApplication::ShowException(const Exception& error) {
  MessageBox(MessageWithFinalPeriod(error.ShownMessage()), title_, MB_OK | MB_ICONSTOP);
}

void TApplication::ShowForeignException(const std::string& class_name, const std::string& message,
                                        const void* address) {
  const std::string text = "Exception " + class_name + " in module " + FileName(exe_name_) +
                           " at " + PointerText(address) + ".\r\n" +
                           MessageWithFinalPeriod(message) + "\r\n";
  MessageBox(text, "Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  int result = 0;
  {
    const ModalScope modal(*this);
    // On the monitor of the active window, else on the primary screen.
    TRect area = desktop_.DesktopRect();
    if (TCustomForm* active = modal.ActiveForm()) {
      const TRect bounds = active->BoundsRect();
      const TPoint centre{bounds.Left + bounds.Width() / 2, bounds.Top + bounds.Height() / 2};
      for (const TRect& monitor : desktop_.MonitorRects()) {
        if (monitor.Contains(centre)) area = monitor;
      }
    }
    auto box = MakeComponent<TMessageBoxForm>(text, caption, flags, area.Width());
    box->SetOwnerWindow(modal.DialogOwner());
    // A box taller than the screen keeps its title strip on it.
    box->SetBounds(area.Left + std::max(0, (area.Width() - box->Width()) / 2),
                   area.Top + std::max(0, (area.Height() - box->Height()) / 2), box->Width(),
                   box->Height());
    box->Show();
    while (box->ModalResult() == 0 && !terminated_ && HandleMessage()) {
    }
    result = box->ModalResult();
  }
  return result;
}

}  // namespace orlit
