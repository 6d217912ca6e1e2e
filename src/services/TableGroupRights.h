#pragma once
// A rights service backed by tables of what is granted: operations per screen caption, item rights per
// group, and the captions that may be opened. Whatever is not granted is refused; GrantAll turns the
// tables off and grants everything (a user with every right). Names compare exactly, as the captions and
// operations are the system's own texts. Every question is remembered in order, with its answer.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/RightsIntf.h"

namespace jxc {

class TTableGroupRights : public IGroupRights {
 public:
  bool HasRight(const std::string& module, const std::string& operation) override;
  bool HasItemRight(const std::string& group, const std::string& item) override;
  bool CanOpen(const std::string& caption) override;

  // --- the tables ---
  void Grant(const std::string& module, const std::string& operation);
  void Revoke(const std::string& module, const std::string& operation);
  void GrantItem(const std::string& group, const std::string& item);
  void RevokeItem(const std::string& group, const std::string& item);
  void GrantOpen(const std::string& caption);
  void RevokeOpen(const std::string& caption);
  void SetGrantAll(bool grantAll) { grantAll_ = grantAll; }

  // --- the questions asked ---
  enum class TQuestion { Right, ItemRight, Open };
  struct TAsked {
    TQuestion Question;
    std::string First;   // module, group or caption
    std::string Second;  // operation or item (empty for Open)
    bool Granted;
  };
  const std::vector<TAsked>& Asked() const { return asked_; }
  void ClearAsked() { asked_.clear(); }

 private:
  bool Answer(TQuestion question, const std::string& first, const std::string& second, bool granted);

  std::set<std::pair<std::string, std::string>> rights_;
  std::set<std::pair<std::string, std::string>> itemRights_;
  std::set<std::string> openable_;
  bool grantAll_ = false;
  std::vector<TAsked> asked_;
};

}  // namespace jxc
