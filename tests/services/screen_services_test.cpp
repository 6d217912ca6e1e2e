// The screen factory and the grid-layout service: screens made by name, layouts stored in the local
// configuration database and applied to views, and grids exported to the file the user picks.

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/UnitFrmBase.h"
#include "services/LocalConfigGrid.h"
#include "services/NamedFormFactory.h"
#include "services/SQLiteLocalDB.h"
#include "services/XlsxExcelExport.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Forms.h"
#include "platform/Grid.h"
#include "platform/GridExport.h"
#include "support/ExportCheck.h"

namespace jxc {
namespace {

class TFrmTrack : public TFrmBase {
 public:
  using TFrmBase::TFrmBase;
  void ShowForm() override { Show(); }
};

class ScreenServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    form = new TForm(&Application());
    grid = new TGrid(form);
    view = grid->CreateView<TGridTableView>(form);
    serial = view->CreateColumn("F_MODE_NO", "串码");
    name = view->CreateColumn("F_NAME", "商品名称");
    money = view->CreateColumn("F_MONEY", "金额");
    money->ValueType = ftCurrency;
    auto& data = view->DataController();
    data.SetRecordCount(2);
    data.SetValue(0, *serial, "860000000000001");
    data.SetValue(0, *name, "华为Mate60");
    data.SetValue(0, *money, Currency::Parse("5999.50"));
    data.SetValue(1, *serial, "860000000000002");
    data.SetValue(1, *name, "小米14 <新>");
    data.SetValue(1, *money, Currency::Parse("3999"));
    local = std::make_shared<TSQLiteLocalDB>(":memory:");
  }
  void TearDown() override { ResetApplication(); }

  TForm* form;
  TGrid* grid;
  TGridTableView* view;
  TGridColumn *serial, *name, *money;
  std::shared_ptr<TSQLiteLocalDB> local;
};

TEST_F(ScreenServicesTest, TheFactoryMakesRegisteredScreensNamedByTheirCaption) {
  TNamedFormFactory factory;
  factory.Register("手机串码追踪", [](TComponent* owner) { return new TFrmTrack(owner); });
  TFrmBase* screen = factory.OpenWindow(form, "手机串码追踪");
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->Caption(), "手机串码追踪");
  EXPECT_EQ(screen->Owner(), form);
  TFrmBase* second = factory.OpenWindow(nullptr, "手机串码追踪");
  EXPECT_NE(second, screen);
  EXPECT_EQ(second->Owner(), &Application());
  EXPECT_EQ(factory.OpenWindow(form, "没有的窗口"), nullptr);
  EXPECT_EQ(factory.Requests().size(), 3u);
}

TEST_F(ScreenServicesTest, AnArrangedLayoutIsStoredAndAppliedToAnotherViewOfTheSameColumns) {
  TLocalConfigGrid layouts(local);
  EXPECT_FALSE(layouts.ShowGridConfig(*view, "库存")) << "without a user the dialog is cancelled";
  EXPECT_FALSE(layouts.HasGridConfig("库存"));

  layouts.SetArranger([](TGridTableView& v) {
    v.Columns(2)->SetIndex(0);
    v.FindColumnByFieldName("F_NAME")->Visible = false;
    v.FindColumnByFieldName("F_MODE_NO")->Caption = "IMEI's";
    v.FindColumnByFieldName("F_MODE_NO")->Width = 150;
    return true;
  });
  ASSERT_TRUE(layouts.ShowGridConfig(*view, "库存"));

  TGridTableView* other = grid->CreateView<TGridTableView>(form);
  other->CreateColumn("F_EXTRA", "附加");
  other->CreateColumn("F_MODE_NO", "串码");
  other->CreateColumn("F_NAME", "商品名称");
  other->CreateColumn("F_MONEY", "金额");
  layouts.LoadGridConfig(*other, "库存");
  ASSERT_EQ(other->ColumnCount(), 4);
  EXPECT_EQ(other->Columns(0)->FieldName(), "F_MONEY");
  EXPECT_EQ(other->Columns(1)->FieldName(), "F_MODE_NO");
  EXPECT_EQ(other->Columns(1)->Caption, "IMEI's");
  EXPECT_EQ(other->Columns(1)->Width, 150);
  EXPECT_FALSE(other->Columns(2)->Visible);
  EXPECT_EQ(other->Columns(3)->FieldName(), "F_EXTRA") << "columns the layout does not name follow";

  layouts.LoadGridConfig(*other, "没有保存的");  // nothing stored: the view stays as it is
  EXPECT_EQ(other->Columns(0)->FieldName(), "F_MONEY");
}

TEST_F(ScreenServicesTest, ADamagedLayoutLeavesTheViewAsDesigned) {
  TLocalConfigGrid layouts(local);
  local->ExecSQL("INSERT INTO TB_SYS_GRID_CONFIG (F_NAME, F_LAYOUT) VALUES ('坏', '[{\"key\":')");
  layouts.LoadGridConfig(*view, "坏");
  EXPECT_EQ(view->Columns(0)->FieldName(), "F_MODE_NO");
  EXPECT_TRUE(view->Columns(1)->Visible);
}

TEST_F(ScreenServicesTest, ExportWritesTheFileTheUserPicksAndNothingWhenCancelled) {
  testing::ScratchFolder folder;
  TScriptedSaveDialog dialog;
  ScopedSaveFileDialog scoped(dialog);
  TLocalConfigGrid layouts(local, std::make_shared<TXlsxExcelExport>());
  const ExportTable expected = ExportTableOfView(*view);

  dialog.QueueChoice(folder.File("stock"), 1);  // no extension: the chosen type's is added
  layouts.ExportGrid(*grid, "库存");
  EXPECT_EQ(testing::CheckExport("xls", folder.File("stock.xls"), expected).substr(0, 4), "OK 6");
  ASSERT_EQ(dialog.Requests().size(), 1u);
  EXPECT_EQ(dialog.Requests()[0].FileName, "库存");

  dialog.QueueChoice(folder.File("stock.xlsx"), 1);  // a typed extension wins
  layouts.ExportGrid(*grid, "库存");
  EXPECT_EQ(testing::CheckExport("xlsx", folder.File("stock.xlsx"), expected).substr(0, 4), "OK 6");

  const auto filesBefore = std::distance(std::filesystem::directory_iterator(folder.Path()), {});
  dialog.QueueCancel();
  layouts.ExportGrid(*grid, "库存");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), filesBefore);
}

}  // namespace
}  // namespace jxc
