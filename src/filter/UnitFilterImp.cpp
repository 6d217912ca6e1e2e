#include "filter/UnitFilterImp.h"

#include "filter/CustomFilterOperators.h"
#include "foundation/UnitModeNOSearch.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// The joining word of a group, from the operator of the condition that opens it.
TcxFilterBoolOperatorKind GroupJoinWord(TcxFilterOperatorKind kind) {
  using K = TcxFilterOperatorKind;
  switch (kind) {
    case K::foLess:
    case K::foLessEqual:
    case K::foGreater:
    case K::foGreaterEqual:
    case K::foNotEqual:
    case K::foNotLike:
    case K::foNotBetween:
    case K::foNotInList:
      return TcxFilterBoolOperatorKind::fboAnd;
    default:
      return TcxFilterBoolOperatorKind::fboOr;
  }
}

std::string UnknownOperatorMessage(const std::string& name) {
  const bool printable = IsValidUtf8(name) && name.find('\0') == std::string::npos;
  return "查询操作符[" + (printable ? name : std::string("?")) + "]无效";
}

}  // namespace

// The builder's copy of a condition, with the field name and value as the caller gave them: the copy's
// own field name and value change for a right-side match.
struct TSQLBuilder::TAddedCondition : TFilterItem {
  TAddedCondition(const TFilterItem& item) : TFilterItem(item), EntryFieldName(item.FieldName()), EntryValue(item.Value()) {}
  std::string EntryFieldName;
  Variant EntryValue;
  std::string EscapeClause;  // of a right-side match whose text needed escaping
};

std::string TSQLBuilder::TBuilderCriteria::GetItemExpressionValue(const TcxFilterCriteriaItem& item, bool caption) {
  std::string text = TcxFilterCriteria::GetItemExpressionValue(item, caption);
  if (!caption && item.GetItemLink()) text += AddedOf(item).EscapeClause;
  return text;
}

// Every leaf of the builder's tree links to one of its copies.
const TSQLBuilder::TAddedCondition& TSQLBuilder::AddedOf(const TcxFilterCriteriaItem& leaf) {
  return static_cast<const TAddedCondition&>(*leaf.GetItemLink());
}

TSQLBuilder::TSQLBuilder() = default;

TSQLBuilder::~TSQLBuilder() = default;

void TSQLBuilder::AddSQL(const std::string& sql) {
  SB += sql;
  SB += "\r\n";
}

void TSQLBuilder::AddCondition(const TFilterItem* item) {
  if (item == nullptr || Trim(item->FieldName()).empty()) throw EFilterError(cxFilterMessages::EmptyFieldName);
  const std::optional<TcxFilterOperatorKind> kind = FilterOperatorKindFromName(item->OperatorKind());
  if (!kind) throw EFilterError(UnknownOperatorMessage(item->OperatorKind()));
  CheckFilterSQLText(item->FieldName(), cxFilterMessages::InvalidFieldName);

  auto copy = std::make_unique<TAddedCondition>(*item);
  if (*kind == TcxFilterOperatorKind::foLike && copy->Value().IsString()) {
    const std::string& text = copy->Value().Get<std::string>();
    CheckFilterSQLText(text, cxFilterMessages::InvalidValueText);
    copy->EscapeClause = LikeEscapeClause(text);
    copy->SetValue(EscapeLikeText(ReverseChars(text)) + "%");
    copy->SetFieldName("Reverse(" + copy->FieldName() + ")");
  }
  std::string displayValue = item->DisplayText().ToString();

  // Write the condition once on its own, outside the tree: a value that cannot be written as SQL is
  // refused here, before anything in the tree changes.
  {
    TcxFilterCriteriaItemList detached(FFilter, TcxFilterBoolOperatorKind::fboAnd);
    TcxFilterCriteriaItem probe(&detached, copy.get(), *kind, copy->Value(), displayValue);
    FFilter.GetItemExpression(probe, false);
  }

  TcxFilterCriteriaItem* groupLeaf = FindGroupLeaf(item->FieldName());
  const TFilterItem* link = copy.get();
  FItems.push_back(std::move(copy));
  FFilter.BeginUpdate();
  try {
    TcxFilterCriteriaItemList* group;
    if (groupLeaf == nullptr)
      group = FFilter.Root().AddItemList(GroupJoinWord(*kind));
    else if (groupLeaf->Parent() == &FFilter.Root())
      group = RegroupRootLeaf(*groupLeaf);
    else
      group = groupLeaf->Parent();
    group->AddItem(link, *kind, link->Value(), std::move(displayValue));
  } catch (...) {
    FFilter.CancelUpdate();
    throw;
  }
  FFilter.EndUpdate();
}

TcxFilterCriteriaItem* TSQLBuilder::FindGroupLeaf(const std::string& fieldName) const {
  return FFilter.FindItem([&](const TcxFilterCriteriaItem& leaf) {
    return AddedOf(leaf).EntryFieldName == fieldName;
  });
}

// A leaf left alone in the root (its group shrank to one condition) gets a group of its own again, so
// that a further condition on its field joins it by the group's word rather than by the root's AND.
TcxFilterCriteriaItemList* TSQLBuilder::RegroupRootLeaf(TcxFilterCriteriaItem& leaf) {
  TcxFilterCriteriaItemList& root = FFilter.Root();
  const int index = root.IndexOf(&leaf);
  auto group = std::make_unique<TcxFilterCriteriaItemList>(nullptr, GroupJoinWord(leaf.OperatorKind()));
  TcxFilterCriteriaItemList* result = group.get();
  group->AppendItem(root.ExtractItem(&leaf));
  root.InsertItem(index, std::move(group));
  return result;
}

void TSQLBuilder::RemoveCondition(const std::string& fieldName, const Variant& value) {
  FFilter.BeginUpdate();
  try {
    TcxFilterCriteriaItem* leaf = FFilter.FindItem([&](const TcxFilterCriteriaItem& candidate) {
      const TAddedCondition& added = AddedOf(candidate);
      return (added.EntryFieldName == fieldName && added.EntryValue == value) ||
             (added.FieldName() == fieldName && added.Value() == value);
    });
    if (leaf != nullptr) {
      TcxFilterCriteriaItemList* list = leaf->Parent();
      list->RemoveItem(leaf);
      TidyAfterRemoval(*list);
    }
  } catch (...) {
    FFilter.CancelUpdate();
    throw;
  }
  FFilter.EndUpdate();
}

// An emptied list is freed, and so is each ancestor it leaves empty, up to the root; a list left with
// one child hands the child to its parent (at the end) and is freed.
void TSQLBuilder::TidyAfterRemoval(TcxFilterCriteriaItemList& list) {
  TcxFilterCriteriaItemList* const root = &FFilter.Root();
  TcxFilterCriteriaItemList* current = &list;
  if (current == root) return;
  if (current->IsEmpty()) {
    while (current != root && current->IsEmpty()) {
      TcxFilterCriteriaItemList* parent = current->Parent();
      parent->RemoveItem(current);
      current = parent;
    }
    return;
  }
  if (current->Count() == 1) {
    TcxFilterCriteriaItemList* parent = current->Parent();
    parent->AppendItem(current->ExtractItem(current->Items(0)));
    parent->RemoveItem(current);
  }
}

std::string TSQLBuilder::GetSQL() { return SB + FFilter.GetFilterText(); }

std::string TSQLBuilder::GetFilterCaption() { return FFilter.GetFilterCaption(); }

std::string TSQLBuilder::GetFilterText() { return FFilter.GetFilterText(); }

void TSQLBuilder::Reset() {
  FFilter.Clear();
  FItems.clear();
  SB.clear();
}

}  // namespace jxc
