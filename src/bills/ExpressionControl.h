#pragma once
// The package's own edit controls.
//
// Condition value editors: the query designer creates one by its registered class name for the field
// the user picks, places it in its editor panel and reads the condition's value and shown text from it,
// all through IBinding. The serial-number editor insists on five characters at least, as serial numbers
// are searched everywhere.
//
// TPopupModbileModeNO: the in-place editor of a bill's serial-number column. It drops down the in-stock
// units of the row's product (of the bill's shop when the bill names one), narrows them 300 ms after the
// last keystroke to the rows whose serial number or product name holds the typed text (without case;
// every character, % and _ too, stands for itself), and when the user picks a unit fills the detail row
// from it by the bill kind, gives the serial number to the bill's own text handler and appends the next
// row. A unit the bill refuses leaves the row as it was.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/DBCtrls.h"
#include "platform/GridInplaceEdit.h"
#include "platform/StdCtrls.h"
#include "platform/ValueEdits.h"
#include "platform/Variant.h"

namespace jxc {

class ICache;
class ICacheItem;
class TClientDataSet;

// How the query designer drives a condition value editor.
class IBinding {
 public:
  static constexpr const char* IID = "{B4548B33-1E97-4491-8529-7ED338DE7368}";
  virtual ~IBinding() = default;
  // Prepares the editor; params is the condition's parameter text (a table name for lookup editors).
  virtual void DoInit(const std::string& params) = 0;
  // Places the editor in the container: it fills it and takes the focus when it can.
  virtual void DoShow(TWinControl* container) = 0;
  virtual void DoHide() = 0;
  // The condition's value; raises the editor's complaint when what was entered cannot be one.
  virtual Variant DoGetValue() = 0;
  // The text shown for the condition ("" when nothing was entered).
  virtual std::string DoGetDisplayValue() = 0;
};

// A date condition. Starts on today's date; the value is the date as "yyyy-mm-dd" text, the same in
// every locale, as it goes into SQL.
class TExpressionDateEdit : public TDateEdit, public IBinding {
 public:
  explicit TExpressionDateEdit(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TExpressionDateEdit"; }
  void DoInit(const std::string& params) override;
  void DoShow(TWinControl* container) override;
  void DoHide() override {}
  Variant DoGetValue() override;
  std::string DoGetDisplayValue() override;
};

// The start of a period: a week before today.
class TStartDateEdit : public TExpressionDateEdit {
 public:
  using TExpressionDateEdit::TExpressionDateEdit;
  std::string ClassName() const override { return "TStartDateEdit"; }
  void DoInit(const std::string& params) override;
};

// A yes/no condition: 1 or 0, shown "是" or "否".
class TExpressionCheckBox : public TCheckBox, public IBinding {
 public:
  using TCheckBox::TCheckBox;
  std::string ClassName() const override { return "TExpressionCheckBox"; }
  void DoInit(const std::string& params) override;
  void DoShow(TWinControl* container) override;
  void DoHide() override;
  Variant DoGetValue() override;
  std::string DoGetDisplayValue() override;
};

class TExpressionTextEdit : public TEdit, public IBinding {
 public:
  using TEdit::TEdit;
  std::string ClassName() const override { return "TExpressionTextEdit"; }
  void DoInit(const std::string& params) override;
  void DoShow(TWinControl* container) override;
  void DoHide() override;
  // The text, after the pending edit is posted.
  Variant DoGetValue() override;
  std::string DoGetDisplayValue() override;
};

// A serial-number condition: the whole number or its last digits, five characters at least (blanks
// around it do not count).
class TTextEditModeNO : public TExpressionTextEdit {
 public:
  using TExpressionTextEdit::TExpressionTextEdit;
  std::string ClassName() const override { return "TTextEditModeNO"; }
  static constexpr int MinLength = 5;
  void DoInit(const std::string& params) override;
  // Raises "请输入5位以上串码" when fewer than five characters were entered.
  Variant DoGetValue() override;
  std::string DoGetDisplayValue() override;
};

class TExpressionCurrencyEdit : public TCurrencyEdit, public IBinding {
 public:
  using TCurrencyEdit::TCurrencyEdit;
  std::string ClassName() const override { return "TExpressionCurrencyEdit"; }
  void DoInit(const std::string& params) override;
  void DoShow(TWinControl* container) override;
  void DoHide() override;
  // The number (floating point), after the pending edit is posted.
  Variant DoGetValue() override;
  std::string DoGetDisplayValue() override;
};

// A condition on a row of a look-up list (F_ID, F_NAME, F_PY) of the host's cache; the value is the
// chosen row's F_ID, the text its F_NAME. The list comes from the cache service registered with the host.
class TExpressionLookupCombobox : public TLookupComboBox, public IBinding {
 public:
  explicit TExpressionLookupCombobox(TComponent* owner = nullptr);
  ~TExpressionLookupCombobox() override;
  std::string ClassName() const override { return "TExpressionLookupCombobox"; }
  // The parameter names the table or view listed (a plain name; anything else is refused).
  void DoInit(const std::string& params) override;
  void DoShow(TWinControl* container) override;
  void DoHide() override;
  Variant DoGetValue() override;
  std::string DoGetDisplayValue() override;

 protected:
  // The cache registered with the host; raises when there is none.
  std::shared_ptr<ICache> Cache() const;
  // Points a fresh data source of the editor at the list.
  void UseList(TDataSet& list);
  TDataSource* FDataSource = nullptr;

 private:
  std::shared_ptr<ICacheItem> item_;
};

// The cache's product, customer, supplier and employee lists.
class TPopupProductEdit : public TExpressionLookupCombobox {
 public:
  using TExpressionLookupCombobox::TExpressionLookupCombobox;
  std::string ClassName() const override { return "TPopupProductEdit"; }
  void DoInit(const std::string& params) override;
};

class TPopupCustomer : public TExpressionLookupCombobox {
 public:
  using TExpressionLookupCombobox::TExpressionLookupCombobox;
  std::string ClassName() const override { return "TPopupCustomer"; }
  void DoInit(const std::string& params) override;
};

class TPopupSupplier : public TExpressionLookupCombobox {
 public:
  using TExpressionLookupCombobox::TExpressionLookupCombobox;
  std::string ClassName() const override { return "TPopupSupplier"; }
  void DoInit(const std::string& params) override;
};

class TPopupEmployeeEdit : public TExpressionLookupCombobox {
 public:
  using TExpressionLookupCombobox::TExpressionLookupCombobox;
  std::string ClassName() const override { return "TPopupEmployeeEdit"; }
  void DoInit(const std::string& params) override;
};

// Registers the condition value editors by class name (the query screens do so when they start), and
// removes them again.
void RegisterExpressionControls();
void UnRegisterExpressionControls();

// --- the serial-number column of a bill -----------------------------------------------------------------

class TPopupModbileModeNO;

// What the serial editors of one column share: the drop-down's list source and the list of in-stock units
// of the product last dropped down, kept between drop-downs of the same product and shop until the bill
// asks for it to be read again (Reread, after it saved, audited or deleted a bill).
class TPopupModbileModeNOProperties {
 public:
  // The cache null: the one registered with the host.
  explicit TPopupModbileModeNOProperties(std::shared_ptr<ICache> cache = nullptr);
  ~TPopupModbileModeNOProperties();
  TPopupModbileModeNOProperties(const TPopupModbileModeNOProperties&) = delete;
  TPopupModbileModeNOProperties& operator=(const TPopupModbileModeNOProperties&) = delete;

  // Puts the serial editor on the column: its cells are edited by TPopupModbileModeNO and show the
  // serial number itself. Returns the column's shared properties.
  static std::shared_ptr<TPopupModbileModeNOProperties> Assign(TGridColumn& column,
                                                               std::shared_ptr<ICache> cache = nullptr);

  // The shop whose units are listed (0: every shop); asked at each drop-down.
  std::function<int64_t()> OnGetShopID;
  // The bill's check of a serial number before a row takes it (raises to refuse, as a duplicate).
  std::function<void(const std::string& modeNO)> OnCheckModeNO;

  TDataSource* ListSource() const { return listSource_; }
  // The in-stock units of the product (of the shop the bill names), read through the cache when no list
  // of that product and shop is kept or a re-read was asked for. A failed read raises and keeps the list
  // there was.
  TDataSet& GetModeNOList(const std::string& productID);
  // The next drop-down reads the list again.
  void Reread() { stale_ = true; }
  // The text a cell shows for a key: the serial number itself ("" for what is no text).
  static std::string GetDisplayLookupText(const Variant& key);

 private:
  std::shared_ptr<ICache> cache_;
  TDataSource* listSource_ = nullptr;
  std::unique_ptr<TClientDataSet> list_;
  std::string listProduct_;
  int64_t listShop_ = 0;
  bool stale_ = true;
};

class TPopupModbileModeNO : public TGridInplaceLookupEdit {
 public:
  TPopupModbileModeNO(TGridColumn& column, std::shared_ptr<TPopupModbileModeNOProperties> properties);
  ~TPopupModbileModeNO() override;
  std::string ClassName() const override { return "TPopupModbileModeNO"; }

  TPopupModbileModeNOProperties& ModeNOProperties() const { return *properties_; }
  static constexpr int FilterTimerID = 0x501;
  static constexpr int FilterPause = 300;  // milliseconds after the last keystroke

  // Raised after the list closed when the edit value differs from the one it had when the list opened.
  using TEditValueChangedEvent = std::function<void(TPopupModbileModeNO& sender)>;
  const TEditValueChangedEvent& OnEditValueChanged() const { return FOnEditValueChanged; }
  void SetOnEditValueChanged(TEditValueChangedEvent handler) { FOnEditValueChanged = std::move(handler); }
  // The name of the class holding what the column's editors share.
  static std::string GetPropertiesClass() { return "TPopupModbileModeNOProperties"; }
  std::string GetDisplayLookupText(const Variant& key) const override;

  // The fields of the list that typing searches, built lazily against the current list.
  const std::vector<TField*>& GetFieldList();
  void UpdateFilterFields();

 protected:
  void DoInitPopup() override;
  void DoCloseUp(bool accepted) override;
  // However the list closes (also with the editor, without a close-up), the typing pause ends and the
  // list keeps no filter of ours.
  void DoCloseDropDown(bool accept) override;
  void DoChange() override;
  void WMTimer(int id) override;

 private:
  void _FilterListSource();
  void _OnFilterRecord(TDataSet& dataSet, bool& accept);
  // Filtering of the list off and its handler gone.
  void StopFiltering();
  // Fills the detail row from the list's current unit and gives the key to the bill's text handler;
  // on any error the row is put back as it was.
  void FillRow(TDataSet& detail, TDataSet& list, const Variant& key);

  std::shared_ptr<TPopupModbileModeNOProperties> properties_;
  TField* FProduct = nullptr;
  TField* FModeNO = nullptr;
  std::unique_ptr<std::vector<TField*>> FFieldList;
  std::string FFindText;
  Variant FOldEditValue = Variant::Null();
  TEditValueChangedEvent FOnEditValueChanged;
  TDataSet* filtering_ = nullptr;  // the list whose filter handler is this editor's
};

}  // namespace jxc
