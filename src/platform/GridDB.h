#pragma once
// The dataset binding of grid views: a bound view's records are the visible rows of the data source's
// dataset, in the dataset's order, and its focused record is the dataset's current row. Columns find their
// fields by name whenever the dataset opens or changes structure. Writes into cells move the cursor to
// the record and put the dataset into edit (a data source with AutoEdit off refuses: the cell stays as it
// is and the refusal raises EDatabaseError "Dataset not in edit or insert mode").
//
// TGridDataController::SetDataSource and TGridTableView::CreateAllItems live in this unit.

#include "platform/DataSource.h"
#include "platform/Grid.h"

namespace jxc {

class TGridDBBinding : public TGridRecordSource, public TDataLink {
 public:
  TGridDBBinding(TGridTableView& view, TDataSource* source);

  int RecordCount() const override;
  Variant Value(int record, const TGridColumn& column) const override;
  bool DisplayText(int record, const TGridColumn& column, std::string& text) const override;
  void SetValue(int record, TGridColumn& column, const Variant& value) override;
  void SetText(int record, TGridColumn& column, const std::string& text) override;
  int FocusedRecord() const override;
  void SetFocusedRecord(int record) override;
  bool Inserting() const override;
  void Append() override;
  void Insert() override;
  void DeleteFocused() override;
  void Post() override;
  void Cancel() override;
  void ResolveFields() override;
  TDataSource* LinkedDataSource() const override { return DataSource(); }

 protected:
  void DataEvent(TDataEvent event, TField* field) override;
  void DataSourceChanged() override { ResolveFields(); }

 private:
  TField& EditField(int record, TGridColumn& column);

  TGridTableView& view_;
  int lastFocused_ = -1;
};

}  // namespace jxc
