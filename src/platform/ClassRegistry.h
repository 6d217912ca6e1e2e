#pragma once
// The class registry: component classes registered by name, so that configuration and stored form
// descriptions can name a class as text and have it made. Names are matched without regard to ASCII case.
// A package registers its classes at start-up and unregisters them at unload; registering a name again
// replaces the earlier entry.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jxc {

class TComponent;

// Makes a new component of the class, owned by the given owner (null: the caller owns it).
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

struct TComponentClass {
  std::string ClassName;
  TComponentFactory Create;
};

void RegisterClass(std::string className, TComponentFactory factory);
// Registers T under the given name; T is constructible from an owner pointer. Forms get their
// AfterConstruction (OnCreate) run as soon as they are made.
template <class T>
void RegisterClass(std::string className) {
  RegisterClass(std::move(className), [](TComponent* owner) -> TComponent* {
    T* made = new T(owner);
    if constexpr (requires { made->AfterConstruction(); }) made->AfterConstruction();
    return made;
  });
}
// Removing a name that is not registered is not an error.
void UnRegisterClass(std::string_view className);
// The registered class, or null; never creates anything.
const TComponentClass* FindClass(std::string_view className);
// The registered class; raises EClassNotFound "Class X not found" when the name is unknown.
const TComponentClass& GetClass(std::string_view className);
// A new component of the named class owned by owner; EClassNotFound when the name is unknown.
TComponent* CreateComponentByClassName(std::string_view className, TComponent* owner);
// Names currently registered, in registration order.
std::vector<std::string> RegisteredClassNames();

}  // namespace jxc
