#include "platform/atspi/AtspiBridge.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "convert/Utf8.h"
#include "platform/PixelGrid.h"
#include "platform/WindowSystem.h"

namespace orlit {

namespace {

constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* kNodePathPrefix = "/org/a11y/atspi/accessible/";
constexpr const char* kNullPath = "/org/a11y/atspi/null";
constexpr const char* kCachePath = "/org/a11y/atspi/cache";
constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kApplication = "org.a11y.atspi.Application";
constexpr const char* kComponent = "org.a11y.atspi.Component";
constexpr const char* kText = "org.a11y.atspi.Text";
constexpr const char* kEditableText = "org.a11y.atspi.EditableText";
constexpr const char* kAction = "org.a11y.atspi.Action";
constexpr const char* kCache = "org.a11y.atspi.Cache";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr const char* kEventObject = "org.a11y.atspi.Event.Object";
constexpr const char* kEventWindow = "org.a11y.atspi.Event.Window";
constexpr int kEmbedTimeoutMs = 5000;

// AT-SPI's numbers for roles, states, relations, coordinates and text boundaries.
std::uint32_t AtspiRole(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::kApplication:
      return 75;
    case AccessibleRole::kFrame:
      return 23;
    case AccessibleRole::kPanel:
      return 39;
    case AccessibleRole::kLabel:
      return 29;
    case AccessibleRole::kEntry:
      return 79;
    case AccessibleRole::kText:
      return 61;
    case AccessibleRole::kImage:
      return 27;
    case AccessibleRole::kPushButton:
      return 43;
    case AccessibleRole::kAlert:
      return 2;
    case AccessibleRole::kPopupMenu:
      return 41;
    case AccessibleRole::kMenuItem:
      return 35;
  }
  return 67;  // unknown
}

std::uint32_t AtspiState(AccessibleState state) {
  switch (state) {
    case kStateActive:
      return 1;
    case kStateEditable:
      return 7;
    case kStateEnabled:
      return 8;
    case kStateFocusable:
      return 11;
    case kStateFocused:
      return 12;
    case kStateModal:
      return 16;
    case kStateMultiLine:
      return 17;
    case kStateSensitive:
      return 24;
    case kStateShowing:
      return 25;
    case kStateSingleLine:
      return 26;
    case kStateVisible:
      return 30;
    case kStateReadOnly:
      return 43;
  }
  return 0;
}

constexpr std::uint32_t kRelationLabelFor = 1;
constexpr std::uint32_t kRelationLabelledBy = 2;
constexpr std::uint32_t kCoordScreen = 0;
constexpr std::uint32_t kCoordWindow = 1;

enum class Boundary { kChar, kWordStart, kWordEnd, kLineStart, kLineEnd };

Boundary BoundaryOfType(std::uint32_t type) {
  switch (type) {
    case 1:
      return Boundary::kWordStart;
    case 2:
      return Boundary::kWordEnd;
    case 3:
    case 5:
      return Boundary::kLineStart;
    case 4:
    case 6:
      return Boundary::kLineEnd;
    default:
      return Boundary::kChar;
  }
}

Boundary BoundaryOfGranularity(std::uint32_t granularity) {
  switch (granularity) {
    case 0:
      return Boundary::kChar;
    case 1:
      return Boundary::kWordStart;
    default:
      return Boundary::kLineStart;
  }
}

bool IsWordCharacter(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
         c == U'_' || c >= 0x80;
}

// The places a text divides at for `boundary`, from 0 to its length, in order.
std::vector<int> Boundaries(std::u32string_view text, Boundary boundary) {
  const int length = static_cast<int>(text.size());
  std::vector<int> at{0};
  for (int i = 1; i < length; ++i) {
    bool divides = false;
    switch (boundary) {
      case Boundary::kChar:
        divides = true;
        break;
      case Boundary::kWordStart:
        divides = IsWordCharacter(text[i]) && !IsWordCharacter(text[i - 1]);
        break;
      case Boundary::kWordEnd:
        divides = !IsWordCharacter(text[i]) && IsWordCharacter(text[i - 1]);
        break;
      case Boundary::kLineStart:
        divides = text[i - 1] == U'\n';
        break;
      case Boundary::kLineEnd:
        divides = text[i] == U'\n';
        break;
    }
    if (divides) at.push_back(i);
  }
  if (length > 0) at.push_back(length);
  return at;
}

// The piece of text around `offset` at `boundary`: the one it lies in (shift 0), the one before
// (-1) or after (+1). Empty at either end.
std::pair<int, int> Piece(std::u32string_view text, Boundary boundary, int offset, int shift) {
  const std::vector<int> at = Boundaries(text, boundary);
  if (at.size() < 2) return {0, 0};
  const int length = static_cast<int>(text.size());
  offset = std::clamp(offset, 0, length);
  // The piece holding `offset`; the last one holds the end.
  int index = static_cast<int>(std::upper_bound(at.begin(), at.end(), offset) - at.begin()) - 1;
  index = std::min(index, static_cast<int>(at.size()) - 2);
  index += shift;
  if (index < 0 || index + 1 >= static_cast<int>(at.size())) return {offset, offset};
  return {at[index], at[index + 1]};
}

// A value of one property, as its variant carries it.
struct PropertyValue {
  char type = 's';
  std::string text;
  std::int32_t number = 0;
  std::string name;  // 'r': a reference (name, path in text)
};

}  // namespace

// Appends values to a message through the bus library.
class AtspiBridge::Out {
 public:
  Out(const DbusLibrary& dbus, DBusMessageIter* iter) : dbus_(dbus), iter_(iter) {}

  Out& Str(const std::string& value) {
    const char* text = value.c_str();
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_STRING, &text);
    return *this;
  }
  Out& Path(const std::string& value) {
    const char* text = value.c_str();
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_OBJECT_PATH, &text);
    return *this;
  }
  Out& I32(std::int32_t value) {
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_INT32, &value);
    return *this;
  }
  Out& U32(std::uint32_t value) {
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_UINT32, &value);
    return *this;
  }
  Out& I16(std::int16_t value) {
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_INT16, &value);
    return *this;
  }
  Out& Bool(bool value) {
    const dbus_bool_t flag = value ? TRUE : FALSE;
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_BOOLEAN, &flag);
    return *this;
  }
  Out& Double(double value) {
    dbus_.message_iter_append_basic(iter_, DBUS_TYPE_DOUBLE, &value);
    return *this;
  }
  // A container of `type` (with the element signature for arrays and variants), filled by `fill`.
  Out& Open(int type, const char* signature, const std::function<void(Out&)>& fill) {
    DBusMessageIter inner;
    dbus_.message_iter_open_container(iter_, type, signature, &inner);
    Out out(dbus_, &inner);
    fill(out);
    dbus_.message_iter_close_container(iter_, &inner);
    return *this;
  }
  Out& Ref(const std::string& name, const std::string& path) {
    return Open(DBUS_TYPE_STRUCT, nullptr, [&](Out& s) { s.Str(name).Path(path); });
  }
  Out& Value(const PropertyValue& value) {
    const char signature[] = {value.type == 'r' ? '(' : value.type, 0};
    return Open(DBUS_TYPE_VARIANT, value.type == 'r' ? "(so)" : signature, [&](Out& v) {
      switch (value.type) {
        case 's':
          v.Str(value.text);
          break;
        case 'i':
          v.I32(value.number);
          break;
        case 'b':
          v.Bool(value.number != 0);
          break;
        default:
          v.Ref(value.name, value.text);
          break;
      }
    });
  }

 private:
  const DbusLibrary& dbus_;
  DBusMessageIter* iter_;
};

// One method call and its reply.
class AtspiBridge::Call {
 public:
  Call(BusConnection& bus, DBusMessage* message) : bus_(bus), dbus_(bus.Library()), in_(message) {}

  bool Is(const char* member) const {
    const char* name = dbus_.message_get_member(in_);
    return name != nullptr && std::string_view(name) == member;
  }
  const char* Interface() const {
    const char* name = dbus_.message_get_interface(in_);
    return name != nullptr ? name : "";
  }
  template <typename... Args>
  bool Read(Args... args) {
    return dbus_.message_get_args(in_, nullptr, args..., DBUS_TYPE_INVALID) != 0;
  }
  DBusMessage* In() const { return in_; }

  // The reply's arguments, appended in order.
  DBusMessageIter* Out() {
    if (!reply_) {
      reply_ = DbusMessagePtr(dbus_.message_new_method_return(in_), DbusMessageUnref{&dbus_});
      dbus_.message_iter_init_append(reply_.get(), &iter_);
    }
    return &iter_;
  }
  void Error(const char* name, const char* text) {
    reply_ = DbusMessagePtr(dbus_.message_new_error(in_, name, text), DbusMessageUnref{&dbus_});
  }
  void Send() {
    if (!reply_) Out();
    bus_.Send(std::move(reply_));
  }

 private:
  BusConnection& bus_;
  const DbusLibrary& dbus_;
  DBusMessage* in_;
  DbusMessagePtr reply_{nullptr, DbusMessageUnref{nullptr}};
  DBusMessageIter iter_{};
};

namespace {

using Out = AtspiBridge::Out;

std::vector<const char*> InterfacesOf(AccessibleNode& node, bool root) {
  std::vector<const char*> interfaces{kAccessible};
  if (root) {
    interfaces.push_back(kApplication);
    return interfaces;
  }
  interfaces.push_back(kComponent);
  if (AccessibleText* text = node.Text()) {
    interfaces.push_back(kText);
    if (text->Editable()) interfaces.push_back(kEditableText);
  }
  if (!node.Actions().empty()) interfaces.push_back(kAction);
  return interfaces;
}

void AppendStates(Out& out, AccessibleStates states) {
  std::uint32_t words[2] = {0, 0};
  for (AccessibleStates bit = 1; bit != 0 && bit <= kStateModal; bit <<= 1) {
    if ((states & bit) == 0) continue;
    const std::uint32_t number = AtspiState(static_cast<AccessibleState>(bit));
    words[number / 32] |= 1u << (number % 32);
  }
  out.Open(DBUS_TYPE_ARRAY, "u", [&](Out& a) { a.U32(words[0]).U32(words[1]); });
}

int IndexInParent(AccessibleNode& node) {
  AccessibleNode* parent = node.Parent();
  if (parent == nullptr) return -1;
  const std::vector<AccessibleNode*> siblings = parent->Children();
  const auto it = std::find(siblings.begin(), siblings.end(), &node);
  return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

}  // namespace

AtspiBridge::AtspiBridge(std::unique_ptr<BusConnection> bus, AccessibleNode& root, double scale)
    : bus_(std::move(bus)), root_(root), scale_(scale > 0 ? scale : 1) {
  bus_->SetMessageHandler([this](DBusMessage* message) { return HandleMessage(message); });
}

AtspiBridge::~AtspiBridge() {
  bus_->SetMessageHandler(nullptr);
  if (Current() == this) SetCurrent(nullptr);
}

void AtspiBridge::Embed() {
  bus_->WhenNamed([this] {
    DbusMessagePtr call =
        bus_->NewCall("org.a11y.atspi.Registry", kRootPath, "org.a11y.atspi.Socket", "Embed");
    if (!call) return;
    DBusMessageIter args;
    bus_->Library().message_iter_init_append(call.get(), &args);
    Out(bus_->Library(), &args).Ref(bus_->UniqueName(), kRootPath);
    bus_->Call(std::move(call), kEmbedTimeoutMs, [this](DBusMessage* reply) {
      const DbusLibrary& dbus = bus_->Library();
      DBusMessageIter args;
      DBusMessageIter socket;
      if (dbus.message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN ||
          !dbus.message_iter_init(reply, &args) ||
          dbus.message_iter_get_arg_type(&args) != DBUS_TYPE_STRUCT) {
        return;
      }
      dbus.message_iter_recurse(&args, &socket);
      const char* name = nullptr;
      const char* path = nullptr;
      if (dbus.message_iter_get_arg_type(&socket) != DBUS_TYPE_STRING) return;
      dbus.message_iter_get_basic(&socket, &name);
      dbus.message_iter_next(&socket);
      if (dbus.message_iter_get_arg_type(&socket) != DBUS_TYPE_OBJECT_PATH) return;
      dbus.message_iter_get_basic(&socket, &path);
      registry_name_ = name;
      registry_path_ = path;
    });
  });
}

TRect AtspiBridge::OnScreen(const TRect& rect) const {
  auto edge = [this](int e) { return static_cast<int>(DeviceEdge(e, scale_)); };
  return {edge(rect.Left), edge(rect.Top), edge(rect.Right), edge(rect.Bottom)};
}

std::string AtspiBridge::PathOf(AccessibleNode* node) {
  if (node == nullptr) return kNullPath;
  if (node == &root_) return kRootPath;
  auto [it, added] = ids_.emplace(node, next_id_);
  if (added) nodes_[next_id_++] = node;
  return kNodePathPrefix + std::to_string(it->second);
}

AccessibleNode* AtspiBridge::NodeAt(const std::string& path) const {
  if (path == kRootPath) return &root_;
  const std::string_view prefix = kNodePathPrefix;
  if (path.compare(0, prefix.size(), prefix) != 0) return nullptr;
  const std::string number = path.substr(prefix.size());
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos ||
      number.size() > 18) {
    return nullptr;
  }
  auto it = nodes_.find(std::stoull(number));
  return it == nodes_.end() ? nullptr : it->second;
}

bool AtspiBridge::HandleMessage(DBusMessage* message) {
  const DbusLibrary& dbus = bus_->Library();
  if (dbus.message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL) return false;
  const char* path_text = dbus.message_get_path(message);
  if (path_text == nullptr) return false;
  const std::string path = path_text;
  Call call(*bus_, message);
  const std::string_view interface = call.Interface();
  if (path == kCachePath) return interface == kCache && Cache(call);
  AccessibleNode* node = NodeAt(path);
  if (node == nullptr) {
    if (path.rfind("/org/a11y/atspi/", 0) != 0) return false;
    call.Error("org.freedesktop.DBus.Error.UnknownObject", "No such accessible object");
    call.Send();
    return true;
  }
  if (interface == kProperties) return Properties(call, *node);
  if (interface == kAccessible) return Accessible(call, *node);
  if (interface == kApplication) return node == &root_ && Application(call);
  if (node == &root_) return false;
  if (interface == kComponent) return Component(call, *node);
  if (interface == kText) return node->Text() != nullptr && Text(call, *node);
  if (interface == kEditableText) return node->Text() != nullptr && EditableText(call, *node);
  if (interface == kAction) return Action(call, *node);
  return false;
}

bool AtspiBridge::Accessible(Call& call, AccessibleNode& node) {
  Out out(bus_->Library(), call.Out());
  const std::string unique = bus_->UniqueName();
  if (call.Is("GetChildAtIndex")) {
    std::int32_t index = 0;
    if (!call.Read(DBUS_TYPE_INT32, &index)) return false;
    const std::vector<AccessibleNode*> children = node.Children();
    AccessibleNode* child =
        index >= 0 && index < static_cast<int>(children.size()) ? children[index] : nullptr;
    out.Ref(child != nullptr ? unique : "", PathOf(child));
  } else if (call.Is("GetChildren")) {
    const std::vector<AccessibleNode*> children = node.Children();
    out.Open(DBUS_TYPE_ARRAY, "(so)", [&](Out& a) {
      for (AccessibleNode* child : children) a.Ref(unique, PathOf(child));
    });
  } else if (call.Is("GetIndexInParent")) {
    out.I32(&node == &root_ ? -1 : IndexInParent(node));
  } else if (call.Is("GetRelationSet")) {
    const std::vector<AccessibleRelation> relations = node.Relations();
    out.Open(DBUS_TYPE_ARRAY, "(ua(so))", [&](Out& a) {
      for (const AccessibleRelation& relation : relations) {
        a.Open(DBUS_TYPE_STRUCT, nullptr, [&](Out& s) {
          s.U32(relation.type == AccessibleRelationType::kLabelFor ? kRelationLabelFor
                                                                   : kRelationLabelledBy);
          s.Open(DBUS_TYPE_ARRAY, "(so)",
                 [&](Out& targets) { targets.Ref(unique, PathOf(relation.target)); });
        });
      }
    });
  } else if (call.Is("GetRole")) {
    out.U32(AtspiRole(node.Role()));
  } else if (call.Is("GetRoleName") || call.Is("GetLocalizedRoleName")) {
    out.Str(RoleName(node.Role()));
  } else if (call.Is("GetState")) {
    AppendStates(out, node.States());
  } else if (call.Is("GetAttributes")) {
    const auto attributes = node.Attributes();
    out.Open(DBUS_TYPE_ARRAY, "{ss}", [&](Out& a) {
      for (const auto& [key, value] : attributes) {
        a.Open(DBUS_TYPE_DICT_ENTRY, nullptr, [&](Out& e) { e.Str(key).Str(value); });
      }
    });
  } else if (call.Is("GetApplication")) {
    out.Ref(unique, kRootPath);
  } else if (call.Is("GetInterfaces")) {
    const std::vector<const char*> interfaces = InterfacesOf(node, &node == &root_);
    out.Open(DBUS_TYPE_ARRAY, "s", [&](Out& a) {
      for (const char* interface : interfaces) a.Str(interface);
    });
  } else {
    return false;
  }
  call.Send();
  return true;
}

bool AtspiBridge::Application(Call& call) {
  if (!call.Is("GetLocale")) return false;
  std::uint32_t category = 0;
  call.Read(DBUS_TYPE_UINT32, &category);
  Out(bus_->Library(), call.Out()).Str("");
  call.Send();
  return true;
}

bool AtspiBridge::Component(Call& call, AccessibleNode& node) {
  Out out(bus_->Library(), call.Out());
  // Screen pixels of a rectangle in window pixels, relative to the window when asked.
  auto place = [&](TRect rect, std::uint32_t coords) {
    if (coords == kCoordWindow) {
      const TPoint origin = node.WindowOrigin();
      rect =
          TRect::FromBounds(rect.Left - origin.X, rect.Top - origin.Y, rect.Width(), rect.Height());
    }
    return OnScreen(rect);
  };
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::uint32_t coords = kCoordScreen;
  if (call.Is("GetExtents")) {
    if (!call.Read(DBUS_TYPE_UINT32, &coords)) return false;
    const TRect r = place(node.Extents(), coords);
    out.Open(DBUS_TYPE_STRUCT, nullptr,
             [&](Out& s) { s.I32(r.Left).I32(r.Top).I32(r.Width()).I32(r.Height()); });
  } else if (call.Is("GetPosition")) {
    if (!call.Read(DBUS_TYPE_UINT32, &coords)) return false;
    const TRect r = place(node.Extents(), coords);
    out.I32(r.Left).I32(r.Top);
  } else if (call.Is("GetSize")) {
    const TRect r = place(node.Extents(), kCoordScreen);
    out.I32(r.Width()).I32(r.Height());
  } else if (call.Is("Contains") || call.Is("GetAccessibleAtPoint")) {
    if (!call.Read(DBUS_TYPE_INT32, &x, DBUS_TYPE_INT32, &y, DBUS_TYPE_UINT32, &coords)) {
      return false;
    }
    auto contains = [&](AccessibleNode& n) {
      const TRect r = place(n.Extents(), coords);
      return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
    };
    if (call.Is("Contains")) {
      out.Bool(contains(node));
    } else {
      AccessibleNode* found = nullptr;
      for (AccessibleNode* at = &node; at != nullptr;) {
        AccessibleNode* deeper = nullptr;
        for (AccessibleNode* child : at->Children()) {
          if (contains(*child)) deeper = child;
        }
        if (deeper != nullptr) found = deeper;
        at = deeper;
      }
      out.Ref(found != nullptr ? bus_->UniqueName() : "", PathOf(found));
    }
  } else if (call.Is("GetLayer")) {
    out.U32(node.Role() == AccessibleRole::kFrame || node.Role() == AccessibleRole::kAlert ? 7 : 3);
  } else if (call.Is("GetMDIZOrder")) {
    out.I16(0);
  } else if (call.Is("GrabFocus")) {
    const bool focusable = (node.States() & kStateFocusable) != 0;
    if (focusable) node.GrabFocus();
    out.Bool(focusable);
  } else if (call.Is("GetAlpha")) {
    out.Double(1.0);
  } else {
    return false;
  }
  call.Send();
  return true;
}

bool AtspiBridge::Text(Call& call, AccessibleNode& node) {
  AccessibleText& text = *node.Text();
  Out out(bus_->Library(), call.Out());
  const std::string contents = text.Contents();
  const std::u32string characters = ToCodePoints(contents);
  const int length = static_cast<int>(characters.size());
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::uint32_t kind = 0;
  auto piece = [&](std::pair<int, int> range) {
    out.Str(CharacterRange(contents, range.first, range.second)).I32(range.first).I32(range.second);
  };
  if (call.Is("GetText")) {
    if (!call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_INT32, &end)) return false;
    if (end < 0 || end > length) end = length;
    start = std::clamp(start, 0, length);
    out.Str(start < end ? CharacterRange(contents, start, end) : std::string());
  } else if (call.Is("SetCaretOffset")) {
    if (!call.Read(DBUS_TYPE_INT32, &start)) return false;
    const bool valid = start >= 0 && start <= length;
    if (valid) text.SetCaretOffset(start);
    out.Bool(valid);
  } else if (call.Is("GetTextAtOffset") || call.Is("GetTextBeforeOffset") ||
             call.Is("GetTextAfterOffset")) {
    if (!call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_UINT32, &kind)) return false;
    const int shift = call.Is("GetTextBeforeOffset") ? -1 : call.Is("GetTextAfterOffset") ? 1 : 0;
    piece(Piece(characters, BoundaryOfType(kind), start, shift));
  } else if (call.Is("GetStringAtOffset")) {
    if (!call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_UINT32, &kind)) return false;
    piece(Piece(characters, BoundaryOfGranularity(kind), start, 0));
  } else if (call.Is("GetCharacterAtOffset")) {
    if (!call.Read(DBUS_TYPE_INT32, &start)) return false;
    out.I32(start >= 0 && start < length ? static_cast<std::int32_t>(characters[start]) : 0);
  } else if (call.Is("GetCharacterExtents") || call.Is("GetRangeExtents")) {
    std::uint32_t coords = kCoordScreen;
    const bool range = call.Is("GetRangeExtents");
    if (range
            ? !call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_INT32, &end, DBUS_TYPE_UINT32, &coords)
            : !call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_UINT32, &coords)) {
      return false;
    }
    TRect r = text.CharacterExtents(start);
    if (range) {
      for (int i = start + 1; i < end && i < length; ++i) r = r.Union(text.CharacterExtents(i));
    }
    if (coords == kCoordWindow) {
      const TPoint origin = node.WindowOrigin();
      r = TRect::FromBounds(r.Left - origin.X, r.Top - origin.Y, r.Width(), r.Height());
    }
    r = OnScreen(r);
    out.I32(r.Left).I32(r.Top).I32(r.Width()).I32(r.Height());
  } else if (call.Is("GetOffsetAtPoint")) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t coords = kCoordScreen;
    if (!call.Read(DBUS_TYPE_INT32, &x, DBUS_TYPE_INT32, &y, DBUS_TYPE_UINT32, &coords)) {
      return false;
    }
    TPoint point{static_cast<int>(LogicalPixel(x, scale_)),
                 static_cast<int>(LogicalPixel(y, scale_))};
    if (coords == kCoordWindow) {
      const TPoint origin = node.WindowOrigin();
      point = {point.X + origin.X, point.Y + origin.Y};
    }
    out.I32(text.OffsetAtPoint(point));
  } else if (call.Is("GetNSelections")) {
    const auto [from, to] = text.Selection();
    out.I32(from != to ? 1 : 0);
  } else if (call.Is("GetSelection")) {
    const auto [from, to] = text.Selection();
    out.I32(from).I32(to);
  } else if (call.Is("AddSelection") || call.Is("SetSelection")) {
    std::int32_t index = 0;
    const bool read =
        call.Is("AddSelection")
            ? call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_INT32, &end)
            : call.Read(DBUS_TYPE_INT32, &index, DBUS_TYPE_INT32, &start, DBUS_TYPE_INT32, &end);
    if (!read) return false;
    const bool valid = index == 0 && start >= 0 && end >= 0 && start <= length && end <= length;
    if (valid) text.SetSelection(start, end);
    out.Bool(valid);
  } else if (call.Is("RemoveSelection")) {
    text.SetCaretOffset(text.CaretOffset());
    out.Bool(true);
  } else if (call.Is("GetAttributes") || call.Is("GetAttributeRun")) {
    out.Open(DBUS_TYPE_ARRAY, "{ss}", [](Out&) {}).I32(0).I32(length);
  } else if (call.Is("GetDefaultAttributes") || call.Is("GetDefaultAttributeSet")) {
    out.Open(DBUS_TYPE_ARRAY, "{ss}", [](Out&) {});
  } else if (call.Is("GetAttributeValue")) {
    out.Str("");
  } else {
    return false;
  }
  call.Send();
  return true;
}

bool AtspiBridge::EditableText(Call& call, AccessibleNode& node) {
  AccessibleText& text = *node.Text();
  const bool editable = text.Editable();
  Out out(bus_->Library(), call.Out());
  std::int32_t start = 0;
  std::int32_t end = 0;
  const char* value = nullptr;
  if (call.Is("SetTextContents")) {
    if (!call.Read(DBUS_TYPE_STRING, &value)) return false;
    if (editable) text.SetContents(value);
  } else if (call.Is("InsertText")) {
    std::int32_t length = 0;
    if (!call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_STRING, &value, DBUS_TYPE_INT32, &length)) {
      return false;
    }
    if (editable) {
      const std::string inserted = value;
      text.Insert(start, length >= 0 ? CharacterRange(inserted, 0, length) : inserted);
    }
  } else if (call.Is("DeleteText") || call.Is("CutText") || call.Is("CopyText")) {
    if (!call.Read(DBUS_TYPE_INT32, &start, DBUS_TYPE_INT32, &end)) return false;
    if (call.Is("CopyText")) {
      text.Copy(start, end);
      call.Send();
      return true;
    }
    if (editable && call.Is("DeleteText")) text.Delete(start, end);
    if (editable && call.Is("CutText")) text.Cut(start, end);
  } else if (call.Is("PasteText")) {
    if (!call.Read(DBUS_TYPE_INT32, &start)) return false;
    if (editable) text.Paste(start);
  } else {
    return false;
  }
  // The edit runs from the program's loop a moment later; the answer says whether it was taken.
  out.Bool(editable);
  call.Send();
  return true;
}

bool AtspiBridge::Action(Call& call, AccessibleNode& node) {
  const std::vector<std::string> actions = node.Actions();
  Out out(bus_->Library(), call.Out());
  std::int32_t index = 0;
  if (call.Is("GetActions")) {
    out.Open(DBUS_TYPE_ARRAY, "(sss)", [&](Out& a) {
      for (const std::string& action : actions) {
        a.Open(DBUS_TYPE_STRUCT, nullptr, [&](Out& s) { s.Str(action).Str(action).Str(""); });
      }
    });
  } else if (call.Is("GetName") || call.Is("GetLocalizedName") || call.Is("GetDescription") ||
             call.Is("GetKeyBinding")) {
    if (!call.Read(DBUS_TYPE_INT32, &index)) return false;
    const bool valid = index >= 0 && index < static_cast<int>(actions.size());
    out.Str(valid && !call.Is("GetKeyBinding") ? actions[index] : std::string());
  } else if (call.Is("DoAction")) {
    if (!call.Read(DBUS_TYPE_INT32, &index)) return false;
    const bool valid = index >= 0 && index < static_cast<int>(actions.size()) &&
                       (node.States() & kStateSensitive) != 0;
    if (valid) node.DoAction(index);
    out.Bool(valid);
  } else {
    return false;
  }
  call.Send();
  return true;
}

bool AtspiBridge::Properties(Call& call, AccessibleNode& node) {
  const char* interface = nullptr;
  const char* name = nullptr;
  const bool root = &node == &root_;
  auto value_of = [&](std::string_view iface,
                      std::string_view property) -> std::optional<PropertyValue> {
    PropertyValue v;
    if (iface == kAccessible) {
      if (property == "Name") {
        v.text = node.Name();
      } else if (property == "Description") {
        v.text = node.Description();
      } else if (property == "Parent") {
        v.type = 'r';
        if (root) {
          v.name = registry_name_;
          v.text = registry_path_.empty() ? kNullPath : registry_path_;
        } else {
          v.name = bus_->UniqueName();
          v.text = PathOf(node.Parent());
        }
      } else if (property == "ChildCount") {
        v.type = 'i';
        v.number = static_cast<std::int32_t>(node.Children().size());
      } else if (property == "Locale" || property == "HelpText") {
        v.text = "";
      } else if (property == "AccessibleId") {
        for (const auto& [key, value] : node.Attributes()) {
          if (key == "id") v.text = value;
        }
      } else {
        return std::nullopt;
      }
    } else if (iface == kApplication && root) {
      if (property == "ToolkitName") {
        v.text = "Orlit";
      } else if (property == "Version" || property == "AtspiVersion") {
        v.text = "2.1";
      } else if (property == "Id") {
        v.type = 'i';
        v.number = application_id_;
      } else {
        return std::nullopt;
      }
    } else if (iface == kText && node.Text() != nullptr) {
      v.type = 'i';
      if (property == "CharacterCount") {
        v.number = static_cast<int>(CodePointCount(node.Text()->Contents()));
      } else if (property == "CaretOffset") {
        v.number = node.Text()->CaretOffset();
      } else {
        return std::nullopt;
      }
    } else if (iface == kAction && property == "NActions") {
      v.type = 'i';
      v.number = static_cast<std::int32_t>(node.Actions().size());
    } else {
      return std::nullopt;
    }
    return v;
  };
  Out out(bus_->Library(), call.Out());
  if (call.Is("Get")) {
    if (!call.Read(DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &name)) return false;
    const std::optional<PropertyValue> value = value_of(interface, name);
    if (!value) {
      call.Error("org.freedesktop.DBus.Error.UnknownProperty", "No such property");
    } else {
      out.Value(*value);
    }
  } else if (call.Is("GetAll")) {
    if (!call.Read(DBUS_TYPE_STRING, &interface)) return false;
    static constexpr const char* kNames[] = {
        "Name",     "Description",    "Parent",      "ChildCount", "Locale",
        "HelpText", "AccessibleId",   "ToolkitName", "Version",    "AtspiVersion",
        "Id",       "CharacterCount", "CaretOffset", "NActions"};
    out.Open(DBUS_TYPE_ARRAY, "{sv}", [&](Out& a) {
      for (const char* property : kNames) {
        if (const std::optional<PropertyValue> value = value_of(interface, property)) {
          a.Open(DBUS_TYPE_DICT_ENTRY, nullptr, [&](Out& e) { e.Str(property).Value(*value); });
        }
      }
    });
  } else if (call.Is("Set")) {
    // The registry numbers the application; nothing else may be written.
    const DbusLibrary& dbus = bus_->Library();
    DBusMessageIter args;
    DBusMessageIter variant;
    if (root && dbus.message_iter_init(call.In(), &args) && dbus.message_iter_next(&args) &&
        dbus.message_iter_next(&args) &&
        dbus.message_iter_get_arg_type(&args) == DBUS_TYPE_VARIANT) {
      dbus.message_iter_recurse(&args, &variant);
      if (dbus.message_iter_get_arg_type(&variant) == DBUS_TYPE_INT32) {
        dbus.message_iter_get_basic(&variant, &application_id_);
      }
    }
  } else {
    return false;
  }
  call.Send();
  return true;
}

void AtspiBridge::AppendCacheItem(Out& out, AccessibleNode& node) {
  const std::string unique = bus_->UniqueName();
  const std::vector<AccessibleNode*> children = node.Children();
  out.Open(DBUS_TYPE_STRUCT, nullptr, [&](Out& item) {
    item.Ref(unique, PathOf(&node)).Ref(unique, kRootPath).Ref(unique, PathOf(node.Parent()));
    item.I32(IndexInParent(node)).I32(static_cast<std::int32_t>(children.size()));
    item.Open(DBUS_TYPE_ARRAY, "s", [&](Out& a) {
      for (const char* interface : InterfacesOf(node, false)) a.Str(interface);
    });
    item.Str(node.Name()).U32(AtspiRole(node.Role())).Str(node.Description());
    AppendStates(item, node.States());
  });
}

void AtspiBridge::EmitCache(AccessibleNode& node, bool added) {
  const DbusLibrary& dbus = bus_->Library();
  DbusMessagePtr signal(
      dbus.message_new_signal(kCachePath, kCache, added ? "AddAccessible" : "RemoveAccessible"),
      DbusMessageUnref{&dbus});
  if (!signal) return;
  DBusMessageIter args;
  dbus.message_iter_init_append(signal.get(), &args);
  Out out(dbus, &args);
  if (added) {
    AppendCacheItem(out, node);
  } else {
    out.Ref(bus_->UniqueName(), PathOf(&node));
  }
  bus_->Send(std::move(signal));
}

bool AtspiBridge::Cache(Call& call) {
  if (!call.Is("GetItems")) return false;
  Out out(bus_->Library(), call.Out());
  out.Open(DBUS_TYPE_ARRAY, "((so)(so)(so)iiassusau)", [&](Out& items) {
    std::vector<AccessibleNode*> pending = root_.Children();
    while (!pending.empty()) {
      AccessibleNode* node = pending.back();
      pending.pop_back();
      const std::vector<AccessibleNode*> children = node->Children();
      pending.insert(pending.end(), children.begin(), children.end());
      AppendCacheItem(items, *node);
    }
  });
  call.Send();
  return true;
}

void AtspiBridge::Emit(AccessibleNode& node, const char* interface, const char* member,
                       const char* detail, int detail1, int detail2, char variant_type,
                       const void* variant_value) {
  const DbusLibrary& dbus = bus_->Library();
  DbusMessagePtr signal(dbus.message_new_signal(PathOf(&node).c_str(), interface, member),
                        DbusMessageUnref{&dbus});
  if (!signal) return;
  DBusMessageIter args;
  dbus.message_iter_init_append(signal.get(), &args);
  Out out(dbus, &args);
  out.Str(detail).I32(detail1).I32(detail2);
  PropertyValue value;
  value.type = variant_type;
  if (variant_type == 's') value.text = *static_cast<const std::string*>(variant_value);
  if (variant_type == 'i') value.number = 0;
  if (variant_type == 'r') {
    value.name = bus_->UniqueName();
    value.text = PathOf(static_cast<AccessibleNode*>(const_cast<void*>(variant_value)));
  }
  out.Value(value);
  out.Open(DBUS_TYPE_ARRAY, "{sv}", [](Out&) {});
  bus_->Send(std::move(signal));
}

void AtspiBridge::NodeRemoved(AccessibleNode& node) {
  auto it = ids_.find(&node);
  if (it == ids_.end()) return;
  nodes_.erase(it->second);
  ids_.erase(it);
}

void AtspiBridge::ChildAdded(AccessibleNode& parent, AccessibleNode& child) {
  EmitCache(child, true);
  Emit(parent, kEventObject, "ChildrenChanged", "add", IndexInParent(child), 0, 'r', &child);
}

void AtspiBridge::ChildRemoved(AccessibleNode& parent, AccessibleNode& child) {
  EmitCache(child, false);
  Emit(parent, kEventObject, "ChildrenChanged", "remove", 0, 0, 'r', &child);
}

void AtspiBridge::StateChanged(AccessibleNode& node, AccessibleState state, bool on) {
  Emit(node, kEventObject, "StateChanged", StateName(state), on ? 1 : 0, 0, 'i', nullptr);
}

void AtspiBridge::TextInserted(AccessibleNode& node, int offset, const std::string& text) {
  Emit(node, kEventObject, "TextChanged", "insert", offset, static_cast<int>(CodePointCount(text)),
       's', &text);
}

void AtspiBridge::TextDeleted(AccessibleNode& node, int offset, const std::string& text) {
  Emit(node, kEventObject, "TextChanged", "delete", offset, static_cast<int>(CodePointCount(text)),
       's', &text);
}

void AtspiBridge::CaretMoved(AccessibleNode& node, int offset) {
  Emit(node, kEventObject, "TextCaretMoved", "", offset, 0, 'i', nullptr);
}

void AtspiBridge::WindowActivated(AccessibleNode& window, bool active) {
  const std::string empty;
  Emit(window, kEventWindow, active ? "Activate" : "Deactivate", "", 0, 0, 's', &empty);
}

}  // namespace orlit
