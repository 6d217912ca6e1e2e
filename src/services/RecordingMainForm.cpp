#include "services/RecordingMainForm.h"

namespace jxc {

void TRecordingMainForm::SetStatusText(int panel, const std::string& text) {
  panels_[panel] = text;
  calls_.emplace_back(panel, text);
}

std::string TRecordingMainForm::StatusText(int panel) const {
  auto it = panels_.find(panel);
  return it == panels_.end() ? std::string() : it->second;
}

}  // namespace jxc
