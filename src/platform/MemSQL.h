#pragma once
// TkbmMemSQL runs one SELECT over named in-memory datasets and is itself the result: an open, editable
// in-memory table that a data source can show, close and run again.
//
// Tables are live registrations: every run copies the visible rows of each registered dataset (through
// its range and filter) into the engine, so a registration made once follows later changes. Names of
// tables and columns are matched without case. The engine is SQLite, so any SELECT it understands runs:
// grouping, aggregates, HAVING, WHERE, ORDER BY, aliases with and without AS, literal columns. Without
// ORDER BY, groups come out in the order of their GROUP BY keys.
//
// Result columns are typed so that screens can keep working with them as datasets:
//   - a plain column reference keeps its source field's type (currency stays currency, booleans stay
//     booleans, identifiers stay 64-bit integers);
//   - TRUE / FALSE literals give booleans ("False AS F_SELECT"); integer literals 64-bit integers
//     ("0 AS F_NEW_COLOR_ID"); decimal literals floats ("0.00 AS F_NEW_PRICE"); text literals strings;
//   - SUM, MIN and MAX of a column keep its type (a sum of currency is currency, exact to four decimals;
//     a sum of integers is an integer), COUNT gives an integer, AVG a float;
//   - anything else takes the kind of its values (integer, float or text);
//   - TypeHints, by result column name, override all of the above.
// A statement the engine cannot run raises EDatabaseError naming the statement; the previous result is
// then kept.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/DataSet.h"

namespace jxc {

class TkbmMemSQL : public TMemTable {
 public:
  explicit TkbmMemSQL(TComponent* owner = nullptr);
  ~TkbmMemSQL() override;
  std::string ClassName() const override { return "TkbmMemSQL"; }

  // --- the table list ---
  void TablesClear();
  // Registers the dataset under the name (replacing a registration of the same name). The dataset is not
  // owned; when it is freed it leaves the list.
  void TablesAdd(TDataSet& dataSet, std::string name);
  int TablesCount() const;

  // The statement that Open and ExecSQL() run.
  std::string SQL;
  // Result column types by column name (case-insensitive), overriding the inferred ones.
  std::map<std::string, TFieldType> TypeHints;

  // Runs SQL when it is set; otherwise opens as a plain in-memory table.
  void Open() override;
  void ExecSQL();
  // Sets SQL and runs it.
  void ExecSQL(std::string_view sql);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  struct Engine;
  std::unique_ptr<Engine> engine_;
};

}  // namespace jxc
