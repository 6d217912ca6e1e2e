#include "editors/UnitFrmBaseDBGridEditor.h"

#include <optional>
#include <string_view>

#include "editors/UnitEditorUtils.h"
#include "foundation/HostServicesIntf.h"
#include "gridtools/cxORXGridPopupMenuU.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DataSource.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr int kStatusPanel = 5;

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

struct TOperatorItem {
  const char* Caption;
  TFilterOperator Operator;
};
constexpr TOperatorItem kOperators[] = {
    {"相等", foEqual},
    {"大于或等于", foGreaterEqual},
    {"小于或等于", foLessEqual},
    {"相似", foLike},
};

// The row's identifier as the statements write it; raises when the row has none.
int64_t RowID(const TDataSet& record) {
  const TField& id = record.FieldByName("F_ID");
  if (id.IsNull()) throw Exception("记录没有F_ID, 不能删除");
  return id.AsLargeInt();
}

// Removes the detail rows whose foreign key holds the master's identifier.
void RemoveDetailRows(TClientDataSet& detail, const std::string& foreignKey, int64_t masterID) {
  if (!detail.Active()) return;
  TField* key = detail.FindField(foreignKey);
  if (!key) return;
  detail.DisableControls();
  try {
    detail.First();
    while (!detail.Eof() && !detail.IsEmpty()) {
      if (!key->IsNull() && key->AsLargeInt() == masterID) RemoveDeletedRecord(detail);
      else detail.Next();
    }
  } catch (...) {
    detail.EnableControls();
    throw;
  }
  detail.EnableControls();
}

}  // namespace

TFrmBaseDBGridEditor::TFrmBaseDBGridEditor(TComponent* owner) : TFrmBaseEditor(owner) {
  SetCaption("FrmBaseDBGridEditor");

  actSelect->Caption = "选择(&S)";
  actBack->Caption = "取消(&S)";
  actSelect->Visible = false;
  actBack->Visible = false;
  actSave->Enabled = false;
  actUndo->Enabled = false;
  actQuery->OnExecute = [this](TAction& sender) { actQueryExecute(sender); };
  actRefresh->OnExecute = [this](TAction& sender) { actRefreshExecute(sender); };
  actGridConfig = alMain->AddAction("actGridConfig", "表格布局");
  actGridConfig->OnExecute = [this](TAction& sender) { actGridConfigExecute(sender); };

  // The tool bar in the order users know it.
  for (TBarItem* item : barMain->Items()) delete item;
  for (TAction* action : {actNew, actEdit, actDelete, actRefresh, actExport, actGridConfig, actSave, actUndo, actSelect,
                          actBack, actClose})
    barMain->AddItem("", action);

  BuildSearchBar();

  pgcMain = NewControl<TPageControl>(this, "pgcMain", this);
  pgcMain->Align = TAlign::alClient;
  tsDetail = pgcMain->AddPage("详细列表", this);
  tsDetail->SetName("tsDetail");
  pgcMain->SetActivePage(tsDetail);

  cxGrid1 = NewControl<TGrid>(this, "cxGrid1", tsDetail);
  cxGrid1->Align = TAlign::alClient;
  cxGrid1->TabStop = true;
  tvResult = cxGrid1->CreateView<TGridTableView>(this);
  tvResult->SetName("tvResult");
  tvResult->DataController().SetDataSource(dsMain);
  tvResult->OptionsView.FilterRow = false;
  tvResult->OptionsView.FilterRowInfoText = "点击这里定义过滤项";
  tvResult->OptionsView.Indicator = true;
  tvResult->OptionsBehavior.FocusCellOnTab = true;
  tvResult->OptionsBehavior.GoToNextCellOnEnter = true;
  tvResult->OnDblClick = [this](TGridTableView&) {
    Application().Dispatch([this] { (FPickerMode ? actSelect : actEdit)->Execute(); });
  };
  ppmGrid = new TORXcxGridPopupMenu(this);
  ppmGrid->SetName("ppmGrid");
  ppmGrid->SetLinkTableView(tvResult);
  cxGrid1->PopupMenu = ppmGrid;
}

TFrmBaseDBGridEditor::~TFrmBaseDBGridEditor() {
  // The parts outlive this level of the screen for a moment; nothing of theirs may call back into it.
  edtSearch->OnChange = nullptr;
  edtValue->OnChange = nullptr;
  edtFieldList->OnChange = nullptr;
  edtOpKind->OnChange = nullptr;
  chkShowStopped->OnClick = nullptr;
  chkShowFilter->OnClick = nullptr;
  tvResult->OnDblClick = nullptr;
}

void TFrmBaseDBGridEditor::BuildSearchBar() {
  auto* pnlSearch = NewControl<TPanel>(this, "pnlSearch", this);
  pnlSearch->Align = TAlign::alTop;

  lblSearch = NewControl<TLabel>(this, "lblSearch", pnlSearch);
  lblSearch->SetCaption("快速搜索：");
  edtSearch = NewControl<TEdit>(this, "edtSearch", pnlSearch);
  edtSearch->TextHint = "请输入编码、名称、拼音码";
  edtSearch->OnChange = [this](TCustomEdit&) { ApplyRowFilter(); };
  chkShowStopped = NewControl<TCheckBox>(this, "chkShowStopped", pnlSearch);
  chkShowStopped->SetCaption("显示停用记录");
  chkShowStopped->SetChecked(true);
  chkShowStopped->OnClick = [this](TControl&) { ApplyRowFilter(); };

  grpFieldQuery = NewControl<TGroupBox>(this, "grpFieldQuery", pnlSearch);
  grpFieldQuery->SetCaption("查询字段");
  edtFieldList = NewControl<TComboBox>(this, "edtFieldList", grpFieldQuery);
  edtFieldList->Style = TComboBoxStyle::csDropDownList;
  edtFieldList->Hint = "精确查询";
  edtFieldList->OnChange = [this](TCustomEdit&) {
    // A field of another kind: the value typed for the previous one means nothing here.
    edtValue->SetText("");
    ApplyExactSearch();
  };
  edtOpKind = NewControl<TComboBox>(this, "edtOpKind", grpFieldQuery);
  edtOpKind->Style = TComboBoxStyle::csDropDownList;
  for (const TOperatorItem& item : kOperators) edtOpKind->AddItem(item.Caption, Variant(static_cast<int>(item.Operator)));
  edtOpKind->SetItemIndex(0);
  edtOpKind->OnChange = [this](TCustomEdit&) { ApplyExactSearch(); };
  edtValue = NewControl<TEdit>(this, "edtValue", grpFieldQuery);
  edtValue->TextHint = "请输入查询值";
  edtValue->OnChange = [this](TCustomEdit&) { ApplyExactSearch(); };
  chkShowFilter = NewControl<TCheckBox>(this, "chkShowFilter", grpFieldQuery);
  chkShowFilter->SetCaption("显示过滤框");
  chkShowFilter->OnClick = [this](TControl&) { tvResult->OptionsView.FilterRow = chkShowFilter->Checked(); };
}

// --- picker ----------------------------------------------------------------------------------------------

void TFrmBaseDBGridEditor::SetPickerMode(bool picker) {
  FPickerMode = picker;
  actSelect->Visible = picker;
  actBack->Visible = picker;
}

void TFrmBaseDBGridEditor::SetIsMulSelected(bool value) {
  FIsMulSelected = value;
  tvResult->OptionsSelection.MultiSelect = value;
  if (!value) tvResult->ClearSelection();
}

void TFrmBaseDBGridEditor::GetSelectedRows(TMemTable& rows) {
  rows.Close();
  rows.FieldDefs().Assign(cdsMain->FieldDefs().Items());
  for (int i = 0; i < rows.FieldDefs().Count(); ++i) rows.FieldDefs()[i].Required = false;
  rows.CreateDataSet();
  if (!cdsMain->Active() || cdsMain->IsEmpty()) return;
  std::vector<int> chosen = tvResult->SelectedRecords();
  if (!FIsMulSelected) chosen = {tvResult->FocusedRecordIndex()};
  for (int record : chosen) {
    if (record < 0 || record >= cdsMain->RecordCount()) continue;
    TRowValues values;
    for (int f = 0; f < cdsMain->FieldCount(); ++f) values.push_back(cdsMain->RowValue(record, f));
    rows.AppendRecord(values);
  }
  rows.First();
}

void TFrmBaseDBGridEditor::actSelectExecute(TAction&) {
  if (!cdsMain->Active() || cdsMain->IsEmpty()) {
    ShowErrorMessage(MsgBox.get(), "请选择一条记录");
    Abort();
  }
  if (FSelectTarget) GetSelectedRows(*FSelectTarget);
  SetModalResult(mrOk);
  if (!Modal()) Close();
}

// --- query -----------------------------------------------------------------------------------------------

void TFrmBaseDBGridEditor::SetStatusText(const std::string& text) {
  if (std::shared_ptr<IMainForm> main = SysService::Get<IMainForm>()) main->SetStatusText(kStatusPanel, text);
}

void TFrmBaseDBGridEditor::actQueryExecute(TAction& sender) {
  actQuery->Enabled = false;
  struct TEnableAgain {
    TAction* action;
    ~TEnableAgain() { action->Enabled = true; }
  } enableAgain{actQuery};
  const uint64_t started = GetTickCount();
  try {
    if (!DBAccess) throw Exception("没有数据库服务");
    std::vector<TDataSet*> dataSets;
    std::vector<std::string> statements;
    for (const TDataSetItem& item : DataSetMgr()) {
      if (Trim(item.ViewTable).empty()) throw Exception("[" + Caption() + "]没有配置查询的数据表");
      dataSets.push_back(item.DataSet);
      statements.push_back("SELECT * FROM " + item.ViewTable + " WITH(NOLOCK) " + GetFilter());
    }
    tvResult->BeginUpdate();
    try {
      DBAccess->OpenDataSets(dataSets, statements);
    } catch (...) {
      tvResult->EndUpdate();
      throw;
    }
    tvResult->EndUpdate();
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), QueryFailureText(error.what()));
    Abort();
  }
  if (!FColumnsReady) SetUpColumns();
  ApplyRowFilter();
  const double seconds = static_cast<double>(GetTickCount() - started) / 1000.0;
  SetStatusText("查询完成,耗时" + FloatToStr(seconds) + "秒,共" + IntToStr(cdsMain->RecordCount()) + "条记录");
  UpdateActionStatus(&sender);
}

void TFrmBaseDBGridEditor::SetUpColumns() {
  FColumnsReady = true;
  tvResult->BeginUpdate();
  tvResult->OnCustomDrawIndicatorCell = [](TGridTableView&, int, bool& done) { done = true; };  // row numbers
  if (tvResult->ColumnCount() == 0) tvResult->CreateAllItems();
  if (std::shared_ptr<IConfigGrid> layouts = SysService::Get<IConfigGrid>())
    layouts->LoadGridConfig(*tvResult, FormParams.F_GridConfig);
  tvResult->EndUpdate();
  FillFieldList();
}

void TFrmBaseDBGridEditor::FillFieldList() {
  const std::string chosen = edtFieldList->ItemIndex() >= 0 ? edtFieldList->ItemValue(edtFieldList->ItemIndex()).ToString() : "";
  auto onChange = std::move(edtFieldList->OnChange);
  edtFieldList->ClearItems();
  for (TGridColumn* column : tvResult->VisibleColumns())
    if (!column->FieldName().empty()) edtFieldList->AddItem(column->Caption, Variant(column->FieldName()));
  // The same field again, else the name, else the first.
  int index = -1;
  for (const std::string& wanted : {chosen, std::string("F_NAME")}) {
    for (int i = 0; index < 0 && i < edtFieldList->ItemCount(); ++i)
      if (!wanted.empty() && SameText(edtFieldList->ItemValue(i).ToString(), wanted)) index = i;
  }
  if (index < 0 && edtFieldList->ItemCount() > 0) index = 0;
  edtFieldList->SetItemIndex(index);
  edtFieldList->OnChange = std::move(onChange);
}

void TFrmBaseDBGridEditor::actRefreshExecute(TAction&) {
  if (HasPendingChanges() && !ConfirmMessage(MsgBox.get(), "提示", "您正在编辑数据,是否继续?")) Abort();
  const Variant current = cdsMain->Active() ? LargeIntValue(*cdsMain, "F_ID") : Variant::Null();
  actQueryExecute(*actQuery);
  if (!current.IsNull()) cdsMain->Locate("F_ID", current);
  ShowTipMessage(MsgBox.get(), "刷新成功");
}

// --- searches --------------------------------------------------------------------------------------------

std::string TFrmBaseDBGridEditor::RowFilterText() const {
  std::string search;
  const std::string text = Trim(edtSearch->Text());
  if (!text.empty()) {
    const std::string pattern = QuotedStr("%" + UpperCase(text) + "%");
    // Code, name and pinyin initials, those of them the data has.
    const struct {
      const char* Field;
      std::string_view Text;
    } parts[] = {{"F_CODE", "F_CODE LIKE "}, {"F_NAME", " OR F_NAME LIKE "}, {"F_PY", " OR F_PY LIKE "}};
    for (const auto& part : parts) {
      if (!cdsMain->FindField(part.Field)) continue;
      std::string_view piece = part.Text;
      if (search.empty() && piece.substr(0, 4) == " OR ") piece.remove_prefix(4);
      search += std::string(piece) + pattern;
    }
  }
  std::string stopped;
  if (!chkShowStopped->Checked() && cdsMain->FindField("F_STATUS")) stopped = "(F_STATUS IS NULL OR F_STATUS = 0)";
  if (stopped.empty()) return search;
  if (search.empty()) return stopped;
  return "(" + search + ") AND " + stopped;
}

void TFrmBaseDBGridEditor::ApplyRowFilter() {
  if (!cdsMain->Active()) return;
  cdsMain->DisableControls();
  try {
    cdsMain->SetFiltered(false);
    const std::string filter = RowFilterText();
    if (!filter.empty()) {
      cdsMain->SetFilter(filter);
      cdsMain->SetFiltered(true);
    }
  } catch (...) {
    cdsMain->EnableControls();
    throw;
  }
  cdsMain->EnableControls();
}

TGridColumn* TFrmBaseDBGridEditor::ChosenColumn() const {
  const int index = edtFieldList->ItemIndex();
  if (index < 0) return nullptr;
  return tvResult->FindColumnByFieldName(edtFieldList->ItemValue(index).ToString());
}

void TFrmBaseDBGridEditor::ApplyExactSearch() {
  TGridFilterCriteria& criteria = tvResult->DataController().Filter;
  criteria.Clear();
  criteria.Active = false;
  const std::string value = Trim(edtValue->Text());
  TGridColumn* column = ChosenColumn();
  if (!value.empty() && column) {
    const int opIndex = edtOpKind->ItemIndex();
    const TFilterOperator op = opIndex < 0 ? foEqual : static_cast<TFilterOperator>(edtOpKind->ItemValue(opIndex).AsInteger());
    Variant criterion;
    if (op == foLike) {
      criterion = Variant("%" + value + "%");
    } else {
      // Compared in the column's own kind, so that 100 is above 99 and a date is a date.
      try {
        criterion = ConvertToFieldType(Variant(value), column->DataType(), column->FieldName());
      } catch (const Exception&) {
        SetStatusText("查询值[" + value + "]无效");
        return;
      }
    }
    criteria.AddItem(column, op, criterion, value);
    criteria.Active = true;
  }
  SetStatusText("搜索完成,匹配到共" + IntToStr(tvResult->DataController().RowCount()) + "条记录");
}

// --- editing ---------------------------------------------------------------------------------------------

void TFrmBaseDBGridEditor::FocusEditingCell() {
  TGridColumn* column = tvResult->FindColumnByFieldName("F_NAME");
  if (!column || !column->Visible) {
    const std::vector<TGridColumn*> visible = tvResult->VisibleColumns();
    column = visible.empty() ? nullptr : visible.front();
  }
  if (column) tvResult->SetFocusedColumn(column);
  if (cxGrid1->CanFocus()) cxGrid1->SetFocus();
}

void TFrmBaseDBGridEditor::ShowSavedRecord(int64_t id, bool inserted) {
  const std::string statement = "SELECT * FROM " + FormParams.F_Data + " WITH(NOLOCK)  WHERE F_ID = " + IntToStr(id);
  if (inserted) {
    std::unique_ptr<TClientDataSet> row = DBAccess->OpenSQL(statement);
    if (!row->IsEmpty()) AppendSavedRecord(*cdsMain, *row);
    return;
  }
  if (cdsMain->Locate("F_ID", Variant(static_cast<long long>(id)))) DBAccess->RefreshRecord(*cdsMain, statement);
}

void TFrmBaseDBGridEditor::actNewExecute(TAction& sender) {
  TFrmBaseEditor::actNewExecute(sender);
  if (FDataEditor) {
    FDataEditor->AddRecord(this, NewRecordValues(), [this](TDataSet& record, TUpdateStatus status) {
      ShowSavedRecord(record.FieldByName("F_ID").AsLargeInt(), status == usInserted);
    });
    return;
  }
  if (!cdsMain->Active()) throw Exception("[" + Caption() + "]的数据尚未查询");
  // The new row stands in the grid like any other, with its defaults, in edit for the user to type into;
  // it is written by Save and dropped by Undo.
  cdsMain->Append();
  cdsMain->Post();
  cdsMain->Edit();
  FocusEditingCell();
}

void TFrmBaseDBGridEditor::actEditExecute(TAction& sender) {
  TFrmBaseEditor::actEditExecute(sender);
  if (!cdsMain->Active() || cdsMain->IsEmpty()) {
    ShowErrorMessage(MsgBox.get(), "请选择一条记录");
    Abort();
  }
  if (FDataEditor) {
    FDataEditor->EditRecord(this, RowID(*cdsMain), [this](TDataSet& record, TUpdateStatus status) {
      ShowSavedRecord(record.FieldByName("F_ID").AsLargeInt(), status == usInserted);
    });
    return;
  }
  cdsMain->Edit();
  FocusEditingCell();
}

void TFrmBaseDBGridEditor::UpdateActionStatus(TAction*) {
  const bool pending = HasPendingChanges();
  actSave->Enabled = pending;
  actUndo->Enabled = pending;
}

void TFrmBaseDBGridEditor::FocusField(TField& field) {
  TFrmBaseEditor::FocusField(field);
  if (TGridColumn* column = tvResult->FindColumnByFieldName(field.FieldName())) {
    tvResult->SetFocusedColumn(column);
    if (cxGrid1->CanFocus()) cxGrid1->SetFocus();
  }
}

void TFrmBaseDBGridEditor::DoSave() {
  // Each new or changed master row gets its log row, written in the same transaction as the rows.
  std::unique_ptr<TClientDataSet> log;
  if (Editing(*cdsMain)) cdsMain->Post();
  if (cdsMain->Active() && cdsMain->ChangeCount() > 0) {
    const TField* id = cdsMain->FindField("F_ID");
    const TField* kind = cdsMain->FindField("F_KIND");
    const TField* code = cdsMain->FindField("F_CODE");
    for (const TDeltaRecord& change : cdsMain->GetDelta()) {
      if (change.Status != usInserted && change.Status != usModified) continue;
      if (change.Status == usModified && change.OldValues == change.NewValues) continue;  // edited, nothing changed
      if (!log) log = OpenLogDataSet();
      auto value = [&change](const TField* field) {
        return field ? ConvertToFieldType(change.NewValues[static_cast<size_t>(field->Index())], ftLargeint, field->FieldName())
                     : Variant::Null();
      };
      AppendLogRow(*log, change.Status == usInserted ? 1 : 2, "", value(id), value(kind),
                   code ? change.NewValues[static_cast<size_t>(code->Index())].ToString() : std::string());
    }
  }
  if (log) ApplyDataSets({{log.get(), "TB_SYS_LOG"}});
  else ApplyDataSets();
}

void TFrmBaseDBGridEditor::actSaveExecute(TAction& sender) {
  TFrmBaseEditor::actSaveExecute(sender);
  ShowTipMessage(MsgBox.get(), "保存成功");
}

// --- delete ----------------------------------------------------------------------------------------------

void TFrmBaseDBGridEditor::actDeleteExecute(TAction& sender) {
  TFrmBaseEditor::actDeleteExecute(sender);
  if (cdsMain->State() == dsInsert) {
    // A row never saved: nothing to remove from the database.
    cdsMain->Cancel();
  } else {
    if (cdsMain->IsEmpty()) return;
    DeleteCurrentRecord();
  }
  UpdateActionStatus(&sender);
  ShowTipMessage(MsgBox.get(), "记录已删除");
}

void TFrmBaseDBGridEditor::DeleteCurrentRecord() {
  if (!DBAccess) throw Exception("没有数据库服务");
  if (Editing(*cdsMain)) cdsMain->Cancel();
  const int64_t id = RowID(*cdsMain);
  // The row and the detail rows that belong to it go in one transaction: no orphan is left behind.
  std::string statements = "DELETE FROM " + FormParams.F_UpdateTable + " WHERE F_ID = " + IntToStr(id);
  for (const TDataSetItem& item : DataSetMgr()) {
    if (item.DataSet == cdsMain || item.ForeignKey.empty() || item.UpdateTable.empty()) continue;
    statements += "\r\nDELETE FROM " + item.UpdateTable + " WHERE " + item.ForeignKey + " = " + IntToStr(id);
  }
  try {
    DBAccess->ExecSQL(statements);
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    ShowErrorMessage(MsgBox.get(), "删除失败\r\n失败原因：" + std::string(error.what()));
    Abort();
  }
  const Variant billID = LargeIntValue(*cdsMain, "F_ID");
  const Variant billKind = LargeIntValue(*cdsMain, "F_KIND");
  const TField* code = cdsMain->FindField("F_CODE");
  const std::string billCode = code ? code->AsString() : std::string();
  // Details first: the master's row still selects them.
  for (const TDataSetItem& item : DataSetMgr())
    if (item.DataSet != cdsMain && !item.ForeignKey.empty()) RemoveDetailRows(*item.DataSet, item.ForeignKey, id);
  RemoveDeletedRecord(*cdsMain);
  WriteLog(5, "", billID, billKind, billCode);
}

// --- grid tools ------------------------------------------------------------------------------------------

void TFrmBaseDBGridEditor::actExportExecute(TAction& sender) {
  TFrmBaseEditor::actExportExecute(sender);
  std::shared_ptr<IConfigGrid> layouts = SysService::Get<IConfigGrid>();
  if (!layouts) throw Exception("没有表格配置服务, 不能导出");
  layouts->ExportGrid(*cxGrid1, FormParams.F_GridConfig);
}

void TFrmBaseDBGridEditor::actGridConfigExecute(TAction&) {
  std::shared_ptr<IConfigGrid> layouts = SysService::Get<IConfigGrid>();
  if (!layouts) throw Exception("没有表格配置服务");
  if (layouts->ShowGridConfig(*tvResult, FormParams.F_GridConfig)) FillFieldList();
}

// --- the picker factory ----------------------------------------------------------------------------------

TFrmBaseDBGridEditor* GetBaseGridForm(TComponent* owner, const std::string& caption) {
  TComponent& scope = owner ? *owner : Application();
  const std::string name = TPYHelper::GetShort(caption, false);
  auto reusable = [&caption](TComponent* component) -> TFrmBaseDBGridEditor* {
    auto* form = dynamic_cast<TFrmBaseDBGridEditor*>(component);
    return form && !form->Released() && form->Caption() == caption ? form : nullptr;
  };
  if (TFrmBaseDBGridEditor* found = reusable(scope.FindComponent(name))) return found;
  // Another caption may share the initials (商品资料 and 商品种类): look for this caption's own screen.
  for (int i = 0; i < scope.ComponentCount(); ++i)
    if (TFrmBaseDBGridEditor* found = reusable(scope.Components(i))) return found;
  auto* form = CreateForm<TFrmBaseDBGridEditor>(&scope);
  form->SetName(ScreenName(scope, caption));
  form->SetCaption(caption);
  form->FormStyle = TFormStyle::fsNormal;
  form->Position = TPosition::poMainFormCenter;
  form->SetPickerMode(true);
  form->DoOnShow();
  return form;
}

}  // namespace jxc
