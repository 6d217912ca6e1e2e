#include "services/NamedFormFactory.h"

#include <utility>

#include "foundation/UnitFrmBase.h"
#include "platform/Application.h"

namespace jxc {

void TNamedFormFactory::Register(const std::string& screenName, Creator creator) {
  creators_[screenName] = std::move(creator);
}

void TNamedFormFactory::Unregister(const std::string& screenName) { creators_.erase(screenName); }

bool TNamedFormFactory::IsRegistered(const std::string& screenName) const {
  return creators_.count(screenName) > 0;
}

TFrmBase* TNamedFormFactory::OpenWindow(TComponent* owner, const std::string& screenName) {
  requests_.push_back(screenName);
  const auto found = creators_.find(screenName);
  if (found == creators_.end() || !found->second) return nullptr;
  TFrmBase* screen = found->second(owner ? owner : &Application());
  if (screen) screen->SetCaption(screenName);
  return screen;
}

}  // namespace jxc
