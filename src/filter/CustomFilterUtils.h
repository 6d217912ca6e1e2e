#pragma once
// The criteria tree: lists of conditions joined by AND or OR (or their negations), with condition leaves
// that each hold an operator (filter/CustomFilterOperators.h). The tree turns into two texts: the SQL
// condition placed after WHERE, and a caption shown to the user. Only the SQL builder creates and reads
// trees; nothing here touches a database.
//
// Ownership: the criteria owns its root list, every list owns its children, every leaf owns its
// operator. A leaf only refers to its TFilterItem; whoever adds the leaf keeps the item alive while the
// leaf is in the tree.
//
// Every value that reaches the SQL text is rendered by the operator's rules (quoted strings, quoted
// date-times, numbers, NULL); a value that cannot be written as SQL raises EFilterError instead of
// producing broken text.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filter/UnitFilterItem.h"
#include "platform/DateTime.h"
#include "platform/Variant.h"

namespace jxc {

class TcxFilterCriteria;
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;
class TcxFilterOperator;

// Makes the operator of a leaf; stands for an operator class.
using TcxFilterOperatorClass = std::unique_ptr<TcxFilterOperator> (*)(TcxFilterCriteriaItem& item);

// The words of captions, in one place.
struct cxFilterStrings {
  static constexpr const char* And = "并且";
  static constexpr const char* Or = "或者";
  static constexpr const char* Not = "非";
  static constexpr const char* Blank = "空";
};

// Messages of refused conditions (EFilterError).
struct cxFilterMessages {
  static constexpr const char* EmptyFieldName = "查询字段不能为空";
  static constexpr const char* InvalidFieldName = "查询字段含有无效字符";
  static constexpr const char* InvalidValueText = "查询内容含有无效字符";
  static constexpr const char* InvalidNumber = "查询内容不是有效的数值";
  static constexpr const char* SingleValueOnly = "该查询条件只能有一个查询内容";
  static constexpr const char* WrongValueCount = "查询内容的个数不正确";
  static constexpr const char* TooManyColumnValues = "查询内容的个数多于查询字段的个数";
  static constexpr const char* InvalidDate = "查询内容不是有效的日期";
  static constexpr const char* NestedTooDeep = "查询条件的嵌套层数过多";
};

// Lists inside one another, the root counting as the first: a deeper tree is refused (EFilterError
// NestedTooDeep) before its texts, which descend one level per call, could exhaust the stack.
inline constexpr int cxFilterMaxNesting = 100;

// When true (always, in this system) the last-N-days ranges end after today and the next-N-days ranges
// start with today.
inline constexpr bool cxFilterIncludeTodayInLastNextDaysList = true;

enum class TcxFilterCriteriaOption {
  fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare, fcoIgnoreNull
};

// A set of options; empty by default. Only fcoShowOperatorDescription (captions) and fcoSoftNull (an
// empty value counts as null) change the texts.
class TcxFilterCriteriaOptions {
 public:
  bool Contains(TcxFilterCriteriaOption option) const { return (bits_ & Bit(option)) != 0; }
  void Include(TcxFilterCriteriaOption option) { bits_ |= Bit(option); }
  void Exclude(TcxFilterCriteriaOption option) { bits_ &= ~Bit(option); }
  bool operator==(const TcxFilterCriteriaOptions&) const = default;

 private:
  static unsigned Bit(TcxFilterCriteriaOption option) { return 1u << static_cast<unsigned>(option); }
  unsigned bits_ = 0;
};

// Base of every node. Nodes are created by their list and freed by it (RemoveItem, Clear); they cannot
// be copied.
class TcxCustomFilterCriteriaItem {
 public:
  virtual ~TcxCustomFilterCriteriaItem() = default;
  TcxCustomFilterCriteriaItem(const TcxCustomFilterCriteriaItem&) = delete;
  TcxCustomFilterCriteriaItem& operator=(const TcxCustomFilterCriteriaItem&) = delete;

  // The list that holds the node; none for the root.
  TcxFilterCriteriaItemList* Parent() const { return FParent; }
  virtual TcxFilterCriteria* GetCriteria() const;
  virtual bool GetIsItemList() const = 0;
  virtual bool IsEmpty() const = 0;
  // Tells the criteria that the tree changed.
  void Changed();
  // The lists this node lies in (0 for a root).
  int Level() const;

 protected:
  explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* parent) : FParent(parent) {}

 private:
  friend class TcxFilterCriteriaItemList;
  TcxFilterCriteriaItemList* FParent;
};

// An inner node: children in order, joined by the list's joining word.
class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
 public:
  TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent, TcxFilterBoolOperatorKind boolOperator);
  // A list that is a root of the given criteria (it reaches the criteria directly, not through a parent).
  TcxFilterCriteriaItemList(TcxFilterCriteria& criteria, TcxFilterBoolOperatorKind boolOperator);
  ~TcxFilterCriteriaItemList() override;

  TcxFilterCriteria* GetCriteria() const override;
  bool GetIsItemList() const override { return true; }
  bool IsEmpty() const override { return FItems.empty(); }

  TcxFilterBoolOperatorKind BoolOperatorKind() const { return FBoolOperatorKind; }
  void SetBoolOperatorKind(TcxFilterBoolOperatorKind value);
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxCustomFilterCriteriaItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
  // Position of a direct child; -1 when it is not one.
  int IndexOf(const TcxCustomFilterCriteriaItem* item) const;

  // Appends a new leaf and returns it (owned by this list).
  TcxFilterCriteriaItem* AddItem(const TFilterItem* itemLink, TcxFilterOperatorKind kind, Variant value,
                                 std::string displayValue);
  // Appends a new empty list and returns it (owned by this list). Refused (EFilterError) when the new list
  // would lie deeper than cxFilterMaxNesting.
  TcxFilterCriteriaItemList* AddItemList(TcxFilterBoolOperatorKind boolOperator);
  // Frees a direct child; it leaves the list. Not an error when the item is not a child.
  virtual void RemoveItem(TcxCustomFilterCriteriaItem* item);
  // Takes a direct child out of the list without freeing it; none when it is not a child.
  std::unique_ptr<TcxCustomFilterCriteriaItem> ExtractItem(TcxCustomFilterCriteriaItem* item);
  // Makes the node a child of this list, at the end or at the given position. Refused (EFilterError), the
  // node being freed, when one of its lists would lie deeper than cxFilterMaxNesting.
  void AppendItem(std::unique_ptr<TcxCustomFilterCriteriaItem> item);
  void InsertItem(int index, std::unique_ptr<TcxCustomFilterCriteriaItem> item);
  // Frees every child (one change notification).
  void Clear();

 private:
  TcxFilterBoolOperatorKind FBoolOperatorKind;
  TcxFilterCriteria* FCriteria = nullptr;  // set on a root only
  std::vector<std::unique_ptr<TcxCustomFilterCriteriaItem>> FItems;
};

// A condition leaf: the linked item's column, an operator and a value.
class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
 public:
  TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, const TFilterItem* itemLink,
                        TcxFilterOperatorKind kind, Variant value, std::string displayValue);
  ~TcxFilterCriteriaItem() override;

  bool GetIsItemList() const override { return false; }
  // True when no item is linked.
  bool IsEmpty() const override { return FItemLink == nullptr; }

  const std::string& DisplayValue() const { return FDisplayValue; }
  void SetDisplayValue(std::string value);
  const TFilterItem* GetItemLink() const { return FItemLink; }
  void SetItemLink(const TFilterItem* value);
  TcxFilterOperatorKind OperatorKind() const { return FOperatorKind; }
  // A different kind recreates the operator and notifies the criteria.
  void SetOperatorKind(TcxFilterOperatorKind value);
  const Variant& Value() const { return FValue; }
  // A different value (or the same value of another kind) recreates the operator and notifies.
  void SetValue(Variant value);
  const Variant& PreparedValue() const { return FPreparedValue; }
  TcxFilterOperator& Operator() const { return *FOperator; }

  // The display value (for a caption).
  virtual std::string GetDisplayValue() const { return FDisplayValue; }
  // The value part of the expression: the display value in a caption, the rendered value in SQL.
  virtual std::string GetExpressionValue(bool caption) const;
  // The linked item's caption and field name, read each time a text is built; empty without a link.
  virtual std::string GetFieldCaption() const;
  virtual std::string GetFieldName() const;
  // The field name as it goes into SQL: refused (EFilterError) when empty or not valid text.
  std::string GetSQLFieldName() const;
  // The operator the leaf's kind and value call for: the null or not-null operator for a null value
  // with equal, not equal, like and not like (with fcoSoftNull also for an empty value), else the
  // kind's own operator.
  virtual TcxFilterOperatorClass GetFilterOperatorClass() const;
  // True for a null value; with fcoSoftNull also for an empty value or empty text.
  bool ValueIsNull(const Variant& value) const;
  // Prepares the value and the operator (the relative date operators fix their range here).
  void Prepare();

 private:
  void RecreateOperator();

  std::string FDisplayValue;
  const TFilterItem* FItemLink;
  std::unique_ptr<TcxFilterOperator> FOperator;
  TcxFilterOperatorKind FOperatorKind;
  Variant FPreparedValue;
  Variant FValue;
};

// The tree's owner: options, update locking, change notification and the texts. Not copyable.
class TcxFilterCriteria {
 public:
  TcxFilterCriteria();
  virtual ~TcxFilterCriteria();
  TcxFilterCriteria(const TcxFilterCriteria&) = delete;
  TcxFilterCriteria& operator=(const TcxFilterCriteria&) = delete;

  TcxFilterCriteriaItemList& Root() const { return *FRoot; }
  const TcxFilterCriteriaOptions& Options() const { return FOptions; }
  void SetOptions(TcxFilterCriteriaOptions value) { FOptions = value; }
  // When not empty, date-times are written with this pattern; empty by default.
  const std::string& DateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(std::string value) { FDateTimeFormat = std::move(value); }
  // Alternative SQL forms of between, not like and in-list; all false by default.
  bool TranslateBetween() const { return FTranslateBetween; }
  void SetTranslateBetween(bool value) { FTranslateBetween = value; }
  bool TranslateLike() const { return FTranslateLike; }
  void SetTranslateLike(bool value) { FTranslateLike = value; }
  bool TranslateIn() const { return FTranslateIn; }
  void SetTranslateIn(bool value) { FTranslateIn = value; }
  // Called after each prepared change.
  std::function<void(TcxFilterCriteria&)> OnChanged;

  // Updates nest; notifications inside an update are collected and acted on once by the outermost
  // EndUpdate. CancelUpdate leaves without acting on them.
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void CancelUpdate();
  int32_t LockCount() const { return FLockCount; }
  // Notes a change and acts on it unless an update is open.
  void Changed();
  // When a change is pending and no update is open: prepares every leaf, then Update.
  virtual void CheckChanges();

  // Appends a leaf to the given list, or to the root when none is given.
  TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* parent, const TFilterItem* itemLink,
                                 TcxFilterOperatorKind kind, Variant value, std::string displayValue);
  // The first leaf, depth-first in list order, whose linked item has the field name of the given item
  // (exact comparison); none when there is none.
  TcxFilterCriteriaItem* FindItemByItemLink(const TFilterItem* itemLink) const;
  // The first leaf, depth-first in list order, that the predicate accepts; none when there is none.
  TcxFilterCriteriaItem* FindItem(const std::function<bool(const TcxFilterCriteriaItem&)>& match) const;
  // Frees every node below the root and resets the root's joining word to AND (one notification).
  void Clear();
  bool IsEmpty() const { return FRoot->IsEmpty(); }

  // The SQL condition of the whole tree; empty for an empty tree.
  std::string GetFilterText();
  // The caption of the whole tree; empty for an empty tree.
  std::string GetFilterCaption();
  virtual std::string GetFilterExpression(bool caption);
  // The expression of one leaf, without the surrounding brackets.
  virtual std::string GetItemExpression(const TcxFilterCriteriaItem& item, bool caption);

  // Text forms used by the value rendering.
  virtual std::string ConvertBoolToStr(bool value) const;
  // "yyyy-mm-dd hh:nn:ss", the date only at midnight; or DateTimeFormat when set.
  virtual std::string ConvertDateToStr(TDateTime value) const;
  // Last say over a rendered value; leaves the text as it is.
  virtual void FormatFilterTextValue(const TcxFilterCriteriaItem& item, const Variant& value,
                                     std::string& text) const;
  virtual bool ValueIsNull(const Variant& value) const;

 protected:
  virtual std::string GetItemExpressionFieldName(const TcxFilterCriteriaItem& item, bool caption);
  virtual std::string GetItemExpressionOperator(const TcxFilterCriteriaItem& item, bool caption);
  virtual std::string GetItemExpressionValue(const TcxFilterCriteriaItem& item, bool caption);
  virtual void Prepare();
  virtual void Update();

 private:
  void AppendListExpression(std::string& out, const TcxFilterCriteriaItemList& list, bool caption);
  void PrepareList(TcxFilterCriteriaItemList& list);

  bool FChanged = false;
  std::string FDateTimeFormat;
  int32_t FLockCount = 0;
  TcxFilterCriteriaOptions FOptions;
  std::unique_ptr<TcxFilterCriteriaItemList> FRoot;
  bool FTranslateBetween = false;
  bool FTranslateLike = false;
  bool FTranslateIn = false;
};

// Text that goes into SQL as it stands (a column expression) or inside a literal must be valid UTF-8
// without NUL characters: raises EFilterError with the message otherwise.
void CheckFilterSQLText(std::string_view text, const char* message);

}  // namespace jxc
