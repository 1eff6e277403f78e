#pragma once

#include <functional>
#include <string>

#include "framework/Component.h"
#include "platform/FileChooser.h"
#include "platform/PeerWait.h"

namespace orlit {

// The dialogs that ask for a picture file to open or to save. Execute asks the desktop's own
// file chooser first and, where none answers, shows our TFileNameForm; either way the other
// windows take no input meanwhile and get the focus back afterwards. While the desktop's chooser
// is open, a quit or a request to close the window ends the question, and the request is then
// carried out.
class TPictureDialog : public TComponent {
 public:
  using Chooser =
      std::function<FileChooserAnswer(const FileChooserRequest& request, const PeerWaiter& wait)>;

  // Descriptions and pattern lists separated by "|" (ParseFileFilter).
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  // Without the dot; added to a saved name that has no extension.
  const std::string& DefaultExt() const { return default_ext_; }
  void SetDefaultExt(std::string extension) { default_ext_ = std::move(extension); }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  // The file chosen by the last Execute that returned true.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string name) { file_name_ = std::move(name); }

  // True when the user chose a file.
  bool Execute();

  // Who is asked first; the desktop portal unless replaced. A chooser that answers kUnavailable
  // hands over to our own dialog.
  void SetDesktopChooser(Chooser chooser) { desktop_chooser_ = std::move(chooser); }

  // Fire around the dialog's time on screen.
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 protected:
  explicit TPictureDialog(bool save);

 private:
  bool save_;
  std::string filter_;
  std::string default_ext_;
  std::string title_;
  std::string file_name_;
  Chooser desktop_chooser_;
};

class TOpenPictureDialog : public TPictureDialog {
 public:
  TOpenPictureDialog() : TPictureDialog(false) {}
};

class TSavePictureDialog : public TPictureDialog {
 public:
  TSavePictureDialog() : TPictureDialog(true) {}
};

}  // namespace orlit
