#include "platform/ClassRegistry.h"

#include <memory>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {
// Entries stay at a fixed address while registered, so FindClass results remain valid until unregistered.
std::vector<std::unique_ptr<TComponentClass>>& Classes() {
  static std::vector<std::unique_ptr<TComponentClass>> classes;
  return classes;
}

std::vector<std::unique_ptr<TComponentClass>>::iterator Lookup(std::string_view name) {
  auto& classes = Classes();
  for (auto it = classes.begin(); it != classes.end(); ++it)
    if (SameText((*it)->ClassName, name)) return it;
  return classes.end();
}
}  // namespace

void RegisterClass(std::string className, TComponentFactory factory) {
  auto it = Lookup(className);
  if (it != Classes().end()) {
    (*it)->ClassName = std::move(className);
    (*it)->Create = std::move(factory);
    return;
  }
  Classes().push_back(std::make_unique<TComponentClass>(TComponentClass{std::move(className), std::move(factory)}));
}

void UnRegisterClass(std::string_view className) {
  auto it = Lookup(className);
  if (it != Classes().end()) Classes().erase(it);
}

const TComponentClass* FindClass(std::string_view className) {
  auto it = Lookup(className);
  return it == Classes().end() ? nullptr : it->get();
}

const TComponentClass& GetClass(std::string_view className) {
  const TComponentClass* found = FindClass(className);
  if (!found) throw EClassNotFound("Class " + std::string(className) + " not found");
  return *found;
}

TComponent* CreateComponentByClassName(std::string_view className, TComponent* owner) {
  return GetClass(className).Create(owner);
}

std::vector<std::string> RegisteredClassNames() {
  std::vector<std::string> names;
  for (const auto& c : Classes()) names.push_back(c->ClassName);
  return names;
}

}  // namespace jxc
