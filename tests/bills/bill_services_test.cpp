// What a bill screen asks of the host and of other screens: printing with the templates of its folder
// (recorded, and written as a page a person can open), the questions after a save and an audit, bills
// chosen in the bill query and browsed, the serial tracking screen, the look-up lists of its columns, the
// read-only viewer, and the look-up of units in stock on a sale's serial column.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "BillTestSupport.h"
#include "bills/ExpressionControl.h"
#include "bills/UnitBillLookupIntf.h"
#include "editors/UnitFrmBaseDBGridEditor.h"
#include "kernel/ModuleInfo.h"
#include "platform/Forms.h"
#include "platform/GridInplaceEdit.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "services/DBCache.h"
#include "services/HtmlPrintSystem.h"
#include "services/NamedFormFactory.h"

namespace jxc {
namespace {

using testing::BillTest;
using testing::TRow;

class BillServicesTest : public BillTest {
 protected:
  void SetUp() override {
    BillTest::SetUp();
    folder = std::filesystem::path(::testing::TempDir()) / ("jxc_bills_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    const std::filesystem::path templates = folder / "打印模板" / testing::kStockIn;
    std::filesystem::create_directories(templates);
    for (const char* file : {"采购入库单.rmf", "小票.RMF", "说明.txt"}) std::ofstream(templates / file) << "template";
  }
  void TearDown() override {
    BillTest::TearDown();
    std::filesystem::remove_all(folder);
  }
  std::filesystem::path folder;
};

TEST_F(BillServicesTest, PrintingUsesTheTemplatesOfTheScreensFolder) {
  ScopedProgramFolder program(folder.string());
  auto* screen = Open(testing::kStockIn);
  EXPECT_EQ(screen->cbbReportList->Items(), (std::vector<std::string>{"小票.RMF", "采购入库单.rmf"}));
  EXPECT_EQ(screen->cbbReportList->ItemIndex(), 0);
  const std::string id = SaveNewBill(*screen, {{Handset(0), NewSerial(1), "2000"}, {shop.Accessories[1], "", "8", 2}});

  screen->cbbReportList->SetItemIndex(-1);
  dialog->Clear();
  Click(*screen, screen->actPrint);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error), std::vector<std::string>{"请选择打印模板"});
  screen->cbbReportList->SetItemIndex(1);
  SetParam(kSpPrintAfterAudit, Variant(true));
  Click(*screen, screen->actPrint);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error).back(), "请先审核单据");
  EXPECT_TRUE(printer->Requests().empty());
  SetParam(kSpPrintAfterAudit, Variant(false));
  Click(*screen, screen->actPrint);
  SetParam(kSpDesignReport, Variant(true));
  Click(*screen, screen->actPrint);
  ASSERT_EQ(printer->Requests().size(), 2u);
  const auto& print = printer->Requests()[0];
  EXPECT_FALSE(print.Design);
  EXPECT_EQ(print.TemplatePath, "采购入库\\采购入库单.rmf");
  EXPECT_EQ(print.BillID, id);
  EXPECT_EQ(print.BillKind, 2);
  EXPECT_EQ(print.FileName, "采购入库单.rmf");
  EXPECT_EQ(print.ListIndex, 1);
  EXPECT_TRUE(printer->Requests()[1].Design);

  rights->SetGrantAll(false);
  Click(*screen, screen->actPrint);
  EXPECT_EQ(dialog->Texts(TDialogKind::Error).back(), "采购入库[打印]权限未授权");
}

TEST_F(BillServicesTest, ThePrintServiceWritesTheBillAsAPage) {
  ScopedProgramFolder program(folder.string());
  auto html = std::make_shared<THtmlPrintSystem>(db, SysService::Get<ILocalDB>(), (folder / "打印输出").string());
  SysService::Register<IPrintSystem>(html);
  auto* screen = Open(testing::kStockIn);
  SaveNewBill(*screen, {{Handset(0), NewSerial(1), "2000.5"}, {shop.Accessories[1], "", "8", 2}});
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  screen->cbbReportList->SetItemIndex(1);
  Click(*screen, screen->actPrint);
  ASSERT_EQ(html->Files().size(), 1u) << JoinStrings(Application().ShownErrors(), "|");
  EXPECT_EQ(std::filesystem::path(html->Files()[0]).filename().string(), "采购入库_" + code + "_采购入库单.html");
  std::stringstream page;
  page << std::ifstream(html->Files()[0]).rdbuf();
  for (const std::string& part : {std::string("<title>采购入库 - 采购入库单</title>"), code, NewSerial(1), std::string("华强北店"),
                                  std::string("2,000.50"), std::string("16.00"), std::string("未审核"),
                                  std::string("合计: 2 行, 数量 3, 金额 2,016.50")})
    EXPECT_TRUE(Contains(page.str(), part)) << part;
  EXPECT_EQ(html->Requests().size(), 1u);
}

TEST_F(BillServicesTest, TheQuestionsAfterASaveAndAnAuditLeadToTheAuditAndThePrint) {
  ScopedProgramFolder program(folder.string());
  SetParam(kSpTipAfterSave, Variant(true));
  SetParam(kSpTipAfterAudit, Variant(true));
  auto* screen = Open(testing::kStockIn);
  EnterRows(*screen, {{Handset(0), NewSerial(1), "2000"}});
  dialog->QueueAnswers({true, true});
  Click(*screen, screen->actBeforeSave);
  const std::string code = screen->cdsMain->FieldByName("F_CODE").AsString();
  ASSERT_EQ(dialog->Texts(TDialogKind::Confirm),
            (std::vector<std::string>{"[" + code + "]保存成功,是否审批？", "单据号[" + code + "]审批成功, 是否打印"}));
  EXPECT_EQ(dialog->Messages()[0].Caption, "审批");
  EXPECT_EQ(screen->cdsMain->FieldByName("F_STATUS").AsInteger(), 2);
  ASSERT_EQ(printer->Requests().size(), 1u);
  EXPECT_EQ(printer->Requests()[0].FileName, "小票.RMF");
}

// The bill query: gives the bills it was told to.
class TFixedBillQuery : public IBillQuery {
 public:
  TClientDataSet bills;
  std::vector<std::string> asked;
  TDataSet* GetBaseBillQuery(TComponent*, const std::string& caption) override {
    asked.push_back(caption);
    return &bills;
  }
};

TEST_F(BillServicesTest, BillsChosenInTheBillQueryAreBrowsedOneByOne) {
  auto* screen = Open(testing::kStockIn);
  Click(*screen, screen->actQueryBillCode);  // no bill query: nothing happens
  auto query = std::make_shared<TFixedBillQuery>();
  SysService::Register<IBillQuery>(query);
  std::vector<std::string> ids, codes;
  for (int n = 1; n <= 3; ++n) {
    if (n > 1) Click(*screen, screen->actNew);
    ids.push_back(SaveNewBill(*screen, {{Handset(0), NewSerial(n), "1"}}));
    codes.push_back(screen->cdsMain->FieldByName("F_CODE").AsString());
  }
  query->bills.FieldDefs().Add("F_ID", ftLargeint);
  query->bills.CreateDataSet();
  for (const std::string& id : ids) query->bills.AppendRecord({Variant(static_cast<long long>(std::stoll(id)))});

  Click(*screen, screen->actNew);  // a new bill pending: choosing asks first
  dialog->QueueAnswer(false);
  Click(*screen, screen->actQueryBillCode);
  EXPECT_EQ(dialog->Texts(TDialogKind::Confirm), std::vector<std::string>{"您正在编辑数据,确定放弃吗?"});
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), "新增单据");
  dialog->QueueAnswer(true);
  Click(*screen, screen->actQueryBillCode);
  EXPECT_EQ(query->asked.back(), "采购入库");
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), codes[0]);
  EXPECT_EQ(screen->cdsMain->ChangeCount(), 0);
  EXPECT_EQ(mainForm->StatusText(5), "总3张单据,正在浏览第1张单据");
  EXPECT_TRUE(screen->actPrevBill->Enabled);
  EXPECT_TRUE(screen->actNextBill->Enabled);

  Click(*screen, screen->actNextBill);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), codes[1]);
  EXPECT_EQ(mainForm->StatusText(5), "总共[3]张单据,正在浏览第[2]张单据");
  Click(*screen, screen->actNextBill);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), codes[2]);
  EXPECT_FALSE(screen->actNextBill->Enabled);
  EXPECT_TRUE(screen->actPrevBill->Enabled);
  Click(*screen, screen->actPrevBill);
  Click(*screen, screen->actPrevBill);
  EXPECT_EQ(screen->cdsMain->FieldByName("F_CODE").AsString(), codes[0]);
  EXPECT_FALSE(screen->actPrevBill->Enabled);
  EXPECT_EQ(progress->ShownTexts().back(), "正在查询请稍候...");
  EXPECT_FALSE(progress->Showing());
}

TEST_F(BillServicesTest, ASerialNumberIsTrackedInTheTrackingScreen) {
  auto factory = std::make_shared<TNamedFormFactory>();
  factory->Register("手机串码追踪", [](TComponent* owner) -> TFrmBase* {
    return CreateForm<TFrmBaseDBGridEditor>(owner ? owner : &Application());
  });
  SysService::Register<IFormFactory>(factory);
  auto* screen = Open(testing::kStockIn);
  SaveNewBill(*screen, {{Handset(0), NewSerial(1), "2000"}});
  Click(*screen, screen->actAudit);
  screen->CdsDetail->First();
  Click(*screen, screen->actTrackModeNO);
  ASSERT_EQ(factory->Requests(), std::vector<std::string>{"手机串码追踪"});
  TFrmBaseDBGridEditor* tracking = nullptr;
  for (int i = 0; i < Application().ComponentCount(); ++i)
    if (auto* found = dynamic_cast<TFrmBaseDBGridEditor*>(Application().Components(i))) tracking = found;
  ASSERT_NE(tracking, nullptr);
  EXPECT_TRUE(tracking->Visible());
  EXPECT_EQ(tracking->cdsMain->RecordCount(), 1);
  EXPECT_EQ(tracking->cdsMain->FieldByName("F_MODE_NO").AsString(), NewSerial(1));
  EXPECT_EQ(tracking->cdsMain->FieldByName("F_BILL_CODE").AsString(), screen->cdsMain->FieldByName("F_CODE").AsString());
}

// Look-up lists of the product, colour and configuration columns.
class TPanelLookups : public IBillColumnLookups {
 public:
  std::vector<TKind> asked;
  TWinControl* InitPopup(TFrmBase& screen, TGridColumn& column, TKind kind) override {
    asked.push_back(kind);
    if (!panel) panel = new TPanel(&screen);
    return panel;
  }
  TPanel* panel = nullptr;
};

TEST_F(BillServicesTest, TheProductAndColourColumnsSearchThePackagesLists) {
  auto* screen = Open(testing::kStockIn);
  TGridColumn* product = screen->tvResult->FindColumnByFieldName("F_PRODUCT");
  TGridColumn* color = screen->tvResult->FindColumnByFieldName("F_COLOR");
  ASSERT_NE(product, nullptr);
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(product->Properties.Kind, TGridEditorKind::Popup);
  EXPECT_EQ(screen->tvResult->FindColumnByFieldName("F_CONFIG")->Properties.Kind, TGridEditorKind::Popup);
  // The clerk types part of a name into the new row's product cell and presses Enter, then clicks the
  // colour cell and does the same.
  screen->cxGrid1->SetFocus();
  screen->tvResult->SetFocusedColumn(product);
  screen->TypeText("小米");
  screen->PressKey(VK_RETURN);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_PRODUCT_ID").AsLargeInt(), Handset(1));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_PRODUCT").AsString(), "小米 14");
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_UNIT").AsString(), "台");
  screen->tvResult->ClickCell(screen->tvResult->FocusedRecordIndex(), *color);
  screen->TypeText("蓝");
  screen->PressKey(VK_RETURN);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_COLOR_ID").AsLargeInt(), shop.Colors[3]);
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_COLOR").AsString(), "蓝色");
}

TEST_F(BillServicesTest, ColumnListsOfTheHostTakeThePlaceOfThePackages) {
  auto lookups = std::make_shared<TPanelLookups>();
  SysService::Register<IBillColumnLookups>(lookups);
  auto* screen = Open(testing::kStockIn);
  TGridColumn* product = screen->tvResult->FindColumnByFieldName("F_PRODUCT");
  EXPECT_EQ(product->Properties.Kind, TGridEditorKind::Popup);
  EXPECT_EQ(screen->tvResult->FindColumnByFieldName("F_COLOR")->Properties.Kind, TGridEditorKind::Popup);
  EXPECT_EQ(screen->tvResult->FindColumnByFieldName("F_CONFIG")->Properties.Kind, TGridEditorKind::Popup);
  screen->cxGrid1->SetFocus();
  screen->tvResult->ClickCell(screen->tvResult->FocusedRecordIndex(), *product);
  ASSERT_NE(screen->tvResult->InplaceEditor(), nullptr);
  screen->tvResult->InplaceEditor()->DropDown();
  EXPECT_EQ(lookups->asked, std::vector<IBillColumnLookups::TKind>{IBillColumnLookups::TKind::Product});
  EXPECT_EQ(product->Properties.PopupControl, lookups->panel);
}

TEST_F(BillServicesTest, ABillIsViewedReadOnlyInAModalWindow) {
  auto* screen = Open(testing::kStockIn);
  const std::string id = SaveNewBill(*screen, {{Handset(0), NewSerial(1), "2000"}});
  TFrmBaseBillFramework* shown = nullptr;
  Application().QueueModalScript([&](TCustomForm& form) {
    Application().Advance(100);
    shown = dynamic_cast<TFrmBaseBillFramework*>(&form);
  });
  EXPECT_EQ(ViewBill(*screen, id, testing::kStockIn), mrCancel);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Owner(), screen);
  EXPECT_EQ(shown->ID(), id);
  EXPECT_EQ(shown->cdsMain->FieldByName("F_ID").AsString(), id);
  EXPECT_EQ(shown->CdsDetail->RecordCount(), 1);
  EXPECT_FALSE(shown->actNew->Enabled);
  EXPECT_FALSE(shown->actDelete->Enabled);
  EXPECT_FALSE(shown->actAudit->Enabled);
  EXPECT_FALSE(shown->actDetailAppend->Enabled);
  EXPECT_FALSE(shown->grpBillHeader->Enabled());

  // The owner's viewer is reused for the next bill.
  Click(*screen, screen->actNew);
  const std::string other = SaveNewBill(*screen, {{Handset(1), NewSerial(2), "2000"}});
  Application().QueueModalScript([&](TCustomForm& form) { EXPECT_EQ(&form, shown); });
  ViewBill(*screen, other, testing::kStockIn);
  EXPECT_EQ(shown->cdsMain->FieldByName("F_ID").AsString(), other);
}

// A sale screen whose serial column drops down the units in stock at the bill's shop.
class TFrmSaleByStock : public TFrmBaseBillFramework {
 public:
  using TFrmBaseBillFramework::TFrmBaseBillFramework;

 protected:
  bool ModeNOFromStock() const override { return true; }
};

TEST_F(BillServicesTest, ASalesSerialColumnPicksUnitsInStockOnceEach) {
  SysService::Register<ICache>(std::make_shared<TDBCache>(db));
  auto* screen = Open<TFrmSaleByStock>(testing::kSale);
  ASSERT_NE(screen->ModeNOPopup(), nullptr);
  TGridColumn* modeNO = screen->tvResult->FindColumnByFieldName("F_MODE_NO");
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", std::to_string(HandsetOfUnit(0, 0))));
  screen->cxGrid1->SetFocus();
  screen->tvResult->ClickCell(screen->tvResult->FocusedRecordIndex(), *modeNO);
  screen->TypeText(RightChars(UnitOf(0, 0), 5));
  Application().Advance(300);
  screen->PressKey(VK_RETURN);
  screen->CdsDetail->CheckBrowseMode();
  screen->CdsDetail->First();
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_MODE_NO").AsString(), UnitOf(0, 0));
  EXPECT_EQ(screen->CdsDetail->FieldByName("F_LOCATION_ID").AsLargeInt(), Counter(0));
  EXPECT_EQ(screen->ModeNOList().Items(), std::set<std::string>{UnitOf(0, 0)});

  // The same unit again is refused by the bill's list; the new row stays as it was.
  screen->CdsDetail->Last();
  Click(*screen, screen->actDetailAppend);
  ASSERT_TRUE(TypeCell(*screen, "F_PRODUCT_ID", std::to_string(HandsetOfUnit(0, 0))));
  screen->tvResult->ClickCell(screen->tvResult->FocusedRecordIndex(), *modeNO);
  screen->TypeText(RightChars(UnitOf(0, 0), 5));
  Application().Advance(300);
  screen->PressKey(VK_RETURN);
  EXPECT_EQ(Application().ShownErrors(), std::vector<std::string>{"手机串码/卡号[" + UnitOf(0, 0) + "]重复"});
  EXPECT_TRUE(screen->CdsDetail->FieldByName("F_MODE_NO").IsNull());
  EXPECT_EQ(screen->ModeNOList().Count(), 1);
}

}  // namespace
}  // namespace jxc
