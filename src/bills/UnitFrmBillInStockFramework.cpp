#include "bills/UnitFrmBillInStockFramework.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "bills/UnitFrameProductFastEntryEditor.h"
#include "bills/UnitUnitsInStock.h"
#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrameBase.h"
#include "foundation/CacheIntf.h"
#include "foundation/DBIntf.h"
#include "foundation/UnitSysParams.h"
#include "platform/Actions.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/Format.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"
#include "platform/Timer.h"

namespace jxc {

namespace {

constexpr int kStartQueryInterval = 10;
constexpr const char* kPriceSQL = "SELECT F_PRICE_JH, F_PRICE_EMPLOYEE  FROM TB_PRODUCT_ATTRIBUTE WHERE F_ID = ";
constexpr const char* kMovedUnitsSQL = "SELECT F_USE_QTY, F_MODE_NO FROM TB_IN_STOCK_DETAIL WITH(nolock) WHERE F_MID = ";
constexpr const char* kBatchSequence = "PH";

bool IsSerialType(int64_t type) { return type == 1 || type == 3; }

// Whether the dataset holds a current row: a stored one or one being appended.
bool HasRow(const TDataSet& dataSet) { return dataSet.Active() && (!dataSet.IsEmpty() || dataSet.State() == dsInsert); }

int64_t IdValue(const Variant& value) { return value.IsNullOrEmpty() ? 0 : value.AsInt64(); }

Currency MoneyValue(const Variant& value) { return value.IsNullOrEmpty() ? Currency() : value.AsCurrency(); }

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

// The detail rows' values by field name, read without moving the cursor; each field is looked up once.
class TRowReader {
 public:
  explicit TRowReader(const TDataSet& data) : data_(data) {}
  Variant operator()(int row, const char* name) {
    auto [column, added] = columns_.try_emplace(name, -1);
    if (added) {
      const TField* field = data_.FindField(name);
      column->second = field ? field->Index() : -1;
    }
    return column->second < 0 ? Variant::Null() : data_.RowValue(row, column->second);
  }

 private:
  const TDataSet& data_;
  std::unordered_map<std::string_view, int> columns_;
};

// What the save makes of one row.
struct TRowStamp {
  bool Gift = false;
  int64_t Qty = 0;
  Currency Price, CostPrice, Money, CostMoney, GoodsMoney;
};

TRowStamp StampOf(const Variant& present, const Variant& qty, const Variant& price) {
  TRowStamp stamp;
  stamp.Gift = IdValue(present) == 1;
  stamp.Qty = IdValue(qty);
  stamp.Price = MoneyValue(price);
  stamp.CostPrice = stamp.Gift ? Currency() : stamp.Price;
  stamp.Money = stamp.Gift ? Currency() : stamp.Price * stamp.Qty;
  stamp.CostMoney = stamp.CostPrice * stamp.Qty;
  stamp.GoodsMoney = stamp.Money - stamp.CostMoney;
  return stamp;
}

}  // namespace

// --- creation --------------------------------------------------------------------------------------------------

TFrmBillInStockFramework::TFrmBillInStockFramework(TComponent* owner) : TFrmBaseBillFramework(owner) {
  StartQuery->SetInterval(kStartQueryInterval);

  pnlEntry = NewControl<TPanel>(this, "pnlEntry", this);
  pnlEntry->Align = TAlign::alTop;
  pnlEntry->SetVisible(false);
  cxSplitter1 = NewControl<TSplitter>(this, "cxSplitter1", this);
  cxSplitter1->Align = TAlign::alRight;
  cxGrid2 = NewControl<TGrid>(this, "cxGrid2", this);
  cxGrid2->Align = TAlign::alRight;
  cxGrid2->SetVisible(false);
  mtSum = new TMemTable(this);
  mtSum->SetName("mtSum");
  FSum = std::make_unique<TBillSumDetail>(*mtSum);
  dsSum = new TDataSource(this);
  dsSum->SetName("dsSum");
  dsSum->SetDataSet(mtSum);
  dsColor = new TDataSource(this);
  dsColor->SetName("dsColor");

  tvResultSum = cxGrid2->CreateView<TGridTableView>(this);
  tvResultSum->SetName("tvResultSum");
  tvResultSum->DataController().SetDataSource(dsSum);
  tvResultSum->OptionsData.Editing = false;
  tvResultSum->OptionsData.Appending = false;
  tvResultSum->OptionsData.Deleting = false;
  tvResultSum->OptionsView.Footer = true;
  tvResultSum->OptionsView.Indicator = true;
  tvResultSum->OptionsView.GroupByBox = false;
  TGridColumn* product = tvResultSum->CreateColumn("F_PRODUCT", "商品名称");
  product->Summary.Footer = {skCount, "记录数0条"};
  TGridColumn* color = tvResultSum->CreateColumn("F_COLOR_ID", "颜色");
  color->Properties.Kind = TGridEditorKind::Lookup;
  color->Properties.ListSource = dsColor;
  color->Properties.KeyFieldNames = "F_ID";
  color->Properties.ListFieldNames = "F_NAME";
  color->OnGetDisplayText = [this](TGridColumn& column, int record, std::string& text) {
    const Variant key = column.View()->DataController().Value(record, column);
    TDataSet* colors = dsColor->DataSet();
    if (key.IsNullOrEmpty() || !colors || !colors->Active()) return;
    const Variant name = colors->Lookup("F_ID", key, "F_NAME");
    if (!name.IsNullOrEmpty()) text = name.ToString();
  };
  tvResultSum->OnCustomDrawIndicatorCell = [this](TGridTableView& view, int row, bool& done) {
    tvResultSumCustomDrawIndicatorCell(view, row, done);
  };
  TGridColumn* qty = tvResultSum->CreateColumn("F_QTY", "数量");
  qty->Summary.Footer = {skSum, ""};

  actBatchPasteModeNO->OnExecute = [this](TAction& sender) { actBatchPasteModeNOExecute(sender); };
  actBatchPasteModeNOByOrder->OnExecute = [this](TAction& sender) { actBatchPasteModeNOByOrderExecute(sender); };
  dxBarButton4 = dxBarCommand->AddItem("", actBatchPasteModeNO);
  dxBarButton4->SetName("dxBarButton4");
  dxBarButton6 = dxBarCommand->AddItem("", actBatchPasteModeNOByOrder);
  dxBarButton6->SetName("dxBarButton6");

  // The summary follows the rows; the base's handlers of the same events run first.
  CdsDetail->AfterOpen = [this](TDataSet& dataSet) { CdsDetailAfterOpen(dataSet); };
  CdsDetail->AfterEdit = [this](TDataSet& dataSet) { FSum->EditBegun(dataSet); };
  CdsDetail->AfterInsert = [this](TDataSet&) { FSum->InsertBegun(); };
  CdsDetail->AfterPost = [this](TDataSet& dataSet) { CdsDetailAfterPost(dataSet); };
  auto beforeDelete = CdsDetail->BeforeDelete;
  CdsDetail->BeforeDelete = [this, beforeDelete](TDataSet& dataSet) {
    if (beforeDelete) beforeDelete(dataSet);
    FSum->RowDeleting(dataSet);
  };
  auto afterDelete = CdsDetail->AfterDelete;
  CdsDetail->AfterDelete = [this, afterDelete](TDataSet& dataSet) {
    CdsDetailAfterDelete(dataSet);
    if (afterDelete) afterDelete(dataSet);
  };
  auto afterCancel = CdsDetail->AfterCancel;
  CdsDetail->AfterCancel = [this, afterCancel](TDataSet& dataSet) {
    CdsDetailAfterCancel(dataSet);
    if (afterCancel) afterCancel(dataSet);
  };
}

TFrmBillInStockFramework::~TFrmBillInStockFramework() {
  // The base's parts outlive this level for a moment: nothing of theirs may reach the summary.
  for (TDataSet::DataSetHandler* handler : {&CdsDetail->AfterOpen, &CdsDetail->AfterEdit, &CdsDetail->AfterInsert,
                                            &CdsDetail->AfterPost, &CdsDetail->BeforeDelete, &CdsDetail->AfterDelete,
                                            &CdsDetail->AfterCancel})
    *handler = nullptr;
  tvResultSum->DataController().SetDataSource(nullptr);
}

void TFrmBillInStockFramework::FormCreate() {
  // Nothing is summed while the screen is being made.
  SetGroupDetailStatus(false);
  TFrmBaseBillFramework::FormCreate();
}

void TFrmBillInStockFramework::StartQueryTimer() {
  const bool first = !GroupDetailStatus() && !dsColor->DataSet();
  TFrmBaseBillFramework::StartQueryTimer();
  if (const std::shared_ptr<ICache>& cache = CacheHelper()) {
    dsColor->SetDataSet(&cache->GetColors());
    // Rows chosen by their product's identifier carry no name: the line shows the product's.
    FSum->ProductName = [cache](int64_t product) {
      const Variant name = cache->GetProducts().Lookup("F_ID", Variant(static_cast<long long>(product)), "F_NAME");
      return name.ToString();
    };
  }
  if (first) {
    SetGroupDetailStatus(true);
    RefreshSumDetail();
  }
}

// --- the summary -----------------------------------------------------------------------------------------------

void TFrmBillInStockFramework::RefreshSumDetail() {
  if (!GroupDetailStatus()) return;
  FSum->Rebuild(*CdsDetail);
  ShowSummary();
}

void TFrmBillInStockFramework::tvResultSumCustomDrawIndicatorCell(TGridTableView&, int, bool& done) {
  done = true;  // the lines are numbered
}

void TFrmBillInStockFramework::ShowSummary() { cxGrid2->SetVisible(!mtSum->IsEmpty()); }

void TFrmBillInStockFramework::CdsDetailAfterOpen(TDataSet&) { RefreshSumDetail(); }

void TFrmBillInStockFramework::CdsDetailAfterPost(TDataSet& dataSet) {
  if (!SummaryFollows()) {
    FSum->MarkStale();
    return;
  }
  FSum->RowPosted(dataSet);
  ShowSummary();
}

void TFrmBillInStockFramework::CdsDetailAfterDelete(TDataSet&) {
  if (!SummaryFollows()) {
    FSum->MarkStale();
    return;
  }
  FSum->RowDeleted();
  ShowSummary();
}

void TFrmBillInStockFramework::CdsDetailAfterCancel(TDataSet&) { FSum->EditCancelled(); }

void TFrmBillInStockFramework::actNewExecute(TAction& sender) {
  FPricedProduct.reset();  // a new bill reads the prices as they are now
  TFrmBaseBillFramework::actNewExecute(sender);
  RefreshSumDetail();
}

void TFrmBillInStockFramework::actUndoExecute(TAction& sender) {
  TFrmBaseBillFramework::actUndoExecute(sender);
  RefreshSumDetail();
}

// --- rows ------------------------------------------------------------------------------------------------------

void TFrmBillInStockFramework::CdsDetailNewRecord(TDataSet& dataSet) {
  TFrmBaseBillFramework::CdsDetailNewRecord(dataSet);
  for (const char* name : {"F_PRESENT", "F_COLOR_ID", "F_CONFIG_ID"})
    if (TField* field = dataSet.FindField(name)) field->SetAsInteger(0);
}

void TFrmBillInStockFramework::F_ProductValidate(TField& sender) {
  TFrmBaseBillFramework::F_ProductValidate(sender);
  if (sender.IsNull()) return;
  const int64_t product = sender.AsLargeInt();
  if (FPricedProduct != product) {
    if (!DBAccess) throw Exception("没有数据库服务");
    std::unique_ptr<TClientDataSet> prices = DBAccess->OpenSQL(kPriceSQL + IntToStr(product));
    // The master's prices are kept, never a row's: a price typed on one row is no other row's.
    FPurchasePrice = prices->IsEmpty() ? Currency() : MoneyValue(prices->FieldByName("F_PRICE_JH").Value());
    FEmployeePrice = prices->IsEmpty() ? Currency() : MoneyValue(prices->FieldByName("F_PRICE_EMPLOYEE").Value());
    FPricedProduct = product;
  }
  TDataSet& row = sender.DataSet();
  if (TField* employee = row.FindField("F_PRICE_EMPLOYEE")) employee->SetAsCurrency(FEmployeePrice);
  TField* price = row.FindField("F_PRICE");
  if (!price || MoneyValue(price->Value()) != Currency()) return;
  price->SetAsCurrency(FPurchasePrice);
  if (TField* money = row.FindField("F_MONEY")) {
    const TField* qty = row.FindField("F_QTY");
    money->SetAsCurrency(FPurchasePrice * (qty ? IdValue(qty->Value()) : int64_t{0}));
  }
}

void TFrmBillInStockFramework::F_ModeNOSetText(TField& sender, const std::string& text) {
  const std::string number = UpperCase(Trim(text));
  const TField* product = sender.DataSet().FindField("F_PRODUCT_ID");
  // Without a product the row refuses any number (F_ModeNOValidate) before the stock is asked.
  if (!number.empty() && number != sender.AsString() && product && IdValue(product->Value()) != 0) {
    const std::map<std::string, TDateTime> inStock = UnitsInStock({number});
    if (!inStock.empty()) throw Exception(InStockText(number, inStock.begin()->second));
  }
  TFrmBaseBillFramework::F_ModeNOSetText(sender, text);
}

std::map<std::string, TDateTime> TFrmBillInStockFramework::UnitsInStock(const std::vector<std::string>& modeNOs) {
  if (modeNOs.empty()) return {};
  if (!DBAccess) throw Exception("没有数据库服务");
  return jxc::UnitsInStock(*DBAccess, modeNOs);
}

void TFrmBillInStockFramework::UITopConfig(const TUIConfig& config) {
  if (config.F_CLASS_NAME.empty()) return;
  TFrameBase* frame = CreateRegionFrame(config);
  if (config.F_HEIGHT > 0) frame->Height = config.F_HEIGHT;
  PlaceEntryPanel(frame);
}

void TFrmBillInStockFramework::PlaceEntryPanel(TFrameBase* frame) {
  if (auto* fastEntry = dynamic_cast<TFrameProductFastEntryEditor*>(frame)) {
    fastEntry->AttachToBill(*this);
  } else {
    frame->SetMainDataSet(CdsDetail);
    frame->DoInit();
  }
  frame->SetParent(pnlEntry);
  frame->Align = TAlign::alClient;
  pnlEntry->Height = frame->Height;
  pnlEntry->SetVisible(true);
}

void TFrmBillInStockFramework::F_ModeNOValidate(TField& sender) {
  TFrmBaseBillFramework::F_ModeNOValidate(sender);
  if (Trim(sender.AsString()).empty()) return;
  // The field goes back to what it held and the serial list with it (the text entry restores it).
  const TField* product = sender.DataSet().FindField("F_PRODUCT_ID");
  if (product && IdValue(product->Value()) == 0) throw Exception("请选择商品");
}

// --- saving ----------------------------------------------------------------------------------------------------

void TFrmBillInStockFramework::actBeforeSaveExecute(TAction& sender) {
  FAllowZeroPrice = SysParamBoolean(kSpAllowZeroPurchasePrice);
  FEmployeeCostPrice = SysParamBoolean(kSpEmployeeCostPrice);
  if (cdsMain->Active() && (cdsMain->State() == dsEdit || cdsMain->State() == dsInsert)) cdsMain->Post();
  const bool summary = GroupDetailStatus();
  SetGroupDetailStatus(false);
  auto restore = [&] {
    SetGroupDetailStatus(summary);
    if (FSum->Stale()) RefreshSumDetail();
  };
  try {
    TFrmBaseBillFramework::actBeforeSaveExecute(sender);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TFrmBillInStockFramework::CheckDetailRows() {
  CdsDetail->CheckBrowseMode();
  auto refuse = [this](int row, const std::string& complaint, bool warning) {
    CdsDetail->SetRecNo(row + 1);  // the user finds the row where it is
    const std::string text = "第" + IntToStr(row + 1) + complaint;
    if (warning) ShowWarningMessage(MsgBox.get(), text);
    else ShowErrorMessage(MsgBox.get(), text);
    Abort();
  };
  TRowReader value(*CdsDetail);
  for (int row = 0, rows = CdsDetail->RecordCount(); row < rows; ++row) {
    // A row without product is the base's to refuse.
    if (IdValue(value(row, "F_PRODUCT_ID")) == 0) continue;
    const int64_t type = IdValue(value(row, "F_PRODUCT_TYPE_ID"));
    if (IsSerialType(type)) {
      if (Trim(value(row, "F_MODE_NO").ToString()).empty()) refuse(row, "行手机串号/卡号不能为空", false);
      // One row is one unit: no more, and no less either.
      if (IdValue(value(row, "F_QTY")) != 1) refuse(row, "行商品数量必须等于1", false);
    }
    if (type == 1 && IdValue(value(row, "F_COLOR_ID")) == 0) refuse(row, "行颜色不能为空", false);
    if (!FAllowZeroPrice && MoneyValue(value(row, "F_PRICE")) <= Currency()) refuse(row, "行进货价为0,请修改", true);
    // With staff cost prices in use, each row needs its own.
    if (FEmployeeCostPrice && MoneyValue(value(row, "F_PRICE_EMPLOYEE")) <= Currency())
      refuse(row, "行员工成本价为0,请修改", true);
  }
  TFrmBaseBillFramework::CheckDetailRows();
}

TFrmBillInStockFramework::TBillSums TFrmBillInStockFramework::SumRows() const {
  TBillSums sums;
  TRowReader value(*CdsDetail);
  for (int row = 0, rows = CdsDetail->RecordCount(); row < rows; ++row) {
    const TRowStamp stamp = StampOf(value(row, "F_PRESENT"), value(row, "F_QTY"), value(row, "F_PRICE"));
    sums.Qty += stamp.Qty;
    sums.Money += stamp.Money;
    sums.CostMoney += stamp.CostMoney;
    sums.GoodsMoney += stamp.GoodsMoney;
  }
  return sums;
}

void TFrmBillInStockFramework::CheckBeforeWrite() {
  FStamped.clear();
  FHeaderBefore.clear();
  TFrmBaseBillFramework::CheckBeforeWrite();
  if (!SysParamBoolean(kSpConfirmBillAmount)) return;
  const TBillSums sums = SumRows();
  std::string text = FormatCurr("本单总额为0.00元", sums.Money);
  // Without units there is no average to show.
  text += sums.Qty != 0 ? FormatCurr("平均单价0.00元,确定吗？", sums.Money / sums.Qty) : std::string(",确定吗？");
  if (!ConfirmMessage(MsgBox.get(), "提示", text)) Abort();
}

TFrmBaseBillFramework::TTotals TFrmBillInStockFramework::SumDetailIntoHeader() {
  FStamped.clear();
  FHeaderBefore.clear();
  CdsDetail->CheckBrowseMode();
  const int64_t supplier = IdValue(LargeIntValue(*cdsMain, "F_CUSTOMER_ID"));
  const int64_t shop = BillShopID();
  const int64_t counter = DefaultLocationOf(shop);
  const TBookmark start = CdsDetail->GetBookmark();
  CdsDetail->DisableControls();
  try {
    // New rows get their batch numbers, in row order; the numbers come in one call.
    std::vector<std::string> batches;
    int newRows = 0;
    for (CdsDetail->First(); !CdsDetail->Eof(); CdsDetail->Next())
      if (CdsDetail->UpdateStatus() == usInserted) ++newRows;
    if (newRows > 0) {
      std::unique_ptr<TClientDataSet> numbers = DBAccess->GetNewIDs(kBatchSequence, false, newRows);
      for (numbers->First(); !numbers->Eof(); numbers->Next()) batches.push_back(numbers->Fields(0).AsString());
      if (static_cast<int>(batches.size()) < newRows) throw Exception("未能取得批次号");
    }
    size_t nextBatch = 0;
    const TField& presentField = CdsDetail->FieldByName("F_PRESENT");
    const TField& qty = CdsDetail->FieldByName("F_QTY");
    const TField& price = CdsDetail->FieldByName("F_PRICE");
    const TField& location = CdsDetail->FieldByName("F_LOCATION_ID");
    const TField& source = CdsDetail->FieldByName("F_SOURCE_ID");
    const TField& id = CdsDetail->FieldByName("F_ID");
    std::unordered_map<std::string_view, TField*> stamped;  // the fields the stamp writes, where the rows have them
    auto field = [&](const char* name) {
      auto [known, added] = stamped.try_emplace(name, nullptr);
      if (added) known->second = CdsDetail->FindField(name);
      return known->second;
    };
    for (CdsDetail->First(); !CdsDetail->Eof(); CdsDetail->Next()) {
      const bool inserted = CdsDetail->UpdateStatus() == usInserted;
      const Variant present = presentField.Value();
      const TRowStamp stamp = StampOf(present, qty.Value(), price.Value());
      std::vector<std::pair<const char*, Variant>> values = {
          {"F_SHOP_ID", shop ? Id(shop) : Variant::Null()}, {"F_COST_PRICE", Variant(stamp.CostPrice)},
          {"F_MONEY", Variant(stamp.Money)},                {"F_COST_MONEY", Variant(stamp.CostMoney)},
          {"F_GOODS_MONEY", Variant(stamp.GoodsMoney)}};
      if (present.IsNullOrEmpty()) values.emplace_back("F_PRESENT", Variant(0));
      if (supplier) values.emplace_back("F_ROOT_ID", Id(supplier));
      if (counter && IdValue(location.Value()) == 0) values.emplace_back("F_LOCATION_ID", Id(counter));
      if (source.IsNull()) values.emplace_back("F_SOURCE_ID", id.Value());
      if (inserted) values.emplace_back("F_PH", Variant(batches.at(nextBatch++)));
      // Only what differs is written (and kept to be given back).
      TStampedRow row;
      std::vector<std::pair<TField*, Variant>> after;
      for (auto& [name, value] : values) {
        TField* target = field(name);
        if (!target || target->Value() == value) continue;
        row.Before.emplace_back(target->Index(), target->Value());
        after.emplace_back(target, std::move(value));
      }
      if (after.empty()) continue;
      row.Row = CdsDetail->GetBookmark();
      CdsDetail->Edit();
      for (const auto& [target, value] : after) target->SetValue(value);
      CdsDetail->Post();
      FStamped.push_back(std::move(row));
    }
    if (CdsDetail->BookmarkValid(start)) CdsDetail->GotoBookmark(start);
  } catch (...) {
    CdsDetail->EnableControls();
    throw;
  }
  CdsDetail->EnableControls();

  TTotals totals = TFrmBaseBillFramework::SumDetailIntoHeader();
  const TBillSums sums = SumRows();
  for (const auto& [name, value] : {std::pair<const char*, Currency>{"F_COST_MONEY", sums.CostMoney},
                                    std::pair<const char*, Currency>{"F_GOODS_MONEY", sums.GoodsMoney}}) {
    TField* field = cdsMain->FindField(name);
    if (!field || (!field->IsNull() && field->AsCurrency() == value)) continue;
    FHeaderBefore.emplace_back(name, field->Value());
    if (cdsMain->State() == dsBrowse) cdsMain->Edit();
    field->SetAsCurrency(value);
  }
  return totals;
}

void TFrmBillInStockFramework::RestoreTotals(const TTotals& before) {
  if (!FStamped.empty() && CdsDetail->Active()) {
    const TBookmark start = CdsDetail->GetBookmark();
    CdsDetail->DisableControls();
    try {
      for (const TStampedRow& row : FStamped) {
        if (!CdsDetail->BookmarkValid(row.Row)) continue;
        CdsDetail->GotoBookmark(row.Row);
        CdsDetail->Edit();
        for (const auto& [index, value] : row.Before) CdsDetail->Fields(index).SetValue(value);
        CdsDetail->Post();
      }
      if (CdsDetail->BookmarkValid(start)) CdsDetail->GotoBookmark(start);
    } catch (...) {
      CdsDetail->EnableControls();
      throw;
    }
    CdsDetail->EnableControls();
  }
  FStamped.clear();
  if (!FHeaderBefore.empty() && cdsMain->Active() && !cdsMain->IsEmpty()) {
    const bool browse = cdsMain->State() == dsBrowse;
    if (browse) cdsMain->Edit();
    for (const auto& [name, value] : FHeaderBefore)
      if (TField* field = cdsMain->FindField(name)) field->SetValue(value);
    if (browse) cdsMain->Post();
  }
  FHeaderBefore.clear();
  TFrmBaseBillFramework::RestoreTotals(before);
}

// --- un-audit --------------------------------------------------------------------------------------------------

void TFrmBillInStockFramework::actUnAuditExecute(TAction& sender) {
  if (BillStatus() == 2 && !HeaderIsNew()) {
    if (!DBAccess) throw Exception("没有数据库服务");
    // Only rows whose units later bills used are read.
    DBAccess->OpenDataSet(*cdsSumDetail, kMovedUnitsSQL + IntToStr(cdsMain->FieldByName("F_ID").AsLargeInt()) +
                                             " AND F_USE_QTY > 0");
    const bool moved = !cdsSumDetail->IsEmpty();
    cdsSumDetail->Close();
    if (moved) {
      ShowErrorMessage(MsgBox.get(), "反审核失败\r\n失败原因:库存已变动,如需修改请使用纠正功能");
      Abort();
    }
  }
  TFrmBaseBillFramework::actUnAuditExecute(sender);
}

// --- pasting serial numbers ------------------------------------------------------------------------------------

bool TFrmBillInStockFramework::CurrentRowHasProduct() const {
  const TField* product = CdsDetail->Active() ? CdsDetail->FindField("F_PRODUCT_ID") : nullptr;
  return product && HasRow(*CdsDetail) && IdValue(product->Value()) != 0;
}

void TFrmBillInStockFramework::PasteInto(
    const std::function<bool(const std::string& rowID, const std::string& modeNO, std::string& reason)>& take) {
  TField& product = CdsDetail->FieldByName("F_PRODUCT_ID");
  const std::function<void(TField&)> validate = product.OnValidate;
  const bool summary = GroupDetailStatus();
  auto restore = [&] {
    FPastedInStock.clear();
    product.OnValidate = validate;
    SetGroupDetailStatus(summary);
    RefreshSumDetail();
    tvResult->EndUpdate();
  };
  tvResult->BeginUpdate();
  product.OnValidate = nullptr;
  SetGroupDetailStatus(false);
  TModeNOPasteHandler handler;
  handler.Prepare = [this](const std::vector<std::string>& modeNOs) { FPastedInStock = UnitsInStock(modeNOs); };
  handler.Paste = [this, &take](const std::string& rowID, const std::string& modeNO, std::string& reason) {
    if (auto unit = FPastedInStock.find(modeNO); unit != FPastedInStock.end()) {
      reason = InStockText(modeNO, unit->second);
      return false;
    }
    if (ModeNOList().Contains(modeNO)) {
      reason = "重复";
      return false;
    }
    if (!take(rowID, modeNO, reason)) return false;
    CheckModeNOEx(modeNO, true);
    return true;
  };
  try {
    PasteModeNO(std::move(handler));
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TFrmBillInStockFramework::actBatchPasteModeNOExecute(TAction&) {
  if (!CurrentRowHasProduct()) {
    ShowInfoMessage(MsgBox.get(), "请先选择商品");
    return;
  }
  // The row being typed is kept as typed; the units are copies of it (it takes the first number when it
  // has none).
  CdsDetail->CheckBrowseMode();
  TField& id = CdsDetail->FieldByName("F_ID");
  TField& serial = CdsDetail->FieldByName("F_MODE_NO");
  // A copy takes every field but the identifier, the serial number and the batch number.
  std::vector<TField*> copied;
  for (int i = 0; i < CdsDetail->FieldCount(); ++i) {
    TField& field = CdsDetail->Fields(i);
    if (field.FieldKind == fkData && &field != &id && &field != &serial && !SameText(field.FieldName(), "F_PH"))
      copied.push_back(&field);
  }
  TBookmark source = CdsDetail->GetBookmark();  // the row the next copy is made of: the last one taken
  bool elsewhere = false;                       // a refused row moved the cursor away from it
  PasteInto([&](const std::string& rowID, const std::string& modeNO, std::string&) {
    if (CdsDetail->State() == dsBrowse) {
      if (elsewhere && CdsDetail->BookmarkValid(source)) CdsDetail->GotoBookmark(source);
      elsewhere = false;
      if (Trim(serial.AsString()).empty()) {
        CdsDetail->Edit();
      } else {
        std::vector<Variant> values;
        values.reserve(copied.size());
        for (const TField* field : copied) values.push_back(field->Value());
        CdsDetail->Append();
        for (size_t i = 0; i < copied.size(); ++i) copied[i]->SetValue(values[i]);
      }
    }
    try {
      // A row not saved yet takes the identifier the paste drew for it; a saved row keeps its own.
      if (CdsDetail->State() == dsInsert || CdsDetail->UpdateStatus() == usInserted) id.SetAsString(rowID);
      serial.SetAsString(modeNO);
      CdsDetail->Post();
    } catch (...) {
      CdsDetail->Cancel();  // no half-made row stays behind
      elsewhere = true;
      throw;
    }
    source = CdsDetail->GetBookmark();
    return true;
  });
}

bool TFrmBillInStockFramework::FindRowWithoutModeNO() {
  const TField& modeNO = CdsDetail->FieldByName("F_MODE_NO");
  const TField* type = CdsDetail->FindField("F_PRODUCT_TYPE_ID");
  for (; !CdsDetail->Eof(); CdsDetail->Next()) {
    const bool serialRow = !type || IsSerialType(IdValue(type->Value()));
    if (serialRow && CurrentRowHasProduct() && Trim(modeNO.AsString()).empty()) return true;
  }
  return false;
}

void TFrmBillInStockFramework::actBatchPasteModeNOByOrderExecute(TAction&) {
  if (!CurrentRowHasProduct()) {
    ShowInfoMessage(MsgBox.get(), "请先选择商品");
    return;
  }
  CdsDetail->CheckBrowseMode();
  PasteInto([this](const std::string&, const std::string& modeNO, std::string& reason) {
    // Rows are filled in order; a row holding a number keeps it, and past the last row nothing is taken.
    if (!FindRowWithoutModeNO()) {
      reason = "没有待填串码的明细行";
      return false;
    }
    CdsDetail->Edit();
    try {
      CdsDetail->FieldByName("F_MODE_NO").SetAsString(modeNO);
      CdsDetail->Post();
    } catch (...) {
      CdsDetail->Cancel();
      throw;
    }
    CdsDetail->Next();
    return true;
  });
}

}  // namespace jxc
