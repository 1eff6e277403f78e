#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Component.h"
#include "platform/PixelImage.h"
#include "platform/WindowSystem.h"

namespace orlit {

class TControl;
class TCustomForm;
class TTimer;

// The running application's window system; null while there is no application.
WindowSystem* Desktop();

// The program: its title and icon, its forms, the message loop that hands the window system's
// events to them, and the one path by which errors reach the user.
//
// Every event is dispatched inside a guard: an exception that escapes its handling goes to
// HandleException and the loop goes on with the next event.
class TApplication : public TComponent {
 public:
  // The title comes from the executable's path; without one, from the running program's.
  explicit TApplication(WindowSystem& desktop, std::string executable_path = {});
  ~TApplication() override;

  // The file name without its directory, cut at its first ".", every character after the first
  // in lower case: "/opt/Orlit_CFS.exe" gives "Orlit_cfs".
  static std::string TitleFromExecutable(std::string_view path);

  WindowSystem& Desktop() const { return desktop_; }
  const std::string& ExeName() const { return exe_name_; }
  // The taskbar text and the caption of error boxes.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  // The taskbar picture.
  const PixelImage& Icon() const { return icon_; }
  void SetIcon(PixelImage icon);

  // Creates a form owned by the application: `reference` points to it before its OnCreate
  // fires. The first form created becomes the main form.
  template <typename T, typename... Args>
  T* CreateForm(T*& reference, Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    reference = form.get();
    InsertComponent(std::move(form));
    reference->AfterConstruction();
    if (main_form_ == nullptr) main_form_ = reference;
    return reference;
  }
  TCustomForm* MainForm() const { return main_form_; }
  // Every existing form, in the order they were created.
  const std::vector<TCustomForm*>& Forms() const { return forms_; }
  TCustomForm* FindForm(WindowId window) const;
  // The form whose window has the keyboard focus; null when none has.
  TCustomForm* ActiveForm() const;
  // The innermost visible, enabled control at a screen point on a shown form.
  TControl* FindControl(TPoint screen) const;
  TPoint CursorPos() const { return desktop_.CursorPos(); }

  // Shows the main form, then handles events until Terminate, or until no event can ever come
  // (a headless desktop with nothing left to do).
  void Run();
  // Handles the events already queued, then paints.
  void ProcessMessages();
  // Handles one event, painting and waiting first when none is queued; false when none can come.
  bool HandleMessage();
  // The loop ends once the current event has been handled. Nothing is asked or confirmed.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // All shown forms to the taskbar; Restore brings them back and focuses the main form, whose
  // focused control keeps the focus. Nothing happens when already in that state.
  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }

  // Called while an exception is being handled (inside a catch block). Cancels any mouse
  // capture; EAbort ends there; an Exception is shown by ShowException; anything else by the
  // "Application Error" box.
  void HandleException(TObject* sender);
  // The message, with a final "." when its last character sorts after ".", in an error box with
  // the title as its caption.
  void ShowException(const Exception& error);
  // The modal box (see MessageBox.h for flags and answers). All other windows are disabled while
  // it is open; afterwards the window that was active and its focused control get the focus
  // back. Answers 0 when the box could not be answered (the loop ended).
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

  // Runs once, when the main form's first frame has been presented: what start-up must not wait
  // for.
  void SetAfterFirstFrame(std::function<void()> work) { after_first_frame_ = std::move(work); }
  // Runs `work` from the loop soon, inside its guard. For requests that arrive while the window
  // system waits (from assistive technology), which must not run a nested loop from there.
  void Post(std::function<void()> work);

  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TCustomForm;
  friend class TTimer;

  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  bool HasForm(const TCustomForm* form) const;
  void RegisterTimer(TimerId id, TTimer* timer) { timers_[id] = timer; }
  void UnregisterTimer(TimerId id) { timers_.erase(id); }

  void Dispatch(const Event& event);
  void RunPosted();
  void Idle();
  void WindowMinimized();
  void ShowForeignException(const std::string& class_name, const std::string& message,
                            const void* address);

  WindowSystem& desktop_;
  std::string exe_name_;
  std::string title_;
  PixelImage icon_;
  TCustomForm* main_form_ = nullptr;
  std::vector<TCustomForm*> forms_;
  std::map<TimerId, TTimer*> timers_;
  std::function<void()> after_first_frame_;
  std::vector<std::function<void()>> posted_;
  TimerId post_timer_ = 0;
  bool terminated_ = false;
  bool minimized_ = false;
};

// The application object of the process; null while there is none.
extern TApplication* Application;

}  // namespace orlit
