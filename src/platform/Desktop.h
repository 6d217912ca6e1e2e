#pragma once
// What the desktop offers a program beyond its own windows: the clipboard, message boxes, the save-file
// dialog and opening a document with the system's default program. Each is an interface with one
// implementation installed for the process (like the clock); tests install scripted ones that record every
// call, and programs keep the defaults: an in-memory clipboard, a message box that writes the question to
// standard error and gives the safe answer, a save dialog that cancels (there is no window to ask in), and
// a shell that opens documents with xdg-open when it is installed.

#include <deque>
#include <string>
#include <vector>

namespace jxc {

// --- clipboard -------------------------------------------------------------------------------------------
class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string GetText() const = 0;
  virtual void Clear() = 0;
};

class TMemoryClipboard : public IClipboard {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string GetText() const override { return text_; }
  void Clear() override { text_.clear(); }

 private:
  std::string text_;
};

// --- message boxes ----------------------------------------------------------------------------------------
enum class TMsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class TMsgIcon { None, Information, Question, Warning, Error };
enum class TMsgResult { OK, Cancel, Yes, No };

struct TMessageBoxCall {
  std::string Text, Title;
  TMsgButtons Buttons = TMsgButtons::OK;
  TMsgIcon Icon = TMsgIcon::None;
  bool TopMost = false;
  TMsgResult Answer = TMsgResult::OK;
};

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  virtual TMsgResult Show(const std::string& text, const std::string& title, TMsgButtons buttons, TMsgIcon icon,
                          bool topMost = false) = 0;
};

// Answers from a queue, then with the buttons' safe answer (No, Cancel or OK); records every call.
class TScriptedMessageBox : public IMessageBox {
 public:
  TMsgResult Show(const std::string& text, const std::string& title, TMsgButtons buttons, TMsgIcon icon,
                  bool topMost = false) override;
  void QueueAnswer(TMsgResult answer) { answers_.push_back(answer); }
  const std::vector<TMessageBoxCall>& Calls() const { return calls_; }

 private:
  std::deque<TMsgResult> answers_;
  std::vector<TMessageBoxCall> calls_;
};

// The answer given when nobody can be asked: No for yes/no questions, Cancel where offered, else OK.
TMsgResult SafeAnswer(TMsgButtons buttons);

// --- save-file dialog -------------------------------------------------------------------------------------
struct TSaveDialogRequest {
  std::string Filter;      // "描述|*.ext|描述|*.ext", as the toolkit writes it
  std::string FileName;    // proposed
  std::string InitialDir;
};

struct TSaveDialogResult {
  bool OK = false;
  std::string FileName;  // as chosen, without any extension added
  int FilterIndex = 1;   // chosen filter entry, from 1
};

class ISaveFileDialog {
 public:
  virtual ~ISaveFileDialog() = default;
  virtual TSaveDialogResult Execute(const TSaveDialogRequest& request) = 0;
};

// Gives the queued results in turn, then cancels; records every request.
class TScriptedSaveDialog : public ISaveFileDialog {
 public:
  TSaveDialogResult Execute(const TSaveDialogRequest& request) override;
  void QueueChoice(std::string fileName, int filterIndex = 1) { results_.push_back({true, std::move(fileName), filterIndex}); }
  void QueueCancel() { results_.push_back({}); }
  const std::vector<TSaveDialogRequest>& Requests() const { return requests_; }

 private:
  std::deque<TSaveDialogResult> results_;
  std::vector<TSaveDialogRequest> requests_;
};

// --- shell ------------------------------------------------------------------------------------------------
class IShell {
 public:
  virtual ~IShell() = default;
  // Opens the document with the program the system associates with it; false when none could be started.
  virtual bool OpenDocument(const std::string& path) = 0;
};

// Records the documents it was asked to open and opens nothing.
class TRecordingShell : public IShell {
 public:
  bool OpenDocument(const std::string& path) override {
    opened_.push_back(path);
    return true;
  }
  const std::vector<std::string>& Opened() const { return opened_; }

 private:
  std::vector<std::string> opened_;
};

// Single-quoted for /bin/sh: embedded quotes closed, escaped and reopened.
std::string ShellQuoted(const std::string& text);
// The first program of that name on PATH, or "" when there is none.
std::string FindProgram(const std::string& name);

// --- the installed implementations ---------------------------------------------------------------------------
// Never null; each setter installs an implementation (not owned; nullptr restores the default) and returns
// the previous one.
IClipboard& Clipboard();
IClipboard* SetClipboard(IClipboard* clipboard);
IMessageBox& MessageBox();
IMessageBox* SetMessageBox(IMessageBox* box);
ISaveFileDialog& SaveFileDialog();
ISaveFileDialog* SetSaveFileDialog(ISaveFileDialog* dialog);
IShell& Shell();
IShell* SetShell(IShell* shell);

// Installs an implementation for the lifetime of the guard (tests).
template <class I, I* (*Set)(I*)>
class ScopedDesktop {
 public:
  explicit ScopedDesktop(I& implementation) : previous_(Set(&implementation)) {}
  ~ScopedDesktop() { Set(previous_); }
  ScopedDesktop(const ScopedDesktop&) = delete;
  ScopedDesktop& operator=(const ScopedDesktop&) = delete;

 private:
  I* previous_;
};
using ScopedClipboard = ScopedDesktop<IClipboard, SetClipboard>;
using ScopedMessageBox = ScopedDesktop<IMessageBox, SetMessageBox>;
using ScopedSaveFileDialog = ScopedDesktop<ISaveFileDialog, SetSaveFileDialog>;
using ScopedShell = ScopedDesktop<IShell, SetShell>;

// A new, empty temporary file with the extension (".xls"); its full path.
std::string NewTempFileName(const std::string& extension);

}  // namespace jxc
