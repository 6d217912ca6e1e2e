// Choosing shops and stock on the sample shop: the tree frame and the shop screen with its tree, the shop
// tree of a branch and of the head office (by shop and by region), the shop picker, the shops a customer
// belongs to, the stock and serial-number lists, the attribute lists, and the look-ups a bill's grid
// columns take by name.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editors/UnitFrameBaseLookupConfig.h"
#include "editors/UnitFrameBaseTree.h"
#include "editors/UnitFrameLookupSysStock.h"
#include "editors/UnitFrameOwnerShopList.h"
#include "editors/UnitFrameShopTree.h"
#include "editors/UnitFrmBaseTreeGrid.h"
#include "editors/UnitFrmSelectShopList.h"
#include "editors/UnitLookupColumns.h"
#include "filter/UnitFilterPopupEdit.h"
#include "platform/ClassRegistry.h"
#include "platform/DBTreeList.h"
#include "platform/GridInplaceEdit.h"
#include "platform/Menus.h"
#include "services/RecordingProgressForm.h"
#include "services/ScriptedShopSelector.h"

namespace jxc {
namespace {

using testing::EditorTest;

// Three branches: 华强北店 and 福田店 in 深圳市, 天河店 in 广州市, all below the head office in 深圳市.
class ShopSelectionTest : public EditorTest {
 protected:
  ShopSelectionTest() { sampleOptions = TSampleShopOptions{30, 3}; }
  void SetUp() override {
    EditorTest::SetUp();
    SysService::Register<IProgressForm>(progress);
    SysService::Register<IShopSelector>(selector);
    form = new TForm(&Application());
  }

  void LogInAt(int64_t shopID) {
    UserInfo->SetDefaultShopID(std::to_string(shopID));
    UserInfo->SetCurrentShopID(std::to_string(shopID));
  }
  TFrameShopTree* ShopTree(TShopTreeGroup group, TClientDataSet* shops) {
    auto* tree = new TFrameShopTree(form);
    tree->SetParent(form);
    tree->SetGroup(group);
    tree->SetMainDataSet(shops);
    tree->DoInit();
    return tree;
  }
  std::vector<std::string> Texts(TTreeList& tree) {
    std::vector<std::string> texts;
    for (TTreeListNode* node : tree.AllNodes()) texts.push_back(std::string(node->Level(), '>') + node->Text());
    return texts;
  }
  std::vector<int64_t> Ids(TDataSet& rows) {
    std::vector<int64_t> ids;
    for (rows.First(); !rows.Eof(); rows.Next()) ids.push_back(rows.FieldByName("F_ID").AsLargeInt());
    return ids;
  }
  std::string Region(const char* name) { return Text(std::string("SELECT F_ID FROM TB_PROVINCE WHERE F_NAME = '") + name + "'"); }

  std::shared_ptr<TRecordingProgressForm> progress = std::make_shared<TRecordingProgressForm>();
  std::shared_ptr<TScriptedShopSelector> selector = std::make_shared<TScriptedShopSelector>();
  TForm* form;
};

TEST_F(ShopSelectionTest, ABranchSeesItsOwnShopAndTheHeadOfficeSeesEveryShop) {
  auto* shops = new TClientDataSet(form);
  LogInAt(shop.Branches[0]);
  TFrameShopTree* tree = ShopTree(TShopTreeGroup::ByShop, shops);
  EXPECT_EQ(Texts(*tree->dbTreeList), std::vector<std::string>{"01 - 华强北店"});
  LogInAt(shop.HeadOffice);
  tree->DoInit();
  EXPECT_EQ(Texts(*tree->dbTreeList),
            (std::vector<std::string>{"00 - 总部", ">01 - 华强北店", ">02 - 福田店", ">03 - 天河店"}));

  // By region a branch sees the regions holding its shops, never the others, and never a shop id.
  LogInAt(shop.Branches[2]);
  tree->ChangeGroup(TShopTreeGroup::ByRegion);
  EXPECT_EQ(Texts(*tree->dbTreeList), (std::vector<std::string>{"44 - 广东省", ">4401 - 广州市"}));
  LogInAt(shop.HeadOffice);
  tree->DoInit();
  EXPECT_EQ(Texts(*tree->dbTreeList), (std::vector<std::string>{"44 - 广东省", ">4401 - 广州市", ">4403 - 深圳市"}))
      << "北京市 holds no shop";
}

TEST_F(ShopSelectionTest, ANodeClickFillsTheShopsBehindAWaitWindowThatAlwaysGoes) {
  LogInAt(shop.HeadOffice);
  auto* shops = new TClientDataSet(form);
  TFrameShopTree* tree = ShopTree(TShopTreeGroup::ByShop, shops);
  TDBTreeList& nodes = *tree->dbTreeList;
  nodes.ClickNode(nodes.FindNodeByKey(Variant(static_cast<long long>(shop.Branches[1]))));
  EXPECT_EQ(progress->ShownTexts(), std::vector<std::string>{"正在查询数据,请稍候..."});
  EXPECT_FALSE(progress->Showing());
  EXPECT_EQ(Ids(*shops), std::vector<int64_t>{shop.Branches[1]});
  nodes.ClickNode(nodes.FindNodeByKey(Variant(static_cast<long long>(shop.HeadOffice))));
  EXPECT_EQ(shops->RecordCount(), 4);

  // By region: the shops of the region and below, within the user's shops.
  tree->ChangeGroup(TShopTreeGroup::ByRegion);
  nodes.ClickNode(nodes.FindNodeByText("4403 - 深圳市"));
  EXPECT_EQ(shops->RecordCount(), 3);
  LogInAt(shop.Branches[0]);
  nodes.ClickNode(nodes.FindNodeByText("44 - 广东省"));
  EXPECT_EQ(Ids(*shops), std::vector<int64_t>{shop.Branches[0]});

  // A click beside the nodes asks nothing; a failing query still takes the wait window away.
  progress->Clear();
  nodes.ClickNode(nullptr);
  EXPECT_TRUE(progress->Calls().empty());
  db->Connection().ExecScript("ALTER TABLE TB_SHOP RENAME TO TB_SHOP_MOVED;");
  nodes.ClickNode(nodes.FindNodeByText("44 - 广东省"));
  db->Connection().ExecScript("ALTER TABLE TB_SHOP_MOVED RENAME TO TB_SHOP;");
  EXPECT_EQ(Application().ShownErrors().size(), 1u);
  EXPECT_FALSE(progress->Showing());
  EXPECT_EQ(Ids(*shops), std::vector<int64_t>{shop.Branches[0]}) << "the shops shown stay";
}

TEST_F(ShopSelectionTest, ANodeClickAsksBeforeItDropsUnsavedChanges) {
  LogInAt(shop.HeadOffice);
  auto* shops = new TClientDataSet(form);
  TFrameShopTree* tree = ShopTree(TShopTreeGroup::ByShop, shops);
  tree->ChooseNode(*tree->dbTreeList->FindNodeByKey(Variant(static_cast<long long>(shop.HeadOffice))));
  shops->Edit();
  shops->FieldByName("F_MOBILE").SetAsString("0755-1");
  shops->Post();
  dialog->QueueAnswer(false);
  tree->dbTreeList->ClickNode(tree->dbTreeList->FindNodeByKey(Variant(static_cast<long long>(shop.Branches[0]))));
  EXPECT_EQ(dialog->Last().Text, "您正在编辑数据,是否继续?");
  EXPECT_EQ(shops->ChangeCount(), 1);
  EXPECT_EQ(shops->RecordCount(), 4);
}

TEST_F(ShopSelectionTest, TheTreeFrameRefreshesWithItsRestrictionAndNamesTheFocusedNode) {
  LogInAt(shop.Branches[0]);
  TFrameShopTree* tree = ShopTree(TShopTreeGroup::ByShop, new TClientDataSet(form));
  tree->dbTreeList->SetFocusedNode(nullptr);
  EXPECT_EQ(tree->GetID(), "0");
  tree->ppmRefresh->Click();
  EXPECT_EQ(dialog->Last().Text, "刷新成功");
  EXPECT_EQ(tree->dbTreeList->Count(), 1) << "still the user's shops only";
  tree->dbTreeList->ClickNode(tree->dbTreeList->TopNodes().front());
  EXPECT_EQ(tree->GetID(), std::to_string(shop.Branches[0]));

  auto* plain = new TFrameBaseTree(form);
  plain->SetParent(form);
  EXPECT_THROW(plain->DoInit(), Exception) << "数据表未配置";
  TUIConfig config;
  config.F_VIEW_DATA = "TB_PROVINCE";
  plain->SetConfig(config);
  plain->DoInit();
  EXPECT_EQ(plain->dbTreeList->Count(), Count("SELECT COUNT(*) FROM TB_PROVINCE"));
}

TEST_F(ShopSelectionTest, TheShopScreenShowsANodeWithTheShopsDirectlyBelowIt) {
  LogInAt(shop.HeadOffice);
  auto* screen = Open<TFrmBaseTreeGrid>("店铺资料");
  ASSERT_EQ(screen->cdsMain->RecordCount(), 4);
  TDBTreeList& tree = *screen->FrameBaseTree1->dbTreeList;
  EXPECT_EQ(tree.Count(), 4);
  tree.ClickNode(tree.FindNodeByKey(Variant(static_cast<long long>(shop.HeadOffice))));
  EXPECT_EQ(screen->NodeFilter(), "F_ID=" + std::to_string(shop.HeadOffice) + " or F_PARENTID =" + std::to_string(shop.HeadOffice));
  EXPECT_EQ(screen->cdsMain->RecordCount(), 4);
  tree.ClickNode(tree.FindNodeByKey(Variant(static_cast<long long>(shop.Branches[2]))));
  EXPECT_EQ(Ids(*screen->cdsMain), std::vector<int64_t>{shop.Branches[2]});

  // The quick search works within the node.
  tree.ClickNode(tree.FindNodeByKey(Variant(static_cast<long long>(shop.HeadOffice))));
  screen->SetActiveControl(screen->edtSearch);
  screen->TypeText("福田");
  EXPECT_EQ(Ids(*screen->cdsMain), std::vector<int64_t>{shop.Branches[1]});
  screen->edtSearch->SetText("");

  // A new shop is placed below the node clicked.
  tree.ClickNode(tree.FindNodeByKey(Variant(static_cast<long long>(shop.Branches[0]))));
  Application().Dispatch([screen] { screen->actNew->Execute(); });
  EXPECT_EQ(screen->cdsMain->FieldByName("F_PARENTID").AsLargeInt(), shop.Branches[0]);
}

TEST_F(ShopSelectionTest, ThePickerStoresTheTickedShopsAndNeverARegion) {
  LogInAt(shop.HeadOffice);
  TFrmSelectShopList* picker = GetSelectShopList();
  EXPECT_EQ(GetSelectShopList(), picker);
  EXPECT_EQ(picker->Name(), "FrmSelectShopList");
  ASSERT_EQ(picker->chkShopList->Count(), 4) << "the user's own shop and those below it";
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(picker->chkShopList->Checked(i));

  // The head office clicked, two branches left ticked besides it.
  picker->chkShopList->ToggleByUser(2);  // 福田店
  EXPECT_EQ(picker->GetSelectList(), std::to_string(shop.HeadOffice) + "," + std::to_string(shop.Branches[0]) + "," +
                                         std::to_string(shop.Branches[2]));
  EXPECT_EQ(UserInfo->ShopListEx(), picker->GetSelectList());

  // By region only shops are stored.
  picker->FrameShopTree1->ChangeGroup(TShopTreeGroup::ByRegion);
  picker->FrameShopTree1->ChooseNode(*picker->FrameShopTree1->dbTreeList->FindNodeByText("4401 - 广州市"));
  ASSERT_EQ(picker->chkShopList->Count(), 1);
  EXPECT_EQ(picker->GetSelectList(), std::to_string(shop.Branches[2]));

  // Nothing ticked: refused, and nothing stored.
  picker->chkShopList->ToggleByUser(0);
  Application().QueueModalScript([](TCustomForm& window) { dynamic_cast<TFrmSelectShopList&>(window).actOK->Execute(); });
  EXPECT_EQ(picker->ShowModal(), mrCancel);
  EXPECT_EQ(dialog->Last().Text, "请选择店铺");
  EXPECT_EQ(UserInfo->ShopListEx(), std::to_string(shop.Branches[2]));

  // One shop at a time without multiple selection.
  picker->FrameShopTree1->ChangeGroup(TShopTreeGroup::ByShop);
  picker->FrameShopTree1->ChooseNode(*picker->FrameShopTree1->dbTreeList->TopNodes().front());
  picker->SetMultSelected(false);
  picker->chkShopList->ToggleByUser(3);
  int ticked = 0;
  for (int i = 0; i < picker->chkShopList->Count(); ++i) ticked += picker->chkShopList->Checked(i);
  EXPECT_EQ(ticked, 1);
  EXPECT_EQ(picker->GetSelectList(), std::to_string(shop.Branches[2]));
}

TEST_F(ShopSelectionTest, ACustomersShopsAreAddedOnceEachAndWrittenBySave) {
  auto* customers = new TClientDataSet(form);
  db->OpenDataSet(*customers, "SELECT * FROM TB_CUSTOMER WHERE F_ID = " + std::to_string(shop.Customers.back()));
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  EXPECT_THROW(GetOwnerShopList(form, panel, customers, " "), Exception);
  EXPECT_EQ(form->FindComponent("FrameOwnerShopList"), nullptr);

  TFrameOwnerShopList* list = GetOwnerShopList(form, panel, customers, "TB_CUSTOMER_SHOP_LIST");
  EXPECT_EQ(list->Name(), "FrameOwnerShopList");
  ASSERT_EQ(list->cdsShopList->RecordCount(), 1);
  EXPECT_EQ(list->cdsShopList->FieldByName("F_SHOP_ID").AsLargeInt(), shop.Branches[0]);

  const std::vector<TFieldDef> fields = {{"F_ID", ftLargeint}, {"F_NAME", ftString, 100}};
  selector->QueueSelection(fields, {{Variant(static_cast<long long>(shop.Branches[0])), Variant("华强北店")},
                                    {Variant(static_cast<long long>(shop.Branches[1])), Variant("福田店")}});
  list->AddShops();
  EXPECT_EQ(list->cdsShopList->RecordCount(), 2) << "a shop listed already is not added again";
  EXPECT_EQ(list->cdsShopList->FieldByName("F_MID").AsLargeInt(), shop.Customers.back());
  EXPECT_FALSE(list->cdsShopList->FieldByName("F_SHARED").AsBoolean());
  selector->QueueCancel();
  list->AddShops();
  EXPECT_EQ(list->cdsShopList->RecordCount(), 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_CUSTOMER_SHOP_LIST"), 1) << "nothing before Save";

  ASSERT_TRUE(list->DoSave());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_CUSTOMER_SHOP_LIST WHERE F_MID = " + std::to_string(shop.Customers.back())), 2);
  list->cdsShopList->Locate("F_SHOP_ID", Variant(static_cast<long long>(shop.Branches[0])));
  list->actDeleteShop->Execute();
  list->DoSave();
  EXPECT_EQ(Text("SELECT F_SHOP_ID FROM TB_CUSTOMER_SHOP_LIST"), std::to_string(shop.Branches[1]));
}

// A bill's detail grid: product, colour and serial-number columns.
class StockLookupTest : public ShopSelectionTest {
 protected:
  void SetUp() override {
    ShopSelectionTest::SetUp();
    LogInAt(shop.Branches[0]);
    detail = new TClientDataSet(form);
    for (const char* name : {"F_PRODUCT", "F_COLOR", "F_CONFIG", "F_UNIT", "F_MODE_NO"}) detail->FieldDefs().Add(name, ftString, 60);
    for (const char* name : {"F_PRODUCT_ID", "F_COLOR_ID", "F_CONFIG_ID", "F_LOCATION_ID", "F_PRODUCT_TYPE_ID"})
      detail->FieldDefs().Add(name, ftLargeint);
    detail->CreateDataSet();
    detail->Append();
    detail->Post();
    dsDetail = new TDataSource(form);
    dsDetail->SetDataSet(detail);
    grid = new TGrid(form);
    grid->SetParent(form);
    tvResult = grid->CreateView();
    tvResult->DataController().SetDataSource(dsDetail);
    product = tvResult->CreateColumn("F_PRODUCT", "商品");
    color = tvResult->CreateColumn("F_COLOR", "颜色");
    modeNO = tvResult->CreateColumn("F_MODE_NO", "串码");
    detail->FieldByName("F_MODE_NO").OnSetText = [this](TField& field, const std::string& text) {
      entered.push_back(text);
      field.SetAsString(text);
    };
    grid->SetFocus();
  }
  // The user types into a cell of the row and presses Enter.
  void Enter(TGridColumn* column, const std::string& text) {
    tvResult->SetFocusedColumn(column);
    form->TypeText(text);
    form->PressKey(VK_RETURN);
  }
  // Units of a branch, as the sample lays them out: unit i lies in branch i % 3.
  std::string Serial(int index) { return SampleSerial(index); }

  TClientDataSet* detail;
  TDataSource* dsDetail;
  TGrid* grid;
  TGridTableView* tvResult;
  TGridColumn *product, *color, *modeNO;
  std::vector<std::string> entered;
};

TEST_F(StockLookupTest, ABillsColumnsTakeTheirListsByName) {
  EXPECT_EQ(ColumnLookupNames(), (std::vector<std::string>{"GetProductList", "GetProductListEx", "GetLookupProductColor",
                                                           "GetLookupProductConfig", "GetLookupSysStock"}));
  EXPECT_FALSE(AssignColumnLookup(*product, "GetNothing"));
  ASSERT_TRUE(AssignColumnLookup(*product, "GetProductList"));
  ASSERT_TRUE(AssignColumnLookup(*color, "GetLookupProductColor"));
  Enter(product, "小米");
  EXPECT_EQ(detail->FieldByName("F_PRODUCT_ID").AsLargeInt(), shop.Handsets[1]);
  EXPECT_EQ(detail->FieldByName("F_PRODUCT").AsString(), "小米 14");
  EXPECT_EQ(detail->FieldByName("F_UNIT").AsString(), "台");
  EXPECT_EQ(tvResult->InplaceEditor()->Text(), "小米 14") << "the cell shows what was chosen";
  form->PressKey(VK_RETURN);
  EXPECT_EQ(detail->FieldByName("F_PRODUCT").AsString(), "小米 14") << "the search text is never written";
  Enter(color, "蓝");
  EXPECT_EQ(detail->FieldByName("F_COLOR_ID").AsLargeInt(), shop.Colors[3]);
  EXPECT_EQ(detail->FieldByName("F_COLOR").AsString(), "蓝色");

  for (const char* name : {"TFrameLookupSysStock", "TFrameBaseLookupConfig", "TFrameGetProductList"})
    EXPECT_NE(FindClass(name), nullptr) << name;
}

TEST_F(StockLookupTest, ASerialIsMatchedWholeFirstThenByItsLastDigitsAndNeverByWildcards) {
  int64_t shopOfBill = shop.Branches[0];
  AssignColumnLookup(*modeNO, "GetLookupSysStock", {[&] { return std::to_string(shopOfBill); }, nullptr});
  // Unit 3 lies in the first branch; its last six digits pick it out.
  const std::string serial = Serial(3);
  Enter(modeNO, serial.substr(serial.size() - 6));
  EXPECT_EQ(entered, std::vector<std::string>{serial}) << "through the bill's own serial handler";
  EXPECT_EQ(detail->FieldByName("F_PRODUCT_ID").AsLargeInt(), shop.Handsets[3]);
  EXPECT_EQ(detail->FieldByName("F_COLOR_ID").AsLargeInt(), shop.Colors[3]);
  EXPECT_EQ(detail->FieldByName("F_LOCATION_ID").AsLargeInt(), shop.CounterLocations[0]);

  // Wildcards stand for themselves; four digits are too few; a unit of another shop is not offered.
  auto* list = dynamic_cast<TFrameLookupSysStock*>(modeNO->Properties.PopupControl);
  ASSERT_NE(list, nullptr);
  auto shown = [&](const std::string& text) {
    list->DoFilter(text);
    return list->cdsMain->RecordCount();
  };
  EXPECT_EQ(shown("%"), 0);
  EXPECT_EQ(shown("0000_"), 0);
  EXPECT_EQ(shown(serial.substr(serial.size() - 4)), 0);
  EXPECT_EQ(shown(Serial(4)), 0) << "unit 4 lies in the second branch";
  EXPECT_EQ(shown(serial), 1);
  const int all = Count("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0 AND F_SHOP_ID = " + std::to_string(shop.Branches[0]));
  EXPECT_EQ(shown(""), all);

  // A whole number wins over numbers that merely end with it.
  db->ExecSQL("UPDATE TB_SYS_STOCK SET F_MODE_NO = '12345' WHERE F_MODE_NO = '" + Serial(6) + "'");
  db->ExecSQL("UPDATE TB_SYS_STOCK SET F_MODE_NO = '9912345' WHERE F_MODE_NO = '" + Serial(9) + "'");
  list->LoadList();
  EXPECT_EQ(shown("12345"), 1);
  EXPECT_EQ(list->cdsMain->FieldByName("F_MODE_NO").AsString(), "12345");
  EXPECT_EQ(shown("2345"), 0);
  EXPECT_EQ(shown("912345"), 1);

  // The bill's shop changes: the list is read again for it.
  shopOfBill = shop.Branches[1];
  detail->Edit();
  detail->FieldByName("F_PRODUCT_ID").Clear();
  detail->FieldByName("F_COLOR_ID").Clear();
  detail->Post();
  entered.clear();
  const std::string other = Serial(4);
  Enter(modeNO, other.substr(other.size() - 8));
  EXPECT_EQ(entered, std::vector<std::string>{other});
}

TEST_F(StockLookupTest, TheStockOfEveryShopOrOfOneProductAndColour) {
  auto* edit = new TDBFilterPopupEdit(form);
  edit->SetParent(form);
  TFrameLookupSysStock* list = GetLookupSysStock(edit, nullptr, "0");
  EXPECT_EQ(list->Name(), "StockLookup");
  EXPECT_EQ(list->Filter(), " WHERE 1= 1   ");
  list->LoadList();
  EXPECT_EQ(list->cdsMain->RecordCount(), Count("SELECT COUNT(*) FROM TB_SYS_STOCK WHERE F_HAVE_QTY > 0"));
  TStockLookupFilter handset;
  handset.ProductID = shop.Handsets[0];
  handset.ColorID = shop.Colors[0];
  EXPECT_EQ(GetLookupSysStock(edit, nullptr, std::to_string(shop.Branches[0]), handset), list);
  EXPECT_EQ(list->Filter(), " WHERE  F_SHOP_ID  = " + std::to_string(shop.Branches[0]) + " AND F_PRODUCT_ID = " +
                                std::to_string(shop.Handsets[0]) + " AND F_COLOR_ID = " + std::to_string(shop.Colors[0]));
  EXPECT_EQ(list->cdsMain->RecordCount(), 3) << "units 0, 12 and 24";
  EXPECT_THROW(GetLookupSysStock(edit, nullptr, "x"), Exception);

  TFrameLookupSysStock* serials = GetLookupModeNOList(form, Serial(5).substr(7), false);
  EXPECT_EQ(serials->Name(), "ModeListLookup");
  Application().Advance(200);
  EXPECT_EQ(serials->cdsMain->RecordCount(), 0) << "unit 5 lies in the third branch";
  serials = GetLookupModeNOList(form, Serial(5).substr(7), true);
  Application().Advance(100);
  EXPECT_EQ(serials->cdsMain->RecordCount(), 1);
}

TEST_F(StockLookupTest, TheAttributeListsOfTheSample) {
  auto* edit = new TDBFilterPopupEdit(form);
  edit->SetParent(form);
  auto load = [](TFrameBaseFilterEx* list) {
    list->LoadList();
    return list->cdsMain->RecordCount();
  };
  EXPECT_EQ(load(GetLookupProductColor(edit)), 4);
  EXPECT_EQ(load(GetLookupProductConfig(edit)), Count("SELECT COUNT(*) FROM TB_PRODUCT_CONFIG"));
  EXPECT_EQ(load(GetLookupProductConfig(edit, nullptr, std::to_string(shop.Configs[0]))), 1);
  EXPECT_EQ(load(GetLookupProductFactroy(edit)), 4);
  EXPECT_EQ(load(GetLookupProductPackage(edit)), 2);
  TFrameBaseLookupConfig* taxes = GetLookupTaxType(edit);
  EXPECT_EQ(load(taxes), 2);
  EXPECT_EQ(taxes->cdsMain->FieldNames(), (std::vector<std::string>{"F_ID", "F_NAME", "F_PY"}));
}

}  // namespace
}  // namespace jxc
