#include "editors/UnitFrameBase.h"

#include "editors/UnitFrmBaseDataEditor.h"
#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrmBaseEditor.h"
#include "editors/UnitRecordCheck.h"
#include "foundation/HostServicesIntf.h"
#include "kernel/SysSvc.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kBandListSQL = "SELECT F_ID,F_CODE,F_NAME FROM TB_BAND_ACCOUNT WHERE F_SHOP_ID = ";
constexpr const char* kShopListSQL =
    "SELECT a.F_ID, F_CODE, F_NAME,F_PARENTID, F_PY  FROM VI_DICT_SHOP  a,  FUNC_GET_SHOP_CHILD_LIST(";
constexpr const char* kShopListTail = ") b WHERE a.F_ID = b.F_ID";
constexpr const char* kDictSQL = "SELECT F_ID=cast(F_CODE AS INTEGER), F_NAME, F_PY FROM TB_DICT_ITEM WHERE F_PARENTID = ";
constexpr const char* kTaxTypeParent = "969702";
constexpr int kListMinutes = 30;

// The user's shop as a number for a statement; a user without one cannot be served.
std::string DefaultShop() {
  const std::string shop = UserInfo ? Trim(UserInfo->DefaultShopID()) : std::string();
  if (!TryStrToInt64(shop)) throw Exception("当前用户没有所属店铺, 不能读取店铺资料");
  return shop;
}

}  // namespace

TFrameBase::TFrameBase(TComponent* owner) : TFrame(owner) {
  grpContent = NewControl<TGroupBox>(this, "grpContent", this);
  grpContent->Align = TAlign::alClient;
  pnlContent = NewControl<TPanel>(this, "pnlContent", grpContent);
  pnlContent->Align = TAlign::alClient;
  dsMain = new TDataSource(this);
  dsMain->SetName("dsMain");
}

TFrameBase::~TFrameBase() = default;

void TFrameBase::SetMainDataSet(TClientDataSet* dataSet) {
  FMainDataSet = dataSet;
  dsMain->SetDataSet(dataSet);
}

void TFrameBase::DoInit() {
  DBAccess = SysService::Get<IDBAccess>();
  MsgBox = SysService::Get<IDialog>();
  CacheHelper = SysService::Get<ICache>();
}

IDBAccess& TFrameBase::Database() {
  if (!DBAccess) DBAccess = SysService::Get<IDBAccess>();
  if (!DBAccess) throw Exception("没有数据库服务");
  return *DBAccess;
}

ICache& TFrameBase::Cache() {
  if (!CacheHelper) CacheHelper = SysService::Get<ICache>();
  if (!CacheHelper) throw Exception("没有缓存服务");
  return *CacheHelper;
}

bool TFrameBase::DoSave() {
  if (!FMainDataSet) return false;
  return Database().ApplyUpdates(*FMainDataSet, FUpdatingTable) >= 0;
}

void TFrameBase::DoAdd() {
  if (FMainDataSet) FMainDataSet->Append();
}

void TFrameBase::DoCancel() {
  if (FMainDataSet && (FMainDataSet->State() == dsEdit || FMainDataSet->State() == dsInsert)) FMainDataSet->Cancel();
}

std::string TFrameBase::ScreenCaption() const {
  if (auto* screen = dynamic_cast<TCustomForm*>(Owner())) return screen->Caption();
  if (TCustomForm* form = Form()) return form->Caption();
  return {};
}

std::string TFrameBase::FunctionID() const {
  if (!FFunctionID.empty()) return FFunctionID;
  if (auto* editor = dynamic_cast<TFrmBaseEditor*>(Owner())) return editor->FormParams.F_ID;
  if (auto* dataEditor = dynamic_cast<TFrmBaseDataEditor*>(Owner())) return dataEditor->F_ID();
  return {};
}

void TFrameBase::DoCheck() {
  TDataSet* record = dsMain->DataSet();
  if (!record || !record->Active()) return;
  if (FMainDataSet && FMainDataSet != record && (FMainDataSet->State() == dsEdit || FMainDataSet->State() == dsInsert))
    FMainDataSet->Post();
  std::shared_ptr<ILocalDB> local = SysService::Get<ILocalDB>();
  TRecordCheck check({&Database(), MsgBox.get(), local.get(), Owner(), ScreenCaption(), FunctionID(), FUpdatingTable});
  check.Check(*record);
}

TDataSet& TFrameBase::GetBandList() {
  return Cache().GetCacheItem("TB_BAND_ACCOUNT", kBandListSQL + DefaultShop(), kListMinutes)->GetDataSet();
}

TDataSet& TFrameBase::GetShopList() {
  return Cache().GetCacheItem("VI_DICT_SHOP", kShopListSQL + DefaultShop() + kShopListTail, kListMinutes)->GetDataSet();
}

void TFrameBase::GetDict_ConvetCodeToID(TDataSet& dataSet, const std::string& parentID) {
  const std::optional<int64_t> parent = TryStrToInt64(parentID);
  if (!parent) throw Exception("字典分类[" + parentID + "]无效");
  Database().OpenDataSet(dataSet, kDictSQL + IntToStr(*parent));
}

void TFrameBase::GET_DICT_TAX_TYPE(TDataSet& dataSet) { GetDict_ConvetCodeToID(dataSet, kTaxTypeParent); }

}  // namespace jxc
