#pragma once

#include <optional>
#include <string>

#include "framework/Form.h"
#include "platform/FileChooser.h"

namespace orlit {

class TCustomEdit;
class TDialogButton;

// Our own file dialog, for desktops without a file chooser portal: the file types, a path field,
// OK and Cancel. OK (or Enter) takes the path when it passes the checks, otherwise says why in
// the dialog and keeps it open: a name is needed; a saved name gets the default extension when it
// has none; a file to open must exist, and the folder of a file to save too. The file types are
// shown as a guide: a typed name is taken whatever they say, as desktop dialogs take it. Cancel,
// Escape or closing gives up.
class TFileNameForm : public TCustomForm {
 public:
  static constexpr int kWidth = 420;

  explicit TFileNameForm(FileChooserRequest request);

  TCustomEdit* PathField() const { return path_field_; }
  const FileChooserRequest& Request() const { return request_; }
  // What the checks found wrong with the last OK; empty when nothing.
  const std::string& Problem() const { return problem_; }
  bool Done() const { return done_; }
  // The path taken, once done; nothing when the user gave up.
  const std::optional<std::string>& Chosen() const { return chosen_; }

  void Close() override { Finish(std::nullopt); }

 protected:
  void Paint(TCanvas& canvas) override;
  void DialogKey(int& key, TShiftState shift) override;
  std::string WindowTitle() const override { return Caption(); }

 private:
  void Accept();
  void Finish(std::optional<std::string> path);
  std::string CheckedPath(std::string& problem) const;

  FileChooserRequest request_;
  std::string type_names_;
  TCustomEdit* path_field_ = nullptr;
  TRect field_frame_;
  TRect types_rect_;
  TRect problem_rect_;
  std::string problem_;
  bool done_ = false;
  std::optional<std::string> chosen_;
};

}  // namespace orlit
