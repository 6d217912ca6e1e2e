#include "bills/UnitBatchDetailLines.h"

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Grid.h"
#include "platform/Exceptions.h"
#include "platform/MemSQL.h"

namespace jxc {

TDetailLinesView MakeDetailLinesView(TComponent& dialog, TWinControl& parent) {
  TDetailLinesView made{};
  made.Lines = new TkbmMemSQL(&dialog);
  made.Lines->SetName("qryResult");
  made.Source = new TDataSource(&dialog);
  made.Source->SetName("dsResult");
  made.Source->SetDataSet(made.Lines);
  made.Grid = new TGrid(&dialog);
  made.Grid->SetName("cxGrid1");
  made.Grid->SetParent(&parent);
  made.Grid->Align = TAlign::alClient;
  made.View = made.Grid->CreateView<TGridTableView>(&dialog);
  made.View->SetName("tvResult");
  made.View->DataController().SetDataSource(made.Source);
  made.View->OptionsView.GroupByBox = false;
  made.View->OptionsData.Appending = false;
  made.View->OptionsData.Inserting = false;
  made.View->OptionsData.Deleting = false;
  return made;
}

void SetFieldIfPresent(TDataSet& row, const char* name, const Variant& value) {
  if (TField* field = row.FindField(name)) field->SetValue(value);
}

void PostTypedRow(TDataSet& detail) {
  if (detail.State() == dsEdit || (detail.State() == dsInsert && detail.Modified())) detail.Post();
}

void RequireDetailFields(const TDataSet& detail, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (!detail.FindField(name)) throw Exception(std::string("明细没有字段[") + name + "]");
}

void SumDetailLines(TkbmMemSQL& lines, TDataSet& detail, const std::string& sql,
                    const std::map<std::string, TFieldType>& types) {
  PostTypedRow(detail);
  lines.TablesClear();
  lines.TablesAdd(detail, "Detail");
  lines.TypeHints = types;
  lines.SetFiltered(false);
  lines.ExecSQL(sql);
  const TField& product = lines.FieldByName("F_PRODUCT_ID");
  lines.DisableControls();
  lines.First();
  while (!lines.Eof()) {
    if (product.IsNull() || product.AsString().empty()) lines.Delete();
    else lines.Next();
  }
  lines.First();
  lines.EnableControls();
}

}  // namespace jxc
