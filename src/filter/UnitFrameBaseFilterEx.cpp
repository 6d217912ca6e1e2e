#include "filter/UnitFrameBaseFilterEx.h"

#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrmBaseDataEditor.h"
#include "filter/UnitFilterPopupEdit.h"
#include "foundation/RightsIntf.h"
#include "foundation/UnitSysParams.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/ClassRegistry.h"
#include "platform/DataSource.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"
#include "platform/Timer.h"

namespace jxc {

namespace {

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

// Locks the grid and the list's controls while the rows change under them.
class TListUpdate {
 public:
  TListUpdate(TGridTableView& view, TDataSet& list) : view_(view), list_(list) {
    view_.BeginUpdate();
    list_.DisableControls();
  }
  ~TListUpdate() {
    list_.EnableControls();
    view_.EndUpdate();
  }
  TListUpdate(const TListUpdate&) = delete;
  TListUpdate& operator=(const TListUpdate&) = delete;

 private:
  TGridTableView& view_;
  TDataSet& list_;
};

}  // namespace

TFrameBaseFilterEx::TFrameBaseFilterEx(TComponent* owner) : TFrameBase(owner) {
  pnlSearch = NewControl<TPanel>(this, "pnlSearch", pnlContent);
  pnlSearch->Align = TAlign::alTop;
  edtSearch = NewControl<TEdit>(this, "edtSearch", pnlSearch);
  edtSearch->Align = TAlign::alClient;
  edtSearch->TextHint = "请输入查询内容";
  edtSearch->OnChange = [this](TCustomEdit&) { StartFilterPause(); };
  edtSearch->OnKeyDown = [this](TWinControl&, int& key, TShiftState) { SearchKeyDown(key); };

  cdsMain = new TClientDataSet(this);
  cdsMain->SetName("cdsMain");
  dsFilter = new TDataSource(this);
  dsFilter->SetName("dsFilter");
  dsFilter->SetDataSet(cdsMain);
  dsFilter->AutoEdit = false;

  grdFilter = NewControl<TGrid>(this, "grdFilter", pnlContent);
  grdFilter->Align = TAlign::alClient;
  grdFilter->TabStop = true;
  tvFilter = grdFilter->CreateView<TGridTableView>(this);
  tvFilter->SetName("tvFilter");
  tvFilter->DataController().SetDataSource(dsFilter);
  tvFilter->OptionsData.Editing = false;
  tvFilter->OptionsData.Inserting = false;
  tvFilter->OptionsData.Deleting = false;
  tvFilter->OptionsSelection.CellSelect = false;
  tvFilter->OptionsView.GroupByBox = false;
  tvFilter->OptionsView.Indicator = true;
  struct {
    TGridColumn** Slot;
    const char* Name;
    const char* Field;
    const char* Caption;
  } const columns[] = {{&tvFilterColumn1, "tvFilterColumn1", "F_CODE", "编码"},
                       {&tvFilterColumn2, "tvFilterColumn2", "F_NAME", "名称"},
                       {&tvFilterColumn3, "tvFilterColumn3", "F_PY", "拼音"}};
  for (const auto& column : columns) {
    *column.Slot = tvFilter->CreateColumn(column.Field, column.Caption);
    (*column.Slot)->SetName(column.Name);
  }
  tvFilter->OnDblClick = [this](TGridTableView&) { SetisOK(1); };
  // Characters typed on the list go on in the search box.
  tvFilter->OnKeyPress = [this](TGridTableView&, char32_t& key) {
    if (key < 32 && key != 8) return;
    if (edtSearch->CanFocus()) edtSearch->SetFocus();
    edtSearch->PostMessage(WM_CHAR, static_cast<int64_t>(key));
    key = 0;
  };
  grdFilter->OnKeyDown = [this](TWinControl&, int& key, TShiftState) {
    if (key != VK_RETURN) return;
    key = 0;
    SetisOK(1);
  };

  StartToInit = new TTimer(this);
  StartToInit->SetName("StartToInit");
  StartToInit->SetEnabled(false);
  StartToInit->SetInterval(LoadDelay);
  StartToInit->SetOnTimer([this](TTimer& timer) {
    timer.SetEnabled(false);
    if (!FLoaded) LoadList();
  });

  alFilter = new TActionList(this);
  alFilter->SetName("alFilter");
  actAppend = alFilter->AddAction("actAppend", "新增");
  actEdit = alFilter->AddAction("actEdit", "修改(&E)");
  actRefresh = alFilter->AddAction("actRefresh", "刷新(&R)");
  actClose = alFilter->AddAction("actClose", "关闭");
  actSave = alFilter->AddAction("actSave", "保存");
  actCancel = alFilter->AddAction("actCancel", "取消");
  actAppend->OnExecute = [this](TAction& sender) { actAppendExecute(sender); };
  actEdit->OnExecute = [this](TAction& sender) { actAppendExecute(sender); };
  actRefresh->OnExecute = [this](TAction& sender) { actRefreshExecute(sender); };
  actClose->OnExecute = [this](TAction&) {
    FisOK = 0;
    KillTimer(FilterTimerID);
    if (auto* popup = dynamic_cast<TPopupEdit*>(Owner())) popup->CloseUp();
  };
  SetCanAppend(false);
}

TFrameBaseFilterEx::~TFrameBaseFilterEx() {
  // The parts outlive this level of the frame for a moment; nothing of theirs may call back into it.
  edtSearch->OnChange = nullptr;
  edtSearch->OnKeyDown = nullptr;
  tvFilter->OnDblClick = nullptr;
  tvFilter->OnKeyPress = nullptr;
  grdFilter->OnKeyDown = nullptr;
  StartToInit->SetOnTimer(nullptr);
  KillTimer(FilterTimerID);
  SetResultField(nullptr);
}

// --- set-up --------------------------------------------------------------------------------------------

void TFrameBaseFilterEx::SetConfig(const TFrameFilterConfog& config) {
  FFilterConfig = config;
  FTableName = config.TableName;
  FSelectFields = config.SelectFields;
  FFilter = config.Filter;
  SQL = config.SQL;
  FDisplayCaption = config.DisplayCaption;
  SetCanAppend(config.CanAppend);
}

void TFrameBaseFilterEx::SetCanAppend(bool canAppend) {
  actAppend->Visible = canAppend;
  actEdit->Visible = canAppend;
}

void TFrameBaseFilterEx::SetResultField(TField* field) {
  if (FResultDataSet) FResultDataSet->RemoveFreeNotification(this);
  FResultDataSet = field ? &field->DataSet() : nullptr;
  FResultFieldName = field ? field->FieldName() : std::string();
  if (FResultDataSet) FResultDataSet->FreeNotification(this);
}

void TFrameBaseFilterEx::OfferRecordEditor(const std::string& screenCaption, const std::string& editorClass) {
  if (!Editor && FindClass(editorClass)) {
    Editor = std::make_shared<TDataEditorLauncher>(screenCaption, [editorClass](TComponent* owner) {
      TComponent* made = CreateComponentByClassName(editorClass, owner);
      if (auto* editor = dynamic_cast<TFrmBaseDataEditor*>(made)) return editor;
      delete made;
      throw Exception("[" + editorClass + "]不是资料编辑窗口");
    });
  }
  std::shared_ptr<IGroupRights> rights = SysService::Get<IGroupRights>();
  auto allowed = [&](const char* operation) { return Editor && rights && rights->HasRight(screenCaption, operation); };
  actAppend->Visible = actAppend->Enabled = allowed("新增");
  actEdit->Visible = actEdit->Enabled = allowed("编辑");
}

TField* TFrameBaseFilterEx::ResultField() const {
  // Found again each time: the record's fields are made afresh whenever it is opened.
  return FResultDataSet ? FResultDataSet->FindField(FResultFieldName) : nullptr;
}

void TFrameBaseFilterEx::Notification(TComponent* component, TOperation operation) {
  TFrameBase::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FResultDataSet) FResultDataSet = nullptr;
}

// --- loading -------------------------------------------------------------------------------------------

void TFrameBaseFilterEx::DoInit() {
  TFrameBase::DoInit();
  StartToInit->SetEnabled(false);
  StartToInit->SetEnabled(true);
  UpdateColumns();
}

std::string TFrameBaseFilterEx::GetFields() const { return FSelectFields.empty() ? "*" : FSelectFields; }

std::string TFrameBaseFilterEx::SelectText() const {
  if (!SQL.empty()) return SQL;
  return " SELECT " + GetFields() + " FROM " + FTableName + " " + FFilter;
}

void TFrameBaseFilterEx::LoadList() {
  const std::string statement = SelectText();
  if (SQL.empty() && Trim(FTableName).empty()) throw Exception("检索列表没有设置数据表");
  {
    TListUpdate update(*tvFilter, *cdsMain);
    Database().OpenDataSet(*cdsMain, statement);
  }
  FLoadedSQL = statement;
  FLoaded = true;
  StartToInit->SetEnabled(false);
  UpdateColumns();
  if (!Trim(edtSearch->Text()).empty()) DoFilter(edtSearch->Text());
}

void TFrameBaseFilterEx::ReloadIfChanged() {
  if (FLoaded && SelectText() != FLoadedSQL) LoadList();
}

void TFrameBaseFilterEx::LoadRows(const TDataSet& rows) {
  {
    TListUpdate update(*tvFilter, *cdsMain);
    cdsMain->SetFiltered(false);
    cdsMain->SetData(rows.Data());
  }
  FLoadedSQL = SelectText();  // rows of the caller's: only another statement replaces them
  FLoaded = true;
  StartToInit->SetEnabled(false);
  UpdateColumns();
  if (!Trim(edtSearch->Text()).empty()) DoFilter(edtSearch->Text());
}

void TFrameBaseFilterEx::UpdateColumns() {
  const bool loaded = cdsMain->Active();
  tvFilterColumn1->Visible = CodeColumnShown();
  for (TGridColumn* column : {tvFilterColumn2, tvFilterColumn3})
    column->Visible = !loaded || column->FieldName().empty() || cdsMain->FindField(column->FieldName());
}

bool TFrameBaseFilterEx::CodeColumnShown() const {
  const bool bound = !tvFilterColumn1->FieldName().empty() &&
                     (!cdsMain->Active() || cdsMain->FindField(tvFilterColumn1->FieldName()));
  return bound && SysParamBoolean(kSpSearchShowsCode);
}

void TFrameBaseFilterEx::actRefreshExecute(TAction&) {
  if (SQL.empty() && Trim(FTableName).empty()) return;
  LoadList();
}

// --- searching -----------------------------------------------------------------------------------------

void TFrameBaseFilterEx::StartFilterPause() {
  FFilterPending = true;
  KillTimer(FilterTimerID);
  SetTimer(FilterTimerID, FilterPause);
}

void TFrameBaseFilterEx::WMTimer(int id) {
  if (id != FilterTimerID) {
    TFrameBase::WMTimer(id);
    return;
  }
  KillTimer(FilterTimerID);
  FFilterPending = false;
  DoFilter(edtSearch->Text());
}

void TFrameBaseFilterEx::DoFilter(const std::string& text) {
  if (!cdsMain->Active()) return;
  const std::string wanted = UpperCase(Trim(text));
  TListUpdate update(*tvFilter, *cdsMain);
  cdsMain->SetFiltered(false);
  if (!wanted.empty()) {
    cdsMain->SetFilter(GetFilterStr("%" + wanted + "%"));
    cdsMain->SetFiltered(true);
  }
  cdsMain->First();
}

std::string TFrameBaseFilterEx::GetFilterStr(const std::string& pattern) {
  const std::string literal = QuotedStr(UpperCase(pattern));
  if (CodeColumnShown())
    return StringReplace(" F_CODE LIKE :s OR F_NAME LIKE  :s  OR F_PY LIKE :s ", ":s", literal);
  return "F_NAME LIKE  " + literal + " OR F_PY LIKE " + literal;
}

void TFrameBaseFilterEx::SearchFor(const std::string& text) {
  if (edtSearch->Text() == text) return;
  edtSearch->SetText(text);
}

void TFrameBaseFilterEx::ClearSearch() {
  edtSearch->SetText("");
  FFilterPending = false;
  KillTimer(FilterTimerID);
  if (cdsMain->Active()) cdsMain->SetFiltered(false);
}

void TFrameBaseFilterEx::MoveBy(int distance) {
  if (!cdsMain->Active() || cdsMain->IsEmpty()) return;
  if (distance < 0) cdsMain->Prior();
  else if (distance > 0) cdsMain->Next();
}

void TFrameBaseFilterEx::SearchKeyDown(int& key) {
  switch (key) {
    case VK_RETURN:
      key = 0;
      SetisOK(1);
      break;
    case VK_UP:
      key = 0;
      MoveBy(-1);
      break;
    case VK_DOWN:
      key = 0;
      MoveBy(1);
      break;
    default:
      break;
  }
}

// --- choosing ------------------------------------------------------------------------------------------

bool TFrameBaseFilterEx::FinishPending() {
  const bool wasPending = FFilterPending;
  FFilterPending = false;
  KillTimer(FilterTimerID);
  const bool typed = !Trim(edtSearch->Text()).empty();
  if (!FLoaded) {
    LoadList();  // applies the typed text
    return typed;
  }
  if (!wasPending) return false;
  DoFilter(edtSearch->Text());
  return typed;
}

void TFrameBaseFilterEx::LocateBestRow(const std::string& text) {
  const Variant wanted(Trim(text));
  for (const char* field : {"F_CODE", "F_NAME"})
    if (cdsMain->FindField(field) && cdsMain->Locate(field, wanted, loCaseInsensitive)) return;
}

bool TFrameBaseFilterEx::TakeTypedText() {
  // Nothing in the list: a record that already names its product may keep the typed text instead.
  TField* result = ResultField();
  if (!result) return false;
  TDataSet& record = result->DataSet();
  TField* product = record.FindField("F_PRODUCT_ID");
  if (!product || product->IsNull() || product->AsLargeInt() == 0) return false;
  if (!Editing(record)) record.Edit();
  result->SetText(edtSearch->Text());
  record.Post();
  return true;
}

void TFrameBaseFilterEx::SetisOK(int value) {
  KillTimer(FilterTimerID);
  FisOK = value;
  if (value != 1) return;
  if (FinishPending() && cdsMain->Active() && !cdsMain->IsEmpty()) LocateBestRow(edtSearch->Text());
  const bool hasRow = cdsMain->Active() && !cdsMain->IsEmpty();
  bool taken = false;
  if (FDataSetCallback) {
    if (hasRow) {
      auto callback = FDataSetCallback;
      callback(*cdsMain);
      taken = true;
    } else {
      taken = TakeTypedText();
    }
  } else if (FCallback && hasRow) {
    auto field = [this](int index) { return index < cdsMain->FieldCount() ? cdsMain->Fields(index).Value() : Variant::Null(); };
    auto callback = FCallback;
    callback(field(0), field(1), field(2));
    taken = true;
  }
  if (!taken) {
    FisOK = 0;
    return;
  }
  if (OnChosen) {
    auto handler = OnChosen;
    handler(*this);
  }
}

bool TFrameBaseFilterEx::Choose() {
  SetisOK(1);
  return FisOK == 1;
}

// --- the record editor ---------------------------------------------------------------------------------

void TFrameBaseFilterEx::actAppendExecute(TAction& sender) {
  if (!Editor) throw Exception("没有可用的资料编辑界面");
  auto saved = [this](TDataSet& record, TUpdateStatus) { ShowSavedRow(record.FieldByName("F_ID").AsLargeInt()); };
  if (&sender == actEdit) {
    const Variant id = cdsMain->Active() ? LargeIntValue(*cdsMain, "F_ID") : Variant::Null();
    if (id.IsNull() || id.AsInt64() == 0) return;
    Editor->EditRecord(this, id.AsInt64(), saved);
    return;
  }
  Editor->AddRecord(this, NewRecordValues, saved);
}

void TFrameBaseFilterEx::ShowSavedRow(int64_t id) {
  if (!FLoaded) LoadList();
  const std::string statement = "SELECT " + GetFields() + " FROM " + FTableName + " WHERE F_ID = " + IntToStr(id);
  std::unique_ptr<TClientDataSet> row = Database().OpenSQL(statement);
  if (row->IsEmpty()) return;
  // Shown whatever the search: the user wants to see what he just saved.
  if (cdsMain->Filtered()) {
    edtSearch->SetText("");
    FFilterPending = false;
    KillTimer(FilterTimerID);
    DoFilter("");
  }
  const Variant key(static_cast<long long>(id));
  if (cdsMain->Locate("F_ID", key)) {
    TRowValues values;
    for (int i = 0; i < cdsMain->FieldCount(); ++i) {
      TField* field = row->FindField(cdsMain->Fields(i).FieldName());
      values.push_back(field ? field->Value() : cdsMain->Fields(i).Value());
    }
    cdsMain->ReplaceCurrentRecord(values);
  } else {
    AppendSavedRecord(*cdsMain, *row);
  }
}

// --- creating and reusing ------------------------------------------------------------------------------

void PlaceLookupFrame(TComponent* owner, TFrameBaseFilterEx& frame) {
  if (auto* column = dynamic_cast<TGridColumn*>(owner)) {
    TGridTableView* view = column->View();
    TGrid* grid = view ? view->Grid() : nullptr;
    if (!grid) throw EInvalidOperation("A column shows a search list only in a view shown by a grid");
    frame.SetParent(grid);
    frame.SetVisible(false);
    UseLookupEditor(*column, &frame);
    return;
  }
  if (auto* popup = dynamic_cast<TPopupEdit*>(owner)) {
    frame.SetParent(popup->Parent() ? popup->Parent() : popup);
    frame.SetVisible(false);
    popup->PopupControl = &frame;
    if (auto* host = dynamic_cast<TDBFilterPopupEdit*>(popup)) host->AttachFrame(frame);
    return;
  }
  if (auto* window = dynamic_cast<TWinControl*>(owner)) frame.SetParent(window);
}

TDataSet* OwnerDataSet(TComponent* owner) {
  if (auto* host = dynamic_cast<TDBFilterPopupEdit*>(owner)) {
    TDataSource* source = host->DataSource();
    return source ? source->DataSet() : nullptr;
  }
  if (auto* column = dynamic_cast<TGridColumn*>(owner)) {
    TDataSource* source = column->View() ? column->View()->DataController().DataSource() : nullptr;
    return source ? source->DataSet() : nullptr;
  }
  return nullptr;
}

void CopyChosenFields(const TDataSet& list, TDataSet& record,
                      const std::vector<std::pair<const char*, const char*>>& fields) {
  if (!record.Active()) throw EDatabaseError("Dataset not in edit or insert mode");
  if (!Editing(record)) record.Edit();
  for (const auto& [to, from] : fields) {
    TField* target = record.FindField(to);
    TField* source = list.FindField(from);
    if (target && source) target->SetValue(source->Value());
  }
}

void PrepareLookup(TFrameBaseFilterEx& frame, TDataSetCallback callback, bool moveFirst) {
  if (callback) frame.SetDataSetCallback(std::move(callback));
  frame.ClearSearch();
  if (moveFirst && frame.cdsMain->Active() && !frame.cdsMain->IsEmpty()) frame.cdsMain->First();
}

void StartLookup(TComponent* owner, TFrameBaseFilterEx& frame, bool created) {
  if (!created) {
    frame.ReloadIfChanged();
    return;
  }
  PlaceLookupFrame(owner, frame);
  frame.DoInit();
}

TFrameBaseFilterEx* GetBaseFilterLookup(TComponent* owner, const std::string& tableName, const std::string& where,
                                        TDataSetCallback callback, bool canAppend, bool moveFirst) {
  return ServeLookup<TFrameBaseFilterEx>(owner, "", [&](TFrameBaseFilterEx& frame, bool created) {
    if (created) {
      frame.SetTableName(tableName);
      frame.SetCanAppend(canAppend);
    }
    if (!where.empty()) frame.SetFilter(where);
  }, std::move(callback), moveFirst);
}

TFrameBaseFilterEx* GetBaseLookupDataSet(TComponent* owner, const TDataSet& rows, TDataSetCallback callback) {
  bool created = false;
  auto* frame = FindOrCreateLookup<TFrameBaseFilterEx>(owner, "", created);
  if (created) PlaceLookupFrame(owner, *frame);
  frame->LoadRows(rows);
  PrepareLookup(*frame, std::move(callback), true);
  return frame;
}

TFrameBaseFilterEx* GetDataSetWithSql(TComponent* owner, const std::string& sql, TDataSetCallback callback) {
  return ServeLookup<TFrameBaseFilterEx>(owner, "", [&](TFrameBaseFilterEx& frame, bool) { frame.SQL = sql; },
                                         std::move(callback));
}

TFrameBaseFilterEx* GetBaseLookupDataSetWithSql(TComponent* owner, const std::string& sql, TDataSetCallback callback) {
  TFrameBaseFilterEx* frame = GetDataSetWithSql(owner, sql, std::move(callback));
  if (!frame->Loaded()) frame->LoadList();
  PrepareLookup(*frame, nullptr, true);
  return frame;
}

}  // namespace jxc
