#pragma once
// The main window's status bar, remembered: the text of each panel and every SetStatusText call in order.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "foundation/HostServicesIntf.h"

namespace jxc {

class TRecordingMainForm : public IMainForm {
 public:
  void SetStatusText(int panel, const std::string& text) override;

  // The panel's current text, empty when never set.
  std::string StatusText(int panel) const;
  const std::vector<std::pair<int, std::string>>& Calls() const { return calls_; }

 private:
  std::map<int, std::string> panels_;
  std::vector<std::pair<int, std::string>> calls_;
};

}  // namespace jxc
