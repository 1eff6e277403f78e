#include "framework/PublishedClasses.h"

#include <memory>

#include "platform/PictureError.h"
#include "platform/RawPixels.h"
#include "platform/Resources.h"

namespace orlit {

namespace {

struct Registry {
  std::vector<std::unique_ptr<PublishedClass>> classes;
};

Registry& TheRegistry() {
  static Registry& registry = *new Registry;
  return registry;
}

template <typename Item>
const Item* FindByName(const std::vector<Item>& items, std::string_view name) {
  for (const Item& item : items) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

}  // namespace

const PublishedProperty* PublishedClass::FindProperty(std::string_view name) const {
  for (const PublishedClass* c = this; c != nullptr; c = c->base_) {
    if (const auto* found = FindByName(c->properties_, name)) return found;
  }
  return nullptr;
}

const PublishedHandler* PublishedClass::FindHandler(std::string_view name) const {
  for (const PublishedClass* c = this; c != nullptr; c = c->base_) {
    if (const auto* found = FindByName(c->handlers_, name)) return found;
  }
  return nullptr;
}

const PublishedField* PublishedClass::FindField(std::string_view name) const {
  for (const PublishedClass* c = this; c != nullptr; c = c->base_) {
    if (const auto* found = FindByName(c->fields_, name)) return found;
  }
  return nullptr;
}

std::vector<const PublishedField*> PublishedClass::Fields() const {
  std::vector<const PublishedField*> all;
  for (const PublishedClass* c = this; c != nullptr; c = c->base_) {
    for (const PublishedField& field : c->fields_) all.push_back(&field);
  }
  return all;
}

bool PublishedClass::InheritsFrom(const PublishedClass& other) const {
  for (const PublishedClass* c = this; c != nullptr; c = c->base_) {
    if (c == &other) return true;
  }
  return false;
}

PublishedClass& RegisterPublishedClass(std::string name, std::type_index type,
                                       std::type_index base) {
  if (FindPublishedClass(name) != nullptr || FindPublishedClass(type) != nullptr) {
    throw EComponentError("The class " + name + " is registered twice");
  }
  const PublishedClass* base_class = nullptr;
  if (base != type) {
    base_class = FindPublishedClass(base);
    if (base_class == nullptr) {
      throw EComponentError("The base of the class " + name + " is not registered");
    }
  }
  auto& classes = TheRegistry().classes;
  classes.push_back(std::make_unique<PublishedClass>(std::move(name), type, base_class));
  return *classes.back();
}

const PublishedClass* FindPublishedClass(std::string_view name) {
  for (const auto& c : TheRegistry().classes) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

const PublishedClass* FindPublishedClass(std::type_index type) {
  for (const auto& c : TheRegistry().classes) {
    if (c->Type() == type) return c.get();
  }
  return nullptr;
}

void ReplaceLines(TStrings& strings, const std::vector<std::string>& lines) {
  strings.BeginUpdate();
  strings.Clear();
  for (const std::string& line : lines) strings.Add(line);
  strings.EndUpdate();
}

void LoadPictureResource(TPicture& picture, std::string_view name) {
  const auto data = FindResource(name);
  if (!data) {
    throw EInvalidGraphic("The picture '" + std::string(name) + "' is missing from the program");
  }
  // The build decoded the JPEG ones, so the start needs no JPEG decoder.
  if (const auto decoded = FindResource(name, DecodedResources())) {
    picture.LoadFromStoredData(*data, ViewRawPixels(*decoded));
    return;
  }
  picture.LoadFromStoredData(*data);
}

}  // namespace orlit
