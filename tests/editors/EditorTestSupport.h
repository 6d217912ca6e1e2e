#pragma once
// A sample shop on a scratch database file with the host's services registered as a program registers
// them (database, local configuration over the same file, dialogs, rights, status bar, grid layouts), and
// the opener's protocol for master-data screens: create, caption, DoOnShow, show, let the deferred start
// run. Users' clicks go through the tool bar (or the application's dispatcher), as a person's do.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editors/UnitFrmBaseDBGridEditor.h"
#include "editors/UnitFrmBaseDataEditor.h"
#include "platform/DBCtrls.h"
#include "foundation/PackageEntry.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/Desktop.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "services/LocalConfigGrid.h"
#include "services/RecordingDialog.h"
#include "services/RecordingMainForm.h"
#include "services/SQLiteDBAccess.h"
#include "services/SQLiteLocalDB.h"
#include "services/SampleShop.h"
#include "services/ShopLocalDB.h"
#include "services/TableGroupRights.h"
#include "support/DatabaseFiles.h"

namespace jxc::testing {

// Products with their shop prices: a screen that saves two datasets together and deletes a product with
// its prices. The price table can be swapped before the screen opens.
class TFrmProductPrices : public TFrmBaseDBGridEditor {
 public:
  using TFrmBaseDBGridEditor::TFrmBaseDBGridEditor;
  TClientDataSet* cdsPrices = nullptr;
  std::string PriceTable = "TB_PRODUCT_SHOP_PRICE";

 protected:
  void actInitExecute(TAction& sender) override {
    TFrmBaseDBGridEditor::actInitExecute(sender);
    cdsPrices = new TClientDataSet(this);
    cdsPrices->SetName("cdsPrices");
    RegisteDataSet("TB_PRODUCT_SHOP_PRICE", PriceTable, cdsPrices, "F_PRODUCT_ID");
  }
};

// An application's record editor for colours: name and remark in data-aware edits.
class TFrmColorEditor : public TFrmBaseDataEditor {
 public:
  explicit TFrmColorEditor(TComponent* owner) : TFrmBaseDataEditor(owner) {
    edtName = Edit("edtName", "F_NAME");
    edtRemark = Edit("edtRemark", "F_REMARK");
  }
  TDBEdit* edtName;
  TDBEdit* edtRemark;

  // The user replaces an edit's text.
  void Enter(TDBEdit* edit, const std::string& text) {
    SetActiveControl(edit);
    edit->SelectAll();
    TypeText(text);
  }

 private:
  TDBEdit* Edit(const char* name, const char* field) {
    auto* edit = new TDBEdit(this);
    edit->SetName(name);
    edit->SetParent(this);
    edit->SetDataSource(dsMain);
    edit->SetDataField(field);
    return edit;
  }
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    SysService::Clear();
    PackageStartup();
    path = TempPath(std::string("editors_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Remove(path);
    db = std::make_shared<TSQLiteDBAccess>(path);
    TSampleShopOptions options;
    options.Units = 12;
    options.Branches = 2;
    shop = CreateSampleShop(*db, options);
    RegisterShopDatabaseServices(db);
    SysService::Register<IDialog>(dialog);
    rights->SetGrantAll(true);
    SysService::Register<IGroupRights>(rights);
    SysService::Register<IMainForm>(mainForm);
    SysService::Register<IConfigGrid>(layouts);
    UserInfo->SetName("张三");
    UserInfo->SetDefaultShopID(std::to_string(shop.Branches[0]));
  }
  void TearDown() override {
    ResetApplication();
    while (PackageStarted()) PackageShutdown();
    SysService::Clear();
    db.reset();
    Remove(path);
  }

  // What the host's menu does to open a screen, then the 200 ms of the deferred start.
  template <class T = TFrmBaseDBGridEditor>
  T* Open(const std::string& caption) {
    T* screen = OpenEditor<T>(Application(), caption);
    Application().Advance(200);
    return screen;
  }

  // The user clicks the action's tool-bar button (or the action where it has none).
  void Click(TFrmBaseEditor& screen, TAction* action) {
    for (TBarItem* item : screen.barMain->Items()) {
      if (item->Action() == action) {
        Application().Dispatch([item] { item->Click(); });
        Application().ProcessMessages();
        return;
      }
    }
    Application().Dispatch([action] { action->Execute(); });
    Application().ProcessMessages();
  }

  // The user types into a cell of the focused row.
  void Type(TFrmBaseDBGridEditor& screen, const char* field, const std::string& text) {
    TGridColumn* column = screen.tvResult->FindColumnByFieldName(field);
    ASSERT_NE(column, nullptr) << field;
    screen.tvResult->EditCell(screen.tvResult->FocusedRecordIndex(), *column, text);
    EXPECT_FALSE(screen.tvResult->Editing()) << "the grid refused " << text << " in " << field;
  }

  int64_t Count(const std::string& sql) { return db->QueryNative(sql).Rows.at(0).at(0).AsInt64(); }
  std::string Text(const std::string& sql) {
    const auto rows = db->QueryNative(sql).Rows;
    return rows.empty() ? std::string("<none>") : rows.at(0).at(0).ToString();
  }
  // The status texts the screens set, in order.
  std::vector<std::string> StatusTexts() const {
    std::vector<std::string> texts;
    for (const auto& [panel, text] : mainForm->Calls()) texts.push_back(text);
    return texts;
  }

  std::string path;
  std::shared_ptr<TSQLiteDBAccess> db;
  TSampleShop shop;
  std::shared_ptr<TRecordingDialog> dialog = std::make_shared<TRecordingDialog>();
  std::shared_ptr<TTableGroupRights> rights = std::make_shared<TTableGroupRights>();
  std::shared_ptr<TRecordingMainForm> mainForm = std::make_shared<TRecordingMainForm>();
  std::shared_ptr<TLocalConfigGrid> layouts = std::make_shared<TLocalConfigGrid>(std::make_shared<TSQLiteLocalDB>(":memory:"));
  TScriptedMessageBox boxes;
  ScopedMessageBox boxScope{boxes};
  SysService::Scope services;
};

}  // namespace jxc::testing
