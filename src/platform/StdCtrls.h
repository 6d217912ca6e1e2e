#pragma once
// The plain controls of the screens: labels, buttons, edits and memos, check boxes and radio buttons,
// combo boxes, panels, group boxes, splitters, images and page controls. Typing reaches an edit through
// the key routing of Controls.h; setting Text in code changes it directly. Both run OnChange when the text
// changes.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"
#include "platform/Variant.h"

namespace jxc {

class TLabel : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "TLabel"; }
  TAlignment Alignment = TAlignment::taLeftJustify;
};

class TImage : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "TImage"; }
  int ImageIndex = -1;
};

class TSplitter : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "TSplitter"; }
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner = nullptr) : TWinControl(owner) { TabStop = true; }
  std::string ClassName() const override { return "TButton"; }
  // A button with a modal result gives it to its form when clicked (which ends a modal loop).
  int ModalResult = 0;
  void Click() override;

 protected:
  void CharInput(char32_t key) override;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner = nullptr) : TWinControl(owner) { TabStop = true; }
  std::string ClassName() const override { return "TCustomEdit"; }

  const std::string& Text() const { return text_; }
  // Applies CharCase; runs OnChange when the text changes. ReadOnly does not stop code from writing.
  virtual void SetText(std::string text);
  bool ReadOnly = false;
  int MaxLength = 0;  // characters (UTF-16 code units); 0: no limit. Applies to typing only.
  std::string TextHint;
  TEditCharCase CharCase = TEditCharCase::ecNormal;

  // Selection in characters (code points) of the text.
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelStart(int start);
  void SetSelLength(int length);
  void SelectAll();
  std::string SelText() const;

  std::function<void(TCustomEdit& sender)> OnChange;
  // Runs when the edit is left or its pending edit is posted: the handler may change the display value,
  // or set error to refuse it with errorText.
  std::function<void(TCustomEdit& sender, std::string& displayValue, std::string& errorText, bool& error)> OnValidate;
  // Runs OnValidate on the current text; a refusal raises an Exception with the error text (the toolkit's
  // default "Invalid input value" when the handler gave none) and leaves the text as the user typed it.
  virtual void ValidateEdit();
  // Whether the user changed the text since it was last set in code or validated.
  bool Modified() const { return modified_; }
  // What Ctrl+V and Shift+Insert do: the clipboard's text replaces the selection, as if typed (a one-line
  // edit takes its first line). Nothing in a read-only edit.
  void PasteFromClipboard();

 protected:
  void CharInput(char32_t key) override;
  // Home, End, Left, Right move the caret; Delete removes the selection or the character after it.
  void KeyDown(int& key, TShiftState shift) override;
  void DoExit() override;
  virtual void Change();
  void SetModified(bool modified) { modified_ = modified; }
  // Replaces the selection with the characters, as typing does.
  void InsertText(std::string_view text);

 private:
  std::string text_;
  int selStart_ = 0;
  int selLength_ = 0;
  bool modified_ = false;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  std::string ClassName() const override { return "TEdit"; }
};

// A multi-line memo editor. Lines are separated by CR LF; the line count is the number of line breaks
// plus one, so a text ending with a line break counts the empty line after it. Enter breaks the line.
class TMemo : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  std::string ClassName() const override { return "TMemo"; }

  bool WantReturns = true;
  bool WantTabsKey = false;
  bool WantTabs() const override { return WantTabsKey; }

  int LineCount() const;
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  void AddLine(std::string_view line);
  void ClearLines() { SetText(""); }

 protected:
  void CharInput(char32_t key) override;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner = nullptr) : TWinControl(owner) { TabStop = true; }
  std::string ClassName() const override { return "TCheckBox"; }

  bool Checked() const { return checked_; }
  // Runs OnClick when the state changes (also when set in code, as the toolkit does).
  void SetChecked(bool checked);
  // A user's click toggles the box.
  void Click() override;

 protected:
  void CharInput(char32_t key) override;

 private:
  bool checked_ = false;
};

// Checking a radio button unchecks the other radio buttons of the same parent.
class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner = nullptr) : TWinControl(owner) { TabStop = true; }
  std::string ClassName() const override { return "TRadioButton"; }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click() override;

 private:
  bool checked_ = false;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

// Items with optional values; ItemIndex follows the text (-1 when it is no item).
class TComboBox : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  std::string ClassName() const override { return "TComboBox"; }

  TComboBoxStyle Style = TComboBoxStyle::csDropDown;
  int DropDownCount = 8;

  int ItemCount() const { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& Items() const { return items_; }
  const std::string& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  const Variant& ItemValue(int index) const { return values_.at(static_cast<size_t>(index)); }
  void AddItem(std::string text, Variant value = Variant());
  void ClearItems();
  // Position of the item with exactly that text, -1 when none.
  int IndexOf(std::string_view text) const;

  int ItemIndex() const { return itemIndex_; }
  // Selects the item (its text becomes the text; -1 empties it); runs OnChange when the text changes.
  void SetItemIndex(int index);
  void SetText(std::string text) override;

 protected:
  void CharInput(char32_t key) override;

 private:
  std::vector<std::string> items_;
  std::vector<Variant> values_;
  int itemIndex_ = -1;
};

class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TPanel"; }
};

// A group box may show a check box in its caption.
class TGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TGroupBox"; }
  struct {
    bool Visible = false;
    bool Checked = false;
  } CheckBox;
};

class TPageControl;

class TTabSheet : public TWinControl {
 public:
  using TWinControl::TWinControl;
  ~TTabSheet() override;
  std::string ClassName() const override { return "TTabSheet"; }
  TPageControl* PageControl() const { return pageControl_; }
  // Places the sheet as the last page of the control (and parents it there).
  void SetPageControl(TPageControl* control);
  int PageIndex() const;
  bool TabVisible = true;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner = nullptr) : TWinControl(owner) { TabStop = true; }
  ~TPageControl() override;
  std::string ClassName() const override { return "TPageControl"; }

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  // A new sheet owned by owner (null: the page control's owner) with the caption, as the last page.
  TTabSheet* AddPage(std::string caption, TComponent* owner = nullptr);

  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  std::function<void(TPageControl& sender)> OnChange;

 private:
  friend class TTabSheet;
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};

}  // namespace jxc
