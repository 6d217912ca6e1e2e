#pragma once
// Edits for values: whole numbers (spin edit), money and prices (currency edit) and dates (date edit).
// Each keeps its value and shows it as text; what the user types becomes the value when the edit is left
// or its pending edit is posted (ValidateEdit): first the edit's own OnValidate may refuse it, then text
// that is no value of the kind is refused with the conversion error, and the value stays as it was.

#include <string>

#include "platform/DateTime.h"
#include "platform/StdCtrls.h"
#include "platform/Variant.h"

namespace jxc {

class TSpinEdit : public TCustomEdit {
 public:
  explicit TSpinEdit(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TSpinEdit"; }

  int Value() const { return value_; }
  // Kept within MinValue..MaxValue (both included) when MaxValue is above MinValue.
  void SetValue(int value);
  int MinValue = 0;
  int MaxValue = 0;
  int Increment = 1;
  void ValidateEdit() override;

 protected:
  void KeyDown(int& key, TShiftState shift) override;  // Up and Down step by Increment

 private:
  int value_ = 0;
};

class TCurrencyEdit : public TCustomEdit {
 public:
  explicit TCurrencyEdit(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TCurrencyEdit"; }

  double Value() const { return value_; }
  // The text becomes the value formatted with DisplayFormat (FormatFloat; empty: the plain number).
  void SetValue(double value);
  // Null when the edit is empty.
  Variant EditValue() const { return Text().empty() ? Variant::Null() : Variant(value_); }
  std::string DisplayFormat = ",0.00;-,0.00";
  void ValidateEdit() override;

 private:
  double value_ = 0;
};

// A date editor. A fresh editor holds no date: EditValue is null and Date() the zero date-time.
class TDateEdit : public TCustomEdit {
 public:
  explicit TDateEdit(TComponent* owner = nullptr) : TCustomEdit(owner) {}
  std::string ClassName() const override { return "TDateEdit"; }

  TDateTime Date() const { return date_; }
  // Kept within MinDate..MaxDate (both included; a zero bound is no bound); the text is "yyyy-mm-dd".
  void SetDate(TDateTime date);
  Variant EditValue() const { return hasDate_ ? Variant(date_) : Variant::Null(); }
  // Null or empty clears the editor.
  void SetEditValue(const Variant& value);
  TDateTime MinDate;
  TDateTime MaxDate;
  void ValidateEdit() override;

 private:
  TDateTime date_;
  bool hasDate_ = false;
};

}  // namespace jxc
