// The condition value editors as the query designer drives them: made by registered class name, placed
// in the editor panel, typed into, and read for the condition's value and text.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bills/ExpressionControl.h"
#include "filter/UnitFilterImp.h"
#include "foundation/CacheIntf.h"
#include "kernel/SysSvc.h"
#include "platform/Application.h"
#include "platform/ClassRegistry.h"
#include "platform/DataSource.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "services/DBCache.h"
#include "services/SQLiteDBAccess.h"

namespace jxc {
namespace {

// The designer's dialog with its editor panel; editors are made by name as the configuration names them.
class ExpressionControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplication();
    RegisterExpressionControls();
    db = std::make_shared<TSQLiteDBAccess>(":memory:");
    db->ExecSQL("INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME, F_PY) VALUES (1, '01', '红色', 'HS')\n"
                "INSERT INTO TB_PRODUCT_COLOR (F_ID, F_CODE, F_NAME, F_PY) VALUES (2, '02', '黑色', 'HS')");
    cache = std::make_shared<TDBCache>(db);
    SysService::Register<ICache>(cache);
    dialog = new TForm(&Application());
    grpEditor = new TPanel(dialog);
    grpEditor->SetParent(dialog);
  }
  void TearDown() override {
    SysService::Register<ICache>(nullptr);
    UnRegisterExpressionControls();
    ResetApplication();
  }

  template <class T>
  T* Make(const std::string& className) {
    TComponent* made = CreateComponentByClassName(className, dialog);
    auto* editor = dynamic_cast<T*>(made);
    EXPECT_NE(dynamic_cast<IBinding*>(made), nullptr);
    return editor;
  }

  std::shared_ptr<TSQLiteDBAccess> db;
  std::shared_ptr<TDBCache> cache;
  TForm* dialog;
  TPanel* grpEditor;
};

TEST_F(ExpressionControlTest, ASerialConditionNeedsFiveCharacters) {
  auto* edit = Make<TTextEditModeNO>("TTextEditModeNO");
  edit->DoInit("");
  EXPECT_EQ(edit->TextHint, "请输入串码或串码后5位");
  edit->DoShow(grpEditor);
  EXPECT_EQ(edit->Parent(), grpEditor);
  EXPECT_EQ(edit->Align, TAlign::alClient);
  EXPECT_EQ(dialog->ActiveControl(), edit);
  dialog->TypeText(" 1234 ");
  try {
    edit->DoGetValue();
    ADD_FAILURE() << "four digits are too few";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "请输入5位以上串码");
  }
  dialog->PressKey(VK_BACK);
  dialog->TypeText("5");
  EXPECT_EQ(edit->DoGetValue(), Variant("12345"));
  EXPECT_EQ(edit->DoGetDisplayValue(), "12345");
  edit->DoHide();
  EXPECT_EQ(edit->Text(), "");
}

// The designer's way from the serial editor to the rows: the typed text becomes a right-side match of the
// SQL builder, run by the database service. Each typed character stands for itself.
TEST_F(ExpressionControlTest, ASerialConditionFindsTheSerialsEndingInExactlyWhatWasTyped) {
  int64_t id = 900;
  for (const char* serial : {"8600AB12_45", "8600AB12345", "8600AB12%45", "8600AB12\\45", "8600XY99999"})
    db->ExecSQL("INSERT INTO TB_SYS_STOCK (F_ID, F_SHOP_ID, F_PRODUCT_ID, F_MODE_NO, F_HAVE_QTY) VALUES (" +
                std::to_string(++id) + ", 1, 1, '" + serial + "', 1)");
  auto* edit = Make<TTextEditModeNO>("TTextEditModeNO");
  edit->DoInit("");
  edit->DoShow(grpEditor);
  auto found = [&](const std::string& typed) {
    edit->SetText(typed);
    TSQLBuilder builder;
    builder.AddSQL("SELECT F_MODE_NO FROM TB_SYS_STOCK WITH(nolock) WHERE");
    TFilterItem condition;
    condition.SetFieldName("F_MODE_NO");
    condition.SetOperatorKind("foLike");
    condition.SetValue(edit->DoGetValue());
    builder.AddCondition(condition);
    std::vector<std::string> serials;
    std::unique_ptr<TClientDataSet> rows = db->OpenSQL(builder.GetSQL() + " ORDER BY F_MODE_NO");
    for (rows->First(); !rows->Eof(); rows->Next()) serials.push_back(rows->Fields(0).AsString());
    return serials;
  };
  EXPECT_EQ(found("12345"), std::vector<std::string>{"8600AB12345"});
  EXPECT_EQ(found("12_45"), std::vector<std::string>{"8600AB12_45"});
  EXPECT_EQ(found("12%45"), std::vector<std::string>{"8600AB12%45"});
  EXPECT_EQ(found("12\\45"), std::vector<std::string>{"8600AB12\\45"});
  EXPECT_EQ(found("%%%%%"), std::vector<std::string>{}) << "no wildcard matches every unit";
  EXPECT_EQ(found("_____"), std::vector<std::string>{});
  EXPECT_EQ(found("b12_45"), std::vector<std::string>{"8600AB12_45"}) << "letters without case";
}

TEST_F(ExpressionControlTest, CheckTextAndCurrencyEditorsGiveTheirValues) {
  auto* check = new TExpressionCheckBox(dialog);
  check->DoInit("");
  check->DoShow(grpEditor);
  EXPECT_EQ(check->DoGetValue(), Variant(0));
  EXPECT_EQ(check->DoGetDisplayValue(), "否");
  dialog->TypeChar(U' ');
  EXPECT_EQ(check->DoGetValue(), Variant(1));
  EXPECT_EQ(check->DoGetDisplayValue(), "是");

  auto* text = Make<TExpressionTextEdit>("TExpressionTextEdit");
  text->DoInit("");
  EXPECT_EQ(text->TextHint, "无");
  text->DoShow(grpEditor);
  EXPECT_EQ(text->DoGetValue(), Variant(""));
  dialog->TypeText("张三");
  EXPECT_EQ(text->DoGetValue(), Variant("张三"));

  auto* money = Make<TExpressionCurrencyEdit>("TExpressionCurrencyEdit");
  money->DoInit("");
  money->DoShow(grpEditor);
  dialog->TypeText("12.5");
  EXPECT_EQ(money->DoGetValue(), Variant(12.5)) << "the typed text is taken before the value is read";
  EXPECT_EQ(money->DoGetDisplayValue(), "12.5");
}

TEST_F(ExpressionControlTest, DatesStartTodayAndGoIntoConditionsInOneFormat) {
  const TDateTime today = Date();
  auto* end = Make<TExpressionDateEdit>("TExpressionDateEdit");
  end->DoInit("");
  end->DoShow(grpEditor);
  EXPECT_EQ(end->Date(), today);
  auto* start = new TStartDateEdit(dialog);
  start->DoInit("");
  EXPECT_EQ(start->Date(), today - 7);
  EXPECT_EQ(FindClass("TStartDateEdit"), nullptr) << "not offered by name";

  // A user's own date settings change the shown text, never the SQL value.
  const TFormatSettings saved = FormatSettings();
  FormatSettings().ShortDateFormat = "dd/mm/yyyy";
  FormatSettings().DateSeparator = '/';
  start->SetDate(EncodeDate(2024, 3, 9));
  EXPECT_EQ(start->DoGetValue(), Variant("2024-03-09"));
  EXPECT_EQ(start->DoGetDisplayValue(), "09/03/2024");
  FormatSettings() = saved;
}

TEST_F(ExpressionControlTest, LookupEditorsListTheCachedRowsAndLetThemGoOnHide) {
  auto* lookup = Make<TExpressionLookupCombobox>("TExpressionLookupCombobox");
  lookup->DoInit("TB_PRODUCT_COLOR");
  EXPECT_EQ(cache->ReadCount(), 1);
  lookup->DoShow(grpEditor);
  ASSERT_NE(lookup->ListSource(), nullptr);
  TDataSet* list = lookup->ListSource()->DataSet();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->FieldNames(), (std::vector<std::string>{"F_ID", "F_NAME", "F_PY"}));
  EXPECT_TRUE(lookup->EditValue().IsNull());
  lookup->SelectListRow(1);
  EXPECT_EQ(lookup->DoGetValue(), Variant(2));
  EXPECT_EQ(lookup->DoGetDisplayValue(), "黑色");
  lookup->DoHide();
  EXPECT_EQ(lookup->ListSource(), nullptr);
  EXPECT_TRUE(lookup->DoGetValue().IsNull());

  // The parameter is a table name and nothing else.
  EXPECT_THROW(lookup->DoInit("TB_PRODUCT_COLOR; DELETE FROM TB_PRODUCT_COLOR"), Exception);
  EXPECT_EQ(db->OpenSQL("SELECT COUNT(*) AS N FROM TB_PRODUCT_COLOR")->FieldByName("N").AsInteger(), 2);

  auto* colors = Make<TPopupProductEdit>("TPopupProductEdit");
  colors->DoInit("");
  colors->DoShow(grpEditor);
  EXPECT_EQ(colors->ListSource()->DataSet(), &cache->GetProducts());
  for (const char* name : {"TPopupCustomer", "TPopupSupplier", "TPopupEmployeeEdit"}) {
    auto* editor = Make<TExpressionLookupCombobox>(name);
    editor->DoInit("");
    editor->DoShow(grpEditor);
    EXPECT_NE(editor->ListSource(), nullptr) << name;
  }
  UnRegisterExpressionControls();
  EXPECT_EQ(FindClass("TTextEditModeNO"), nullptr);
}

}  // namespace
}  // namespace jxc
