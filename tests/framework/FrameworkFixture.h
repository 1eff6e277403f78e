#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/CustomControl.h"
#include "framework/Form.h"
#include "framework/GraphicControl.h"
#include "framework/MessageBox.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {

using Log = std::vector<std::string>;

// Writes every notification it receives into a shared log, prefixed with its name.
template <typename Base>
class Recording : public Base {
 public:
  Recording(std::string name, Log* log) : name_(std::move(name)), log_(log) {}
  const std::string& RecordName() const { return name_; }

 protected:
  void Add(const std::string& what) { log_->push_back(name_ + " " + what); }
  void Click() override {
    Add("click");
    Base::Click();
  }
  void DblClick() override {
    Add("dblclick");
    Base::DblClick();
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    Add("down " + std::to_string(button) + ((shift & ssDouble) ? " double" : "") + " " +
        std::to_string(x) + "," + std::to_string(y));
    Base::MouseDown(button, shift, x, y);
  }
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
    Add("up " + std::to_string(button) + " " + std::to_string(x) + "," + std::to_string(y));
    Base::MouseUp(button, shift, x, y);
  }
  void MouseEnter() override {
    Add("enter");
    Base::MouseEnter();
  }
  void MouseLeave() override {
    Add("leave");
    Base::MouseLeave();
  }

 private:
  std::string name_;
  Log* log_;
};

// A focusable control that also records focus and keys.
class Field : public Recording<TCustomControl> {
 public:
  Field(std::string name, Log* log) : Recording(std::move(name), log) {
    SetTabStop(true);
    SetFocusOnClick(true);
  }

 protected:
  void DoEnter() override {
    Add("DoEnter");
    Recording::DoEnter();
  }
  void DoExit() override {
    Add("DoExit");
    Recording::DoExit();
  }
  void FocusChanged() override { Add(Focused() ? "focused" : "unfocused"); }
  void KeyDown(int& key, TShiftState shift) override {
    Add("keydown " + std::to_string(key));
    Recording::KeyDown(key, shift);
  }
  void KeyUp(int& key, TShiftState shift) override {
    Add("keyup " + std::to_string(key));
    Recording::KeyUp(key, shift);
  }
  void KeyPress(char32_t& key) override {
    Recording::KeyPress(key);
    Add("char " + std::to_string(static_cast<unsigned>(key)));
  }
};

using Area = Recording<TGraphicControl>;

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

  template <typename T>
  T* Place(TWinControl* parent, TRect bounds, const std::string& name) {
    T* control = parent->Create<T>(name, &log_);
    control->SetParent(parent);
    control->SetBoundsRect(bounds);
    return control;
  }

  HeadlessWindowSystem desktop_;
  Log log_;
  TApplication app_;
  std::vector<SeenBox> seen_boxes_;
};

}  // namespace orlit
