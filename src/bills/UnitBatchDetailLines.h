#pragma once
// What the batch edits of a bill's detail share: the detail summed into editable lines by an in-memory
// statement over the table "Detail", and the one dialog of each kind an owner keeps.

#include <initializer_list>
#include <map>
#include <string>

#include "platform/Component.h"
#include "platform/Controls.h"
#include "platform/Variant.h"
#include "platform/Field.h"

namespace jxc {

class TDataSet;
class TDataSource;
class TGrid;
class TGridTableView;
class TkbmMemSQL;

// The lines of a batch dialog: the statement's result (qryResult), its data source (dsResult) and the grid
// showing it (cxGrid1 with tvResult), where lines can be edited but not added or removed. All owned by
// the dialog.
struct TDetailLinesView {
  TkbmMemSQL* Lines;
  TDataSource* Source;
  TGrid* Grid;
  TGridTableView* View;
};
TDetailLinesView MakeDetailLinesView(TComponent& dialog, TWinControl& parent);

// Sets the field where the row has it.
void SetFieldIfPresent(TDataSet& row, const char* name, const Variant& value);

// Posts the row the user is typing; a new row nobody has typed into is left as it is.
void PostTypedRow(TDataSet& detail);

// Refuses a detail that lacks one of the fields ("明细没有字段[F_...]").
void RequireDetailFields(const TDataSet& detail, std::initializer_list<const char*> names);

// Runs the statement over the detail's visible rows, registered as "Detail" (a row being typed is posted
// first), with the result columns typed as given. Lines without a product (rows nobody has filled yet)
// are dropped: no batch edit applies to them. Raises, with the lines as they were, when the statement
// cannot run on this detail.
void SumDetailLines(TkbmMemSQL& lines, TDataSet& detail, const std::string& sql,
                    const std::map<std::string, TFieldType>& types);

// The owner's component of that name when it is a T, else a new T of the owner under that name (the
// application's when owner is null).
template <class T>
T* OwnedDialog(TComponent* owner, const char* name);

}  // namespace jxc

#include "platform/Application.h"
#include "platform/Forms.h"

namespace jxc {

template <class T>
T* OwnedDialog(TComponent* owner, const char* name) {
  TComponent* home = owner ? owner : &Application();
  if (auto* found = dynamic_cast<T*>(home->FindComponent(name))) return found;
  T* made = CreateForm<T>(home);
  made->SetName(name);
  return made;
}

}  // namespace jxc
