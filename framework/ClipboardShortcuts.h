#pragma once

#include "framework/Control.h"

namespace orlit {

// The clipboard and undo shortcuts every editing control answers alike.
enum class ClipboardCommand { kNone, kCopy, kCut, kPaste, kUndo };

// Keys as they go down: Ctrl+Insert copies, Shift+Insert pastes, Shift+Delete cuts; with
// `letters`, also Ctrl+C, Ctrl+V and Ctrl+X, for controls that take no typed characters.
// Any other modifier (Alt, or Ctrl with Shift) makes no command.
ClipboardCommand ClipboardCommandOfKey(int key, TShiftState shift, bool letters = false);

// Typed control characters: Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z.
ClipboardCommand ClipboardCommandOfChar(char32_t key);

// Runs `command` on a control with the clipboard operations (and Undo, where it has one);
// false when there is nothing to run.
template <typename Target>
bool RunClipboardCommand(Target& target, ClipboardCommand command) {
  switch (command) {
    case ClipboardCommand::kCopy:
      target.CopyToClipboard();
      return true;
    case ClipboardCommand::kCut:
      target.CutToClipboard();
      return true;
    case ClipboardCommand::kPaste:
      target.PasteFromClipboard();
      return true;
    case ClipboardCommand::kUndo:
      if constexpr (requires { target.Undo(); }) {
        target.Undo();
        return true;
      }
      break;
    case ClipboardCommand::kNone:
      break;
  }
  return false;
}

}  // namespace orlit
