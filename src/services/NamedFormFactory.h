#pragma once
// The host's screen factory: screens are registered under their names (the captions users know them by,
// such as "手机串码追踪") with a function that creates one. OpenWindow creates a fresh screen, owned by the
// given owner or by the application, with the name as its caption, so that rights and configuration are
// found by it. The caller hands in the rest and shows it.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "foundation/HostServicesIntf.h"

namespace jxc {

class TNamedFormFactory : public IFormFactory {
 public:
  using Creator = std::function<TFrmBase*(TComponent* owner)>;

  // Registering a name again replaces its creator; names compare exactly.
  void Register(const std::string& screenName, Creator creator);
  void Unregister(const std::string& screenName);
  bool IsRegistered(const std::string& screenName) const;

  // Null for a name nobody registered or a creator that made nothing.
  TFrmBase* OpenWindow(TComponent* owner, const std::string& screenName) override;

  // Every name asked for, in order (registered or not).
  const std::vector<std::string>& Requests() const { return requests_; }

 private:
  std::map<std::string, Creator> creators_;
  std::vector<std::string> requests_;
};

}  // namespace jxc
