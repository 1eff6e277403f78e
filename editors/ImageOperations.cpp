// The editing operations of the image editor: clipboard, files and their dialogs.
#include <algorithm>
#include <cctype>

#include "convert/Translation.h"
#include "editors/ImageEdit.h"
#include "framework/Application.h"
#include "framework/GraphicClasses.h"
#include "framework/JpegImage.h"
#include "framework/PictureDialog.h"
#include "platform/JpegCodec.h"
#include "platform/PictureError.h"
#include "platform/PictureFile.h"

namespace orlit {

namespace {

bool IsKind(const TGraphicClass* kind, std::string_view class_name) {
  return kind != nullptr && kind->class_name == class_name;
}

std::vector<std::string_view> Extensions(const TGraphicClass& kind) {
  std::vector<std::string_view> extensions;
  std::string_view rest = kind.extensions;
  while (!rest.empty()) {
    const std::size_t end = rest.find(';');
    extensions.push_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  return extensions;
}

std::string Patterns(const TGraphicClass& kind) {
  std::string patterns;
  for (const std::string_view extension : Extensions(kind)) {
    patterns += (patterns.empty() ? "*." : ";*.") + std::string(extension);
  }
  return patterns;
}

std::string KindFilter(const TGraphicClass& kind) {
  const std::string patterns = Patterns(kind);
  return FormatText(Translate(N_("%1$s (%2$s)")),
                    {Translate(std::string(kind.description).c_str()), patterns}) +
         "|" + patterns;
}

std::string AllFilesFilter() { return std::string(Translate(N_("All files (*)"))) + "|*"; }

// As desktop file dialogs offer them: the control's kind first (every known kind together when
// it has none), then each kind the control reads, then all files. The dialogs take a name
// whatever filter is chosen; the file's extension, or its content, decides how it is read.
std::string OpenFilter(const TGraphicClass* kind) {
  std::string filter;
  if (kind != nullptr) {
    filter = KindFilter(*kind);
  } else {
    std::string all;
    for (const TGraphicClass& each : GraphicClasses()) {
      all += (all.empty() ? "" : ";") + Patterns(each);
    }
    filter = FormatText(Translate(N_("All pictures (%s)")), {all}) + "|" + all;
  }
  for (const TGraphicClass& each : GraphicClasses()) {
    if (&each != kind) filter += "|" + KindFilter(each);
  }
  return filter + "|" + AllFilesFilter();
}

// The kind whose extensions include the file's; null for none.
const TGraphicClass* KindOfFile(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const TGraphicClass& kind : GraphicClasses()) {
    const std::vector<std::string_view> extensions = Extensions(kind);
    if (std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) {
      return &kind;
    }
  }
  return nullptr;
}

}  // namespace

bool TcxCustomImage::CanModifyPicture() const { return !Properties().ReadOnly(); }

bool TcxCustomImage::CanPasteFromClipboard() const {
  const TGraphicClass* kind = Properties().GraphicClass();
  if (IsKind(kind, "TIcon") || IsKind(kind, "TMetafile")) return false;
  WindowSystem* desktop = Desktop();
  return desktop != nullptr && desktop->ClipboardHasPicture();
}

void TcxCustomImage::CopyToClipboard() {
  WindowSystem* desktop = Desktop();
  if (picture_->Empty() || desktop == nullptr) return;
  desktop->SetClipboardPicture(picture_->Graphic()->Image());
}

void TcxCustomImage::ClearPicture() {
  if (!CanModifyPicture() || !RequestEditing()) return;
  picture_->SetGraphic(std::unique_ptr<TGraphic>());
}

void TcxCustomImage::CutToClipboard() {
  CopyToClipboard();
  ClearPicture();
}

void TcxCustomImage::PasteFromClipboard() {
  WindowSystem* desktop = Desktop();
  if (desktop == nullptr || !CanPasteFromClipboard() || !CanModifyPicture() || !RequestEditing()) {
    return;
  }
  std::optional<PixelImage> bitmap = desktop->ClipboardPicture();
  if (!bitmap) return;
  std::unique_ptr<TGraphic> graphic;
  if (IsKind(Properties().GraphicClass(), "TJPEGImage")) {
    // A JPEG picture stays one: the bitmap is compressed.
    graphic = std::make_unique<TJPEGImage>();
    graphic->LoadFromBytes(EncodeJpeg(*bitmap));
  } else {
    auto pasted = std::make_unique<TBitmap>();
    pasted->SetPixels(std::move(*bitmap));
    graphic = std::move(pasted);
  }
  picture_->SetGraphic(std::move(graphic));
}

void TcxCustomImage::LoadFromFile(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
  const TGraphicClass* kind = KindOfFile(path);
  if (kind == nullptr) kind = GraphicClassOfData(bytes);
  if (kind == nullptr) {
    throw EInvalidGraphic(SourceText(N_("Unknown picture file extension: \"%s\""), {path}));
  }
  std::unique_ptr<TGraphic> graphic = kind->create();
  graphic->LoadFromBytes(bytes);
  picture_->SetGraphic(std::move(graphic));
}

void TcxCustomImage::SaveToFile(const std::string& path) const {
  if (picture_->Empty()) return;
  WriteFileSafely(path, picture_->Graphic()->SaveToBytes());
}

void TcxCustomImage::LoadFromFile() {
  if (!CanModifyPicture()) return;
  TOpenPictureDialog dialog;
  const TGraphicClass* kind = Properties().GraphicClass();
  dialog.SetFilter(!Properties().CustomFilter().empty() ? Properties().CustomFilter()
                                                        : OpenFilter(kind));
  if (!RunDialog(dialog) || !RequestEditing()) return;
  LoadFromFile(dialog.FileName());
}

void TcxCustomImage::SaveToFile() {
  if (picture_->Empty()) return;
  TSavePictureDialog dialog;
  const TGraphicClass* kind = FindGraphicClass(picture_->Graphic()->StoredClassName());
  if (kind != nullptr) dialog.SetDefaultExt(std::string(Extensions(*kind).front()));
  dialog.SetFilter(!Properties().CustomFilter().empty() ? Properties().CustomFilter()
                   : kind != nullptr                    ? KindFilter(*kind) + "|" + AllFilesFilter()
                                                        : std::string());
  if (RunDialog(dialog)) SaveToFile(dialog.FileName());
}

bool TcxCustomImage::RunDialog(TPictureDialog& dialog) {
  dialog.OnShow = [this](TObject*) {
    dialog_open_ = true;
    ShortRefreshContainer(false);
  };
  dialog.OnClose = [this](TObject*) {
    dialog_open_ = false;
    ShortRefreshContainer(false);
  };
  return dialog.Execute();
}

}  // namespace orlit
