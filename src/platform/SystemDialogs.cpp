#include "platform/SystemDialogs.h"

#include "platform/Application.h"

namespace jxc {

void TSystemDialogs::Clear() {
  boxAnswers_.clear();
  fileAnswers_.clear();
  inputAnswers_.clear();
  boxes_.clear();
  files_.clear();
  inputs_.clear();
}

int TSystemDialogs::MessageBox(const std::string& text, const std::string& title, unsigned flags) {
  int answer;
  if (!boxAnswers_.empty()) {
    answer = boxAnswers_.front();
    boxAnswers_.pop_front();
  } else {
    unsigned buttons = flags & 0xF;
    answer = (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
  }
  boxes_.push_back(TMessageBoxCall{text, title, flags, answer});
  return answer;
}

bool TSystemDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TInputQueryCall call{caption, prompt, value, false};
  if (!inputAnswers_.empty()) {
    std::optional<std::string> answer = std::move(inputAnswers_.front());
    inputAnswers_.pop_front();
    if (answer) {
      value = *answer;
      call.Accepted = true;
    }
  }
  inputs_.push_back(call);
  return call.Accepted;
}

std::optional<TFileDialogAnswer> TSystemDialogs::FileDialog(const TFileDialogCall& call) {
  TFileDialogCall recorded = call;
  std::optional<TFileDialogAnswer> answer;
  if (!fileAnswers_.empty()) {
    answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    if (!answer->Accepted) answer.reset();
  }
  recorded.Accepted = answer.has_value();
  files_.push_back(recorded);
  return answer;
}

bool TOpenDialog::Execute() {
  TFileDialogCall call;
  call.Save = IsSave();
  call.Title = Title;
  call.Filter = Filter;
  call.FileName = FileName;
  std::optional<TFileDialogAnswer> answer = Application().Dialogs().FileDialog(call);
  if (!answer) return false;
  FileName = answer->FileName;
  FilterIndex = answer->FilterIndex;
  return true;
}

int MessageBox(const std::string& text, const std::string& title, unsigned flags) {
  return Application().Dialogs().MessageBox(text, title, flags);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  return Application().Dialogs().InputQuery(caption, prompt, value);
}

}  // namespace jxc
