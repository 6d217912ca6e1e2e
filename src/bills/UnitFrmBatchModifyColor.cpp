#include "bills/UnitFrmBatchModifyColor.h"

#include <map>
#include <vector>

#include "bills/UnitBatchDetailLines.h"
#include "editors/UnitEditorUtils.h"
#include "foundation/CacheIntf.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Grid.h"
#include "platform/MemSQL.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kLinesSQL =
    "SELECT  True AS F_SELECT, SUM(F_QTY) AS F_QTY,  F_PRODUCT_ID, F_PRODUCT, 0 AS F_NEW_COLOR_ID FROM Detail GROUP "
    "BY F_PRODUCT_ID, F_PRODUCT";
constexpr const char* kLocationsSQL = "SELECT F_ID, F_NAME, F_CODE, F_PY FROM TB_STOCK_LOCATION";
constexpr const char* kWorking = "处理中...";
// Rows changed between two turns of the message pump.
constexpr int kPumpEvery = 200;

bool HasValue(const Variant& value) { return !value.IsNullOrEmpty() && value.ToString() != "0"; }

// A detail row's value before OK changed it.
struct TChangedRow {
  TBookmark Row;
  Variant Value, Name;
};

}  // namespace

TFrmBatchModifyColor::TFrmBatchModifyColor(TComponent* owner) : TFrmBaseDlg(owner) {
  SetCaption("批量修改颜色");
  dsList = new TDataSource(this);
  dsList->SetName("dsList");

  lblStatus = NewControl<TLabel>(this, "lblStatus", this);
  lblStatus->Align = TAlign::alBottom;
  const TDetailLinesView lines = MakeDetailLinesView(*this, *this);
  qryResult = lines.Lines;
  dsResult = lines.Source;
  cxGrid1 = lines.Grid;
  tvResult = lines.View;
}

bool TFrmBatchModifyColor::Colours() const { return SameText(FFieldName, "F_COLOR_ID"); }

void TFrmBatchModifyColor::SetDetail(TDataSet& detail, const std::string& fieldName) {
  RequireDetailFields(detail, {fieldName.c_str(), "F_PRODUCT_ID", "F_PRODUCT", "F_QTY"});
  FDetail = &detail;
  FFieldName = fieldName;
  FNameField = Colours() && detail.FindField("F_COLOR") ? "F_COLOR" : "";
  std::shared_ptr<ICache> cache = CacheHelper();
  if (!cache) throw Exception("没有缓存服务");
  dsList->SetDataSet(Colours() ? &cache->GetColors() : &cache->GetCacheItem("TB_STOCK_LOCATION", kLocationsSQL, 30)->GetDataSet());
  SumDetailLines(*qryResult, detail, kLinesSQL, {{"F_QTY", ftLargeint}});
  lblStatus->SetCaption("");

  tvResult->ClearItems();
  TGridColumn* chosen = tvResult->CreateColumn("F_SELECT", "选择");
  chosen->Properties.Kind = TGridEditorKind::Check;
  tvResult->CreateColumn("F_PRODUCT", "商品名称")->Options.Editing = false;
  tvResult->CreateColumn("F_QTY", "数量")->Options.Editing = false;
  TGridColumn* value = tvResult->CreateColumn("F_NEW_COLOR_ID", Colours() ? "新颜色" : "新库位");
  value->Properties.Kind = TGridEditorKind::Lookup;
  value->Properties.ListSource = dsList;
  value->Properties.KeyFieldNames = "F_ID";
  value->Properties.ListFieldNames = "F_NAME";
  tvResult->SetFocusedColumn(value);
}

bool TFrmBatchModifyColor::ListName(const Variant& id, std::string& name) const {
  TDataSet* list = dsList->DataSet();
  if (!list || !list->Active()) return false;
  const Variant found = list->Lookup("F_ID", id, "F_NAME");
  if (found.IsNull()) {
    // An entry without a name still is an entry.
    if (list->Lookup("F_ID", id, "F_ID").IsNull()) return false;
  }
  name = found.IsNull() ? std::string() : found.ToString();
  return true;
}

void TFrmBatchModifyColor::actOKExecute() {
  if (!FDetail || !qryResult->Active()) return;
  if (tvResult->Editing()) tvResult->PostEditValue();
  if (tvResult->Editing()) Abort();
  qryResult->CheckBrowseMode();
  PostTypedRow(*FDetail);

  // The new value of each product whose line is chosen and has one, every line counted whatever shows.
  struct TNewValue {
    Variant Value;
    std::string Name;
  };
  std::map<std::string, TNewValue> newValues;
  const TBookmark line = qryResult->GetBookmark();
  qryResult->DisableControls();
  for (qryResult->First(); !qryResult->Eof(); qryResult->Next()) {
    const Variant value = qryResult->FieldByName("F_NEW_COLOR_ID").Value();
    if (!qryResult->FieldByName("F_SELECT").AsBoolean() || !HasValue(value)) continue;
    TNewValue entry{value, {}};
    if (!ListName(value, entry.Name)) {
      qryResult->EnableControls();
      throw Exception((Colours() ? "颜色[" : "库位[") + value.ToString() + "]不存在");
    }
    newValues[qryResult->FieldByName("F_PRODUCT_ID").AsString()] = std::move(entry);
  }
  if (qryResult->BookmarkValid(line)) qryResult->GotoBookmark(line);
  qryResult->EnableControls();

  if (newValues.empty()) {
    TFrmBaseDlg::actOKExecute();
    return;
  }
  lblStatus->SetCaption(kWorking);
  TDataSet& detail = *FDetail;
  TField& target = detail.FieldByName(FFieldName);
  TField* name = FNameField.empty() ? nullptr : detail.FindField(FNameField);
  const TField* product = detail.FindField("F_PRODUCT_ID");
  std::vector<TChangedRow> changed;
  // A new row nobody typed into goes with the first move; it is given back afterwards.
  const bool blankRow = detail.State() == dsInsert;
  const TBookmark at = detail.GetBookmark();
  detail.DisableControls();
  try {
    int visited = 0;
    for (detail.First(); product && !detail.Eof(); detail.Next()) {
      if (++visited % kPumpEvery == 0) Application().ProcessMessages();
      const auto found = newValues.find(product->AsString());
      if (product->IsNull() || found == newValues.end()) continue;
      changed.push_back({detail.GetBookmark(), target.Value(), name ? name->Value() : Variant::Null()});
      detail.Edit();
      target.SetValue(found->second.Value);
      if (name) name->SetAsString(found->second.Name);
      detail.Post();
    }
  } catch (...) {
    // The detail goes back to what it held before OK.
    if (detail.State() != dsBrowse) detail.Cancel();
    for (auto row = changed.rbegin(); row != changed.rend(); ++row) {
      if (!detail.BookmarkValid(row->Row)) continue;
      detail.GotoBookmark(row->Row);
      if (target.Value() == row->Value && (!name || name->Value() == row->Name)) continue;
      detail.Edit();
      target.SetValue(row->Value);
      if (name) name->SetValue(row->Name);
      detail.Post();
    }
    if (detail.BookmarkValid(at)) detail.GotoBookmark(at);
    detail.EnableControls();
    if (blankRow) detail.Append();
    lblStatus->SetCaption("");
    throw;
  }
  if (detail.BookmarkValid(at)) detail.GotoBookmark(at);
  detail.EnableControls();
  if (blankRow) detail.Append();
  lblStatus->SetCaption("");
  TFrmBaseDlg::actOKExecute();
}

namespace {

int ShowColorDialog(TComponent* owner, TDataSet& detail, const std::string& fieldName, const char* name) {
  auto* dialog = OwnedDialog<TFrmBatchModifyColor>(owner, name);
  dialog->SetDetail(detail, fieldName);
  return dialog->ShowModal();
}

}  // namespace

int GetBatchModifyColor(TComponent* owner, TDataSet& detail, const std::string& fieldName) {
  return ShowColorDialog(owner, detail, fieldName, "FrmBatchModifyColor");
}

int GetBatchModifyLocation(TComponent* owner, TDataSet& detail, const std::string& fieldName) {
  return ShowColorDialog(owner, detail, fieldName, "FrmBatchModifyLocation");
}

}  // namespace jxc
