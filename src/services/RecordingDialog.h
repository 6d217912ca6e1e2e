#pragma once
// A dialog service that shows nothing and remembers everything: every message with its kind, text and
// caption, in order. Confirm takes its answers from a script, one per question, and gives the default
// answer once the script is used up (no, unless told otherwise: an unexpected question refuses rather
// than agrees).

#include <deque>
#include <string>
#include <vector>

#include "foundation/DialogIntf.h"

namespace jxc {

enum class TDialogKind { Warning, Info, Error, Exception, Tip, Confirm };

// "Warning", "Info", "Error", "Exception", "Tip", "Confirm".
const char* DialogKindName(TDialogKind kind);

struct TDialogMessage {
  TDialogKind Kind = TDialogKind::Info;
  std::string Text;
  std::string Caption;  // Confirm only
  double Seconds = 0;   // Tip only
  bool Answer = false;  // Confirm only: what was answered
};

class TRecordingDialog : public IDialog {
 public:
  void ShowWarning(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowException(const std::exception& error) override;
  void ShowTip(const std::string& text, double seconds) override;
  bool Confirm(const std::string& caption, const std::string& text) override;

  // --- script ---
  // Answers for the next questions, in order (appended after those still waiting).
  void QueueAnswers(std::initializer_list<bool> answers);
  void QueueAnswer(bool answer) { answers_.push_back(answer); }
  void SetDefaultAnswer(bool answer) { defaultAnswer_ = answer; }
  int PendingAnswers() const { return static_cast<int>(answers_.size()); }

  // --- what was shown ---
  const std::vector<TDialogMessage>& Messages() const { return messages_; }
  int Count() const { return static_cast<int>(messages_.size()); }
  int Count(TDialogKind kind) const;
  // The texts of the messages of that kind, in order.
  std::vector<std::string> Texts(TDialogKind kind) const;
  // The last message; raises EInvalidOperation when nothing was shown.
  const TDialogMessage& Last() const;
  // True when a message of any kind had exactly this text.
  bool Shown(const std::string& text) const;
  void Clear() { messages_.clear(); }

 private:
  void Record(TDialogKind kind, const std::string& text);

  std::vector<TDialogMessage> messages_;
  std::deque<bool> answers_;
  bool defaultAnswer_ = false;
};

}  // namespace jxc
