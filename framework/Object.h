#pragma once

#include <functional>
#include <string>
#include <typeinfo>

namespace orlit {

// Root of the framework's class tree.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // Runs once the most derived constructor has finished, so that a base class can complete its
  // set-up with the derived parts in place (a form fires OnCreate here). Whoever creates an
  // object through the framework's factories calls it.
  virtual void AfterConstruction() {}

  // The class name without namespace, e.g. "TPanel".
  std::string ClassName() const;
};

// The name of a type as the source spells it, without the namespace ("TPanel",
// "std::runtime_error" stays qualified outside ours).
std::string TypeName(const std::type_info& type);

using TNotifyEvent = std::function<void(TObject* sender)>;

}  // namespace orlit
