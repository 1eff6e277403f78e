// The leanest toolkit's baseline for start-up: a 567 x 501 window with one input field and one
// multi-line text editor, at the toolkit's defaults.
#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/Fl_Window.H>

int main(int argc, char** argv) {
  Fl_Window window(567, 501, "baseline");
  Fl_Input input(60, 40, 200, 24, "Input");
  Fl_Text_Buffer buffer;
  Fl_Text_Editor editor(60, 80, 440, 380);
  editor.buffer(&buffer);
  window.end();
  window.show(argc, argv);
  return Fl::run();
}
