#include "framework/PictureDialog.h"

#include "convert/Translation.h"
#include "framework/Application.h"
#include "framework/FileNameForm.h"
#include "framework/ModalScope.h"
#include "platform/PortalFileChooser.h"

namespace orlit {

TPictureDialog::TPictureDialog(bool save) : save_(save), desktop_chooser_(PortalFileChooser::Ask) {}

bool TPictureDialog::Execute() {
  if (Application == nullptr) return false;
  TApplication& app = *Application;
  FileChooserRequest request;
  request.save = save_;
  request.title = !title_.empty() ? title_
                  : save_         ? Translate(N_("Save Picture As"))
                                  : Translate(N_("Open Picture"));
  request.filters = ParseFileFilter(filter_);
  request.default_extension = default_ext_;
  request.initial_name = file_name_.substr(file_name_.find_last_of('/') + 1);

  struct Notify {
    TPictureDialog& dialog;
    ~Notify() {
      if (dialog.OnClose) dialog.OnClose(&dialog);
    }
  };
  if (OnShow) OnShow(this);
  const Notify notify{*this};
  std::optional<std::string> chosen;
  {
    const ModalScope modal(app);
    FileChooserAnswer answer{FileChoice::kUnavailable, {}};
    if (desktop_chooser_) {
      answer = desktop_chooser_(request, [&app](int fd, int timeout_ms) {
        return app.Desktop().WaitForPeer(fd, timeout_ms);
      });
    }
    if (answer.choice == FileChoice::kChosen) {
      chosen = save_ ? WithDefaultExtension(answer.path, default_ext_) : answer.path;
    } else if (answer.choice == FileChoice::kUnavailable) {
      auto form = MakeComponent<TFileNameForm>(request);
      form->SetOwnerWindow(modal.DialogOwner());
      form->Show();
      while (!form->Done() && !app.Terminated() && app.HandleMessage()) {
      }
      chosen = form->Chosen();
    }
  }
  if (!chosen) return false;
  file_name_ = *chosen;
  return true;
}

}  // namespace orlit
