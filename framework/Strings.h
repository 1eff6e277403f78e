#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "convert/Exceptions.h"
#include "framework/Persistent.h"

namespace orlit {

// The line break of texts made from lines, as the desktop's multi-line edits keep them.
inline constexpr std::string_view kLineBreak = "\r\n";

ORLIT_EXCEPTION_CLASS(EStringListError, Exception);

// A list of lines. Subclasses decide where the lines live (a list in memory, an edit control's
// text); the whole-text and copying operations are built on the few virtual ones.
class TStrings : public TPersistent {
 public:
  virtual int Count() const = 0;
  // The line at `index`; throws EStringListError when out of range.
  virtual std::string Strings(int index) const = 0;
  virtual void SetStrings(int index, const std::string& text);
  // Inserts before `index` (Count appends); throws EStringListError when out of range.
  virtual void Insert(int index, const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Appends and answers the index the line got.
  virtual int Add(const std::string& text);
  int IndexOf(std::string_view text) const;

  // Every line followed by a line break.
  virtual std::string Text() const;
  // Splits at CR LF, lone CR and lone LF; a final break does not start another line.
  virtual void SetText(std::string_view text);

  // Changes between these calls are announced once: OnChanging before the first, OnChange
  // after the last EndUpdate; an update without changes announces nothing.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

  void Assign(const TPersistent& source) override;

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}
  void CheckIndex(int index, int limit) const;

 private:
  int update_count_ = 0;
};

// Lines in memory, announcing changes through OnChanging (before) and OnChange (after).
class TStringList : public TStrings {
 public:
  int Count() const override { return static_cast<int>(lines_.size()); }
  std::string Strings(int index) const override;
  void SetStrings(int index, const std::string& text) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;

  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;

 protected:
  void SetUpdateState(bool updating) override;
  virtual void Changing();
  virtual void Changed();

 private:
  std::vector<std::string> lines_;
  bool change_pending_ = false;
};

}  // namespace orlit
