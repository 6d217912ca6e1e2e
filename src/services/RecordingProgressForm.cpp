#include "services/RecordingProgressForm.h"

namespace jxc {

void TRecordingProgressForm::ShowProgress(const std::string& text, bool flag) {
  showing_ = true;
  text_ = text;
  calls_.push_back({true, text});
}

void TRecordingProgressForm::HideProgress() {
  showing_ = false;
  calls_.push_back({false, ""});
}

std::vector<std::string> TRecordingProgressForm::ShownTexts() const {
  std::vector<std::string> texts;
  for (const auto& call : calls_) {
    if (call.Show) texts.push_back(call.Text);
  }
  return texts;
}

}  // namespace jxc
