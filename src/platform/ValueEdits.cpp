#include "platform/ValueEdits.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

// --- TSpinEdit -------------------------------------------------------------------------------------------

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) { TCustomEdit::SetText("0"); }

void TSpinEdit::SetValue(int value) {
  if (MaxValue > MinValue) value = std::clamp(value, MinValue, MaxValue);
  value_ = value;
  SetText(std::to_string(value));
}

void TSpinEdit::ValidateEdit() {
  TCustomEdit::ValidateEdit();
  SetValue(Trim(Text()).empty() ? 0 : StrToInt(Text()));
}

void TSpinEdit::KeyDown(int& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (ReadOnly) return;
  if (key == VK_UP || key == VK_DOWN) {
    if (Modified()) ValidateEdit();
    SetValue(value_ + (key == VK_UP ? Increment : -Increment));
    key = 0;
  }
}

// --- TCurrencyEdit ---------------------------------------------------------------------------------------

TCurrencyEdit::TCurrencyEdit(TComponent* owner) : TCustomEdit(owner) { SetValue(0); }

void TCurrencyEdit::SetValue(double value) {
  value_ = value;
  SetText(DisplayFormat.empty() ? FloatToStr(value) : FormatFloat(DisplayFormat, value));
}

void TCurrencyEdit::ValidateEdit() {
  TCustomEdit::ValidateEdit();
  std::string text = StringReplace(Trim(Text()), ",", "");
  if (text.empty()) {
    value_ = 0;
    SetText("");
    return;
  }
  SetValue(StrToFloat(text));
}

// --- TDateEdit -------------------------------------------------------------------------------------------

void TDateEdit::SetDate(TDateTime date) {
  if (MinDate.Value() != 0 && date < MinDate) date = MinDate;
  if (MaxDate.Value() != 0 && date > MaxDate) date = MaxDate;
  date_ = date;
  hasDate_ = true;
  SetText(DateToStr(date));
}

void TDateEdit::SetEditValue(const Variant& value) {
  if (value.IsNullOrEmpty() || (value.IsString() && Trim(value.ToString()).empty())) {
    date_ = TDateTime();
    hasDate_ = false;
    SetText("");
    return;
  }
  SetDate(value.AsDateTime());
}

void TDateEdit::ValidateEdit() {
  TCustomEdit::ValidateEdit();
  std::string text = Trim(Text());
  if (text.empty())
    SetEditValue(Variant::Null());
  else
    SetDate(StrToDateTime(text));
}

}  // namespace jxc
