#pragma once
// Data-aware controls: each shows one field of the current record of a data source's dataset and writes
// what the user enters back into it.
//
// Showing: the control's text (or check state, or date) follows the field whenever the record, the field
// or the dataset changes. Writing: the first keystroke puts the dataset into edit, but only where the data
// source allows it (AutoEdit); otherwise the keystroke is refused, as it is in a read-only control or on a
// read-only field. The typed text reaches the field through its text entry (SetText, so set-text handlers
// run) when the control is left, when its pending edit is posted (ValidateEdit), and before the dataset
// posts the record. A field that refuses the text raises; the control keeps the text and the focus.
//
// The lookup combo boxes choose a row of a list dataset (ListSource) by its key (KeyFieldNames) and show
// the row's ListFieldNames field (the ListFieldIndex-th of them).

#include <functional>
#include <string>

#include "platform/DataSource.h"
#include "platform/StdCtrls.h"
#include "platform/ValueEdits.h"

namespace jxc {

// The link of one control to one field.
class TFieldDataLink : public TDataLink {
 public:
  TFieldDataLink() = default;

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name);
  // The field of the linked dataset, null when closed or not found.
  TField* Field() const { return field_; }

  // Whether the user may change the field now (an open dataset already editing, or one the data source
  // may put into edit; a field that is not read-only).
  bool CanModify() const;
  // Puts the dataset into edit when allowed; true when it is in edit or insert state afterwards.
  bool Edit();

  std::function<void()> OnDataChange;   // show the field again
  std::function<void()> OnUpdateData;   // write the pending edit into the field
  std::function<void()> OnFocusControl; // the field asks its control to take the focus
  std::function<void()> OnActiveChange;

 protected:
  void DataEvent(TDataEvent event, TField* field) override;
  void DataSourceChanged() override { Resolve(); }

 private:
  void Resolve();
  std::string fieldName_;
  TField* field_ = nullptr;
};

// The binding every data-aware control carries: the data source and the field name.
template <class Control>
class TDBControl : public Control {
 public:
  explicit TDBControl(TComponent* owner = nullptr) : Control(owner) {
    link_.OnDataChange = [this] { LoadFromField(); };
    link_.OnUpdateData = [this] { UpdateData(); };
    link_.OnFocusControl = [this] {
      if (this->CanFocus()) this->SetFocus();
    };
  }
  ~TDBControl() override { link_.SetDataSource(nullptr); }

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    LoadFromField();
  }
  const std::string& DataField() const { return link_.FieldName(); }
  void SetDataField(std::string name) {
    link_.SetFieldName(std::move(name));
    LoadFromField();
  }
  TField* Field() const { return link_.Field(); }
  TFieldDataLink& DataLink() { return link_; }

 protected:
  // Shows the field's value of the current record.
  virtual void LoadFromField() = 0;
  // Writes the pending edit into the field.
  virtual void UpdateData() = 0;

  TFieldDataLink link_;
};

// An edit-like data-aware control: typing is refused unless the field may be changed, and the pending
// edit reaches the field through its text entry.
template <class Edit>
class TDBTextControl : public TDBControl<Edit> {
 public:
  using TDBControl<Edit>::TDBControl;

  void ValidateEdit() override {
    bool pending = this->Modified();
    Edit::ValidateEdit();
    TField* field = this->Field();
    if (!pending || !field) return;
    try {
      if (!this->link_.Edit()) return;
      field->SetText(FieldText());
    } catch (...) {
      this->SetModified(true);  // still pending: the next exit or post tries again
      throw;
    }
    this->SetModified(false);
  }

 protected:
  // The text handed to the field's text entry.
  virtual std::string FieldText() const { return this->Text(); }
  void CharInput(char32_t key) override {
    bool typing = key >= 32 || key == 8;
    if (typing && (this->ReadOnly || !this->link_.CanModify() || !this->link_.Edit())) return;
    Edit::CharInput(key);
  }
  void KeyDown(int& key, TShiftState shift) override {
    if (key == VK_DELETE && (this->ReadOnly || !this->link_.CanModify() || !this->link_.Edit())) key = 0;
    Edit::KeyDown(key, shift);
  }
  void UpdateData() override {
    if (this->Modified()) ValidateEdit();
  }
};

class TDBEdit : public TDBTextControl<TEdit> {
 public:
  using TDBTextControl<TEdit>::TDBTextControl;
  std::string ClassName() const override { return "TDBEdit"; }

 protected:
  void LoadFromField() override;
};

class TDBMemo : public TDBTextControl<TMemo> {
 public:
  using TDBTextControl<TMemo>::TDBTextControl;
  std::string ClassName() const override { return "TDBMemo"; }

 protected:
  void LoadFromField() override;
};

class TDBCurrencyEdit : public TDBTextControl<TCurrencyEdit> {
 public:
  using TDBTextControl<TCurrencyEdit>::TDBTextControl;
  std::string ClassName() const override { return "TDBCurrencyEdit"; }

 protected:
  void LoadFromField() override;
  std::string FieldText() const override;
};

class TDBDateEdit : public TDBTextControl<TDateEdit> {
 public:
  using TDBTextControl<TDateEdit>::TDBTextControl;
  std::string ClassName() const override { return "TDBDateEdit"; }

 protected:
  void LoadFromField() override;
  std::string FieldText() const override;
};

// Checked follows the field's boolean value; a click writes it at once.
class TDBCheckBox : public TDBControl<TCheckBox> {
 public:
  using TDBControl<TCheckBox>::TDBControl;
  std::string ClassName() const override { return "TDBCheckBox"; }
  void Click() override;

 protected:
  void LoadFromField() override;
  void UpdateData() override {}
};

// A combo box whose entries are the rows of a list dataset.
class TLookupComboBox : public TCustomEdit {
 public:
  explicit TLookupComboBox(TComponent* owner = nullptr);
  ~TLookupComboBox() override;
  std::string ClassName() const override { return "TLookupComboBox"; }

  TDataSource* ListSource() const { return list_.DataSource(); }
  void SetListSource(TDataSource* source);
  std::string KeyFieldNames;
  std::string ListFieldNames;  // ";"-separated
  int ListFieldIndex = 0;
  int DropDownRows = 12;
  bool DropDownListStyle = false;  // true: only list entries may be chosen

  // The chosen row's key; null when none.
  const Variant& EditValue() const { return editValue_; }
  // Chooses the row with that key (null: none); the text becomes the row's list field (empty when no row
  // has that key). Runs OnEditValueChanged when the key changes.
  virtual void SetEditValue(const Variant& key);
  // Chooses the list row at the 0-based position (as picking it in the drop-down).
  void SelectListRow(int row);
  // The list field shown (ListFieldNames' ListFieldIndex-th name).
  std::string ListFieldName() const;

  std::function<void(TLookupComboBox& sender)> OnEditValueChanged;
  // Typed text picks the first row whose list field equals it; text matching no row leaves no key.
  void ValidateEdit() override;

 protected:
  void CharInput(char32_t key) override;
  void RefreshText();

 private:
  TFieldDataLink list_;
  Variant editValue_ = Variant::Null();
};

// A lookup combo box bound to a key field of another dataset.
// Choosing a row writes its key into the field at once (through the field's text entry).
class TDBLookupComboBox : public TDBControl<TLookupComboBox> {
 public:
  using TDBControl<TLookupComboBox>::TDBControl;
  std::string ClassName() const override { return "TDBLookupComboBox"; }
  void SetEditValue(const Variant& key) override;

 protected:
  void CharInput(char32_t key) override;
  void LoadFromField() override;
  void UpdateData() override {}

 private:
  bool loading_ = false;
};

}  // namespace jxc
