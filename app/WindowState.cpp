#include "app/WindowState.h"

#include "app/Unit1.h"

namespace orlit {

namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonBool(bool value) { return value ? "true" : "false"; }

// `"key": value` pairs of `items`, by `describe`, joined into an object or an array.
template <typename Item, typename Describe>
std::string Join(const std::vector<Item>& items, Describe describe, const char* open,
                 const char* close, const char* separator) {
  std::string out = open;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += separator;
    out += describe(items[i]);
  }
  return out + close;
}

// The form's named controls in the order they were created.
std::vector<const TControl*> NamedControls(const TForm1& form) {
  std::vector<const TControl*> controls;
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const auto* control = dynamic_cast<const TControl*>(form.Components(i));
    if (control != nullptr && !control->Name().empty()) controls.push_back(control);
  }
  return controls;
}

template <typename T>
std::vector<const T*> OfClass(const std::vector<const TControl*>& controls) {
  std::vector<const T*> found;
  for (const TControl* control : controls) {
    if (const auto* typed = dynamic_cast<const T*>(control)) found.push_back(typed);
  }
  return found;
}

std::string ControlJson(const TControl* control) {
  const auto* windowed = dynamic_cast<const TWinControl*>(control);
  const TControl* parent = control->Parent();
  return "{\"name\": " + JsonString(control->Name()) +
         ", \"class\": " + JsonString(control->ClassName()) +
         ", \"parent\": " + (parent ? JsonString(parent->Name()) : std::string("null")) +
         ", \"left\": " + std::to_string(control->Left()) +
         ", \"top\": " + std::to_string(control->Top()) +
         ", \"width\": " + std::to_string(control->Width()) +
         ", \"height\": " + std::to_string(control->Height()) +
         ", \"tab_order\": " + (windowed ? std::to_string(windowed->TabOrder()) : "null") +
         ", \"tab_stop\": " + JsonBool(windowed != nullptr && windowed->TabStop()) +
         ", \"visible\": " + JsonBool(control->Visible()) + "}";
}

}  // namespace

std::string WindowStateJson(const TForm1& form) {
  // The focus sits in an editor's inner edit; the state names the editor around it.
  const TControl* focused = form.ActiveControl();
  while (focused != nullptr && focused->Name().empty()) focused = focused->Parent();
  const NativeWindow* window = form.Window();
  const std::vector<const TControl*> controls = NamedControls(form);

  std::string json = "{\n";
  json += "  \"focused\": " + (focused ? JsonString(focused->Name()) : std::string("null")) + ",\n";
  json +=
      "  \"window\": {\"left\": " + std::to_string(form.Left()) +
      ", \"top\": " + std::to_string(form.Top()) + ", \"width\": " + std::to_string(form.Width()) +
      ", \"height\": " + std::to_string(form.Height()) +
      ", \"state\": " + JsonString(window && window->Minimized() ? "minimized" : "normal") + "},\n";
  json += "  \"caption\": " + JsonString(form.strlabel->Caption()) + ",\n";
  std::vector<const TcxCustomTextEdit*> fields;
  for (const TcxCustomTextEdit* edit : OfClass<TcxCustomTextEdit>(controls)) {
    if (dynamic_cast<const TcxCustomMemo*>(edit) == nullptr) fields.push_back(edit);
  }
  json += "  \"fields\": " +
          Join(
              fields,
              [](const TcxCustomTextEdit* field) {
                return JsonString(field->Name()) + ": " + JsonString(field->Text());
              },
              "{", "}", ", ") +
          ",\n";
  json += "  \"memos\": " +
          Join(
              OfClass<TcxCustomMemo>(controls),
              [](const TcxCustomMemo* memo) {
                std::vector<std::string> lines;
                for (int i = 0; i < memo->Lines().Count(); ++i) {
                  lines.push_back(JsonString(memo->Lines().Strings(i)));
                }
                return JsonString(memo->Name()) + ": " +
                       Join(
                           lines, [](const std::string& line) { return line; }, "[", "]", ", ");
              },
              "{", "}", ", ") +
          ",\n";
  std::vector<const TControl*> labels;
  for (const TControl* control : controls) {
    if (dynamic_cast<const TLabel*>(control) || dynamic_cast<const TcxCustomLabel*>(control)) {
      labels.push_back(control);
    }
  }
  json += "  \"labels\": " +
          Join(
              labels,
              [](const TControl* label) {
                return JsonString(label->Name()) + ": " + JsonString(label->Caption());
              },
              "{", "}", ", ") +
          ",\n";
  json += "  \"controls\": " + Join(controls, ControlJson, "[\n    ", "\n  ]", ",\n    ") + "\n";
  return json + "}\n";
}

}  // namespace orlit
