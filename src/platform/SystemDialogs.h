#pragma once
// The operating system's own dialogs, answered by scripts: message boxes (text, title, buttons, icon),
// the input query and the open/save file dialogs. Every call is recorded; answers are taken in the order
// they were queued. A message box with no queued answer takes its first button (OK or Yes, as Enter would);
// an input query or file dialog with no queued answer is cancelled.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Component.h"

namespace jxc {

// Buttons, icons and answers of message boxes, as the toolkit numbers them.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_TOPMOST = 0x40000;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct TMessageBoxCall {
  std::string Text;
  std::string Title;
  unsigned Flags = 0;
  int Answer = 0;
};

struct TFileDialogAnswer {
  bool Accepted = true;
  std::string FileName;
  int FilterIndex = 1;  // 1-based, as the dialog reports it
};

struct TFileDialogCall {
  bool Save = false;
  std::string Title;
  std::string Filter;
  std::string FileName;  // as proposed by the caller
  bool Accepted = false;
};

struct TInputQueryCall {
  std::string Caption;
  std::string Prompt;
  std::string Value;  // as proposed by the caller
  bool Accepted = false;
};

class TSystemDialogs {
 public:
  // --- scripts -----------------------------------------------------------------------------------------
  void QueueMessageBoxAnswer(int answer) { boxAnswers_.push_back(answer); }
  void QueueFileDialogAnswer(TFileDialogAnswer answer) { fileAnswers_.push_back(std::move(answer)); }
  // nullopt: the user cancels.
  void QueueInputQueryAnswer(std::optional<std::string> answer) { inputAnswers_.push_back(std::move(answer)); }
  void Clear();

  // --- what happened -------------------------------------------------------------------------------------
  const std::vector<TMessageBoxCall>& MessageBoxes() const { return boxes_; }
  const std::vector<TFileDialogCall>& FileDialogs() const { return files_; }
  const std::vector<TInputQueryCall>& InputQueries() const { return inputs_; }

  // --- the dialogs -------------------------------------------------------------------------------------
  int MessageBox(const std::string& text, const std::string& title, unsigned flags);
  // True when accepted; value then holds the text entered.
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
  // Used by TOpenDialog / TSaveDialog.
  std::optional<TFileDialogAnswer> FileDialog(const TFileDialogCall& call);

 private:
  std::deque<int> boxAnswers_;
  std::deque<TFileDialogAnswer> fileAnswers_;
  std::deque<std::optional<std::string>> inputAnswers_;
  std::vector<TMessageBoxCall> boxes_;
  std::vector<TFileDialogCall> files_;
  std::vector<TInputQueryCall> inputs_;
};

// The open and save dialogs. Filter is "description|pattern|description|pattern"; FilterIndex is 1-based.
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

  // True when the user accepted; FileName and FilterIndex then hold the choice.
  virtual bool Execute();

 protected:
  virtual bool IsSave() const { return false; }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  std::string ClassName() const override { return "TSaveDialog"; }

 protected:
  bool IsSave() const override { return true; }
};

// The platform's message box and input query, through the application's dialogs.
int MessageBox(const std::string& text, const std::string& title, unsigned flags);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

}  // namespace jxc
