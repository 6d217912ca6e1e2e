// Search lists as a shop assistant meets them in a bill's header, on the sample shop: the list arrives after
// its pause, narrows as he types without asking the database, a scanner's code and Enter choose the right
// row, an empty list leaves the bill alone, each list shows what the user's shop may see, the default
// choices fill the bill, and the customer list opens the customer editor for those allowed to.

#include <gtest/gtest.h>

#include "editors/EditorTestSupport.h"
#include "filter/UnitBaseLookups.h"
#include "filter/UnitFilterPopupEdit.h"
#include "filter/UnitFrameCustomerFilter.h"
#include "filter/UnitFrameProductFilter.h"
#include "foundation/UnitSysParams.h"
#include "platform/ClassRegistry.h"
#include "platform/Grid.h"
#include "platform/RtcRecord.h"

namespace jxc {
namespace {

using testing::EditorTest;

// A bill header: one record with the fields the look-ups fill, and a search edit on one of them.
class SearchListTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    form = new TForm(&Application());
    header = new TClientDataSet(form);
    for (const char* name : {"F_CUSTOMER", "F_EMPLOYEE", "F_ACCOUNT", "F_PRODUCT", "F_UNIT", "F_CONFIG", "F_ADDRESS",
                             "F_MOBILE", "F_CONTRACTOR", "F_REMARK"})
      header->FieldDefs().Add(name, ftString, 100);
    for (const char* name : {"F_CUSTOMER_ID", "F_EMPLOYEE_ID", "F_ACCOUNT_ID", "F_PRODUCT_ID", "F_CONFIG_ID",
                             "F_TAX_TYPE_ID", "F_PRODUCT_TYPE_ID"})
      header->FieldDefs().Add(name, ftLargeint);
    header->FieldDefs().Add("F_HAVE_TAX", ftBoolean);
    header->CreateDataSet();
    header->AppendRecord({"原客户"});
    source = new TDataSource(form);
    source->SetDataSet(header);
    edit = new TDBFilterPopupEdit(form);
    edit->SetParent(form);
    edit->SetDataSource(source);
    edit->SetDataField("F_CUSTOMER");
    form->SetActiveControl(edit);
  }

  void SetSearchShowsCode(bool on) {
    SysParams = std::make_shared<TRtcRecord>();
    SysParams->SetValue(kSpSearchShowsCode, Variant(on));
  }
  // The names of the rows the list shows.
  std::vector<std::string> Names(TFrameBaseFilterEx& list) {
    std::vector<std::string> names;
    if (!list.cdsMain->Active()) return names;
    TGridColumn& name = *list.tvFilterColumn2;
    for (int record : list.tvFilter->DataController().Rows())
      names.push_back(list.tvFilter->DataController().Value(record, name).ToString());
    return names;
  }
  int64_t Header(const char* field) { return header->FieldByName(field).IsNull() ? 0 : header->FieldByName(field).AsLargeInt(); }

  TForm* form;
  TClientDataSet* header;
  TDataSource* source;
  TDBFilterPopupEdit* edit;
};

TEST_F(SearchListTest, TheListArrivesAfterItsPauseAndNarrowsAfterEachTypingPause) {
  TFrameBaseFilterEx* list = GetBaseLookupCustomer(edit, std::to_string(shop.Branches[0]));
  EXPECT_EQ(edit->PopupControl, list);
  EXPECT_FALSE(list->Loaded());
  Application().Advance(199);
  EXPECT_FALSE(list->Loaded()) << "the screen shows before the list is read";
  const int statementsBefore = db->CallCount();
  Application().Advance(1);
  ASSERT_TRUE(list->Loaded());
  EXPECT_EQ(db->CallCount(), statementsBefore + 1) << "one query";
  EXPECT_EQ(Names(*list), (std::vector<std::string>{"零售散客", "华强电子批发部", "福田通讯城", "联合通讯(供销)"}));

  // Typing drops the list down; each keystroke restarts the pause; no query is sent.
  const int statementsLoaded = db->CallCount();
  form->TypeText("h");
  EXPECT_TRUE(edit->DroppedDown());
  Application().Advance(60);
  form->TypeText("q");
  Application().Advance(99);
  EXPECT_EQ(Names(*list).size(), 4u) << "still waiting for the pause after the last key";
  Application().Advance(1);
  EXPECT_EQ(Names(*list), std::vector<std::string>{"华强电子批发部"});
  EXPECT_EQ(db->CallCount(), statementsLoaded);

  // A blank text shows every row again; a quote is text like any other.
  list->SearchFor(" ");
  Application().Advance(100);
  EXPECT_EQ(Names(*list).size(), 4u);
  list->SearchFor("O'B");
  Application().Advance(100);
  EXPECT_TRUE(Names(*list).empty());
  EXPECT_TRUE(Application().ShownErrors().empty());
}

TEST_F(SearchListTest, CodesAreSearchedOnlyWhileTheParameterShowsThem) {
  TFrameBaseFilterEx* list = GetBaseLookupCustomer(edit, std::to_string(shop.Branches[0]));
  Application().Advance(200);
  EXPECT_FALSE(list->tvFilterColumn1->Visible);
  list->SearchFor("K2");
  Application().Advance(100);
  EXPECT_TRUE(Names(*list).empty()) << "names and pinyin only";

  SetSearchShowsCode(true);
  list->DoInit();
  EXPECT_TRUE(list->tvFilterColumn1->Visible);
  list->SearchFor("k2");
  Application().Advance(100);
  EXPECT_EQ(Names(*list), std::vector<std::string>{"华强电子批发部"});
}

TEST_F(SearchListTest, AScannerThatTypesACodeAndEnterAtOnceChoosesTheMatchingRow) {
  SetSearchShowsCode(true);
  edit->SetDataField("F_PRODUCT");
  GetProductList(edit);
  // Nothing has loaded yet and no pause has passed: the code and Enter come in one go.
  form->TypeText("P7");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(Header("F_PRODUCT_ID"), shop.Accessories[2]);
  EXPECT_EQ(header->FieldByName("F_PRODUCT").AsString(), "快充充电器");
  EXPECT_EQ(header->FieldByName("F_UNIT").AsString(), "个");
  EXPECT_EQ(header->FieldByName("F_PRODUCT_TYPE_ID").AsInteger(), 2);
  EXPECT_FALSE(edit->DroppedDown()) << "the choice closes the list";
  EXPECT_EQ(edit->Text(), "快充充电器");
}

TEST_F(SearchListTest, OfTheRowsMatchingTheTypedTextTheOneNamedExactlyIsChosen) {
  db->ExecSQL("UPDATE TB_CUSTOMER SET F_NAME = '福田通讯城总店' WHERE F_NAME = '福田通讯城'");
  db->ExecSQL("INSERT INTO TB_CUSTOMER (F_ID, F_CODE, F_NAME, F_PY, F_CUSTOMER_TYPE_ID, F_SHARED, F_STATUS) "
              "VALUES (900001, 'K20', '福田通讯城', 'FTTXC', 2, 1, 0)");
  GetBaseLookupCustomer(edit, std::to_string(shop.Branches[0]));
  Application().Advance(200);
  form->TypeText("福田通讯城");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(Header("F_CUSTOMER_ID"), 900001);
  EXPECT_EQ(header->FieldByName("F_CUSTOMER").AsString(), "福田通讯城");
}

TEST_F(SearchListTest, AnEmptyListChoosesNothingAndLeavesTheBillAsItWas) {
  header->Edit();
  header->FieldByName("F_CUSTOMER_ID").SetAsLargeInt(shop.Customers[0]);
  header->Post();
  int callbacks = 0;
  TFrameBaseFilterEx* list = GetBaseLookupCustomer(edit, std::to_string(shop.Branches[0]), [&](TDataSet&) { ++callbacks; });
  Application().Advance(200);
  form->TypeText("没有这个客户");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(callbacks, 0);
  EXPECT_EQ(list->isOK(), 0);
  EXPECT_EQ(Header("F_CUSTOMER_ID"), shop.Customers[0]);
  EXPECT_EQ(header->State(), dsBrowse);
  EXPECT_TRUE(edit->DroppedDown()) << "the user may type again";

  // Nor does the plain callback hear of an empty list.
  int plain = 0;
  list->SetDataSetCallback(nullptr);
  list->SetCallback([&](const Variant&, const Variant&, const Variant&) { ++plain; });
  list->Choose();
  EXPECT_EQ(plain, 0);
  list->SearchFor("零售");
  list->Choose();
  EXPECT_EQ(plain, 1);
}

TEST_F(SearchListTest, UpAndDownMoveTheListAndCharactersTypedOnItGoOnInTheSearchBox) {
  TFrameBaseFilterEx* list = GetBaseLookupCustomer(edit, std::to_string(shop.Branches[0]));
  list->SetParent(form);
  list->SetVisible(true);
  Application().Advance(200);
  form->SetActiveControl(list->edtSearch);
  form->PressKey(VK_DOWN);
  form->PressKey(VK_DOWN);
  EXPECT_EQ(list->cdsMain->FieldByName("F_NAME").AsString(), "福田通讯城");
  form->PressKey(VK_UP);
  EXPECT_EQ(list->cdsMain->FieldByName("F_NAME").AsString(), "华强电子批发部");

  form->SetActiveControl(list->grdFilter);
  form->TypeText("lh");
  EXPECT_EQ(list->edtSearch->Text(), "lh");
  EXPECT_EQ(form->ActiveControl(), list->edtSearch);
  Application().Advance(100);
  EXPECT_EQ(Names(*list), std::vector<std::string>{"联合通讯(供销)"});
  form->SetActiveControl(list->grdFilter);
  form->PressKey(VK_RETURN);
  EXPECT_EQ(Header("F_CUSTOMER_ID"), shop.Customers.back());
}

TEST_F(SearchListTest, EachListShowsWhatTheShopMaySee) {
  // The fourth customer is listed for the first branch only; one employee per branch.
  auto count = [&](TFrameBaseFilterEx* list) {
    list->LoadList();
    return list->cdsMain->RecordCount();
  };
  auto* other = new TDBFilterPopupEdit(form);
  const std::string first = std::to_string(shop.Branches[0]);
  const std::string second = std::to_string(shop.Branches[1]);
  EXPECT_EQ(count(GetBaseLookupCustomer(edit, first)), 4);
  EXPECT_EQ(count(GetBaseLookupCustomer(edit, second)), 3);
  EXPECT_EQ(count(GetBaseLookupSupplier(other, first)), 3) << "two suppliers and the unit that is both";
  EXPECT_EQ(count(GetAllCustomer(other, second)), 5);
  EXPECT_EQ(count(GetAllCustomer(other, std::to_string(shop.HeadOffice))), 6) << "the head office sees below it";
  EXPECT_EQ(count(GetBaseLookupEmployee(other, first)), 1);
  EXPECT_EQ(count(GetBaseLookupEmployee(other, std::to_string(shop.HeadOffice))), 2);
  EXPECT_EQ(count(GetBaseLookupAccount(other, first)), 2);
  EXPECT_EQ(count(GetBaseLookupShopList(other, first)), 1);
  EXPECT_EQ(count(GetBaseLookupShopList(other, std::to_string(shop.HeadOffice))), 3);
  db->ExecSQL("UPDATE TB_CUSTOMER SET F_STATUS = 1 WHERE F_ID = " + std::to_string(shop.Suppliers[0]));
  EXPECT_EQ(count(GetBaseLookupSupplier(other, first)), 2) << "stopped units are not offered";

  // The user's current shop when none is given; a shop that is no number is refused before any query.
  UserInfo->SetCurrentShopID(second);
  EXPECT_EQ(count(GetBaseLookupCustomer(edit, "")), 3);
  EXPECT_THROW(GetBaseLookupCustomer(edit, "1 OR 1=1"), Exception);
}

TEST_F(SearchListTest, AReusedListGivenAnotherShopIsReadAgain) {
  TFrameBaseFilterEx* list = GetBaseLookupAccount(edit, std::to_string(shop.Branches[0]));
  Application().Advance(200);
  ASSERT_EQ(list->cdsMain->RecordCount(), 2);
  EXPECT_EQ(list->cdsMain->FieldByName("F_SHOP_ID").AsLargeInt(), shop.Branches[0]);
  EXPECT_EQ(GetBaseLookupAccount(edit, std::to_string(shop.Branches[1])), list) << "one list per edit";
  for (list->cdsMain->First(); !list->cdsMain->Eof(); list->cdsMain->Next())
    EXPECT_EQ(list->cdsMain->FieldByName("F_SHOP_ID").AsLargeInt(), shop.Branches[1]);
  form->TypeText("工商");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(header->FieldByName("F_ACCOUNT").AsString(), "福田店工商银行");
}

TEST_F(SearchListTest, ChoosingFillsTheBillWithWhatTheListHasAndNeverClearsWhatItLacks) {
  header->Edit();
  header->FieldByName("F_HAVE_TAX").SetAsBoolean(true);
  header->FieldByName("F_TAX_TYPE_ID").SetAsLargeInt(2);
  header->FieldByName("F_CONTRACTOR").SetAsString("王经理");
  header->Post();
  db->ExecSQL("UPDATE TB_CUSTOMER SET F_ADDRESS = '华强北路1号', F_MOBILE = '13800000000', F_CONTRACTOR = '李四' "
              "WHERE F_NAME = '华强电子批发部'");
  auto* panel = new TFrameBase(form);
  panel->SetParent(form);
  panel->SetMainDataSet(header);
  panel->DoInit();
  UserInfo->SetCurrentShopID(std::to_string(shop.Branches[0]));
  panel->DoInitPopupCustomer(*edit);
  Application().Advance(200);
  form->TypeText("华强");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(header->FieldByName("F_CUSTOMER").AsString(), "华强电子批发部");
  EXPECT_EQ(header->FieldByName("F_ADDRESS").AsString(), "华强北路1号");
  EXPECT_EQ(header->FieldByName("F_CONTRACTOR").AsString(), "李四");
  EXPECT_TRUE(header->FieldByName("F_HAVE_TAX").AsBoolean()) << "the list has no tax columns: the bill keeps its own";
  EXPECT_EQ(Header("F_TAX_TYPE_ID"), 2);

  // The account list of the user's current shop fills the account.
  auto* account = new TDBFilterPopupEdit(form);
  account->SetParent(form);
  account->SetDataSource(source);
  account->SetDataField("F_ACCOUNT");
  panel->DoInitPopupAccount(*account);
  form->SetActiveControl(account);
  form->TypeText("现金");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(header->FieldByName("F_ACCOUNT").AsString(), "华强北店现金");

  auto* employee = new TDBFilterPopupEdit(form);
  employee->SetParent(form);
  employee->SetDataSource(source);
  employee->SetDataField("F_EMPLOYEE");
  panel->DoInitPopupEmployee(*employee);
  form->SetActiveControl(employee);
  form->TypeText("张");
  form->PressKey(VK_RETURN);
  EXPECT_EQ(Header("F_EMPLOYEE_ID"), shop.Employees[0]);
  EXPECT_EQ(header->FieldByName("F_EMPLOYEE").AsString(), "张伟");
}

// The application's customer editor: name and mobile.
class TFrmCustomerEditor : public TFrmBaseDataEditor {
 public:
  explicit TFrmCustomerEditor(TComponent* owner) : TFrmBaseDataEditor(owner) {
    edtName = new TDBEdit(this);
    edtName->SetParent(this);
    edtName->SetDataSource(dsMain);
    edtName->SetDataField("F_NAME");
    edtMobile = new TDBEdit(this);
    edtMobile->SetParent(this);
    edtMobile->SetDataSource(dsMain);
    edtMobile->SetDataField("F_MOBILE");
  }
  TDBEdit* edtName;
  TDBEdit* edtMobile;
};

TEST_F(SearchListTest, TheCustomerListOffersTheCustomerEditorToThoseAllowedAndShowsWhatWasSaved) {
  RegisterClass<TFrmCustomerEditor>("TFrmCustomerEditor");
  rights->SetGrantAll(false);
  rights->Grant("往来单位管理", "新增");
  TFrameCustomerFilter* list = GetLookupCustomer(edit, std::to_string(shop.Branches[0]));
  EXPECT_TRUE(list->actAppend->Visible && list->actAppend->Enabled);
  EXPECT_FALSE(list->actEdit->Visible || list->actEdit->Enabled) << "changing a customer needs the right to edit";
  Application().Advance(200);

  Application().QueueModalScript([](TCustomForm& window) {
    auto& editor = dynamic_cast<TFrmCustomerEditor&>(window);
    editor.SetActiveControl(editor.edtName);
    editor.TypeText("南山数码港");
    editor.SetActiveControl(editor.edtMobile);
    editor.TypeText("0755-26000000");
    editor.actOK->Execute();
  });
  list->actAppend->Execute();
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TB_CUSTOMER WHERE F_NAME = '南山数码港' AND F_CUSTOMER_TYPE_ID = 2"), 1)
      << dialog->Count();
  EXPECT_EQ(list->cdsMain->FieldByName("F_NAME").AsString(), "南山数码港") << "the new customer is current";
  list->Choose();
  EXPECT_EQ(header->FieldByName("F_CUSTOMER").AsString(), "南山数码港");

  rights->Grant("往来单位管理", "编辑");
  EXPECT_TRUE(GetLookupCustomer(edit, std::to_string(shop.Branches[0]))->actEdit->Enabled);
  UnRegisterClass("TFrmCustomerEditor");
}

TEST_F(SearchListTest, TheProductListsCarryTheirPricesAndAreMadeByName) {
  TFrameGetProductList* list = GetProductListEx(edit, " WHERE F_PRODUCT_TYPE_ID = 1");
  list->LoadList();
  EXPECT_EQ(list->cdsMain->RecordCount(), 4);
  EXPECT_NE(list->cdsMain->FindField("F_PRICE_LS"), nullptr);
  EXPECT_FALSE(list->cdsMain->FieldByName("F_CONFIG").AsString().empty());
  EXPECT_EQ(GetProductList(edit), list);
  list->LoadList();
  EXPECT_EQ(list->cdsMain->FindField("F_PRICE_LS"), nullptr);
  EXPECT_EQ(list->cdsMain->RecordCount(), 8);

  for (const char* name : {"TFrameGetProductList", "TFrameCustomerFilter", "TFrameBaseFilterEx", "TFrameDatePart"}) {
    std::unique_ptr<TComponent> made(CreateComponentByClassName(name, nullptr));
    EXPECT_EQ(made->ClassName(), name);
  }
}

}  // namespace
}  // namespace jxc
