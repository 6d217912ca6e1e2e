#pragma once
// The SQL builder service: a base statement plus conditions in, finished SQL text out. Conditions on the
// same field form one group; groups are joined by AND. Reference counted: hold it in a std::shared_ptr.

#include <string>

#include "filter/UnitFilterItem.h"
#include "platform/Variant.h"

namespace jxc {

class ISQLBuilder {
 public:
  static constexpr const char* IID = "{EAD57422-76FA-4BA0-BC86-BA28F304B320}";
  virtual ~ISQLBuilder() = default;

  // Appends one line (the text and CR LF) to the base statement.
  virtual void AddSQL(const std::string& sql) = 0;
  // Adds a condition. The builder keeps its own copy; the caller's item is never changed. A missing
  // item or field ("查询字段不能为空"), an unknown operator name, or a value that cannot be written as SQL
  // raise EFilterError and add nothing.
  virtual void AddCondition(const TFilterItem* item) = 0;
  void AddCondition(const TFilterItem& item) { AddCondition(&item); }
  // Removes the first condition with this field name and value, as they were given to AddCondition.
  // It is not an error when there is none.
  virtual void RemoveCondition(const std::string& fieldName, const Variant& value) = 0;
  // The base statement followed directly by the condition (nothing inserted between them).
  virtual std::string GetSQL() = 0;
  // The condition as shown to the user; empty without conditions.
  virtual std::string GetFilterCaption() = 0;
  // The SQL condition; empty without conditions.
  virtual std::string GetFilterText() = 0;
  // Back to empty: no statement, no conditions.
  virtual void Reset() = 0;
};

}  // namespace jxc
