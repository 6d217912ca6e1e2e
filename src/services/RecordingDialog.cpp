#include "services/RecordingDialog.h"

#include "platform/Exceptions.h"

namespace jxc {

const char* DialogKindName(TDialogKind kind) {
  switch (kind) {
    case TDialogKind::Warning: return "Warning";
    case TDialogKind::Info: return "Info";
    case TDialogKind::Error: return "Error";
    case TDialogKind::Exception: return "Exception";
    case TDialogKind::Tip: return "Tip";
    case TDialogKind::Confirm: return "Confirm";
  }
  return "?";
}

void TRecordingDialog::Record(TDialogKind kind, const std::string& text) {
  TDialogMessage message;
  message.Kind = kind;
  message.Text = text;
  messages_.push_back(std::move(message));
}

void TRecordingDialog::ShowWarning(const std::string& text) { Record(TDialogKind::Warning, text); }
void TRecordingDialog::ShowInfo(const std::string& text) { Record(TDialogKind::Info, text); }
void TRecordingDialog::ShowError(const std::string& text) { Record(TDialogKind::Error, text); }
void TRecordingDialog::ShowException(const std::exception& error) { Record(TDialogKind::Exception, error.what()); }

void TRecordingDialog::ShowTip(const std::string& text, double seconds) {
  Record(TDialogKind::Tip, text);
  messages_.back().Seconds = seconds;
}

bool TRecordingDialog::Confirm(const std::string& caption, const std::string& text) {
  bool answer = defaultAnswer_;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  Record(TDialogKind::Confirm, text);
  messages_.back().Caption = caption;
  messages_.back().Answer = answer;
  return answer;
}

void TRecordingDialog::QueueAnswers(std::initializer_list<bool> answers) {
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

int TRecordingDialog::Count(TDialogKind kind) const {
  int count = 0;
  for (const auto& message : messages_) count += message.Kind == kind ? 1 : 0;
  return count;
}

std::vector<std::string> TRecordingDialog::Texts(TDialogKind kind) const {
  std::vector<std::string> texts;
  for (const auto& message : messages_) {
    if (message.Kind == kind) texts.push_back(message.Text);
  }
  return texts;
}

const TDialogMessage& TRecordingDialog::Last() const {
  if (messages_.empty()) throw EInvalidOperation("No message was shown");
  return messages_.back();
}

bool TRecordingDialog::Shown(const std::string& text) const {
  for (const auto& message : messages_) {
    if (message.Text == text) return true;
  }
  return false;
}

}  // namespace jxc
