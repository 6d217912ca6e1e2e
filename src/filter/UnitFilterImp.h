#pragma once
// TSQLBuilder: the SQL builder service over a criteria tree. The root joins one group per field with
// AND; a group's own joining word is fixed by the condition that opens it: range bounds (<, <=, >, >=)
// and negations (<>, NOT LIKE, NOT BETWEEN, NOT IN) join with AND, so that "F >= 1" and "F <= 9" select
// the range and "F <> 'a'" and "F <> 'b'" exclude both; equality, like, between, in-list and the
// relative date operators join with OR, so that "F = 'a'" and "F = 'b'" select either.
//
// A like condition on text is a right-side match: the value is reversed by characters and followed by
// "%", the column becomes Reverse(column), and Reverse(F) LIKE 'reversed%' selects the rows whose column
// ends with the entered text. Every entered character stands for itself: a text holding "%", "_" or "\"
// has them escaped and its condition ends with ESCAPE '\'. Grouping and removal go by the field name and
// value the caller gave.

#include <memory>
#include <string>
#include <vector>

#include "filter/CustomFilterUtils.h"
#include "filter/SQLBuilderIntf.h"

namespace jxc {

class TSQLBuilder final : public ISQLBuilder {
 public:
  TSQLBuilder();
  ~TSQLBuilder() override;
  TSQLBuilder(const TSQLBuilder&) = delete;
  TSQLBuilder& operator=(const TSQLBuilder&) = delete;

  void AddSQL(const std::string& sql) override;
  using ISQLBuilder::AddCondition;
  void AddCondition(const TFilterItem* item) override;
  void RemoveCondition(const std::string& fieldName, const Variant& value) override;
  std::string GetSQL() override;
  std::string GetFilterCaption() override;
  std::string GetFilterText() override;
  void Reset() override;

  // The tree (read access for the query designer's descendants and for tests).
  TcxFilterCriteria& Filter() { return FFilter; }

 private:
  struct TAddedCondition;
  static const TAddedCondition& AddedOf(const TcxFilterCriteriaItem& leaf);
  TcxFilterCriteriaItem* FindGroupLeaf(const std::string& fieldName) const;
  TcxFilterCriteriaItemList* RegroupRootLeaf(TcxFilterCriteriaItem& leaf);
  void TidyAfterRemoval(TcxFilterCriteriaItemList& list);

  // The builder's tree: the SQL of an escaped right-side match names its escape character.
  class TBuilderCriteria final : public TcxFilterCriteria {
   protected:
    std::string GetItemExpressionValue(const TcxFilterCriteriaItem& item, bool caption) override;
  };

  std::string SB;
  std::vector<std::unique_ptr<TAddedCondition>> FItems;  // the copies; outlive the tree's leaves
  TBuilderCriteria FFilter;
};

}  // namespace jxc
