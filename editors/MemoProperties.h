#pragma once

#include "editors/TextEditProperties.h"
#include "framework/Memo.h"

namespace orlit {

// The settings of the memo: the text editor's, plus scroll bars, Enter and Tab, and word wrap.
// A memo does not select its text on entry, and its text always starts at the top.
class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
 public:
  explicit TcxCustomMemoProperties(TPersistent* owner = nullptr);

  TScrollStyle ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle scroll_bars) { SetDisplaySetting(scroll_bars_, scroll_bars); }
  // Enter starts a new line (Ctrl+Enter always does).
  bool WantReturns() const { return want_returns_; }
  void SetWantReturns(bool want_returns) { SetDisplaySetting(want_returns_, want_returns); }
  // Tab inserts a tab character instead of moving the focus.
  bool WantTabs() const { return want_tabs_; }
  void SetWantTabs(bool want_tabs) { SetDisplaySetting(want_tabs_, want_tabs); }
  // Long lines wrap at the right edge; there is no horizontal scrolling then.
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool word_wrap) { SetDisplaySetting(word_wrap_, word_wrap); }

  void Assign(const TPersistent& source) override;

 private:
  TScrollStyle scroll_bars_ = ssNone;
  bool want_returns_ = true;
  bool want_tabs_ = false;
  bool word_wrap_ = true;
};

// The properties class TcxMemo publishes.
class TcxMemoProperties : public TcxCustomMemoProperties {
 public:
  using TcxCustomMemoProperties::TcxCustomMemoProperties;
};

}  // namespace orlit
