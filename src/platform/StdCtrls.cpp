#include "platform/StdCtrls.h"

#include <algorithm>

#include "platform/Desktop.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Text.h"

namespace jxc {

namespace {
std::string ApplyCase(std::string text, TEditCharCase charCase) {
  switch (charCase) {
    case TEditCharCase::ecUpperCase: return UpperCase(text);
    case TEditCharCase::ecLowerCase: return LowerCase(text);
    default: return text;
  }
}
}  // namespace

// --- TButton ---------------------------------------------------------------------------------------------

void TButton::Click() {
  if (!Enabled()) return;
  TControl::Click();
  if (ModalResult != 0)
    if (TCustomForm* form = Form()) form->SetModalResult(ModalResult);
}

void TButton::CharInput(char32_t key) {
  if (key == ' ') Click();
}

// --- TCustomEdit -----------------------------------------------------------------------------------------

void TCustomEdit::SetText(std::string text) {
  text = ApplyCase(std::move(text), CharCase);
  modified_ = false;
  if (text == text_) return;
  text_ = std::move(text);
  selStart_ = std::min<int>(selStart_, static_cast<int>(CharCount(text_)));
  selLength_ = 0;
  Change();
}

void TCustomEdit::Change() {
  if (OnChange) {
    auto handler = OnChange;
    handler(*this);
  }
}

void TCustomEdit::SetSelStart(int start) {
  selStart_ = std::clamp(start, 0, static_cast<int>(CharCount(text_)));
  selLength_ = 0;
}

void TCustomEdit::SetSelLength(int length) {
  selLength_ = std::clamp(length, 0, static_cast<int>(CharCount(text_)) - selStart_);
}

void TCustomEdit::SelectAll() {
  selStart_ = 0;
  selLength_ = static_cast<int>(CharCount(text_));
}

std::string TCustomEdit::SelText() const {
  std::u32string chars = Utf8ToUtf32(text_);
  return Utf32ToUtf8(chars.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)));
}

void TCustomEdit::InsertText(std::string_view text) {
  std::u32string chars = Utf8ToUtf32(text_);
  std::u32string inserted = Utf8ToUtf32(ApplyCase(std::string(text), CharCase));
  chars.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), inserted);
  std::string next = Utf32ToUtf8(chars);
  if (MaxLength > 0 && Utf16Length(next) > static_cast<size_t>(MaxLength)) return;
  int caret = selStart_ + static_cast<int>(inserted.size());
  bool changed = next != text_;
  text_ = std::move(next);
  selStart_ = caret;
  selLength_ = 0;
  modified_ = true;
  if (changed) Change();
}

void TCustomEdit::CharInput(char32_t key) {
  if (ReadOnly) return;
  if (key == 8) {
    if (selLength_ == 0 && selStart_ > 0) {
      --selStart_;
      selLength_ = 1;
    }
    InsertText("");
    return;
  }
  if (key < 32) return;  // Enter, Esc and other control characters do not type
  std::string text;
  AppendUtf8(text, key);
  InsertText(text);
}

void TCustomEdit::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  const int length = static_cast<int>(CharCount(text_));
  switch (key) {
    case VK_HOME: SetSelStart(0); break;
    case VK_END: SetSelStart(length); break;
    case VK_LEFT: SetSelStart(selLength_ > 0 ? selStart_ : selStart_ - 1); break;
    case VK_RIGHT: SetSelStart(selLength_ > 0 ? selStart_ + selLength_ : selStart_ + 1); break;
    case VK_DELETE:
      if (ReadOnly) break;
      if (selLength_ == 0 && selStart_ < length) selLength_ = 1;
      InsertText("");
      break;
    case 'V':
      if (shift == ssCtrl) PasteFromClipboard();
      break;
    case VK_INSERT:
      if (shift == ssShift) PasteFromClipboard();
      break;
    default: break;
  }
}

void TCustomEdit::PasteFromClipboard() {
  if (ReadOnly) return;
  const std::string text = Clipboard().GetText();
  // A one-line edit takes the first line; a memo every line, each ended as its own lines are (CR LF).
  if (!dynamic_cast<TMemo*>(this)) {
    InsertText(text.substr(0, text.find_first_of("\r\n")));
    return;
  }
  std::string lines;
  lines.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      lines += text[i];
    }
  }
  InsertText(lines);
}

void TCustomEdit::ValidateEdit() {
  if (!OnValidate) {
    modified_ = false;
    return;
  }
  std::string display = text_;
  std::string errorText;
  bool error = false;
  auto handler = OnValidate;
  handler(*this, display, errorText, error);
  if (error) throw Exception(errorText.empty() ? "Invalid input value" : errorText);
  modified_ = false;
  if (display != text_) {
    text_ = ApplyCase(std::move(display), CharCase);
    Change();
  }
}

void TCustomEdit::DoExit() {
  if (modified_) ValidateEdit();
  TWinControl::DoExit();
}

// --- TMemo -----------------------------------------------------------------------------------------------

int TMemo::LineCount() const {
  int count = 1;
  for (size_t pos = Text().find("\r\n"); pos != std::string::npos; pos = Text().find("\r\n", pos + 2)) ++count;
  return count;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  if (Text().empty()) return lines;
  size_t start = 0;
  while (true) {
    size_t pos = Text().find("\r\n", start);
    if (pos == std::string::npos) {
      lines.push_back(Text().substr(start));
      break;
    }
    lines.push_back(Text().substr(start, pos - start));
    start = pos + 2;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) { SetText(JoinStrings(lines, "\r\n")); }

void TMemo::AddLine(std::string_view line) {
  // As the toolkit's Lines.Add: every line ends with a break.
  SetText(Text() + std::string(line) + "\r\n");
}

void TMemo::CharInput(char32_t key) {
  if (key == 13) {
    if (WantReturns && !ReadOnly) InsertText("\r\n");
    return;
  }
  if (key == 9) {
    if (WantTabsKey && !ReadOnly) InsertText("\t");
    return;
  }
  TCustomEdit::CharInput(key);
}

// --- check box and radio button ------------------------------------------------------------------------

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  TControl::Click();
}

void TCheckBox::Click() {
  if (!Enabled()) return;
  SetChecked(!checked_);
}

void TCheckBox::CharInput(char32_t key) {
  if (key == ' ') Click();
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (!checked) return;
  if (TWinControl* parent = Parent())
    for (TControl* sibling : parent->ChildControls())
      if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this) radio->SetChecked(false);
  TControl::Click();
}

void TRadioButton::Click() {
  if (!Enabled()) return;
  if (checked_)
    TControl::Click();
  else
    SetChecked(true);
}

// --- TComboBox -------------------------------------------------------------------------------------------

void TComboBox::AddItem(std::string text, Variant value) {
  items_.push_back(std::move(text));
  values_.push_back(std::move(value));
}

void TComboBox::ClearItems() {
  items_.clear();
  values_.clear();
  itemIndex_ = -1;
}

int TComboBox::IndexOf(std::string_view text) const {
  auto it = std::find(items_.begin(), items_.end(), text);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= ItemCount()) throw EArgumentError("List index out of bounds (" + std::to_string(index) + ")");
  itemIndex_ = index;
  TCustomEdit::SetText(index < 0 ? std::string() : items_[static_cast<size_t>(index)]);
}

void TComboBox::SetText(std::string text) {
  if (Style == TComboBoxStyle::csDropDownList) {
    int index = IndexOf(text);
    itemIndex_ = index;
    TCustomEdit::SetText(index < 0 ? std::string() : std::move(text));
    return;
  }
  itemIndex_ = IndexOf(text);
  TCustomEdit::SetText(std::move(text));
}

void TComboBox::CharInput(char32_t key) {
  if (Style == TComboBoxStyle::csDropDownList) return;
  TCustomEdit::CharInput(key);
  itemIndex_ = IndexOf(Text());
}

// --- page control ----------------------------------------------------------------------------------------

TTabSheet::~TTabSheet() {
  BeginDestroy();
  SetPageControl(nullptr);
}

void TTabSheet::SetPageControl(TPageControl* control) {
  if (control == pageControl_) return;
  if (pageControl_) {
    auto& pages = pageControl_->pages_;
    pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
    if (pageControl_->active_ == this) pageControl_->active_ = pages.empty() ? nullptr : pages.front();
  }
  pageControl_ = control;
  if (control) {
    control->pages_.push_back(this);
    if (!control->active_) control->active_ = this;
  }
  SetParent(control);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

TPageControl::~TPageControl() {
  BeginDestroy();
  // Sheets placed here are freed with the control's children; forget them first.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  active_ = nullptr;
}

TTabSheet* TPageControl::AddPage(std::string caption, TComponent* owner) {
  auto* page = new TTabSheet(owner ? owner : Owner());
  page->SetCaption(std::move(caption));
  page->SetPageControl(this);
  return page;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() != this) return;
  if (page == active_) return;
  active_ = page;
  if (OnChange) {
    auto handler = OnChange;
    handler(*this);
  }
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

}  // namespace jxc
