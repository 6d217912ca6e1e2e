#pragma once
// The file dialogs and the input query as components and calls of the screens. Message boxes, the
// clipboard and the save-file service itself are the desktop stand-ins of Desktop.h; this unit adds the
// open-file service and the input query in the same manner (an interface with one implementation
// installed for the process; tests install scripted ones that record every call; the defaults cancel,
// as there is no window to ask in), and the dialog components that screens own.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Component.h"
#include "platform/Desktop.h"

namespace jxc {

// --- open-file dialog ----------------------------------------------------------------------------------
// Asked and answered as the save dialog is; a separate service, so that a test can script each.
using IOpenFileDialog = ISaveFileDialog;
using TScriptedOpenDialog = TScriptedSaveDialog;

IOpenFileDialog& OpenFileDialog();
IOpenFileDialog* SetOpenFileDialog(IOpenFileDialog* dialog);
using ScopedOpenFileDialog = ScopedDesktop<IOpenFileDialog, SetOpenFileDialog>;

// --- input query ---------------------------------------------------------------------------------------
struct TInputQueryCall {
  std::string Caption;
  std::string Prompt;
  std::string Value;  // as proposed by the caller
  bool Accepted = false;
};

class IInputQuery {
 public:
  virtual ~IInputQuery() = default;
  // True when the user accepted; value then holds the text entered.
  virtual bool Ask(const std::string& caption, const std::string& prompt, std::string& value) = 0;
};

// Takes the queued answers in turn (nullopt: the user cancels), then cancels; records every call.
class TScriptedInputQuery : public IInputQuery {
 public:
  bool Ask(const std::string& caption, const std::string& prompt, std::string& value) override;
  void QueueAnswer(std::optional<std::string> answer) { answers_.push_back(std::move(answer)); }
  const std::vector<TInputQueryCall>& Calls() const { return calls_; }

 private:
  std::deque<std::optional<std::string>> answers_;
  std::vector<TInputQueryCall> calls_;
};

IInputQuery& InputQueryService();
IInputQuery* SetInputQuery(IInputQuery* query);
using ScopedInputQuery = ScopedDesktop<IInputQuery, SetInputQuery>;
// The toolkit's InputQuery through the installed service.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// --- dialog components -----------------------------------------------------------------------------------
// Filter is "description|pattern|description|pattern"; FilterIndex is 1-based.
class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner = nullptr) : TComponent(owner) {}
  std::string ClassName() const override { return "TOpenDialog"; }

  std::string Title;
  std::string Filter;
  int FilterIndex = 1;
  std::string FileName;
  std::string DefaultExt;
  std::string InitialDir;

  // True when the user accepted; FileName and FilterIndex then hold the choice (no extension added).
  virtual bool Execute();

 protected:
  bool Apply(const TSaveDialogResult& result);
  TSaveDialogRequest Request() const { return TSaveDialogRequest{Filter, FileName, InitialDir}; }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  std::string ClassName() const override { return "TSaveDialog"; }
  bool Execute() override;
};

}  // namespace jxc
