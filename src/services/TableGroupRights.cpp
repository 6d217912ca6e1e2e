#include "services/TableGroupRights.h"

namespace jxc {

bool TTableGroupRights::Answer(TQuestion question, const std::string& first, const std::string& second,
                               bool granted) {
  granted = granted || grantAll_;
  asked_.push_back({question, first, second, granted});
  return granted;
}

bool TTableGroupRights::HasRight(const std::string& module, const std::string& operation) {
  return Answer(TQuestion::Right, module, operation, rights_.count({module, operation}) > 0);
}

bool TTableGroupRights::HasItemRight(const std::string& group, const std::string& item) {
  return Answer(TQuestion::ItemRight, group, item, itemRights_.count({group, item}) > 0);
}

bool TTableGroupRights::CanOpen(const std::string& caption) {
  return Answer(TQuestion::Open, caption, "", openable_.count(caption) > 0);
}

void TTableGroupRights::Grant(const std::string& module, const std::string& operation) {
  rights_.insert({module, operation});
}
void TTableGroupRights::Revoke(const std::string& module, const std::string& operation) {
  rights_.erase({module, operation});
}
void TTableGroupRights::GrantItem(const std::string& group, const std::string& item) {
  itemRights_.insert({group, item});
}
void TTableGroupRights::RevokeItem(const std::string& group, const std::string& item) {
  itemRights_.erase({group, item});
}
void TTableGroupRights::GrantOpen(const std::string& caption) { openable_.insert(caption); }
void TTableGroupRights::RevokeOpen(const std::string& caption) { openable_.erase(caption); }

}  // namespace jxc
