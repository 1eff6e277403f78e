#include "framework/FileNameForm.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "convert/Translation.h"
#include "framework/CustomEdit.h"
#include "framework/DialogParts.h"
#include "framework/MessageBox.h"

namespace orlit {

namespace {

constexpr int kMargin = 12;
constexpr int kLineHeight = 18;
constexpr int kFieldHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr TColor kProblemColor = RGB(170, 0, 0);

std::string CurrentFolder() {
  std::array<char, 4096> path{};
  return getcwd(path.data(), path.size()) != nullptr ? std::string(path.data()) : std::string();
}

std::string TypeNames(const std::vector<FileFilter>& filters) {
  if (filters.empty()) return Translate(N_("all files"));
  std::string text;
  for (std::size_t i = 0; i < filters.size(); ++i) {
    if (i > 0) text += ", ";
    text += filters[i].name;
  }
  return text;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.empty() ? "/" : path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

TFileNameForm::TFileNameForm(FileChooserRequest request)
    : request_(std::move(request)), type_names_(TypeNames(request_.filters)) {
  SetCaption(request_.title);
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetColor(clBtnFace);

  int y = kDialogTitleHeight + kMargin;
  types_rect_ = TRect::FromBounds(kMargin, y, kWidth - 2 * kMargin, kLineHeight);
  y += kLineHeight + 4;
  field_frame_ = TRect::FromBounds(kMargin, y, kWidth - 2 * kMargin, kFieldHeight);
  path_field_ = Create<TCustomEdit>();
  path_field_->SetParent(this);
  path_field_->SetBoundsRect(field_frame_.Inflate(-2, -2));
  path_field_->SetTabOrder(0);
  const std::string folder = CurrentFolder();
  path_field_->SetText(folder + (folder == "/" ? "" : "/") +
                       (request_.save ? request_.initial_name : std::string()));
  path_field_->SetSelStart(path_field_->GetTextLen());
  y += kFieldHeight + 4;
  problem_rect_ = TRect::FromBounds(kMargin, y, kWidth - 2 * kMargin, kLineHeight);
  y += kLineHeight + kMargin;

  int x = kWidth - kMargin - 2 * kButtonWidth - 6;
  for (const auto& [caption, result] :
       {std::pair{N_("OK"), IDOK}, std::pair{N_("Cancel"), IDCANCEL}}) {
    auto* button = Create<TDialogButton>(result);
    button->SetParent(this);
    button->SetCaption(Translate(caption));
    button->SetBounds(x, y, kButtonWidth, kButtonHeight);
    button->SetTabOrder(result);
    button->OnClick = [this, result = result](TObject*) {
      result == IDOK ? Accept() : Finish(std::nullopt);
    };
    x += kButtonWidth + 6;
  }
  SetBounds(Left(), Top(), kWidth, y + kButtonHeight + kMargin);
}

void TFileNameForm::Paint(TCanvas& canvas) {
  PaintDialogChrome(canvas, ClientRect(), Font(), Caption());
  TRect types = types_rect_;
  canvas.DrawText(FormatText(Translate(N_("File types: %s")), {type_names_}), types,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  TRect frame = field_frame_;
  canvas.Frame3D(frame, clBtnShadow, clBtnHighlight, 1);
  canvas.Frame3D(frame, cl3DDkShadow, cl3DLight, 1);
  if (!problem_.empty()) {
    canvas.Font().SetColor(kProblemColor);
    TRect problem = problem_rect_;
    canvas.DrawText(problem_, problem,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void TFileNameForm::DialogKey(int& key, TShiftState shift) {
  if (key == VK_RETURN) {
    // Enter on Cancel cancels, anywhere else it is OK.
    const auto* button = dynamic_cast<TDialogButton*>(ActiveControl());
    button != nullptr && button->Result() == IDCANCEL ? Finish(std::nullopt) : Accept();
    key = 0;
    return;
  }
  if (key == VK_ESCAPE) {
    Finish(std::nullopt);
    key = 0;
    return;
  }
  TCustomForm::DialogKey(key, shift);
}

std::string TFileNameForm::CheckedPath(std::string& problem) const {
  std::string path = path_field_->Text();
  const std::size_t first = path.find_first_not_of(' ');
  path = first == std::string::npos ? std::string() : path.substr(first);
  while (!path.empty() && path.back() == ' ') path.pop_back();
  if (!path.empty() && path.front() != '/') path = CurrentFolder() + "/" + path;
  if (path.empty() || path.back() == '/') {
    problem = Translate(N_("Enter a file name."));
    return {};
  }
  if (request_.save) path = WithDefaultExtension(path, request_.default_extension);
  if (!request_.save && !IsFile(path)) {
    problem = FormatText(Translate(N_("There is no file \"%s\".")), {path});
    return {};
  }
  if (request_.save && !IsFolder(path.substr(0, path.find_last_of('/')))) {
    problem = FormatText(Translate(N_("There is no folder for \"%s\".")), {path});
    return {};
  }
  return path;
}

void TFileNameForm::Accept() {
  std::string problem;
  std::string path = CheckedPath(problem);
  if (problem.empty()) {
    Finish(std::move(path));
    return;
  }
  problem_ = std::move(problem);
  Invalidate();
  if (path_field_->CanFocus()) SetFocusedControl(path_field_);
}

void TFileNameForm::Finish(std::optional<std::string> path) {
  if (done_) return;
  done_ = true;
  chosen_ = std::move(path);
}

}  // namespace orlit
