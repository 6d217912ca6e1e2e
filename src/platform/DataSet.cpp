#include "platform/DataSet.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "platform/DataFilter.h"
#include "platform/DataSource.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// How a column keeps its values: one compact vector per field, so that a million rows of ten fields stay
// small (eight bytes a number, one string object a text, one byte a null flag).
enum class StoreKind : uint8_t { Int32, Int64, Bool, Curr, Dbl, Date, Str, Var };

StoreKind KindOf(TFieldType type) {
  if (IsStringFieldType(type)) return StoreKind::Str;
  switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: return StoreKind::Int32;
    case ftLargeint: return StoreKind::Int64;
    case ftBoolean: return StoreKind::Bool;
    case ftCurrency: case ftBCD: case ftFMTBcd: return StoreKind::Curr;
    case ftFloat: return StoreKind::Dbl;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp: return StoreKind::Date;
    default: return StoreKind::Var;
  }
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Ordinal comparison of ASCII-upper-cased bytes (the order of index fields).
int CompareTextNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto y = static_cast<unsigned char>(UpperAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && CompareTextNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

template <class T>
int Cmp3(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }

struct Column {
  StoreKind kind = StoreKind::Var;
  std::vector<int64_t> num;      // integers, booleans, currency raw values, doubles and date-times as bits
  std::vector<std::string> str;  // text
  std::vector<Variant> var;      // anything else
  std::vector<uint8_t> null;

  explicit Column(TFieldType type) : kind(KindOf(type)) {}

  void Reserve(size_t n) {
    null.reserve(n);
    if (kind == StoreKind::Str) str.reserve(n);
    else if (kind == StoreKind::Var) var.reserve(n);
    else num.reserve(n);
  }

  void PushNull() {
    null.push_back(1);
    if (kind == StoreKind::Str) str.emplace_back();
    else if (kind == StoreKind::Var) var.emplace_back();
    else num.push_back(0);
  }

  bool IsNull(size_t slot) const { return null[slot] != 0; }

  Variant Get(size_t slot) const {
    if (null[slot]) return Variant::Null();
    switch (kind) {
      case StoreKind::Int32: return Variant(static_cast<int>(num[slot]));
      case StoreKind::Int64: return Variant(static_cast<long long>(num[slot]));
      case StoreKind::Bool: return Variant(num[slot] != 0);
      case StoreKind::Curr: return Variant(Currency::FromRaw(num[slot]));
      case StoreKind::Dbl: return Variant(std::bit_cast<double>(num[slot]));
      case StoreKind::Date: return Variant(TDateTime(std::bit_cast<double>(num[slot])));
      case StoreKind::Str: return Variant(str[slot]);
      case StoreKind::Var: return var[slot];
    }
    return Variant::Null();
  }

  // The value must already be in the field's kind (ConvertToFieldType).
  void Set(size_t slot, const Variant& v) {
    if (v.IsNullOrEmpty()) {
      null[slot] = 1;
      if (kind == StoreKind::Str) std::string().swap(str[slot]);
      else if (kind == StoreKind::Var) var[slot] = Variant();
      return;
    }
    null[slot] = 0;
    switch (kind) {
      case StoreKind::Int32:
      case StoreKind::Int64: num[slot] = v.AsInt64(); break;
      case StoreKind::Bool: num[slot] = v.AsBoolean() ? 1 : 0; break;
      case StoreKind::Curr: num[slot] = v.AsCurrency().Raw(); break;
      case StoreKind::Dbl: num[slot] = std::bit_cast<int64_t>(v.AsDouble()); break;
      case StoreKind::Date: num[slot] = std::bit_cast<int64_t>(v.AsDateTime().Value()); break;
      case StoreKind::Str: str[slot] = v.IsString() ? v.Get<std::string>() : v.ToString(); break;
      case StoreKind::Var: var[slot] = v; break;
    }
  }

  // Order of two stored values: nulls first, then by value; text without ASCII case.
  int Compare(size_t a, size_t b) const {
    const bool na = null[a] != 0, nb = null[b] != 0;
    if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
    switch (kind) {
      case StoreKind::Int32: case StoreKind::Int64: case StoreKind::Bool: case StoreKind::Curr:
        return Cmp3(num[a], num[b]);
      case StoreKind::Dbl: case StoreKind::Date:
        return Cmp3(std::bit_cast<double>(num[a]), std::bit_cast<double>(num[b]));
      case StoreKind::Str: return CompareTextNoCase(str[a], str[b]);
      case StoreKind::Var: {
        const auto c = CompareVariants(var[a], var[b]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
      }
    }
    return 0;
  }

  // Order of a stored value against a key already in the field's kind (null keys sort first).
  int CompareKey(size_t slot, const Variant& key) const {
    const bool ns = null[slot] != 0, nk = key.IsNullOrEmpty();
    if (ns || nk) return ns == nk ? 0 : (ns ? -1 : 1);
    switch (kind) {
      case StoreKind::Int32: case StoreKind::Int64: return Cmp3(num[slot], key.AsInt64());
      case StoreKind::Bool: return Cmp3(num[slot], static_cast<int64_t>(key.AsBoolean() ? 1 : 0));
      case StoreKind::Curr: return Cmp3(num[slot], key.AsCurrency().Raw());
      case StoreKind::Dbl: return Cmp3(std::bit_cast<double>(num[slot]), key.AsDouble());
      case StoreKind::Date: return Cmp3(std::bit_cast<double>(num[slot]), key.AsDateTime().Value());
      case StoreKind::Str: return CompareTextNoCase(str[slot], key.IsString() ? key.Get<std::string>() : key.ToString());
      case StoreKind::Var: {
        const auto c = CompareVariants(var[slot], key);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
      }
    }
    return 0;
  }

  void Clear() {
    num.clear();
    num.shrink_to_fit();
    str.clear();
    str.shrink_to_fit();
    var.clear();
    var.shrink_to_fit();
    null.clear();
    null.shrink_to_fit();
  }
};

std::vector<std::string> SplitFieldList(std::string_view names) {
  std::vector<std::string> out;
  for (std::string& n : SplitString(names, ";,", true)) {
    if (!n.empty()) out.push_back(std::move(n));
  }
  return out;
}

[[noreturn]] void Fail(const std::string& message) { throw EDatabaseError(message); }

struct KeyPart {
  int field;
  Variant key;        // converted to the field's kind (for text fields: the text)
  bool convertible;   // false: the key cannot be a value of this field, nothing matches
  bool text;          // text field
};

bool PartMatches(const Column& col, size_t slot, const KeyPart& k, TLocateOptions options) {
  if (k.key.IsNullOrEmpty()) return col.IsNull(slot);
  if (!k.convertible || col.IsNull(slot)) return false;
  const bool partial = (options & loPartialKey) != 0;
  const bool noCase = (options & loCaseInsensitive) != 0;
  if (k.text || partial) {
    const std::string value = k.text ? col.str[slot] : col.Get(slot).ToString();
    const std::string& key = k.key.IsString() ? k.key.Get<std::string>() : k.key.ToString();
    if (partial) return noCase ? StartsWithNoCase(value, key) : value.compare(0, key.size(), key) == 0 && value.size() >= key.size();
    return noCase ? CompareTextNoCase(value, key) == 0 : value == key;
  }
  return col.CompareKey(slot, k.key) == 0;
}


// The key parts of a Locate or Lookup: one per field of "A;B", the values taken from an array for several
// fields, each converted to its field's kind (text for text fields and partial keys).
std::vector<KeyPart> BuildKeys(const TDataSet& ds, std::string_view keyFields, const Variant& keyValues, TLocateOptions options) {
  const std::vector<std::string> names = SplitFieldList(keyFields);
  std::vector<KeyPart> parts;
  for (size_t i = 0; i < names.size(); ++i) {
    const TField& f = ds.FieldByName(names[i]);
    const Variant key = keyValues.IsArray() ? (i < keyValues.ArrayCount() ? keyValues[i] : Variant::Null())
                                            : (i == 0 ? keyValues : Variant::Null());
    KeyPart p{f.Index(), Variant(), true, IsStringFieldType(f.DataType())};
    if (key.IsNullOrEmpty()) p.key = Variant::Null();
    else if (p.text || (options & loPartialKey)) p.key = Variant(key.ToString());
    else {
      try {
        p.key = ConvertToFieldType(key, f.DataType(), f.FieldName());
      } catch (const Exception&) {
        p.convertible = false;
      }
    }
    parts.push_back(std::move(p));
  }
  return parts;
}

}  // namespace

// ----------------------------------------------------------------------------------------------------------

struct TDataSet::Impl {
  TDataSet& owner;
  explicit Impl(TDataSet& o) : owner(o) {}

  std::vector<Column> cols;
  std::vector<uint8_t> alive;   // per slot; a deleted row keeps its slot (bookmarks, restorable deletes)
  std::vector<int32_t> order;   // storage order of the slots, dead ones included until purged
  size_t deadInOrder = 0;

  std::vector<int> indexFields;  // resolved IndexFieldNames
  bool descending = false;
  std::vector<int32_t> sorted;   // live slots in index order (used while an index is set)
  bool sortedValid = false;

  std::unique_ptr<TFilterExpression> filter;  // compiled filter text while Filtered

  std::vector<int32_t> view;  // visible slots in the order the cursor walks them
  bool viewValid = false;

  int pos = -1;          // cursor: index into view
  int32_t curSlot = -1;  // the slot under the cursor when the view was last valid
  bool eof = true, bof = true;

  TRowValues buffer;       // the record being edited or inserted
  int32_t editSlot = -1;   // edit: the slot being edited
  bool appending = false;  // insert: at the end (Append) or before the cursor's row (Insert)
  bool modified = false;
  int32_t probeSlot = -1;  // the row OnFilterRecord looks at

  size_t Slots() const { return alive.size(); }

  void ClearRows() {
    for (Column& c : cols) c.Clear();
    alive.clear();
    alive.shrink_to_fit();
    order.clear();
    order.shrink_to_fit();
    deadInOrder = 0;
    sorted.clear();
    view.clear();
    sortedValid = viewValid = false;
    pos = -1;
    curSlot = -1;
    eof = bof = true;
  }

  void MakeColumns(const std::vector<TFieldDef>& defs) {
    cols.clear();
    for (const TFieldDef& d : defs) cols.emplace_back(d.DataType);
  }

  int32_t NewSlot() {
    for (Column& c : cols) c.PushNull();
    alive.push_back(1);
    return static_cast<int32_t>(alive.size() - 1);
  }

  void WriteSlot(int32_t slot, const TRowValues& values) {
    for (size_t f = 0; f < cols.size(); ++f) cols[f].Set(static_cast<size_t>(slot), f < values.size() ? values[f] : Variant::Null());
  }

  TRowValues ReadSlot(int32_t slot) const {
    TRowValues row;
    row.reserve(cols.size());
    for (const Column& c : cols) row.push_back(c.Get(static_cast<size_t>(slot)));
    return row;
  }

  // --- order -------------------------------------------------------------------------------------------
  int CompareSlots(int32_t a, int32_t b) const {
    for (int f : indexFields) {
      const int c = cols[static_cast<size_t>(f)].Compare(static_cast<size_t>(a), static_cast<size_t>(b));
      if (c != 0) return descending ? -c : c;
    }
    return 0;
  }

  void PurgeDead() {
    if (deadInOrder == 0 || owner.KeepsDeletedRows()) return;
    std::erase_if(order, [&](int32_t s) { return !alive[static_cast<size_t>(s)]; });
    deadInOrder = 0;
  }

  void EnsureSorted() {
    if (sortedValid) return;
    sorted.clear();
    sorted.reserve(order.size() - deadInOrder);
    for (int32_t s : order) {
      if (alive[static_cast<size_t>(s)]) sorted.push_back(s);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [&](int32_t a, int32_t b) { return CompareSlots(a, b) < 0; });
    sortedValid = true;
  }

  // --- visibility --------------------------------------------------------------------------------------
  struct Range {
    bool active = false;
    bool empty = false;  // a null key: no row matches
    std::vector<int> fields;
    std::vector<Variant> values;  // in the fields' kinds
  };

  Range CurrentRange() const {
    Range r;
    std::vector<int> fields;
    std::vector<Variant> values;
    if (!owner.RangeKey(fields, values)) return r;
    r.active = true;
    for (size_t i = 0; i < fields.size() && i < values.size(); ++i) {
      const int f = fields[i];
      if (f < 0 || f >= static_cast<int>(cols.size())) {
        r.empty = true;
        continue;
      }
      Variant v;
      try {
        v = ConvertToFieldType(values[i], owner.fieldDefs_[f].DataType, owner.fieldDefs_[f].Name);
      } catch (const Exception&) {
        v = Variant::Null();
      }
      if (v.IsNullOrEmpty()) r.empty = true;
      r.fields.push_back(f);
      r.values.push_back(std::move(v));
    }
    return r;
  }

  bool InRange(const Range& r, int32_t slot) const {
    if (!r.active) return true;
    if (r.empty) return false;
    for (size_t i = 0; i < r.fields.size(); ++i) {
      if (cols[static_cast<size_t>(r.fields[i])].CompareKey(static_cast<size_t>(slot), r.values[i]) != 0) return false;
    }
    return true;
  }

  bool FilterActive() const { return owner.filtered_ && (filter || owner.onFilterRecord_); }

  bool PassesFilter(int32_t slot) {
    if (!owner.filtered_) return true;
    if (filter) {
      struct Record : IFilterRecord {
        const Impl& impl;
        int32_t slot;
        Record(const Impl& i, int32_t s) : impl(i), slot(s) {}
        Variant FieldValue(int field) const override { return impl.cols[static_cast<size_t>(field)].Get(static_cast<size_t>(slot)); }
      } record(*this, slot);
      if (!filter->Accepts(record)) return false;
    }
    if (owner.onFilterRecord_) {
      bool accept = true;
      const int32_t saved = probeSlot;
      probeSlot = slot;
      try {
        owner.onFilterRecord_(owner, accept);
      } catch (...) {
        probeSlot = saved;
        throw;
      }
      probeSlot = saved;
      if (!accept) return false;
    }
    return true;
  }

  bool SlotVisible(const Range& r, int32_t slot) { return alive[static_cast<size_t>(slot)] && InRange(r, slot) && PassesFilter(slot); }

  // Whether the range's fields are the leading index fields, so the range is a contiguous run of `sorted`.
  bool RangeOnIndex(const Range& r) const {
    if (descending || r.fields.size() > indexFields.size()) return false;
    for (size_t i = 0; i < r.fields.size(); ++i) {
      if (r.fields[i] != indexFields[i]) return false;
    }
    return true;
  }

  void RebuildView() {
    PurgeDead();
    const Range range = CurrentRange();
    view.clear();
    viewValid = true;  // set first: filter handlers may read fields
    if (range.active && range.empty) return;
    const std::vector<int32_t>* base = &order;
    size_t begin = 0, end = order.size();
    bool rangeDone = false;
    if (!indexFields.empty()) {
      EnsureSorted();
      base = &sorted;
      end = sorted.size();
      if (range.active && RangeOnIndex(range)) {
        auto keyCmp = [&](int32_t slot) {
          for (size_t i = 0; i < range.fields.size(); ++i) {
            const int c = cols[static_cast<size_t>(range.fields[i])].CompareKey(static_cast<size_t>(slot), range.values[i]);
            if (c != 0) return c;
          }
          return 0;
        };
        auto lo = std::partition_point(sorted.begin(), sorted.end(), [&](int32_t s) { return keyCmp(s) < 0; });
        auto hi = std::partition_point(lo, sorted.end(), [&](int32_t s) { return keyCmp(s) <= 0; });
        begin = static_cast<size_t>(lo - sorted.begin());
        end = static_cast<size_t>(hi - sorted.begin());
        rangeDone = true;
      }
    }
    const bool filtering = FilterActive();
    if (!filtering && !range.active && base == &sorted) {
      view = sorted;
      return;
    }
    for (size_t i = begin; i < end; ++i) {
      const int32_t s = (*base)[i];
      if (!alive[static_cast<size_t>(s)]) continue;
      if (!rangeDone && !InRange(range, s)) continue;
      if (filtering && !PassesFilter(s)) continue;
      view.push_back(s);
    }
  }

  // Makes the view current and puts the cursor back on its row (or the nearest position when the row is
  // no longer visible).
  void EnsureView() {
    if (viewValid) return;
    RebuildView();
    int found = -1;
    if (curSlot >= 0) {
      for (size_t i = 0; i < view.size(); ++i) {
        if (view[i] == curSlot) {
          found = static_cast<int>(i);
          break;
        }
      }
    }
    if (found >= 0) pos = found;
    else if (view.empty()) pos = -1;
    else pos = std::clamp(pos, 0, static_cast<int>(view.size()) - 1);
    curSlot = pos >= 0 ? view[static_cast<size_t>(pos)] : -1;
    if (view.empty()) eof = bof = true;
  }

  void Invalidate(bool order) {
    if (order) sortedValid = false;
    viewValid = false;
  }

  void SetPos(int p) {
    pos = p;
    curSlot = (p >= 0 && p < static_cast<int>(view.size())) ? view[static_cast<size_t>(p)] : -1;
  }

  // Shared by Locate and Lookup: position of the first visible match in view order, or -1.
  int FindMatch(const std::vector<KeyPart>& parts, TLocateOptions options) {
    Impl& m = *this;
  m.EnsureView();
  if (parts.empty()) return -1;
  const int n = static_cast<int>(m.view.size());
  int start = 0;
  // The index answers a locate on its first field: binary search to the first candidate, then a short
  // scan over the rows with the same key (the index ignores case; the locate may not).
  const KeyPart& first = parts[0];
  if (!m.indexFields.empty() && m.indexFields[0] == first.field && !m.descending && !first.key.IsNullOrEmpty() &&
      first.convertible && (first.text || (options & loPartialKey) == 0)) {
    const Column& col = m.cols[static_cast<size_t>(first.field)];
    auto it = std::partition_point(m.view.begin(), m.view.end(), [&](int32_t s) { return col.CompareKey(static_cast<size_t>(s), first.key) < 0; });
    for (; it != m.view.end(); ++it) {
      const size_t s = static_cast<size_t>(*it);
      if (first.text && (options & loPartialKey)) {
        if (col.IsNull(s) || !StartsWithNoCase(col.str[s], first.key.Get<std::string>())) break;
      } else if (col.CompareKey(s, first.key) != 0) {
        break;
      }
      bool all = true;
      for (const KeyPart& k : parts) {
        if (!PartMatches(m.cols[static_cast<size_t>(k.field)], s, k, options)) {
          all = false;
          break;
        }
      }
      if (all) return static_cast<int>(it - m.view.begin());
    }
    return -1;
  }
  for (int i = start; i < n; ++i) {
    const size_t s = static_cast<size_t>(m.view[static_cast<size_t>(i)]);
    bool all = true;
    for (const KeyPart& k : parts) {
      if (!PartMatches(m.cols[static_cast<size_t>(k.field)], s, k, options)) {
        all = false;
        break;
      }
    }
    if (all) return i;
  }
  return -1;
}

  int FindInView(int32_t slot) {
    EnsureView();
    for (size_t i = 0; i < view.size(); ++i) {
      if (view[i] == slot) return static_cast<int>(i);
    }
    return -1;
  }
};

// ----------------------------------------------------------------------------------------------------------

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), impl_(std::make_unique<Impl>(*this)) {}

TDataSet::~TDataSet() {
  std::vector<TDataSource*> sources = dataSources_;
  for (TDataSource* s : sources) s->SetDataSet(nullptr);
}

// --- structure -----------------------------------------------------------------------------------------------

TField& TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) throw EArgumentError("Field index out of range: " + std::to_string(index));
  return *fields_[static_cast<size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const {
  for (const auto& f : fields_) {
    if (SameText(f->FieldName(), name)) return f.get();
  }
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) {
    const std::string owner = Name().empty() ? std::string() : Name() + ": ";
    Fail(owner + "Field '" + std::string(name) + "' not found");
  }
  return *f;
}

std::vector<std::string> TDataSet::FieldNames() const {
  std::vector<std::string> names;
  for (const auto& f : fields_) names.push_back(f->FieldName());
  return names;
}

// --- lifetime --------------------------------------------------------------------------------------------------

namespace {
void CheckActive(const TDataSet& ds) {
  if (!ds.Active()) Fail((ds.Name().empty() ? std::string() : ds.Name() + ": ") + "Cannot perform this operation on a closed dataset");
}
}  // namespace

void TDataSet::Open() {
  if (Active()) return;
  if (BeforeOpen) BeforeOpen(*this);
  Impl& m = *impl_;
  if (m.cols.size() != static_cast<size_t>(fieldDefs_.Count()) || m.alive.empty()) {
    m.ClearRows();
    m.MakeColumns(fieldDefs_.Items());
  }
  fields_.clear();
  for (int i = 0; i < fieldDefs_.Count(); ++i) fields_.push_back(std::make_unique<TField>(*this, i, fieldDefs_[i]));
  try {
    m.indexFields.clear();
    for (const std::string& n : SplitFieldList(indexFieldNames_)) m.indexFields.push_back(FieldByName(n).Index());
    m.filter.reset();
    if (filtered_) m.filter = TFilterExpression::Parse(filter_, [this](std::string_view n) { TField* f = FindField(n); return f ? f->Index() : -1; });
  } catch (...) {
    fields_.clear();
    m.ClearRows();
    throw;
  }
  state_ = dsBrowse;
  m.Invalidate(true);
  m.curSlot = -1;
  m.pos = -1;
  m.EnsureView();
  m.SetPos(m.view.empty() ? -1 : 0);
  m.bof = true;
  m.eof = m.view.empty();
  DataEvent(TDataEvent::LayoutChange);
  DataEvent(TDataEvent::UpdateState);
  if (AfterOpen) AfterOpen(*this);
}

void TDataSet::Close() {
  if (!Active()) return;
  if (BeforeClose) BeforeClose(*this);
  Impl& m = *impl_;
  m.buffer.clear();
  m.editSlot = -1;
  state_ = dsInactive;
  DataEvent(TDataEvent::UpdateState);
  DataEvent(TDataEvent::LayoutChange);
  fields_.clear();
  m.ClearRows();
  DoRowsCleared();
  if (AfterClose) AfterClose(*this);
}

void TDataSet::LoadData(std::vector<TFieldDef> fields, std::vector<TRowValues> rows) {
  // Convert everything first, so that a bad value leaves the dataset as it was.
  std::vector<Column> cols;
  cols.reserve(fields.size());
  for (const TFieldDef& d : fields) {
    cols.emplace_back(d.DataType);
    cols.back().Reserve(rows.size());
  }
  for (const TRowValues& row : rows) {
    for (size_t f = 0; f < fields.size(); ++f) {
      cols[f].PushNull();
      if (f < row.size()) cols[f].Set(cols[f].null.size() - 1, ConvertToFieldType(row[f], fields[f].DataType, fields[f].Name));
    }
  }
  rows.clear();
  rows.shrink_to_fit();
  Close();
  fieldDefs_.Assign(std::move(fields));
  Impl& m = *impl_;
  m.ClearRows();
  DoRowsCleared();
  m.cols = std::move(cols);
  const size_t n = m.cols.empty() ? 0 : m.cols[0].null.size();
  m.alive.assign(n, 1);
  m.order.resize(n);
  std::iota(m.order.begin(), m.order.end(), 0);
  if (n == 0) m.alive.clear();
  // An empty table still needs its columns: Open keeps them when the shape matches.
  TDataSet::Open();
}

TDataPacket TDataSet::Data() const {
  TDataPacket p;
  p.Fields = fieldDefs_.Items();
  const Impl& m = *impl_;
  for (int32_t s : m.order) {
    if (m.alive[static_cast<size_t>(s)]) p.Rows.push_back(m.ReadSlot(s));
  }
  return p;
}

// --- cursor ----------------------------------------------------------------------------------------------------

void TDataSet::First() {
  CheckActive(*this);
  CheckBrowseMode();
  if (BeforeScroll) BeforeScroll(*this);
  Impl& m = *impl_;
  m.EnsureView();
  m.SetPos(m.view.empty() ? -1 : 0);
  m.bof = true;
  m.eof = m.view.empty();
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetScroll);
}

void TDataSet::Last() {
  CheckActive(*this);
  CheckBrowseMode();
  if (BeforeScroll) BeforeScroll(*this);
  Impl& m = *impl_;
  m.EnsureView();
  m.SetPos(static_cast<int>(m.view.size()) - 1);
  m.eof = true;
  m.bof = m.view.empty();
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetScroll);
}

void TDataSet::MoveBy(int distance) {
  CheckActive(*this);
  CheckBrowseMode();
  if (BeforeScroll) BeforeScroll(*this);
  Impl& m = *impl_;
  m.EnsureView();
  const int count = static_cast<int>(m.view.size());
  if (count == 0) {
    m.eof = m.bof = true;
  } else if (distance > 0) {
    if (!m.eof) {
      const int target = m.pos + distance;
      m.bof = false;
      if (target >= count) {
        m.SetPos(count - 1);
        m.eof = true;
      } else {
        m.SetPos(target);
      }
    }
  } else if (distance < 0) {
    if (!m.bof) {
      const int target = m.pos + distance;
      m.eof = false;
      if (target < 0) {
        m.SetPos(0);
        m.bof = true;
      } else {
        m.SetPos(target);
      }
    }
  }
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetScroll);
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

bool TDataSet::Eof() const {
  if (!Active()) return true;
  impl_->EnsureView();
  return impl_->eof;
}

bool TDataSet::Bof() const {
  if (!Active()) return true;
  impl_->EnsureView();
  return impl_->bof;
}

bool TDataSet::IsEmpty() const {
  if (!Active()) return true;
  if (state_ == dsInsert) return false;
  impl_->EnsureView();
  return impl_->view.empty();
}

int TDataSet::RecordCount() const {
  if (!Active()) return 0;
  impl_->EnsureView();
  return static_cast<int>(impl_->view.size());
}

int TDataSet::RecNo() const {
  if (!Active() || state_ == dsInsert) return 0;
  impl_->EnsureView();
  return impl_->pos + 1;
}

void TDataSet::SetRecNo(int recNo) {
  CheckActive(*this);
  CheckBrowseMode();
  Impl& m = *impl_;
  m.EnsureView();
  if (m.view.empty()) return;
  if (BeforeScroll) BeforeScroll(*this);
  m.SetPos(std::clamp(recNo, 1, static_cast<int>(m.view.size())) - 1);
  m.eof = m.bof = false;
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetScroll);
}

// --- current record -----------------------------------------------------------------------------------------

Variant TDataSet::CurrentValue(int fieldIndex) const {
  const Impl& m = *impl_;
  if (m.probeSlot >= 0) return m.cols[static_cast<size_t>(fieldIndex)].Get(static_cast<size_t>(m.probeSlot));
  if (state_ == dsEdit || state_ == dsInsert) return m.buffer[static_cast<size_t>(fieldIndex)];
  if (state_ == dsInactive) return Variant::Null();
  impl_->EnsureView();
  if (m.pos < 0 || m.pos >= static_cast<int>(m.view.size())) return Variant::Null();
  return m.cols[static_cast<size_t>(fieldIndex)].Get(static_cast<size_t>(m.view[static_cast<size_t>(m.pos)]));
}

void TDataSet::WriteCurrentValue(int fieldIndex, Variant converted) {
  impl_->buffer[static_cast<size_t>(fieldIndex)] = std::move(converted);
  impl_->modified = true;
}

// --- editing ---------------------------------------------------------------------------------------------------

void TDataSet::Edit() {
  CheckActive(*this);
  if (state_ == dsEdit || state_ == dsInsert) return;
  Impl& m = *impl_;
  m.EnsureView();
  if (m.view.empty() || m.pos < 0) {
    Append();
    return;
  }
  if (BeforeEdit) BeforeEdit(*this);
  m.editSlot = m.view[static_cast<size_t>(m.pos)];
  m.buffer = m.ReadSlot(m.editSlot);
  m.modified = false;
  state_ = dsEdit;
  DataEvent(TDataEvent::UpdateState);
  if (AfterEdit) AfterEdit(*this);
}

void TDataSet::Append() {
  CheckActive(*this);
  CheckBrowseMode();
  Impl& m = *impl_;
  if (BeforeInsert) BeforeInsert(*this);
  if (BeforeScroll) BeforeScroll(*this);
  m.EnsureView();
  m.appending = true;
  m.buffer.assign(fields_.size(), Variant::Null());
  {
    const Impl::Range r = m.CurrentRange();
    for (size_t i = 0; i < r.fields.size(); ++i) m.buffer[static_cast<size_t>(r.fields[i])] = r.values[i];
  }
  m.editSlot = -1;
  state_ = dsInsert;
  DataEvent(TDataEvent::UpdateState);
  try {
    if (OnNewRecord) OnNewRecord(*this);
  } catch (...) {
    Cancel();
    throw;
  }
  m.modified = false;
  m.eof = true;
  if (AfterInsert) AfterInsert(*this);
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::Insert() {
  Append();
  if (state_ == dsInsert) {
    impl_->appending = false;
    impl_->eof = false;
  }
}

void TDataSet::CheckBrowseMode() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(TDataEvent::UpdateRecord);
  if (impl_->modified) Post();
  else Cancel();
}

bool TDataSet::Modified() const { return (state_ == dsEdit || state_ == dsInsert) && impl_->modified; }

void TDataSet::Post() {
  CheckActive(*this);
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(TDataEvent::UpdateRecord);
  if (BeforePost) BeforePost(*this);
  Impl& m = *impl_;
  while (true) {
    try {
      for (const auto& f : fields_) {
        if (f->Required && f->FieldKind == fkData && m.buffer[static_cast<size_t>(f->Index())].IsNullOrEmpty())
          Fail("Field '" + f->FieldName() + "' must have a value");
      }
      const Impl::Range range = m.CurrentRange();
      if (state_ == dsInsert) {
        const int32_t slot = static_cast<int32_t>(m.Slots());
        DoBeforeStore(slot, usInserted);
        m.NewSlot();
        m.WriteSlot(slot, m.buffer);
        const bool atEnd = m.appending || m.curSlot < 0;
        if (atEnd) {
          m.order.push_back(slot);
        } else {
          auto it = std::find(m.order.begin(), m.order.end(), m.curSlot);
          m.order.insert(it, slot);
        }
        // Keep the view in step without a rebuild where the new row's place is known.
        if (m.viewValid && atEnd && m.SlotVisible(range, slot)) {
          if (m.indexFields.empty()) {
            m.view.push_back(slot);
            m.SetPos(static_cast<int>(m.view.size()) - 1);
          } else {
            auto up = [&](std::vector<int32_t>& v) {
              auto it = std::upper_bound(v.begin(), v.end(), slot, [&](int32_t a, int32_t b) { return m.CompareSlots(a, b) < 0; });
              // Two statements: insert may move the buffer, and begin() must be read after it.
              auto placed = v.insert(it, slot);
              return placed - v.begin();
            };
            if (m.sortedValid) up(m.sorted);
            m.SetPos(static_cast<int>(up(m.view)));
          }
        } else {
          m.Invalidate(true);
          m.curSlot = slot;
        }
        m.buffer.clear();
        state_ = dsBrowse;
        DoAfterStore(slot, usInserted);
      } else {
        const int32_t slot = m.editSlot;
        DoBeforeStore(slot, usModified);
        bool orderChanged = false;
        for (int f : m.indexFields) {
          if (m.buffer[static_cast<size_t>(f)] != m.cols[static_cast<size_t>(f)].Get(static_cast<size_t>(slot))) orderChanged = true;
        }
        m.WriteSlot(slot, m.buffer);
        m.buffer.clear();
        state_ = dsBrowse;
        if (orderChanged) {
          m.Invalidate(true);
        } else if (m.viewValid && (range.active || m.FilterActive()) && !m.SlotVisible(range, slot)) {
          const int p = m.FindInView(slot);
          if (p >= 0) {
            m.view.erase(m.view.begin() + p);
            m.SetPos(std::min(p, static_cast<int>(m.view.size()) - 1));
          }
        }
        m.editSlot = -1;
        DoAfterStore(slot, usModified);
      }
      m.EnsureView();
      m.eof = m.bof = m.view.empty();
      break;
    } catch (const EAbort&) {
      throw;
    } catch (const Exception& e) {
      if (!OnPostError) throw;
      TDataAction action = daFail;
      OnPostError(*this, e, action);
      if (action == daFail) throw;
      if (action == daAbort) throw EAbort();
    }
  }
  DataEvent(TDataEvent::UpdateState);
  if (AfterPost) AfterPost(*this);
  DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  if (BeforeCancel) BeforeCancel(*this);
  Impl& m = *impl_;
  const bool wasInsert = state_ == dsInsert;
  m.buffer.clear();
  m.editSlot = -1;
  m.modified = false;
  state_ = dsBrowse;
  m.EnsureView();
  m.eof = m.bof = m.view.empty();
  DataEvent(TDataEvent::UpdateState);
  if (AfterCancel) AfterCancel(*this);
  if (wasInsert && AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::Delete() {
  CheckActive(*this);
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  Impl& m = *impl_;
  m.EnsureView();
  if (m.view.empty() || m.pos < 0) Fail("Cannot perform this operation on an empty dataset");
  if (BeforeDelete) BeforeDelete(*this);
  if (state_ == dsEdit) {
    m.buffer.clear();
    m.editSlot = -1;
    state_ = dsBrowse;
    DataEvent(TDataEvent::UpdateState);
  }
  m.EnsureView();
  const int p = m.pos;
  const int32_t slot = m.view[static_cast<size_t>(p)];
  DoBeforeStore(slot, usDeleted);
  m.alive[static_cast<size_t>(slot)] = 0;
  ++m.deadInOrder;
  m.view.erase(m.view.begin() + p);
  if (m.sortedValid) {
    auto it = std::find(m.sorted.begin(), m.sorted.end(), slot);
    if (it != m.sorted.end()) m.sorted.erase(it);
  }
  m.SetPos(std::min(p, static_cast<int>(m.view.size()) - 1));
  m.eof = m.bof = m.view.empty();
  DoAfterStore(slot, usDeleted);
  if (AfterDelete) AfterDelete(*this);
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::AppendRecord(const TRowValues& values) {
  Append();
  try {
    for (size_t i = 0; i < values.size() && i < fields_.size(); ++i) {
      if (!values[i].IsEmpty()) fields_[i]->SetValue(values[i]);
    }
    Post();
  } catch (...) {
    Cancel();
    throw;
  }
}

// --- search ----------------------------------------------------------------------------------------------------


bool TDataSet::Locate(std::string_view keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckActive(*this);
  CheckBrowseMode();
  const std::vector<KeyPart> parts = BuildKeys(*this, keyFields, keyValues, options);
  Impl& m = *impl_;
  const int found = m.FindMatch(parts, options);
  if (found < 0) return false;
  if (BeforeScroll) BeforeScroll(*this);
  m.SetPos(found);
  m.eof = m.bof = false;
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetScroll);
  return true;
}


Variant TDataSet::Lookup(std::string_view keyFields, const Variant& keyValues, std::string_view resultFields) const {
  if (!Active()) return Variant::Null();
  const std::vector<KeyPart> parts = BuildKeys(*this, keyFields, keyValues, 0);
  Impl& m = *impl_;
  const int found = m.FindMatch(parts, 0);
  if (found < 0) return Variant::Null();
  const size_t slot = static_cast<size_t>(m.view[static_cast<size_t>(found)]);
  const std::vector<std::string> results = SplitFieldList(resultFields);
  if (results.size() == 1) return m.cols[static_cast<size_t>(FieldByName(results[0]).Index())].Get(slot);
  std::vector<Variant> values;
  for (const std::string& r : results) values.push_back(m.cols[static_cast<size_t>(FieldByName(r).Index())].Get(slot));
  return Variant::Array(std::move(values));
}

TBookmark TDataSet::GetBookmark() const {
  if (!Active()) return {};
  impl_->EnsureView();
  if (state_ == dsInsert) return {};
  return TBookmark{impl_->curSlot};
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  if (!Active() || bookmark.Empty() || bookmark.RowId >= static_cast<int64_t>(impl_->Slots())) return false;
  if (!impl_->alive[static_cast<size_t>(bookmark.RowId)]) return false;
  return impl_->FindInView(static_cast<int32_t>(bookmark.RowId)) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckActive(*this);
  CheckBrowseMode();
  if (!BookmarkValid(bookmark)) Fail("Record not found");
  if (BeforeScroll) BeforeScroll(*this);
  impl_->SetPos(impl_->FindInView(static_cast<int32_t>(bookmark.RowId)));
  impl_->eof = impl_->bof = false;
  if (AfterScroll) AfterScroll(*this);
  DataEvent(TDataEvent::DataSetScroll);
}

Variant TDataSet::RowValue(int row, int fieldIndex) const {
  if (!Active()) Fail("Cannot perform this operation on a closed dataset");
  impl_->EnsureView();
  if (row < 0 || row >= static_cast<int>(impl_->view.size()) || fieldIndex < 0 || fieldIndex >= FieldCount())
    throw EArgumentError("Row or field index out of range");
  return impl_->cols[static_cast<size_t>(fieldIndex)].Get(static_cast<size_t>(impl_->view[static_cast<size_t>(row)]));
}

// --- filter and order -----------------------------------------------------------------------------------------

void TDataSet::SetFilter(std::string filter) {
  if (filter == filter_ && (!filtered_ || !Active() || impl_->filter)) return;
  if (filtered_ && Active()) {
    CheckBrowseMode();
    impl_->filter = TFilterExpression::Parse(filter, [this](std::string_view n) { TField* f = FindField(n); return f ? f->Index() : -1; });
    filter_ = std::move(filter);
    impl_->Invalidate(false);
    First();
    DataEvent(TDataEvent::DataSetChange);
    return;
  }
  filter_ = std::move(filter);
}

void TDataSet::SetFiltered(bool filtered) {
  if (filtered == filtered_) return;
  if (Active()) {
    CheckBrowseMode();
    if (filtered) impl_->filter = TFilterExpression::Parse(filter_, [this](std::string_view n) { TField* f = FindField(n); return f ? f->Index() : -1; });
    else impl_->filter.reset();
    filtered_ = filtered;
    impl_->Invalidate(false);
    First();
    DataEvent(TDataEvent::DataSetChange);
    return;
  }
  filtered_ = filtered;
}

void TDataSet::SetOnFilterRecord(FilterRecordHandler handler) {
  onFilterRecord_ = std::move(handler);
  if (filtered_ && Active()) Refilter();
}

void TDataSet::Refilter() { Resync(); }

void TDataSet::Resync() {
  if (!Active()) return;
  impl_->Invalidate(false);
  impl_->EnsureView();
  DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::SetIndexFieldNames(std::string fields) {
  if (Active()) {
    std::vector<int> resolved;
    for (const std::string& n : SplitFieldList(fields)) resolved.push_back(FieldByName(n).Index());
    CheckBrowseMode();
    impl_->indexFields = std::move(resolved);
  }
  indexFieldNames_ = std::move(fields);
  impl_->descending = false;
  impl_->Invalidate(true);
  if (Active()) Resync();
}

void TDataSet::SortOn(std::string_view fields, bool descending) {
  SetIndexFieldNames(std::string(fields));
  impl_->descending = descending;
  impl_->Invalidate(true);
  if (Active()) Resync();
}

// --- controls --------------------------------------------------------------------------------------------------

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ == 0) DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::AttachDataSource(TDataSource* source) {
  if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end()) dataSources_.push_back(source);
}

void TDataSet::DetachDataSource(TDataSource* source) { std::erase(dataSources_, source); }

void TDataSet::DataEvent(TDataEvent event, TField* field) {
  // By index: a handler may attach or detach data sources while the event is delivered.
  for (size_t i = 0; i < dataSources_.size(); ++i) dataSources_[i]->NotifyDataEvent(event, field);
}

// --- storage access for derived kinds ---------------------------------------------------------------------------

Variant TDataSet::StoredValue(int64_t rowId, int fieldIndex) const {
  return impl_->cols[static_cast<size_t>(fieldIndex)].Get(static_cast<size_t>(rowId));
}

TRowValues TDataSet::StoredRow(int64_t rowId) const { return impl_->ReadSlot(static_cast<int32_t>(rowId)); }

bool TDataSet::RowAlive(int64_t rowId) const {
  return rowId >= 0 && rowId < static_cast<int64_t>(impl_->Slots()) && impl_->alive[static_cast<size_t>(rowId)];
}

void TDataSet::WriteStoredRow(int64_t rowId, const TRowValues& values) {
  TRowValues converted;
  for (int f = 0; f < fieldDefs_.Count(); ++f) {
    const Variant v = static_cast<size_t>(f) < values.size() ? values[static_cast<size_t>(f)] : Variant::Null();
    converted.push_back(ConvertToFieldType(v, fieldDefs_[f].DataType, fieldDefs_[f].Name));
  }
  impl_->WriteSlot(static_cast<int32_t>(rowId), converted);
  impl_->Invalidate(true);
}

void TDataSet::ReviveRow(int64_t rowId) {
  if (RowAlive(rowId) || rowId < 0 || rowId >= static_cast<int64_t>(impl_->Slots())) return;
  impl_->alive[static_cast<size_t>(rowId)] = 1;
  if (impl_->deadInOrder > 0) --impl_->deadInOrder;
  impl_->Invalidate(true);
}

void TDataSet::KillRow(int64_t rowId) {
  if (!RowAlive(rowId)) return;
  impl_->alive[static_cast<size_t>(rowId)] = 0;
  ++impl_->deadInOrder;
  impl_->Invalidate(true);
}

int64_t TDataSet::CurrentRowId() const {
  if (!Active() || state_ == dsInsert) return -1;
  if (state_ == dsEdit) return impl_->editSlot;
  impl_->EnsureView();
  return impl_->curSlot;
}

// --- in-memory table -------------------------------------------------------------------------------------------

void TMemTable::CreateDataSet() { LoadData(FieldDefs().Items(), {}); }

void TMemTable::EmptyTable() {
  CheckActive(*this);
  Cancel();
  std::vector<TFieldDef> defs = FieldDefs().Items();
  impl_->ClearRows();
  impl_->MakeColumns(defs);
  DoRowsCleared();
  impl_->viewValid = false;
  impl_->EnsureView();
  DataEvent(TDataEvent::DataSetChange);
}

void TMemTable::LoadFromDataSet(const TDataSet& source, int maxRows, bool copyStructure) {
  std::vector<TFieldDef> defs;
  if (copyStructure) {
    for (int i = 0; i < source.FieldCount(); ++i) defs.push_back(source.Fields(i).Def());
  } else {
    defs = FieldDefs().Items();
  }
  std::vector<int> map;
  for (const TFieldDef& d : defs) {
    const TField* f = source.FindField(d.Name);
    map.push_back(f ? f->Index() : -1);
  }
  const int count = source.RecordCount();
  const int n = maxRows < 0 ? count : std::min(count, maxRows);
  std::vector<TRowValues> rows;
  rows.reserve(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) {
    TRowValues row;
    row.reserve(defs.size());
    for (int idx : map) row.push_back(idx >= 0 ? source.RowValue(r, idx) : Variant::Null());
    rows.push_back(std::move(row));
  }
  LoadData(std::move(defs), std::move(rows));
}

}  // namespace jxc
