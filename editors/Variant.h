#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace orlit {

// The value an editor stands for. The text editors need null and strings only; further
// alternatives (numbers, dates) join the std::variant when an editor kind needs them.
class Variant {
 public:
  enum class Type { kNull, kString };

  Variant() = default;
  Variant(std::string text) : value_(std::move(text)) {}         // NOLINT: a string is a value
  Variant(std::string_view text) : value_(std::string(text)) {}  // NOLINT
  Variant(const char* text) : value_(std::string(text)) {}       // NOLINT

  static Variant Null() { return Variant(); }

  Type GetType() const { return static_cast<Type>(value_.index()); }
  bool IsNull() const { return GetType() == Type::kNull; }
  bool IsString() const { return GetType() == Type::kString; }
  // The text the value shows as: a null value shows as the empty text.
  std::string ToString() const;

  // Equal only when both the types and the values are: a null is not the empty string.
  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  std::variant<std::monostate, std::string> value_;
};

inline bool VarIsNull(const Variant& value) { return value.IsNull(); }
inline std::string VarToStr(const Variant& value) { return value.ToString(); }

}  // namespace orlit
