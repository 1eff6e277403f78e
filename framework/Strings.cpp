#include "framework/Strings.h"

namespace orlit {

void TStrings::SetStrings(int index, const std::string& text) {
  BeginUpdate();
  try {
    Delete(index);
    Insert(index, text);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::Add(const std::string& text) {
  const int index = Count();
  Insert(index, text);
  return index;
}

int TStrings::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i) {
    if (Strings(i) == text) return i;
  }
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    text += Strings(i);
    text += kLineBreak;
  }
  return text;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  try {
    Clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
      const std::size_t end = text.find_first_of("\r\n", pos);
      if (end == std::string_view::npos) {
        Add(std::string(text.substr(pos)));
        break;
      }
      Add(std::string(text.substr(pos, end - pos)));
      const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      pos = end + (crlf ? 2 : 1);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (update_count_ == 0) SetUpdateState(true);
  ++update_count_;
}

void TStrings::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent& source) {
  const auto* lines = dynamic_cast<const TStrings*>(&source);
  if (lines == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (lines == this) return;
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < lines->Count(); ++i) Add(lines->Strings(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  }
}

std::string TStringList::Strings(int index) const {
  CheckIndex(index, Count() - 1);
  return lines_[static_cast<std::size_t>(index)];
}

void TStringList::SetStrings(int index, const std::string& text) {
  CheckIndex(index, Count() - 1);
  Changing();
  lines_[static_cast<std::size_t>(index)] = text;
  Changed();
}

void TStringList::Insert(int index, const std::string& text) {
  CheckIndex(index, Count());
  Changing();
  lines_.insert(lines_.begin() + index, text);
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count() - 1);
  Changing();
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (lines_.empty()) return;
  Changing();
  lines_.clear();
  Changed();
}

void TStringList::SetUpdateState(bool updating) {
  if (!updating && change_pending_) {
    change_pending_ = false;
    if (OnChange) OnChange(this);
  }
}

void TStringList::Changing() {
  if (UpdateCount() > 0) {
    // Within an update, announce only the first change before and once at the end.
    if (change_pending_) return;
    change_pending_ = true;
  }
  if (OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

}  // namespace orlit
