#include "framework/ClipboardShortcuts.h"

#include "platform/VirtualKeys.h"

namespace orlit {

ClipboardCommand ClipboardCommandOfKey(int key, TShiftState shift, bool letters) {
  const TShiftState modifiers = shift & (ssShift | ssCtrl | ssAlt);
  if (modifiers == ssCtrl) {
    if (key == VK_INSERT || (letters && key == 'C')) return ClipboardCommand::kCopy;
    if (letters && key == 'V') return ClipboardCommand::kPaste;
    if (letters && key == 'X') return ClipboardCommand::kCut;
  } else if (modifiers == ssShift) {
    if (key == VK_INSERT) return ClipboardCommand::kPaste;
    if (key == VK_DELETE) return ClipboardCommand::kCut;
  }
  return ClipboardCommand::kNone;
}

ClipboardCommand ClipboardCommandOfChar(char32_t key) {
  switch (key) {
    case kCharCtrlC:
      return ClipboardCommand::kCopy;
    case kCharCtrlV:
      return ClipboardCommand::kPaste;
    case kCharCtrlX:
      return ClipboardCommand::kCut;
    case kCharCtrlZ:
      return ClipboardCommand::kUndo;
    default:
      return ClipboardCommand::kNone;
  }
}

}  // namespace orlit
