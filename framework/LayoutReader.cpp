#include "framework/LayoutReader.h"

#include <cctype>
#include <climits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "convert/Utf8.h"
#include "framework/ColorNames.h"
#include "framework/Control.h"
#include "framework/PublishedClasses.h"
#include "framework/WinControl.h"

namespace orlit {

namespace {

enum class TokenKind { kEnd, kIdent, kInteger, kString, kPunct };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string_view text;  // identifiers, punctuation, the integer as written
  std::string value;      // a string's characters after escapes
  long long number = 0;
  std::size_t offset = 0;
  int line = 1;
  int column = 1;
};

const char* KindName(PropertyKind kind) {
  switch (kind) {
    case PropertyKind::kInteger:
      return "an integer";
    case PropertyKind::kBoolean:
      return "true or false";
    case PropertyKind::kString:
      return "a string";
    case PropertyKind::kEnum:
      return "one of its names";
    case PropertyKind::kSet:
      return "a set [...]";
    case PropertyKind::kColor:
      return "a colour";
    case PropertyKind::kStrings:
      return "a list of strings";
    case PropertyKind::kPicture:
      return "the name of a picture";
    case PropertyKind::kObject:
      return "{ properties }";
    case PropertyKind::kEvent:
      return "a handler name";
  }
  return "a value";
}

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Lexer {
 public:
  Lexer(std::string_view text, std::string_view file) : text_(text), file_(file) {}
  // Reads `text` again from the start of `token`.
  Lexer(const Lexer& other, const Token& token)
      : text_(other.text_),
        file_(other.file_),
        pos_(token.offset),
        line_(token.line),
        line_start_(text_.rfind('\n', token.offset == 0 ? 0 : token.offset - 1) + 1) {}

  [[noreturn]] void Fail(int line, int column, const std::string& what) const {
    throw ELayoutError(std::string(file_) + ":" + std::to_string(line) + ":" +
                       std::to_string(column) + ": " + what);
  }
  [[noreturn]] void Fail(const Token& at, const std::string& what) const {
    Fail(at.line, at.column, what);
  }

  Token Next() {
    SkipBlanks();
    Token token;
    token.offset = pos_;
    token.line = line_;
    token.column = Column();
    if (pos_ >= text_.size()) return token;
    const char c = text_[pos_];
    const std::size_t start = pos_;
    if (IsIdentStart(c)) {
      while (pos_ < text_.size() && IsIdentChar(text_[pos_])) Advance();
      token.kind = TokenKind::kIdent;
    } else if (IsDigit(c) || (c == '-' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
      ReadInteger(token);
    } else if (c == '"') {
      ReadString(token);
    } else if (std::string_view("{}[]:,.").find(c) != std::string_view::npos) {
      Advance();
      token.kind = TokenKind::kPunct;
    } else {
      Fail(token, "unexpected character '" + std::string(1, c) + "'");
    }
    token.text = text_.substr(start, pos_ - start);
    return token;
  }

 private:
  void Advance() {
    if (text_[pos_] == '\n') {
      ++line_;
      line_start_ = pos_ + 1;
    }
    ++pos_;
  }

  // Columns count characters, not the bytes of UTF-8.
  int Column() const {
    return static_cast<int>(CodePointCount(text_.substr(line_start_, pos_ - line_start_))) + 1;
  }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        Advance();
      } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') Advance();
      } else {
        return;
      }
    }
  }

  void ReadInteger(Token& token) {
    const bool negative = text_[pos_] == '-';
    if (negative) Advance();
    int base = 10;
    if (text_.substr(pos_, 2) == "0x" || text_.substr(pos_, 2) == "0X") {
      base = 16;
      Advance();
      Advance();
    }
    long long value = 0;
    bool any = false;
    while (pos_ < text_.size()) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_])));
      int digit;
      if (IsDigit(c)) {
        digit = c - '0';
      } else if (base == 16 && c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else {
        break;
      }
      if (value > (LLONG_MAX - digit) / base) Fail(token, "integer out of range");
      value = value * base + digit;
      any = true;
      Advance();
    }
    if (!any || (pos_ < text_.size() && IsIdentChar(text_[pos_]))) {
      Fail(token, "malformed integer");
    }
    token.kind = TokenKind::kInteger;
    token.number = negative ? -value : value;
  }

  void ReadString(Token& token) {
    Advance();
    while (true) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail(token, "unterminated string");
      const char c = text_[pos_];
      Advance();
      if (c == '"') break;
      if (c != '\\') {
        token.value += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail(token, "unterminated string");
      const char escaped = text_[pos_];
      Advance();
      switch (escaped) {
        case '"':
        case '\\':
          token.value += escaped;
          break;
        case 'n':
          token.value += '\n';
          break;
        case 't':
          token.value += '\t';
          break;
        default:
          Fail(line_, Column() - 2, "unknown escape \\" + std::string(1, escaped));
      }
    }
    token.kind = TokenKind::kString;
  }

  std::string_view text_;
  std::string_view file_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::size_t line_start_ = 0;
};

class Reader {
 public:
  Reader(TComponent& root, std::string_view text, std::string_view file)
      : root_(root), lexer_(text, file) {
    Shift();
  }

  void ReadRoot() {
    Token class_token = ExpectIdent("a class name");
    while (IsPunct(':')) {
      ReadDefinition(class_token);
      class_token = ExpectIdent("a class name");
    }
    root_class_ = FindPublishedClass(typeid(root_));
    if (root_class_ == nullptr || class_token.text != root_class_->Name()) {
      lexer_.Fail(class_token, "the layout is of " + std::string(class_token.text) + ", not of " +
                                   (root_class_ ? root_class_->Name() : root_.ClassName()));
    }
    const Token name = ExpectIdent("a component name");
    Apply(name, [&] { root_.SetName(std::string(name.text)); });
    ReadBody(root_, *root_class_, &root_);
    if (current_.kind != TokenKind::kEnd) lexer_.Fail(current_, "text after the root's end");
    for (const PublishedField* field : root_class_->Fields()) {
      if (bound_fields_.count(field->name) == 0) {
        lexer_.Fail(class_token,
                    root_class_->Name() + " declares " + field->name + ", which the layout lacks");
      }
    }
  }

 private:
  void Shift() { current_ = lexer_.Next(); }
  bool IsPunct(char c) const { return current_.kind == TokenKind::kPunct && current_.text[0] == c; }
  void Expect(char c) {
    if (!IsPunct(c)) lexer_.Fail(current_, "expected '" + std::string(1, c) + "'");
    Shift();
  }
  Token ExpectIdent(const char* what) {
    if (current_.kind != TokenKind::kIdent) lexer_.Fail(current_, std::string("expected ") + what);
    Token token = current_;
    Shift();
    return token;
  }

  // Runs a change of a component, reporting what it refuses at `at`.
  template <typename F>
  void Apply(const Token& at, F&& change) {
    try {
      change();
    } catch (const ELayoutError&) {
      throw;
    } catch (const Exception& e) {
      lexer_.Fail(at, e.Message());
    }
  }

  // Property lines (and, for a component, child components) up to the closing brace.
  // `holder` is the component whose children these are; null inside a nested object.
  void ReadBody(TObject& object, const PublishedClass& published, TComponent* holder) {
    Expect('{');
    while (!IsPunct('}')) {
      const Token first = ExpectIdent("a property or a class name");
      if (current_.kind == TokenKind::kIdent && holder != nullptr) {
        ReadChild(first, *holder);
      } else {
        ReadProperty(first, object, published);
      }
    }
    Shift();
  }

  void ReadChild(const Token& class_token, TComponent& holder) {
    const PublishedClass* published = FindPublishedClass(class_token.text);
    if (published == nullptr || !published->Creatable()) {
      lexer_.Fail(class_token, "unknown class " + std::string(class_token.text));
    }
    const Token name = ExpectIdent("a component name");
    TComponent* child = nullptr;
    Apply(name, [&] {
      child = published->Create(root_);
      child->SetName(std::string(name.text));
      if (auto* control = dynamic_cast<TControl*>(child)) {
        auto* parent = dynamic_cast<TWinControl*>(&holder);
        if (parent == nullptr) {
          throw EComponentError(holder.Name() + " cannot hold the control " + child->Name());
        }
        control->SetParent(parent);
      }
    });
    if (const PublishedField* field = root_class_->FindField(name.text)) {
      if (!field->bind(root_, child)) {
        lexer_.Fail(class_token, root_class_->Name() + " declares " + field->name +
                                     " of another class than " + published->Name());
      }
      bound_fields_.insert(field->name);
    }
    ReadBody(*child, *published, child);
  }

  void ReadProperty(const Token& first, TObject& object, const PublishedClass& published) {
    TObject* target = &object;
    const PublishedClass* target_class = &published;
    Token name = first;
    const PublishedProperty* property = Find(*target_class, name);
    while (IsPunct('.')) {
      if (property->kind != PropertyKind::kObject) {
        lexer_.Fail(name, std::string(name.text) + " has no properties of its own");
      }
      Shift();
      target = &property->object(*target);
      target_class = ClassOf(*target, name);
      name = ExpectIdent("a property name");
      property = Find(*target_class, name);
    }
    Expect(':');
    if (property->kind == PropertyKind::kObject) {
      TObject& nested = property->object(*target);
      const PublishedClass& nested_class = *ClassOf(nested, name);
      if (current_.kind == TokenKind::kIdent) {
        ReadDefined(nested, nested_class, *property);
      } else if (IsPunct('{')) {
        ReadBody(nested, nested_class, nullptr);
      } else {
        lexer_.Fail(current_, Expected(*property));
      }
      return;
    }
    const Token at = current_;
    const PropertyValue value = ReadValue(*property);
    Apply(at, [&] { property->set(*target, value); });
  }

  // `Name: { ... }` before the root names a set of properties that object properties may take
  // by that name (`Font: FontA`); the text is read where it is used.
  void ReadDefinition(const Token& name) {
    Shift();
    if (!IsPunct('{')) lexer_.Fail(current_, "expected '{'");
    if (!definitions_.emplace(std::string(name.text), current_).second) {
      lexer_.Fail(name, std::string(name.text) + " is defined twice");
    }
    int depth = 0;
    do {
      if (current_.kind == TokenKind::kEnd) lexer_.Fail(current_, "expected '}'");
      if (IsPunct('{')) ++depth;
      if (IsPunct('}')) --depth;
      Shift();
    } while (depth > 0);
  }

  void ReadDefined(TObject& object, const PublishedClass& published,
                   const PublishedProperty& property) {
    const auto found = definitions_.find(std::string(current_.text));
    if (found == definitions_.end()) lexer_.Fail(current_, Expected(property));
    const Lexer resume = std::exchange(lexer_, Lexer(lexer_, found->second));
    Shift();
    ReadBody(object, published, nullptr);
    lexer_ = resume;
    Shift();
  }

  const PublishedProperty* Find(const PublishedClass& published, const Token& name) const {
    const PublishedProperty* property = published.FindProperty(name.text);
    if (property == nullptr) {
      lexer_.Fail(name, published.Name() + " has no property " + std::string(name.text));
    }
    return property;
  }

  const PublishedClass* ClassOf(const TObject& object, const Token& at) const {
    const PublishedClass* published = FindPublishedClass(typeid(object));
    if (published == nullptr) {
      lexer_.Fail(at, "the class " + object.ClassName() + " has no published properties");
    }
    return published;
  }

  static std::string Expected(const PublishedProperty& property) {
    return property.name + " takes " + KindName(property.kind);
  }

  int FindName(const PublishedProperty& property, const Token& token) const {
    if (token.kind == TokenKind::kIdent) {
      for (const EnumName& n : property.names) {
        if (n.name == token.text) return n.value;
      }
    }
    lexer_.Fail(token, property.name + " has no value " + std::string(token.text));
  }

  PropertyValue ReadValue(const PublishedProperty& property) {
    PropertyValue value;
    const Token token = current_;
    const auto expect_kind = [&](TokenKind kind) {
      if (token.kind != kind) lexer_.Fail(token, Expected(property));
      Shift();
    };
    switch (property.kind) {
      case PropertyKind::kInteger:
        expect_kind(TokenKind::kInteger);
        if (token.number < INT_MIN || token.number > INT_MAX) {
          lexer_.Fail(token, "integer out of range");
        }
        value.number = token.number;
        break;
      case PropertyKind::kBoolean:
        expect_kind(TokenKind::kIdent);
        if (token.text != "true" && token.text != "false") lexer_.Fail(token, Expected(property));
        value.number = token.text == "true";
        break;
      case PropertyKind::kString:
      case PropertyKind::kPicture:
        expect_kind(TokenKind::kString);
        value.text = token.value;
        break;
      case PropertyKind::kEnum:
        expect_kind(TokenKind::kIdent);
        value.number = FindName(property, token);
        break;
      case PropertyKind::kColor:
        value.number = ReadColor(property);
        break;
      case PropertyKind::kSet:
        ReadList(property, [&](const Token& item) { value.number |= FindName(property, item); });
        break;
      case PropertyKind::kStrings:
        ReadList(property, [&](const Token& item) {
          if (item.kind != TokenKind::kString) lexer_.Fail(item, Expected(property));
          value.lines.push_back(item.value);
        });
        break;
      case PropertyKind::kEvent:
        expect_kind(TokenKind::kIdent);
        value.handler = BindHandler(property, token);
        break;
      case PropertyKind::kObject:
        lexer_.Fail(token, Expected(property));
    }
    return value;
  }

  long long ReadColor(const PublishedProperty& property) {
    const Token token = current_;
    Shift();
    if (token.kind == TokenKind::kInteger && token.number >= 0 && token.number <= 0xFFFFFFFFLL) {
      return token.number;
    }
    if (token.kind == TokenKind::kIdent) {
      if (const auto color = ColorFromName(token.text)) return *color;
    }
    lexer_.Fail(token, Expected(property));
  }

  template <typename F>
  void ReadList(const PublishedProperty& property, F&& item) {
    if (!IsPunct('[')) lexer_.Fail(current_, Expected(property));
    Shift();
    while (!IsPunct(']')) {
      item(current_);
      Shift();
      if (!IsPunct(',')) break;
      Shift();
    }
    Expect(']');
  }

  std::any BindHandler(const PublishedProperty& property, const Token& name) {
    const PublishedHandler* handler = root_class_->FindHandler(name.text);
    if (handler == nullptr) {
      lexer_.Fail(name, root_class_->Name() + " has no handler " + std::string(name.text));
    }
    if (handler->event_type != property.event_type) {
      lexer_.Fail(name, "the handler " + handler->name + " does not fit " + property.name);
    }
    return handler->bind(root_);
  }

  TComponent& root_;
  const PublishedClass* root_class_ = nullptr;
  Lexer lexer_;
  Token current_;
  std::unordered_set<std::string> bound_fields_;
  std::unordered_map<std::string, Token> definitions_;
};

}  // namespace

void ReadLayout(TComponent& root, std::string_view text, std::string_view file_name) {
  Reader(root, text, file_name).ReadRoot();
}

}  // namespace orlit
