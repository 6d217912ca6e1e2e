#include "platform/SystemDialogs.h"

namespace jxc {

namespace {
class CancellingOpenDialog : public IOpenFileDialog {
 public:
  TSaveDialogResult Execute(const TSaveDialogRequest&) override { return {}; }
};

class CancellingInputQuery : public IInputQuery {
 public:
  bool Ask(const std::string&, const std::string&, std::string&) override { return false; }
};

CancellingOpenDialog defaultOpenDialog;
CancellingInputQuery defaultInputQuery;
IOpenFileDialog* currentOpenDialog = &defaultOpenDialog;
IInputQuery* currentInputQuery = &defaultInputQuery;
}  // namespace

IOpenFileDialog& OpenFileDialog() { return *currentOpenDialog; }

IOpenFileDialog* SetOpenFileDialog(IOpenFileDialog* dialog) {
  IOpenFileDialog* previous = currentOpenDialog;
  currentOpenDialog = dialog ? dialog : &defaultOpenDialog;
  return previous;
}

bool TScriptedInputQuery::Ask(const std::string& caption, const std::string& prompt, std::string& value) {
  TInputQueryCall call{caption, prompt, value, false};
  if (!answers_.empty()) {
    std::optional<std::string> answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer) {
      value = *answer;
      call.Accepted = true;
    }
  }
  calls_.push_back(call);
  return call.Accepted;
}

IInputQuery& InputQueryService() { return *currentInputQuery; }

IInputQuery* SetInputQuery(IInputQuery* query) {
  IInputQuery* previous = currentInputQuery;
  currentInputQuery = query ? query : &defaultInputQuery;
  return previous;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  return InputQueryService().Ask(caption, prompt, value);
}

bool TOpenDialog::Apply(const TSaveDialogResult& result) {
  if (!result.OK) return false;
  FileName = result.FileName;
  FilterIndex = result.FilterIndex;
  return true;
}

bool TOpenDialog::Execute() { return Apply(OpenFileDialog().Execute(Request())); }

bool TSaveDialog::Execute() { return Apply(SaveFileDialog().Execute(Request())); }

}  // namespace jxc
