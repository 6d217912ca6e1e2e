// The criteria tree on its own: operator names, operator choice, the SQL and caption texts of leaves and
// lists, value rendering, refused values and update locking.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "filter/CustomFilterOperators.h"
#include "filter/CustomFilterUtils.h"
#include "filter/FilterTestSupport.h"
#include "platform/Currency.h"
#include "platform/DateTime.h"

namespace jxc {
namespace {

using filtertest::Arr;
using filtertest::Item;
using K = TcxFilterOperatorKind;

// One leaf directly in the root: the text is "(" + the leaf's expression + ")".
struct OneLeaf {
  TcxFilterCriteria criteria;
  TFilterItem item;
  TcxFilterCriteriaItem* leaf = nullptr;

  OneLeaf(K kind, Variant value, std::string fieldName = "F", std::string display = "") {
    item = Item(std::move(fieldName), FilterOperatorKindName(kind), value, "名称");
    leaf = criteria.AddItem(nullptr, &item, kind, std::move(value), std::move(display));
  }
  std::string Text() { return criteria.GetFilterText(); }
  std::string Caption() { return criteria.GetFilterCaption(); }
};

TEST(FilterOperatorNames, EveryNameMapsToItsOrdinalExactly) {
  for (int i = 0; i < kFilterOperatorKindCount; ++i) {
    const auto kind = static_cast<K>(i);
    EXPECT_EQ(FilterOperatorKindFromName(FilterOperatorKindName(kind)), kind);
  }
  EXPECT_STREQ(FilterOperatorKindName(K::foInFuture), "foInFuture");
  EXPECT_EQ(FilterOperatorKindFromName("foGreaterEqual"), K::foGreaterEqual);
}

TEST(FilterOperatorNames, NearMissesHaveNoOperator) {
  for (const char* name : {"foequal", "FOEQUAL", " foEqual", "foEqual ", "", "foAll", "=", "0"})
    EXPECT_FALSE(FilterOperatorKindFromName(name).has_value()) << name;
}

TEST(FilterItemRecord, NewItemStartsWithEqualAndNothingElse) {
  TFilterItem item;
  EXPECT_EQ(item.OperatorKind(), "foEqual");
  EXPECT_TRUE(item.FieldName().empty());
  EXPECT_TRUE(item.Value().IsEmpty());
  EXPECT_FALSE(item.OperatorLimit());
}

TEST(FilterOperatorChoice, NullValueSelectsNullOperators) {
  EXPECT_NE(dynamic_cast<TcxFilterNullOperator*>(&OneLeaf(K::foEqual, Variant::Null()).leaf->Operator()), nullptr);
  EXPECT_NE(dynamic_cast<TcxFilterNullOperator*>(&OneLeaf(K::foLike, Variant::Null()).leaf->Operator()), nullptr);
  auto* notNull = dynamic_cast<TcxFilterNotNullOperator*>(&OneLeaf(K::foNotLike, Variant::Null()).leaf->Operator());
  EXPECT_NE(notNull, nullptr);
  // Range operators keep their own class with a null value.
  EXPECT_NE(dynamic_cast<TcxFilterLessOperator*>(&OneLeaf(K::foLess, Variant::Null()).leaf->Operator()), nullptr);
  EXPECT_NE(dynamic_cast<TcxFilterLast7DaysOperator*>(&OneLeaf(K::foLast7Days, 1).leaf->Operator()), nullptr);
}

TEST(FilterOperatorChoice, SoftNullTreatsEmptyTextAsNull) {
  OneLeaf hard(K::foEqual, "");
  EXPECT_NE(dynamic_cast<TcxFilterEqualOperator*>(&hard.leaf->Operator()), nullptr);
  EXPECT_FALSE(hard.leaf->Operator().IsNullOperator());

  TcxFilterCriteria criteria;
  TcxFilterCriteriaOptions options;
  options.Include(TcxFilterCriteriaOption::fcoSoftNull);
  criteria.SetOptions(options);
  TFilterItem item = Item("F", "foEqual", "");
  auto* leaf = criteria.AddItem(nullptr, &item, K::foEqual, "", "");
  EXPECT_TRUE(leaf->Operator().IsNullOperator());
  EXPECT_EQ(leaf->DisplayValue(), "空");
}

TEST(FilterOperatorChoice, ChangingTheValueRecreatesTheOperator) {
  OneLeaf one(K::foNotEqual, "a");
  EXPECT_EQ(one.Text(), "(F <> 'a')");
  one.leaf->SetValue(Variant::Null());
  EXPECT_TRUE(one.leaf->Operator().IsNullOperator());
  EXPECT_EQ(one.Text(), "(F IS NOT NULL)");
  one.leaf->SetOperatorKind(K::foGreater);
  EXPECT_EQ(one.Text(), "(F > NULL)");
}

TEST(FilterValueRendering, StringsAreQuotedWithInnerQuotesDoubled) {
  EXPECT_EQ(OneLeaf(K::foEqual, "O'K").Text(), "(F = 'O''K')");
  EXPECT_EQ(OneLeaf(K::foEqual, "''").Text(), "(F = '''''')");
  EXPECT_EQ(OneLeaf(K::foLike, "%串码%").Text(), "(F LIKE '%串码%')");
}

TEST(FilterValueRendering, NumbersBooleansAndDates) {
  EXPECT_EQ(OneLeaf(K::foGreaterEqual, 100).Text(), "(F >= 100)");
  EXPECT_EQ(OneLeaf(K::foLess, Variant(int64_t{-9007199254740993})).Text(), "(F < -9007199254740993)");
  EXPECT_EQ(OneLeaf(K::foLessEqual, 9.5).Text(), "(F <= 9.5)");
  EXPECT_EQ(OneLeaf(K::foEqual, Currency::FromRaw(123400)).Text(), "(F = 12.34)");
  EXPECT_EQ(OneLeaf(K::foEqual, true).Text(), "(F = True)");
  EXPECT_EQ(OneLeaf(K::foEqual, EncodeDate(2026, 1, 15)).Text(), "(F = '2026-01-15')");
  EXPECT_EQ(OneLeaf(K::foGreater, EncodeDateTime(2026, 1, 15, 13, 5, 9, 0)).Text(), "(F > '2026-01-15 13:05:09')");
}

TEST(FilterValueRendering, DateTimeFormatWhenSet) {
  OneLeaf one(K::foEqual, EncodeDate(2026, 3, 7));
  one.criteria.SetDateTimeFormat("dd.mm.yyyy");
  EXPECT_EQ(one.Text(), "(F = '07.03.2026')");
}

TEST(FilterValueRendering, NullWithEqualAndNotEqualTestsForNull) {
  OneLeaf equal(K::foEqual, Variant::Null());
  EXPECT_EQ(equal.Text(), "(F IS NULL)");
  EXPECT_EQ(equal.Caption(), "(名称 = 空)");
  OneLeaf notEqual(K::foNotEqual, Variant::Null(), "F", "无");
  EXPECT_EQ(notEqual.Text(), "(F IS NOT NULL)");
  EXPECT_EQ(notEqual.Caption(), "(名称 <> 无)");
}

TEST(FilterValueRendering, BetweenAndInList) {
  EXPECT_EQ(OneLeaf(K::foBetween, Arr({1, 5})).Text(), "(F BETWEEN 1 AND 5)");
  EXPECT_EQ(OneLeaf(K::foNotBetween, Arr({1.5, 2})).Text(), "(F NOT BETWEEN 1.5 AND 2)");
  EXPECT_EQ(OneLeaf(K::foInList, Arr({"a", "b"})).Text(), "(F IN ('a', 'b'))");
  EXPECT_EQ(OneLeaf(K::foNotInList, Arr({"O'K"})).Text(), "(F NOT IN ('O''K'))");
  // A single value is a list of one.
  EXPECT_EQ(OneLeaf(K::foInList, 7).Text(), "(F IN (7))");
}

TEST(FilterValueRendering, ArrayEqualityComparesColumnByColumn) {
  EXPECT_EQ(OneLeaf(K::foEqual, Arr({1, "x"}), "F_A; F_B ;F_C").Text(), "((F_A = 1) AND (F_B = 'x'))");
  EXPECT_EQ(OneLeaf(K::foNotEqual, Arr({1, 2}), "F_A;F_B").Text(), "(NOT ((F_A = 1) AND (F_B = 2)))");
}

TEST(FilterValueRendering, TranslatedForms) {
  OneLeaf between(K::foBetween, Arr({1, 5}));
  between.criteria.SetTranslateBetween(true);
  EXPECT_EQ(between.Text(), "((F >= 1) AND (F <= 5))");
  OneLeaf notBetween(K::foNotBetween, Arr({1, 5}));
  notBetween.criteria.SetTranslateBetween(true);
  EXPECT_EQ(notBetween.Text(), "(NOT ((F >= 1) AND (F <= 5)))");
  OneLeaf notLike(K::foNotLike, "a%");
  notLike.criteria.SetTranslateLike(true);
  EXPECT_EQ(notLike.Text(), "( NOT (F LIKE 'a%'))");
  OneLeaf in(K::foInList, Arr({"a", "b"}));
  in.criteria.SetTranslateIn(true);
  EXPECT_EQ(in.Text(), "((F = 'a') OR (F = 'b'))");
  OneLeaf notIn(K::foNotInList, Arr({"a", "b"}));
  notIn.criteria.SetTranslateIn(true);
  EXPECT_EQ(notIn.Text(), "(NOT ((F = 'a') OR (F = 'b')))");
}

TEST(FilterValueRendering, ValuesThatCannotBeSQLAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_THROW(OneLeaf(K::foEqual, std::string("a\0b", 3)).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foEqual, std::string("\xC3\x28")).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foEqual, nan).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foGreater, inf).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foGreater, Arr({"a", "b"})).Text(), EFilterError);   // would be a,b unquoted
  EXPECT_THROW(OneLeaf(K::foBetween, Arr({1})).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foBetween, 1).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foInList, Arr({})).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foInList, Arr({Arr({"x"})})).Text(), EFilterError);  // nested array
  EXPECT_THROW(OneLeaf(K::foEqual, Arr({1, 2}), "F_A").Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foEqual, 1, std::string("F\0X", 3)).Text(), EFilterError);
  EXPECT_THROW(OneLeaf(K::foEqual, 1, " ").Text(), EFilterError);
  try {
    OneLeaf(K::foEqual, std::string("a\0b", 3)).Text();
  } catch (const EFilterError& error) {
    EXPECT_STREQ(error.what(), "查询内容含有无效字符");
  }
}

TEST(FilterValueRendering, UnassignedValueIsNull) {
  EXPECT_EQ(OneLeaf(K::foGreater, Variant()).Text(), "(F > NULL)");
}

TEST(FilterListText, EmptyTreeHasNoText) {
  TcxFilterCriteria criteria;
  EXPECT_EQ(criteria.GetFilterText(), "");
  EXPECT_EQ(criteria.GetFilterCaption(), "");
  EXPECT_TRUE(criteria.IsEmpty());
}

TEST(FilterListText, ListsJoinNegateAndSkipEmptyGroups) {
  TcxFilterCriteria criteria;
  TFilterItem name = Item("F_NAME", "foEqual", "a", "名称");
  TFilterItem price = Item("F_PRICE", "foGreaterEqual", 100, "价格");
  auto* names = criteria.Root().AddItemList(TcxFilterBoolOperatorKind::fboNotOr);
  names->AddItem(&name, K::foEqual, "a", "a");
  names->AddItem(&name, K::foEqual, "b", "b");
  criteria.Root().AddItemList(TcxFilterBoolOperatorKind::fboAnd);  // stays empty
  criteria.AddItem(criteria.Root().AddItemList(TcxFilterBoolOperatorKind::fboAnd), &price, K::foGreaterEqual, 100,
                   "100");
  EXPECT_EQ(criteria.GetFilterText(), "(NOT ((F_NAME = 'a') OR (F_NAME = 'b'))) AND ((F_PRICE >= 100))");
  EXPECT_EQ(criteria.GetFilterCaption(), "(非 ((名称 = a) 或者 (名称 = b))) 并且 ((价格 >= 100))");
}

TEST(FilterListText, ListsNestedDeeperThanTheLimitAreRefused) {
  TcxFilterCriteria criteria;
  TFilterItem price = Item("F_PRICE", "foGreater", 1, "价格");
  // A caller nesting without end (20,000 levels) stops at the limit with a clear error.
  TcxFilterCriteriaItemList* deepest = &criteria.Root();
  int levels = 1;
  try {
    for (; levels < 20000; ++levels) deepest = deepest->AddItemList(TcxFilterBoolOperatorKind::fboNotAnd);
    FAIL() << "20,000 nested lists were accepted";
  } catch (const EFilterError& error) {
    EXPECT_STREQ(error.what(), "查询条件的嵌套层数过多");
  }
  EXPECT_EQ(levels, cxFilterMaxNesting);
  EXPECT_EQ(deepest->Level(), cxFilterMaxNesting - 1);
  EXPECT_TRUE(deepest->IsEmpty());
  deepest->AddItem(&price, K::foGreater, 1, "1");
  std::string expected = "NOT ((F_PRICE > 1))";
  for (int i = 2; i < cxFilterMaxNesting; ++i) expected = "NOT ((" + expected + "))";
  expected = "(" + expected + ")";
  EXPECT_EQ(criteria.GetFilterText(), expected);
  // A list of two levels moved to the deepest list would lie one level too deep.
  TcxFilterCriteriaItemList* parent = deepest->Parent();
  auto pair = std::make_unique<TcxFilterCriteriaItemList>(nullptr, TcxFilterBoolOperatorKind::fboAnd);
  pair->AddItemList(TcxFilterBoolOperatorKind::fboOr)->AddItem(&price, K::foGreater, 2, "2");
  EXPECT_THROW(parent->AppendItem(std::move(pair)), EFilterError);
  EXPECT_EQ(parent->Count(), 1);
  EXPECT_EQ(criteria.GetFilterText(), expected);
}

TEST(FilterCaptions, DescriptionsOfBetweenInListAndDates) {
  OneLeaf between(K::foBetween, Arr({1, 5}), "F", "1,5");
  EXPECT_EQ(between.Caption(), "(名称 介于 1,5)");
  OneLeaf in(K::foInList, Arr({"a", "b"}), "F", "a,b");
  EXPECT_EQ(in.Caption(), "(名称 属于 a,b)");
  OneLeaf today(K::foToday, Variant(), "F", "ignored");
  EXPECT_EQ(today.Caption(), "(名称 今天)");
  OneLeaf equal(K::foEqual, 1, "F", "1");
  TcxFilterCriteriaOptions options;
  options.Include(TcxFilterCriteriaOption::fcoShowOperatorDescription);
  equal.criteria.SetOptions(options);
  EXPECT_EQ(equal.Caption(), "(名称 等于 1)");
}

TEST(FilterUpdateLocking, ChangesInsideUpdatesAreActedOnOnce) {
  TcxFilterCriteria criteria;
  int notified = 0;
  criteria.OnChanged = [&](TcxFilterCriteria&) { ++notified; };
  TFilterItem item = Item("F", "foEqual", 1);
  criteria.AddItem(nullptr, &item, K::foEqual, 1, "");
  EXPECT_EQ(notified, 1);

  criteria.BeginUpdate();
  criteria.BeginUpdate();
  criteria.AddItem(nullptr, &item, K::foEqual, 2, "");
  criteria.AddItem(nullptr, &item, K::foEqual, 3, "");
  criteria.EndUpdate();
  EXPECT_EQ(notified, 1);
  criteria.EndUpdate();
  EXPECT_EQ(notified, 2);

  criteria.BeginUpdate();
  criteria.Clear();
  criteria.CancelUpdate();
  EXPECT_EQ(notified, 2);
  EXPECT_TRUE(criteria.IsEmpty());
}

TEST(FilterTreeSearch, FindsTheFirstLeafOfAFieldDepthFirst) {
  TcxFilterCriteria criteria;
  TFilterItem a = Item("F_A", "foEqual", 1);
  TFilterItem b1 = Item("F_B", "foEqual", 1);
  TFilterItem b2 = Item("F_B", "foEqual", 2);
  TFilterItem lower = Item("f_b", "foEqual", 1);
  criteria.AddItem(criteria.Root().AddItemList(TcxFilterBoolOperatorKind::fboOr), &a, K::foEqual, 1, "");
  auto* first = criteria.AddItem(criteria.Root().AddItemList(TcxFilterBoolOperatorKind::fboOr), &b1, K::foEqual, 1, "");
  criteria.AddItem(nullptr, &b2, K::foEqual, 2, "");
  EXPECT_EQ(criteria.FindItemByItemLink(&b2), first);
  EXPECT_EQ(criteria.FindItemByItemLink(&lower), nullptr);
  EXPECT_EQ(criteria.FindItemByItemLink(nullptr), nullptr);
}

}  // namespace
}  // namespace jxc
