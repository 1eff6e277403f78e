#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/MessageBox.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {

// A headless desktop with the application object on it, as the program has them.
class FrameworkTest : public ::testing::Test {
 protected:
  FrameworkTest() : app_(desktop_, "/opt/orlit/orlit_cfs") {}

  template <typename T, typename... Args>
  T* NewForm(Args&&... args) {
    T* form = nullptr;
    app_.CreateForm(form, std::forward<Args>(args)...);
    return form;
  }

  // Shows the form and lets the desktop settle: activation, first paint.
  void ShowAndSettle(TCustomForm* form) {
    form->Show();
    app_.ProcessMessages();
  }

  TPoint Screen(TControl* control, TPoint local) { return control->ClientToScreen(local); }

  void ClickAt(TControl* control, TPoint local = {1, 1}) {
    desktop_.Click(Screen(control, local));
    app_.ProcessMessages();
  }

  // Answers every message box that opens with `key` and records what each showed.
  struct SeenBox {
    std::string caption;
    std::string text;
    std::string window_title;
  };
  void AnswerBoxesWith(int key) {
    desktop_.SetIdleHandler([this, key] {
      auto* box = dynamic_cast<TMessageBoxForm*>(app_.ActiveForm());
      if (box == nullptr) return;
      const auto* state = desktop_.Window(box->Window()->Id());
      seen_boxes_.push_back({box->Caption(), box->Text(), state->title});
      desktop_.PressKey(key);
    });
  }

  HeadlessWindowSystem desktop_;
  TApplication app_;
  std::vector<SeenBox> seen_boxes_;
};

}  // namespace orlit
