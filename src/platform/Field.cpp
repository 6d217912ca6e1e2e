#include "platform/Field.h"

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case ftUnknown: return "Unknown";
    case ftString: return "String";
    case ftWideString: return "WideString";
    case ftMemo: return "Memo";
    case ftWideMemo: return "WideMemo";
    case ftFixedChar: return "FixedChar";
    case ftGuid: return "Guid";
    case ftSmallint: return "Smallint";
    case ftInteger: return "Integer";
    case ftWord: return "Word";
    case ftAutoInc: return "AutoInc";
    case ftLargeint: return "Largeint";
    case ftBoolean: return "Boolean";
    case ftFloat: return "Float";
    case ftCurrency: return "Currency";
    case ftBCD: return "BCD";
    case ftFMTBcd: return "FMTBcd";
    case ftDate: return "Date";
    case ftTime: return "Time";
    case ftDateTime: return "DateTime";
    case ftTimeStamp: return "TimeStamp";
    case ftVariant: return "Variant";
    case ftBlob: return "Blob";
  }
  return "Unknown";
}

bool IsStringFieldType(TFieldType type) {
  return type == ftString || type == ftWideString || type == ftFixedChar || type == ftGuid || type == ftMemo ||
         type == ftWideMemo;
}

bool IsIntegerFieldType(TFieldType type) {
  return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc || type == ftLargeint;
}

bool IsNumericFieldType(TFieldType type) {
  return IsIntegerFieldType(type) || type == ftFloat || type == ftCurrency || type == ftBCD || type == ftFMTBcd;
}

bool IsDateTimeFieldType(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime || type == ftTimeStamp;
}

Variant ConvertToFieldType(const Variant& value, TFieldType type, std::string_view fieldName) {
  if (value.IsNullOrEmpty()) return Variant::Null();
  if (IsStringFieldType(type)) return value.IsString() ? value : Variant(value.ToString());
  if (type == ftVariant || type == ftUnknown || type == ftBlob) return value;
  if (value.IsString() && Trim(value.Get<std::string>()).empty()) return Variant::Null();
  try {
    switch (type) {
      case ftSmallint:
      case ftInteger:
      case ftWord:
      case ftAutoInc: return value.Holds<int32_t>() ? value : Variant(static_cast<int>(value.AsInteger()));
      case ftLargeint: return value.Holds<int64_t>() ? value : Variant(static_cast<long long>(value.AsInt64()));
      case ftBoolean: return value.Holds<bool>() ? value : Variant(value.AsBoolean());
      case ftFloat: return value.Holds<double>() ? value : Variant(value.AsDouble());
      case ftCurrency:
      case ftBCD:
      case ftFMTBcd: return value.Holds<Currency>() ? value : Variant(value.AsCurrency());
      case ftDate:
      case ftTime:
      case ftDateTime:
      case ftTimeStamp: return value.Holds<TDateTime>() ? value : Variant(value.AsDateTime());
      default: return value;
    }
  } catch (const EConvertError& e) {
    throw EConvertError("Invalid value for field '" + std::string(fieldName) + "': " + e.Message());
  } catch (const EOverflow& e) {
    throw EConvertError("Invalid value for field '" + std::string(fieldName) + "': " + e.Message());
  }
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, int size, bool required) {
  items_.push_back(TFieldDef{std::move(name), type, size, required});
  return items_.back();
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (SameText(items_[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

// --- TField ------------------------------------------------------------------------------------------------------

TField::TField(TDataSet& dataSet, int index, TFieldDef def)
    : Required(def.Required), dataSet_(dataSet), index_(index), def_(std::move(def)) {}

bool TField::IsNull() const { return dataSet_.CurrentValue(index_).IsNullOrEmpty(); }

Variant TField::Value() const {
  Variant v = dataSet_.CurrentValue(index_);
  return v.IsEmpty() ? Variant::Null() : v;
}

std::string TField::AsString() const {
  const Variant v = dataSet_.CurrentValue(index_);
  if (v.IsNullOrEmpty()) return std::string();
  if (v.IsString()) return v.Get<std::string>();
  if (def_.DataType == ftDate && v.Holds<TDateTime>()) return DateToStr(v.Get<TDateTime>());
  if (def_.DataType == ftTime && v.Holds<TDateTime>()) return TimeToStr(v.Get<TDateTime>());
  return v.ToString();
}

int32_t TField::AsInteger() const {
  const Variant v = dataSet_.CurrentValue(index_);
  return v.IsNullOrEmpty() ? 0 : v.AsInteger();
}

int64_t TField::AsLargeInt() const {
  const Variant v = dataSet_.CurrentValue(index_);
  return v.IsNullOrEmpty() ? 0 : v.AsInt64();
}

double TField::AsFloat() const {
  const Variant v = dataSet_.CurrentValue(index_);
  return v.IsNullOrEmpty() ? 0.0 : v.AsDouble();
}

Currency TField::AsCurrency() const {
  const Variant v = dataSet_.CurrentValue(index_);
  return v.IsNullOrEmpty() ? Currency() : v.AsCurrency();
}

TDateTime TField::AsDateTime() const {
  const Variant v = dataSet_.CurrentValue(index_);
  return v.IsNullOrEmpty() ? TDateTime() : v.AsDateTime();
}

bool TField::AsBoolean() const {
  const Variant v = dataSet_.CurrentValue(index_);
  return v.IsNullOrEmpty() ? false : v.AsBoolean();
}

std::string TField::Text() const {
  if (OnGetText) {
    std::string text = AsString();
    OnGetText(const_cast<TField&>(*this), text, false);
    return text;
  }
  return AsString();
}

std::string TField::DisplayText() const {
  if (OnGetText) {
    std::string text = AsString();
    OnGetText(const_cast<TField&>(*this), text, true);
    return text;
  }
  if (!DisplayFormat.empty() && !IsNull()) {
    if (def_.DataType == ftCurrency || def_.DataType == ftBCD || def_.DataType == ftFMTBcd) return FormatCurr(DisplayFormat, AsCurrency());
    if (IsNumericFieldType(def_.DataType)) return FormatFloat(DisplayFormat, AsFloat());
    if (IsDateTimeFieldType(def_.DataType)) return FormatDateTime(DisplayFormat, AsDateTime());
  }
  return AsString();
}

Variant TField::Convert(const Variant& value) const { return ConvertToFieldType(value, def_.DataType, def_.Name); }

void TField::Store(Variant converted) {
  const TDataSetState state = dataSet_.State();
  if (state != dsEdit && state != dsInsert) {
    const std::string owner = dataSet_.Name().empty() ? std::string() : dataSet_.Name() + ": ";
    throw EDatabaseError(owner + "Dataset not in edit or insert mode");
  }
  if (ReadOnly) throw EDatabaseError("Field '" + def_.Name + "' cannot be modified");
  ++writeSerial_;
  // A write from inside this field's own OnValidate is stored without validating again.
  if (OnValidate && writeDepth_ == 0) {
    Variant previous = dataSet_.CurrentValue(index_);
    dataSet_.WriteCurrentValue(index_, std::move(converted));
    const int serial = writeSerial_;
    ++writeDepth_;
    try {
      OnValidate(*this);
    } catch (...) {
      --writeDepth_;
      if (writeSerial_ == serial && (dataSet_.State() == dsEdit || dataSet_.State() == dsInsert))
        dataSet_.WriteCurrentValue(index_, std::move(previous));
      throw;
    }
    --writeDepth_;
  } else {
    dataSet_.WriteCurrentValue(index_, std::move(converted));
  }
  if (OnChange) OnChange(*this);
  dataSet_.DataEvent(TDataEvent::FieldChange, this);
}

void TField::SetValue(const Variant& value) { Store(Convert(value)); }
void TField::Clear() { Store(Variant::Null()); }

void TField::SetAsString(std::string_view value) {
  if (IsStringFieldType(def_.DataType)) Store(Variant(value));
  else Store(Convert(Variant(value)));
}

void TField::SetAsInteger(int32_t value) { Store(Convert(Variant(static_cast<int>(value)))); }
void TField::SetAsLargeInt(int64_t value) { Store(Convert(Variant(static_cast<long long>(value)))); }
void TField::SetAsFloat(double value) { Store(Convert(Variant(value))); }
void TField::SetAsCurrency(Currency value) { Store(Convert(Variant(value))); }
void TField::SetAsDateTime(TDateTime value) { Store(Convert(Variant(value))); }
void TField::SetAsBoolean(bool value) { Store(Convert(Variant(value))); }

void TField::SetText(std::string_view text) {
  if (OnSetText) OnSetText(*this, std::string(text));
  else SetAsString(text);
}

void TField::FocusControl() { dataSet_.DataEvent(TDataEvent::FocusControl, this); }

}  // namespace jxc
