#pragma once
// Fields of a dataset: named, typed access to the current record. A field belongs to its dataset and is
// recreated on every open, so handlers attached to a field do not survive Close/Open.
//
// Writes come in two kinds. A plain assignment (SetValue, SetAsString, SetAsInteger ...) converts the value
// to the field's type, stores it, runs OnValidate and then OnChange. A text entry (SetText) is what a user's
// typing does: when OnSetText is assigned the handler alone decides what is stored (it may store nothing),
// otherwise the text is stored as by SetAsString.
//
// Reads of a null field give the zero value of the reader (0, "", false, a zero date-time); IsNull tells
// null apart. Empty text written into a numeric, boolean or date-time field stores null; a string field
// keeps "" distinct from null. String fields do not truncate values longer than their Size.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Currency.h"
#include "platform/DateTime.h"
#include "platform/Variant.h"

namespace jxc {

class TDataSet;

enum TFieldType {
  ftUnknown, ftString, ftWideString, ftMemo, ftWideMemo, ftFixedChar, ftGuid,
  ftSmallint, ftInteger, ftWord, ftAutoInc, ftLargeint,
  ftBoolean, ftFloat, ftCurrency, ftBCD, ftFMTBcd,
  ftDate, ftTime, ftDateTime, ftTimeStamp,
  ftVariant, ftBlob,
};

// "String", "Integer", "Largeint", "Currency", "DateTime", ...
const char* FieldTypeName(TFieldType type);
// Text kinds: string, wide string, fixed char, GUID, memo, wide memo.
bool IsStringFieldType(TFieldType type);
// Smallint, integer, word, auto-increment, largeint.
bool IsIntegerFieldType(TFieldType type);
// The integers, float, currency, BCD and FMTBcd.
bool IsNumericFieldType(TFieldType type);
// Date, time, date-time and time-stamp.
bool IsDateTimeFieldType(TFieldType type);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };

struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftString;
  int Size = 0;           // characters of a string field; informational only
  bool Required = false;  // posting a record whose field is null raises "Field 'X' must have a value"
};

// The value converted to what a field of that type stores: Null for null, empty and (outside text types)
// blank text; bool, int32 (smallint, integer, word, auto-increment), int64, double, Currency (currency and
// BCD kinds), TDateTime or text. Variant and unknown types keep the value as it is. Raises EConvertError
// naming the field when the value cannot be converted.
Variant ConvertToFieldType(const Variant& value, TFieldType type, std::string_view fieldName);

class TFieldDefs {
 public:
  void Clear() { items_.clear(); }
  TFieldDef& Add(std::string name, TFieldType type, int size = 0, bool required = false);
  int Count() const { return static_cast<int>(items_.size()); }
  const TFieldDef& operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
  TFieldDef& operator[](int index) { return items_.at(static_cast<size_t>(index)); }
  // Position of the definition of that name (ASCII case-insensitive), -1 when absent.
  int IndexOf(std::string_view name) const;
  const std::vector<TFieldDef>& Items() const { return items_; }
  void Assign(std::vector<TFieldDef> items) { items_ = std::move(items); }

 private:
  std::vector<TFieldDef> items_;
};

class TField {
 public:
  TField(TDataSet& dataSet, int index, TFieldDef def);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return def_.Name; }
  const std::string& FullName() const { return def_.Name; }
  TFieldType DataType() const { return def_.DataType; }
  int Size() const { return def_.Size; }
  int Index() const { return index_; }
  TDataSet& DataSet() const { return dataSet_; }
  const TFieldDef& Def() const { return def_; }

  bool Required = false;
  bool ReadOnly = false;  // writes raise "Field 'X' cannot be modified"
  bool Visible = true;
  TFieldKind FieldKind = fkData;
  std::string DisplayLabel;   // empty: the field name
  std::string DisplayFormat;  // number or date-time pattern used by DisplayText
  std::string DisplayName() const { return DisplayLabel.empty() ? def_.Name : DisplayLabel; }

  // --- reads of the current record (the edit buffer in edit and insert state) ---
  bool IsNull() const;
  Variant Value() const;  // Null when null
  std::string AsString() const;
  int32_t AsInteger() const;
  int64_t AsLargeInt() const;
  double AsFloat() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  bool AsBoolean() const;
  // OnGetText(displayText = false) when assigned, else AsString.
  std::string Text() const;
  // OnGetText(displayText = true) when assigned, else the value formatted by DisplayFormat, else AsString.
  std::string DisplayText() const;

  // --- plain assignments; the dataset must be in edit or insert state ---
  // A conversion failure raises EConvertError and stores nothing. When OnValidate raises, the previous
  // value is restored unless the handler itself wrote the field again (that write stays), and the error
  // propagates.
  void SetValue(const Variant& value);
  void Clear();  // stores null
  void SetAsString(std::string_view value);
  void SetAsInteger(int32_t value);
  void SetAsLargeInt(int64_t value);
  void SetAsFloat(double value);
  void SetAsCurrency(Currency value);
  void SetAsDateTime(TDateTime value);
  void SetAsBoolean(bool value);
  // Text entry: OnSetText when assigned, else SetAsString.
  void SetText(std::string_view text);

  // Asks the data-aware control bound to this field to take the focus.
  void FocusControl();

  std::function<void(TField& sender, const std::string& text)> OnSetText;
  std::function<void(TField& sender)> OnValidate;
  std::function<void(TField& sender)> OnChange;
  std::function<void(TField& sender, std::string& text, bool displayText)> OnGetText;

 private:
  friend class TDataSet;
  void Store(Variant converted);
  Variant Convert(const Variant& value) const;  // to the field's type; EConvertError on failure

  TDataSet& dataSet_;
  int index_;
  TFieldDef def_;
  int writeDepth_ = 0;  // re-entrant writes from inside OnValidate
  int writeSerial_ = 0;
};

}  // namespace jxc
