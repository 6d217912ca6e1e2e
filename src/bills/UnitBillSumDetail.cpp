#include "bills/UnitBillSumDetail.h"

namespace jxc {

namespace {

std::optional<int64_t> IdOf(const Variant& value) {
  if (value.IsNullOrEmpty()) return std::nullopt;
  return value.AsInt64();
}

std::optional<std::string> TextOf(const Variant& value) {
  if (value.IsNull()) return std::nullopt;
  return value.ToString();
}

int64_t QtyOf(const Variant& value) { return value.IsNullOrEmpty() ? 0 : value.AsInt64(); }

Variant ValueOf(const std::optional<int64_t>& id) { return id ? Variant(static_cast<long long>(*id)) : Variant::Null(); }

}  // namespace

TBillSumDetail::TBillSumDetail(TMemTable& lines) : lines_(lines) {
  if (lines_.Active()) lines_.Close();
  lines_.FieldDefs().Clear();
  lines_.FieldDefs().Add("F_QTY", ftLargeint);
  lines_.FieldDefs().Add("F_PRODUCT", ftString, 100);
  lines_.FieldDefs().Add("F_COLOR_ID", ftLargeint);
  lines_.FieldDefs().Add("F_PRODUCT_ID", ftLargeint);
  lines_.CreateDataSet();
}

TBillSumDetail::TRowShare TBillSumDetail::ShareOfCurrent(const TDataSet& detail) const {
  auto value = [&](const char* name) {
    const TField* field = detail.FindField(name);
    return field ? field->Value() : Variant::Null();
  };
  return {TKey{IdOf(value("F_PRODUCT_ID")), TextOf(value("F_PRODUCT")), IdOf(value("F_COLOR_ID"))}, QtyOf(value("F_QTY"))};
}

void TBillSumDetail::Clear() {
  groups_.clear();
  pending_.reset();
  deleting_.reset();
  rows_ = 0;
  stale_ = false;
  lines_.EmptyTable();
}

void TBillSumDetail::Rebuild(const TDataSet& detail) {
  groups_.clear();
  rows_ = 0;
  stale_ = false;
  if (detail.Active()) {
    const TField* product = detail.FindField("F_PRODUCT_ID");
    const TField* name = detail.FindField("F_PRODUCT");
    const TField* color = detail.FindField("F_COLOR_ID");
    const TField* qty = detail.FindField("F_QTY");
    auto at = [&](int row, const TField* field) { return field ? detail.RowValue(row, field->Index()) : Variant::Null(); };
    for (int row = 0, count = detail.RecordCount(); row < count; ++row) {
      TLine& line = groups_[TKey{IdOf(at(row, product)), TextOf(at(row, name)), IdOf(at(row, color))}];
      ++line.Rows;
      line.Qty += QtyOf(at(row, qty));
      ++rows_;
    }
  }
  lines_.DisableControls();
  try {
    lines_.EmptyTable();
    for (auto& [key, line] : groups_) AppendLine(key, line);
    lines_.First();
  } catch (...) {
    lines_.EnableControls();
    throw;
  }
  lines_.EnableControls();
}

void TBillSumDetail::AppendLine(const TKey& key, TLine& line) {
  const auto& [product, name, color] = key;
  std::string shown;
  if (name) shown = *name;
  else if (product && ProductName) shown = ProductName(*product);
  lines_.Append();
  lines_.FieldByName("F_QTY").SetAsLargeInt(line.Qty);
  lines_.FieldByName("F_PRODUCT").SetAsString(shown);
  lines_.FieldByName("F_COLOR_ID").SetValue(ValueOf(color));
  lines_.FieldByName("F_PRODUCT_ID").SetValue(ValueOf(product));
  lines_.Post();
  line.Row = lines_.GetBookmark();
}

void TBillSumDetail::EditBegun(const TDataSet& detail) { pending_ = ShareOfCurrent(detail); }

void TBillSumDetail::RowPosted(const TDataSet& detail) {
  const std::optional<TRowShare> before = std::move(pending_);
  pending_.reset();
  if (stale_) {
    Rebuild(detail);
    return;
  }
  if (before) Change(*before, -1);
  Change(ShareOfCurrent(detail), +1);
  // Rows that came or went unseen (another bill shown, a change log dropped): count them again.
  if (rows_ != detail.RecordCount()) Rebuild(detail);
}

void TBillSumDetail::RowDeleting(const TDataSet& detail) {
  // A row still being inserted was never counted.
  deleting_ = detail.State() == dsInsert ? std::nullopt : std::optional<TRowShare>(ShareOfCurrent(detail));
  if (detail.State() == dsEdit && pending_) deleting_ = pending_;
}

void TBillSumDetail::RowDeleted() {
  const std::optional<TRowShare> gone = std::move(deleting_);
  deleting_.reset();
  pending_.reset();
  if (gone && !stale_) Change(*gone, -1);
}

void TBillSumDetail::Change(const TRowShare& share, int sign) {
  auto found = groups_.find(share.Key);
  if (found == groups_.end()) {
    if (sign < 0) {
      stale_ = true;  // a row the lines never held: they are out of step
      return;
    }
    found = groups_.emplace(share.Key, TLine{}).first;
  }
  found->second.Rows += sign;
  found->second.Qty += sign * share.Qty;
  rows_ += sign;
  Show(share.Key, found->second);
  if (found->second.Rows <= 0) groups_.erase(found);
}

void TBillSumDetail::Show(const TKey& key, TLine& line) {
  const bool shown = !line.Row.Empty() && lines_.BookmarkValid(line.Row);
  if (line.Rows <= 0) {
    if (shown) {
      lines_.GotoBookmark(line.Row);
      lines_.Delete();
    }
    return;
  }
  if (!shown) {
    AppendLine(key, line);
    return;
  }
  lines_.GotoBookmark(line.Row);
  lines_.Edit();
  lines_.FieldByName("F_QTY").SetAsLargeInt(line.Qty);
  lines_.Post();
}

}  // namespace jxc
