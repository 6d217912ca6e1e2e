#include "filter/CustomFilterUtils.h"

#include <algorithm>
#include <cstring>

#include "filter/CustomFilterOperators.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {

bool IsNegation(TcxFilterBoolOperatorKind kind) {
  return kind == TcxFilterBoolOperatorKind::fboNotAnd || kind == TcxFilterBoolOperatorKind::fboNotOr;
}

bool JoinsWithAnd(TcxFilterBoolOperatorKind kind) {
  return kind == TcxFilterBoolOperatorKind::fboAnd || kind == TcxFilterBoolOperatorKind::fboNotAnd;
}

// Lists from the node down to its deepest list, the node included when it is one (0 for a leaf). Trees
// are built under the nesting limit, so the descent stays shallow.
int ListHeight(const TcxCustomFilterCriteriaItem& item) {
  if (!item.GetIsItemList()) return 0;
  const auto& list = static_cast<const TcxFilterCriteriaItemList&>(item);
  int below = 0;
  for (int i = 0; i < list.Count(); ++i) below = std::max(below, ListHeight(*list.Items(i)));
  return below + 1;
}

// A list whose deepest list would lie below the limit once holding lists of that height is refused.
void CheckNesting(const TcxFilterCriteriaItemList& list, int addedHeight) {
  if (list.Level() + 1 + addedHeight > cxFilterMaxNesting) throw EFilterError(cxFilterMessages::NestedTooDeep);
}

}  // namespace

void CheckFilterSQLText(std::string_view text, const char* message) {
  if (std::memchr(text.data(), '\0', text.size()) != nullptr || !IsValidUtf8(text)) throw EFilterError(message);
}

// --- nodes -----------------------------------------------------------------------------------------------

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const {
  return FParent != nullptr ? FParent->GetCriteria() : nullptr;
}

void TcxCustomFilterCriteriaItem::Changed() {
  if (TcxFilterCriteria* criteria = GetCriteria()) criteria->Changed();
}

int TcxCustomFilterCriteriaItem::Level() const {
  int level = 0;
  for (const TcxFilterCriteriaItemList* list = FParent; list != nullptr; list = list->Parent()) ++level;
  return level;
}

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent,
                                                     TcxFilterBoolOperatorKind boolOperator)
    : TcxCustomFilterCriteriaItem(parent), FBoolOperatorKind(boolOperator) {}

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(TcxFilterCriteria& criteria,
                                                     TcxFilterBoolOperatorKind boolOperator)
    : TcxCustomFilterCriteriaItem(nullptr), FBoolOperatorKind(boolOperator), FCriteria(&criteria) {}

TcxFilterCriteriaItemList::~TcxFilterCriteriaItemList() = default;

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const {
  return FCriteria != nullptr ? FCriteria : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::SetBoolOperatorKind(TcxFilterBoolOperatorKind value) {
  if (value == FBoolOperatorKind) return;
  FBoolOperatorKind = value;
  Changed();
}

int TcxFilterCriteriaItemList::IndexOf(const TcxCustomFilterCriteriaItem* item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == item) return static_cast<int>(i);
  return -1;
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(const TFilterItem* itemLink, TcxFilterOperatorKind kind,
                                                          Variant value, std::string displayValue) {
  auto item = std::make_unique<TcxFilterCriteriaItem>(this, itemLink, kind, std::move(value), std::move(displayValue));
  TcxFilterCriteriaItem* result = item.get();
  FItems.push_back(std::move(item));
  Changed();
  return result;
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(TcxFilterBoolOperatorKind boolOperator) {
  CheckNesting(*this, 1);
  auto list = std::make_unique<TcxFilterCriteriaItemList>(this, boolOperator);
  TcxFilterCriteriaItemList* result = list.get();
  FItems.push_back(std::move(list));
  Changed();
  return result;
}

void TcxFilterCriteriaItemList::RemoveItem(TcxCustomFilterCriteriaItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return;
  FItems.erase(FItems.begin() + index);
  Changed();
}

std::unique_ptr<TcxCustomFilterCriteriaItem> TcxFilterCriteriaItemList::ExtractItem(TcxCustomFilterCriteriaItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  std::unique_ptr<TcxCustomFilterCriteriaItem> result = std::move(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  Changed();
  result->FParent = nullptr;
  return result;
}

void TcxFilterCriteriaItemList::AppendItem(std::unique_ptr<TcxCustomFilterCriteriaItem> item) {
  InsertItem(Count(), std::move(item));
}

void TcxFilterCriteriaItemList::InsertItem(int index, std::unique_ptr<TcxCustomFilterCriteriaItem> item) {
  if (!item) return;
  CheckNesting(*this, ListHeight(*item));
  index = std::clamp(index, 0, Count());
  item->FParent = this;
  FItems.insert(FItems.begin() + index, std::move(item));
  Changed();
}

void TcxFilterCriteriaItemList::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

TcxFilterCriteriaItem::TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, const TFilterItem* itemLink,
                                             TcxFilterOperatorKind kind, Variant value, std::string displayValue)
    : TcxCustomFilterCriteriaItem(parent),
      FDisplayValue(std::move(displayValue)),
      FItemLink(itemLink),
      FOperatorKind(kind),
      FValue(std::move(value)) {
  RecreateOperator();
}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() = default;

void TcxFilterCriteriaItem::SetDisplayValue(std::string value) {
  if (value == FDisplayValue) return;
  FDisplayValue = std::move(value);
  Changed();
}

void TcxFilterCriteriaItem::SetItemLink(const TFilterItem* value) {
  if (value == FItemLink) return;
  FItemLink = value;
  Changed();
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind value) {
  if (value == FOperatorKind) return;
  FOperatorKind = value;
  RecreateOperator();
  Changed();
}

void TcxFilterCriteriaItem::SetValue(Variant value) {
  // "1" and 1 are equal variants but may call for different renderings, so the kind counts too.
  if (value.Type() == FValue.Type() && value == FValue) return;
  FValue = std::move(value);
  RecreateOperator();
  Changed();
}

std::string TcxFilterCriteriaItem::GetExpressionValue(bool caption) const {
  if (!caption) return FOperator->GetExpressionValue(FValue);
  std::string text = GetDisplayValue();
  FOperator->PrepareDisplayValue(text);
  return text;
}

std::string TcxFilterCriteriaItem::GetFieldCaption() const {
  return FItemLink != nullptr ? FItemLink->Caption() : std::string();
}

std::string TcxFilterCriteriaItem::GetFieldName() const {
  return FItemLink != nullptr ? FItemLink->FieldName() : std::string();
}

std::string TcxFilterCriteriaItem::GetSQLFieldName() const {
  std::string name = GetFieldName();
  if (Trim(name).empty()) throw EFilterError(cxFilterMessages::EmptyFieldName);
  CheckFilterSQLText(name, cxFilterMessages::InvalidFieldName);
  return name;
}

TcxFilterOperatorClass TcxFilterCriteriaItem::GetFilterOperatorClass() const {
  using K = TcxFilterOperatorKind;
  const bool nullable = FOperatorKind == K::foEqual || FOperatorKind == K::foNotEqual ||
                        FOperatorKind == K::foLike || FOperatorKind == K::foNotLike;
  if (nullable && ValueIsNull(FValue))
    return FilterOperatorClassOf(FOperatorKind == K::foNotEqual || FOperatorKind == K::foNotLike
                                     ? TcxFilterNullOperatorKind::NotNull
                                     : TcxFilterNullOperatorKind::Null);
  return FilterOperatorClassOf(FOperatorKind);
}

bool TcxFilterCriteriaItem::ValueIsNull(const Variant& value) const {
  if (const TcxFilterCriteria* criteria = GetCriteria()) return criteria->ValueIsNull(value);
  return value.IsNull();
}

void TcxFilterCriteriaItem::Prepare() {
  FPreparedValue = FValue;
  FOperator->Prepare();
}

void TcxFilterCriteriaItem::RecreateOperator() {
  FOperator = GetFilterOperatorClass()(*this);
  if (FOperator->IsNullOperator() && FDisplayValue.empty()) FDisplayValue = cxFilterStrings::Blank;
}

// --- criteria --------------------------------------------------------------------------------------------

TcxFilterCriteria::TcxFilterCriteria()
    : FRoot(std::make_unique<TcxFilterCriteriaItemList>(*this, TcxFilterBoolOperatorKind::fboAnd)) {}

TcxFilterCriteria::~TcxFilterCriteria() = default;

void TcxFilterCriteria::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  CheckChanges();
}

void TcxFilterCriteria::CancelUpdate() {
  if (FLockCount > 0) --FLockCount;
}

void TcxFilterCriteria::Changed() {
  FChanged = true;
  CheckChanges();
}

void TcxFilterCriteria::CheckChanges() {
  if (!FChanged || FLockCount != 0) return;
  FChanged = false;
  Prepare();
  Update();
}

void TcxFilterCriteria::Prepare() { PrepareList(*FRoot); }

void TcxFilterCriteria::PrepareList(TcxFilterCriteriaItemList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    TcxCustomFilterCriteriaItem* child = list.Items(i);
    if (child->GetIsItemList())
      PrepareList(static_cast<TcxFilterCriteriaItemList&>(*child));
    else
      static_cast<TcxFilterCriteriaItem&>(*child).Prepare();
  }
}

void TcxFilterCriteria::Update() {
  if (OnChanged) OnChanged(*this);
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* parent, const TFilterItem* itemLink,
                                                  TcxFilterOperatorKind kind, Variant value,
                                                  std::string displayValue) {
  TcxFilterCriteriaItemList& list = parent != nullptr ? *parent : *FRoot;
  return list.AddItem(itemLink, kind, std::move(value), std::move(displayValue));
}

namespace {

TcxFilterCriteriaItem* FindLeaf(const TcxFilterCriteriaItemList& list,
                                const std::function<bool(const TcxFilterCriteriaItem&)>& match) {
  for (int i = 0; i < list.Count(); ++i) {
    TcxCustomFilterCriteriaItem* child = list.Items(i);
    if (child->GetIsItemList()) {
      if (auto* found = FindLeaf(static_cast<TcxFilterCriteriaItemList&>(*child), match)) return found;
    } else if (match(static_cast<TcxFilterCriteriaItem&>(*child))) {
      return static_cast<TcxFilterCriteriaItem*>(child);
    }
  }
  return nullptr;
}

}  // namespace

TcxFilterCriteriaItem* TcxFilterCriteria::FindItem(
    const std::function<bool(const TcxFilterCriteriaItem&)>& match) const {
  return FindLeaf(*FRoot, match);
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemByItemLink(const TFilterItem* itemLink) const {
  if (itemLink == nullptr) return nullptr;
  const std::string& fieldName = itemLink->FieldName();
  return FindItem([&](const TcxFilterCriteriaItem& leaf) {
    return leaf.GetItemLink() != nullptr && leaf.GetItemLink()->FieldName() == fieldName;
  });
}

void TcxFilterCriteria::Clear() {
  BeginUpdate();
  FRoot->Clear();
  FRoot->SetBoolOperatorKind(TcxFilterBoolOperatorKind::fboAnd);
  EndUpdate();
}

std::string TcxFilterCriteria::GetFilterText() { return GetFilterExpression(false); }

std::string TcxFilterCriteria::GetFilterCaption() { return GetFilterExpression(true); }

std::string TcxFilterCriteria::GetFilterExpression(bool caption) {
  std::string out;
  AppendListExpression(out, *FRoot, caption);
  return out;
}

// Children in brackets joined by the list's word; a negated list becomes NOT (...). A list without
// conditions writes nothing, so no empty brackets reach SQL.
void TcxFilterCriteria::AppendListExpression(std::string& out, const TcxFilterCriteriaItemList& list, bool caption) {
  const size_t start = out.size();
  const bool negate = IsNegation(list.BoolOperatorKind());
  if (negate) {
    out += caption ? cxFilterStrings::Not : "NOT";
    out += " (";
  }
  const char* word = JoinsWithAnd(list.BoolOperatorKind()) ? (caption ? cxFilterStrings::And : "AND")
                                                           : (caption ? cxFilterStrings::Or : "OR");
  bool any = false;
  for (int i = 0; i < list.Count(); ++i) {
    const TcxCustomFilterCriteriaItem* child = list.Items(i);
    const size_t mark = out.size();
    if (any) {
      out += ' ';
      out += word;
      out += ' ';
    }
    out += '(';
    const size_t open = out.size();
    if (child->GetIsItemList()) {
      AppendListExpression(out, static_cast<const TcxFilterCriteriaItemList&>(*child), caption);
      if (out.size() == open) {
        out.resize(mark);
        continue;
      }
    } else {
      out += GetItemExpression(static_cast<const TcxFilterCriteriaItem&>(*child), caption);
    }
    out += ')';
    any = true;
  }
  if (!any) {
    out.resize(start);
    return;
  }
  if (negate) out += ')';
}

std::string TcxFilterCriteria::GetItemExpression(const TcxFilterCriteriaItem& item, bool caption) {
  if (!caption && item.Operator().IsExpression()) return item.Operator().GetExpressionFilterText(item.Value());
  std::string text = GetItemExpressionFieldName(item, caption);
  text += ' ';
  text += GetItemExpressionOperator(item, caption);
  const std::string value = GetItemExpressionValue(item, caption);
  if (!value.empty()) {
    text += ' ';
    text += value;
  }
  return text;
}

std::string TcxFilterCriteria::GetItemExpressionFieldName(const TcxFilterCriteriaItem& item, bool caption) {
  return caption ? item.GetFieldCaption() : item.GetSQLFieldName();
}

std::string TcxFilterCriteria::GetItemExpressionOperator(const TcxFilterCriteriaItem& item, bool caption) {
  const TcxFilterOperator& op = item.Operator();
  if (caption && (op.IsDescription() || FOptions.Contains(TcxFilterCriteriaOption::fcoShowOperatorDescription)))
    return op.DisplayText();
  return op.FilterText();
}

std::string TcxFilterCriteria::GetItemExpressionValue(const TcxFilterCriteriaItem& item, bool caption) {
  return item.GetExpressionValue(caption);
}

std::string TcxFilterCriteria::ConvertBoolToStr(bool value) const {
  return value ? FormatSettings().TrueStr : FormatSettings().FalseStr;
}

std::string TcxFilterCriteria::ConvertDateToStr(TDateTime value) const {
  return FDateTimeFormat.empty() ? DateTimeToStr(value) : FormatDateTime(FDateTimeFormat, value);
}

void TcxFilterCriteria::FormatFilterTextValue(const TcxFilterCriteriaItem& item, const Variant& value,
                                              std::string& text) const {}

bool TcxFilterCriteria::ValueIsNull(const Variant& value) const {
  if (value.IsNull()) return true;
  if (!FOptions.Contains(TcxFilterCriteriaOption::fcoSoftNull)) return false;
  return value.IsEmpty() || (value.IsString() && value.Get<std::string>().empty());
}

}  // namespace jxc
