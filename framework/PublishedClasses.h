#pragma once

// The classes a window layout may name, each with the table of its published properties and,
// for forms, the components and handlers the form declares.
//
// Each library registers its own classes from one explicit function (framework:
// RegisterFrameworkClasses, editors: RegisterEditorClasses, the window: RegisterUnit1Classes),
// which first calls the function of the layer below and registers each class once; bases come
// before the classes derived from them. To make a new control placeable:
//
//   PublishClass<TcxMemo, TcxCustomEdit>("TcxMemo")     // base already registered
//       .Object("Properties", [](TcxMemo& m) -> TPersistent& { return m.Properties(); })
//       .Strings("Lines", [](TcxMemo& m) -> TStrings& { return m.Lines(); })
//       .Event<TNotifyEvent>("OnClick", &TcxMemo::OnClick);
//   PublishClass<TcxMemoProperties, TcxCustomEditProperties>("TcxMemoProperties");  // abstract
//
// and in app/Unit1.layout:
//
//   TcxMemo cxMemo2 {
//     Left: 32  Top: 96  Width: 337  Height: 153
//     Properties: { ReadOnly: true }
//     Lines: ["cxMemo2"]
//   }
//
// plus `.Field("cxMemo2", &TForm1::cxMemo2)` in RegisterUnit1Classes when the code reaches it.
// A class published with PublishClass can be created by the layout when it is a component;
// PublishAbstractClass only lends its properties to the classes derived from it.

#include <any>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "framework/Component.h"
#include "framework/Picture.h"
#include "framework/Strings.h"
#include "platform/SystemColors.h"

namespace orlit {

// One name of an enumeration or set element and its value (for a set: its bit).
struct EnumName {
  std::string_view name;
  int value;
};

enum class PropertyKind {
  kInteger,
  kBoolean,
  kString,
  kEnum,     // one identifier of `names`
  kSet,      // [identifiers of `names`], their bits or-ed
  kColor,    // an integer or a colour name (clYellow, clBtnFace, ...)
  kStrings,  // ["line", ...]
  kPicture,  // the name of an embedded picture resource
  kObject,   // { nested properties } of an object the property holds
  kEvent,    // the name of a handler of the layout's root
};

// A value as the reader hands it to a property's setter, already of the property's kind.
struct PropertyValue {
  long long number = 0;            // integers, booleans, enumerations, sets, colours
  std::string text;                // strings, picture resource names
  std::vector<std::string> lines;  // string lists
  std::any handler;                // events: the event's std::function, bound to the root
};

struct PublishedProperty {
  std::string name;
  PropertyKind kind;
  std::span<const EnumName> names;                          // kEnum, kSet
  std::function<void(TObject&, const PropertyValue&)> set;  // every kind but kObject
  std::function<TPersistent&(TObject&)> object;             // kObject
  std::type_index event_type = typeid(void);                // kEvent
};

// A handler of a form: bound to a form instance it gives the event's std::function.
struct PublishedHandler {
  std::string name;
  std::type_index event_type;
  std::function<std::any(TObject& root)> bind;
};

// A component variable of a form, set when the layout creates the component of that name.
struct PublishedField {
  std::string name;
  // False when the component is not of the field's class.
  std::function<bool(TObject& root, TComponent* component)> bind;
};

class PublishedClass {
 public:
  PublishedClass(std::string name, std::type_index type, const PublishedClass* base)
      : name_(std::move(name)), type_(type), base_(base) {}

  const std::string& Name() const { return name_; }
  std::type_index Type() const { return type_; }
  const PublishedClass* Base() const { return base_; }
  bool Creatable() const { return static_cast<bool>(create_); }
  // A new instance owned by `owner`.
  TComponent* Create(TComponent& owner) const { return create_(owner); }

  // Looked up in this class, then in its bases; null when none has it.
  const PublishedProperty* FindProperty(std::string_view name) const;
  const PublishedHandler* FindHandler(std::string_view name) const;
  const PublishedField* FindField(std::string_view name) const;
  // Every field of this class and its bases.
  std::vector<const PublishedField*> Fields() const;
  bool InheritsFrom(const PublishedClass& other) const;

  void SetCreate(std::function<TComponent*(TComponent& owner)> create) {
    create_ = std::move(create);
  }
  void Add(PublishedProperty property) { properties_.push_back(std::move(property)); }
  void Add(PublishedHandler handler) { handlers_.push_back(std::move(handler)); }
  void Add(PublishedField field) { fields_.push_back(std::move(field)); }

 private:
  std::string name_;
  std::type_index type_;
  const PublishedClass* base_;
  std::function<TComponent*(TComponent& owner)> create_;
  std::vector<PublishedProperty> properties_;
  std::vector<PublishedHandler> handlers_;
  std::vector<PublishedField> fields_;
};

// The process-wide registry. A second registration of a name throws EComponentError.
PublishedClass& RegisterPublishedClass(std::string name, std::type_index type,
                                       std::type_index base);
// Null when no class of that name, or of that C++ type, is registered.
const PublishedClass* FindPublishedClass(std::string_view name);
const PublishedClass* FindPublishedClass(std::type_index type);

// Replaces the lines of `strings` at once.
void ReplaceLines(TStrings& strings, const std::vector<std::string>& lines);
// Loads a picture from the embedded resource `name`; throws EInvalidGraphic when there is none.
void LoadPictureResource(TPicture& picture, std::string_view name);

// Fills a class's table, typed by the class. Setters may be member functions or callables
// taking the object first.
template <typename T>
class ClassPublisher {
 public:
  explicit ClassPublisher(PublishedClass& published) : published_(published) {}

  template <typename Setter>
  ClassPublisher& Integer(std::string name, Setter setter) {
    return Scalar(std::move(name), PropertyKind::kInteger, {}, [setter](T& o, const auto& v) {
      std::invoke(setter, o, static_cast<int>(v.number));
    });
  }
  template <typename Setter>
  ClassPublisher& Boolean(std::string name, Setter setter) {
    return Scalar(std::move(name), PropertyKind::kBoolean, {},
                  [setter](T& o, const auto& v) { std::invoke(setter, o, v.number != 0); });
  }
  template <typename Setter>
  ClassPublisher& String(std::string name, Setter setter) {
    return Scalar(std::move(name), PropertyKind::kString, {},
                  [setter](T& o, const auto& v) { std::invoke(setter, o, v.text); });
  }
  // `E` is the enumeration (or set) type the setter takes.
  template <typename E, typename Setter>
  ClassPublisher& Enum(std::string name, std::span<const EnumName> names, Setter setter) {
    return Scalar(std::move(name), PropertyKind::kEnum, names, [setter](T& o, const auto& v) {
      std::invoke(setter, o, static_cast<E>(v.number));
    });
  }
  template <typename S, typename Setter>
  ClassPublisher& Set(std::string name, std::span<const EnumName> bits, Setter setter) {
    return Scalar(std::move(name), PropertyKind::kSet, bits, [setter](T& o, const auto& v) {
      std::invoke(setter, o, static_cast<S>(v.number));
    });
  }
  template <typename Setter>
  ClassPublisher& Color(std::string name, Setter setter) {
    return Scalar(std::move(name), PropertyKind::kColor, {}, [setter](T& o, const auto& v) {
      std::invoke(setter, o, static_cast<TColor>(v.number));
    });
  }
  // `strings` gives the object's TStrings, whose lines the layout's list replaces.
  template <typename Getter>
  ClassPublisher& Strings(std::string name, Getter strings) {
    return Scalar(std::move(name), PropertyKind::kStrings, {}, [strings](T& o, const auto& v) {
      ReplaceLines(std::invoke(strings, o), v.lines);
    });
  }
  // `picture` gives the object's TPicture.
  template <typename Getter>
  ClassPublisher& Picture(std::string name, Getter picture);
  // `object` gives the nested object, whose own class table is used.
  template <typename Getter>
  ClassPublisher& Object(std::string name, Getter object) {
    PublishedProperty p{std::move(name), PropertyKind::kObject, {}, {}, {}, typeid(void)};
    p.object = [object](TObject& o) -> TPersistent& {
      return std::invoke(object, static_cast<T&>(o));
    };
    published_.Add(std::move(p));
    return *this;
  }
  // `E` is the std::function type of the event member.
  template <typename E, typename Member>
  ClassPublisher& Event(std::string name, Member member) {
    PublishedProperty p{std::move(name), PropertyKind::kEvent, {}, {}, {}, typeid(E)};
    p.set = [member](TObject& o, const PropertyValue& v) {
      std::invoke(member, static_cast<T&>(o)) = std::any_cast<E>(v.handler);
    };
    published_.Add(std::move(p));
    return *this;
  }
  // A handler of a form, bound by name from the layout's event lines.
  template <typename... Args>
  ClassPublisher& Handler(std::string name, void (T::*method)(Args...)) {
    using Event = std::function<void(Args...)>;
    published_.Add(PublishedHandler{std::move(name), typeid(Event), [method](TObject& root) {
                                      T* form = &static_cast<T&>(root);
                                      return std::any(Event([form, method](Args... args) {
                                        (form->*method)(std::forward<Args>(args)...);
                                      }));
                                    }});
    return *this;
  }
  // A component variable of a form: set to the component of the same name.
  template <typename C>
  ClassPublisher& Field(std::string name, C* T::*member) {
    published_.Add(PublishedField{std::move(name), [member](TObject& root, TComponent* c) {
                                    C* typed = dynamic_cast<C*>(c);
                                    static_cast<T&>(root).*member = typed;
                                    return typed != nullptr;
                                  }});
    return *this;
  }

 private:
  template <typename Apply>
  ClassPublisher& Scalar(std::string name, PropertyKind kind, std::span<const EnumName> names,
                         Apply apply) {
    PublishedProperty p{std::move(name), kind, names, {}, {}, typeid(void)};
    p.set = [apply](TObject& o, const PropertyValue& v) { apply(static_cast<T&>(o), v); };
    published_.Add(std::move(p));
    return *this;
  }

  PublishedClass& published_;
};

template <typename T>
template <typename Getter>
ClassPublisher<T>& ClassPublisher<T>::Picture(std::string name, Getter picture) {
  return Scalar(std::move(name), PropertyKind::kPicture, {}, [picture](T& o, const auto& v) {
    LoadPictureResource(std::invoke(picture, o), v.text);
  });
}

// Registers T under `name` with Base's properties (Base = T for a root class); components get a
// factory.
template <typename T, typename Base>
ClassPublisher<T> PublishClass(std::string name) {
  static_assert(std::is_base_of_v<Base, T>);
  PublishedClass& published = RegisterPublishedClass(std::move(name), typeid(T), typeid(Base));
  if constexpr (std::is_base_of_v<TComponent, T> && std::is_default_constructible_v<T> &&
                !std::is_abstract_v<T>) {
    published.SetCreate([](TComponent& owner) -> TComponent* { return owner.Create<T>(); });
  }
  return ClassPublisher<T>(published);
}

// Registers T for its properties only: the layout cannot create it.
template <typename T, typename Base>
ClassPublisher<T> PublishAbstractClass(std::string name) {
  static_assert(std::is_base_of_v<Base, T>);
  return ClassPublisher<T>(RegisterPublishedClass(std::move(name), typeid(T), typeid(Base)));
}

}  // namespace orlit
