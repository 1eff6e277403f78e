#pragma once

#include <string>
#include <vector>

#include "framework/DialogParts.h"
#include "framework/Form.h"

namespace orlit {

// Message box flags and answers, with the desktop's values.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_TASKMODAL = 0x2000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class TDialogButton;

// The message box as the application shows it: a small frameless form with its own title
// strip, an error icon when asked for (other icons are not drawn), the text wrapped to a
// readable width and a row of buttons (OK; OK and Cancel; Yes and No; Yes, No and Cancel —
// other button sets show OK). Enter presses the focused button, Space too, Escape answers Cancel
// (OK when that is the only button), a click on a button answers it; Tab moves between buttons.
// TApplication::MessageBox runs it modally.
class TMessageBoxForm : public TCustomForm {
 public:
  static constexpr int kMaxTextWidth = 400;
  static constexpr int kTitleHeight = kDialogTitleHeight;
  static constexpr int kButtonWidth = 75;
  static constexpr int kButtonHeight = 23;
  static constexpr int kIconSize = 32;
  static constexpr int kMargin = 12;

  // `area_width`: the width of the screen area the box must fit in; a word too long for a row
  // breaks between characters. 0 leaves the readable width alone as the limit.
  TMessageBoxForm(std::string text, std::string caption, unsigned flags, int area_width = 0);

  const std::string& Text() const { return text_; }
  unsigned Flags() const { return flags_; }
  // The answer once given; 0 while the box is open.
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int result) { modal_result_ = result; }
  // The answers of the buttons, left to right.
  std::vector<int> ButtonResults() const;
  // Where the text and icon are drawn, in client coordinates.
  TRect TextRect() const { return text_rect_; }
  TRect IconRect() const { return icon_rect_; }

  // Closing from the desktop answers like Escape.
  void Close() override;

 protected:
  void Paint(TCanvas& canvas) override;
  void DialogKey(int& key, TShiftState shift) override;
  std::string WindowTitle() const override { return Caption(); }

 private:
  int CancelResult() const;

  std::string text_;
  unsigned flags_;
  int modal_result_ = 0;
  TRect text_rect_;
  TRect icon_rect_;
  std::vector<TDialogButton*> buttons_;
};

// Draws the stop icon: a red disc with a white cross, kIconSize square at (x, y).
void DrawErrorIcon(TCanvas& canvas, int x, int y);

}  // namespace orlit
